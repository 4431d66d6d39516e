#include "rambench/ram_buffers.h"

#include <cstring>
#include <new>

#include "rambench/ram_workers.h"

unsigned char* ramBufferA = nullptr;
unsigned char* ramBufferB = nullptr;

namespace {
constexpr std::align_val_t kKernelAlignment{16};  // movdqa and movntdq need 16-byte addresses

// Filled before anything is measured: fresh memory may have no pages of its own yet (a system
// that maps untouched pages to one shared zero page would let Read stream from the cache), and
// zero lines are a shortcut for some memory systems, so the Mixed copy must move real data.
unsigned char* AllocateFilled() {
  unsigned char* buffer = static_cast<unsigned char*>(
      ::operator new(static_cast<size_t>(kRamBufferBytes), kKernelAlignment));
  std::memset(buffer, kRamFillByte, static_cast<size_t>(kRamBufferBytes));
  return buffer;
}

void FreeAligned(unsigned char*& buffer) {
  if (buffer != nullptr) ::operator delete(buffer, kKernelAlignment);
  buffer = nullptr;
}
}  // namespace

RamBuffers::RamBuffers() {
  ramBufferA = AllocateFilled();
  try {
    ramBufferB = AllocateFilled();
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
