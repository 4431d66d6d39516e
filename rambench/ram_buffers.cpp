#include "rambench/ram_buffers.h"

#include <new>

#include "rambench/ram_workers.h"

unsigned char* ramBufferA = nullptr;
unsigned char* ramBufferB = nullptr;

namespace {
constexpr std::align_val_t kKernelAlignment{16};  // movdqa and movntdq need 16-byte addresses

constexpr size_t kPageBytes = 4096;

// Fresh memory may not have pages of its own yet: a system that maps every untouched page to one
// shared zero page would let the first Read rounds stream from the cache. One store per page
// gives every page its own memory before anything is measured.
void BackEveryPage(unsigned char* buffer) {
  volatile unsigned char* bytes = buffer;
  for (size_t offset = 0; offset < kRamBufferBytes; offset += kPageBytes) bytes[offset] = 0;
}

unsigned char* AllocateAligned() {
  unsigned char* buffer = static_cast<unsigned char*>(
      ::operator new(static_cast<size_t>(kRamBufferBytes), kKernelAlignment));
  BackEveryPage(buffer);
  return buffer;
}

void FreeAligned(unsigned char*& buffer) {
  if (buffer != nullptr) ::operator delete(buffer, kKernelAlignment);
  buffer = nullptr;
}
}  // namespace

RamBuffers::RamBuffers() {
  ramBufferA = AllocateAligned();
  try {
    ramBufferB = AllocateAligned();
  } catch (...) {
    FreeAligned(ramBufferA);
    throw;
  }
}

RamBuffers::~RamBuffers() { Free(); }

void RamBuffers::Free() {
  FreeAligned(ramBufferA);
  FreeAligned(ramBufferB);
}
