#pragma once
// SSE2 streaming kernels of the throughput benchmark. Each works on length / 128 whole 128-byte
// blocks (at least one) from a 16-byte aligned address. Call them only when the processor has
// SSE2. They end without a fence: the measurement covers the issue of the non-temporal stores.
#include <cstddef>

// Per block: prefetchnta of the next block (four 32-byte steps), eight movdqa loads.
void ReadBlocksSse2(const unsigned char* address, size_t length);
// Per block: eight movntdq stores of bytes kRamWriteByte.
void WriteBlocksSse2(unsigned char* address, size_t length);

// What the Write kernel stores: lines of ones, never zero lines.
constexpr unsigned char kRamWriteByte = 0xFF;
// Per block: prefetchnta of the next source block, eight movdqa loads, eight movntdq stores.
void CopyBlocksSse2(unsigned char* destination, const unsigned char* source, size_t length);
