#pragma once
// The two 256 MiB throughput buffers, 16-byte aligned, alive from their allocation in main until
// right after the throughput benchmark.
#include <cstddef>

extern unsigned char* ramBufferA;
extern unsigned char* ramBufferB;

// Allocates ramBufferA, then ramBufferB (std::bad_alloc when memory is short) and frees both when
// it goes out of scope or at Free().
class RamBuffers {
 public:
  RamBuffers();
  ~RamBuffers();
  RamBuffers(const RamBuffers&) = delete;
  RamBuffers& operator=(const RamBuffers&) = delete;
  void Free();
};
