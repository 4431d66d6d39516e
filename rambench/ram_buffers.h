#pragma once
// The two 256 MiB throughput buffers, 16-byte aligned, alive from their allocation in main until
// right after the throughput benchmark.
#include <cstddef>

extern unsigned char* ramBufferA;
extern unsigned char* ramBufferB;

// What the buffers hold once prepared: real data, so that the Mixed copy moves no zero lines.
constexpr unsigned char kRamFillByte = 0x5A;

// Allocates ramBufferA, then ramBufferB (std::bad_alloc when memory is short), fills both with
// kRamFillByte, and frees both when it goes out of scope or at Free().
class RamBuffers {
 public:
  RamBuffers();
  ~RamBuffers();
  RamBuffers(const RamBuffers&) = delete;
  RamBuffers& operator=(const RamBuffers&) = delete;
  void Free();
};
