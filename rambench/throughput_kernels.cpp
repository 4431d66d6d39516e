// Built with -msse2 on this file only: the rest of the program must run on processors without it.
// The accesses are written as assembly so that the compiler can neither drop the unused loads
// nor turn the stores into ordinary ones.
#include "rambench/throughput_kernels.h"

#include <emmintrin.h>

namespace {
constexpr size_t kBlockBytes = 128;

size_t BlockCount(size_t length) {
  size_t blocks = length / kBlockBytes;
  return blocks == 0 ? 1 : blocks;
}
}  // namespace

void ReadBlocksSse2(const unsigned char* address, size_t length) {
  const unsigned char* block = address;
  const unsigned char* end = address + BlockCount(length) * kBlockBytes;
  do {
    asm volatile(
        "prefetchnta 128(%0)\n\t"
        "prefetchnta 160(%0)\n\t"
        "prefetchnta 192(%0)\n\t"
        "prefetchnta 224(%0)\n\t"
        "movdqa 0(%0), %%xmm0\n\t"
        "movdqa 16(%0), %%xmm1\n\t"
        "movdqa 32(%0), %%xmm2\n\t"
        "movdqa 48(%0), %%xmm3\n\t"
        "movdqa 64(%0), %%xmm4\n\t"
        "movdqa 80(%0), %%xmm5\n\t"
        "movdqa 96(%0), %%xmm6\n\t"
        "movdqa 112(%0), %%xmm7\n\t"
        :
        : "r"(block)
        : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "memory");
    block += kBlockBytes;
  } while (block != end);
}

void WriteBlocksSse2(unsigned char* address, size_t length) {
  unsigned char* block = address;
  unsigned char* end = address + BlockCount(length) * kBlockBytes;
  // The stored data is set here, not left to whatever the registers hold: some memory systems
  // finish non-temporal stores of zero lines several times faster than stores of real data.
  const __m128i line = _mm_set1_epi8(static_cast<char>(kRamWriteByte));
  do {
    asm volatile(
        "movntdq %1, 0(%0)\n\t"
        "movntdq %1, 16(%0)\n\t"
        "movntdq %1, 32(%0)\n\t"
        "movntdq %1, 48(%0)\n\t"
        "movntdq %1, 64(%0)\n\t"
        "movntdq %1, 80(%0)\n\t"
        "movntdq %1, 96(%0)\n\t"
        "movntdq %1, 112(%0)\n\t"
        :
        : "r"(block), "x"(line)
        : "memory");
    block += kBlockBytes;
  } while (block != end);
}

void CopyBlocksSse2(unsigned char* destination, const unsigned char* source, size_t length) {
  const unsigned char* from = source;
  const unsigned char* end = source + BlockCount(length) * kBlockBytes;
  unsigned char* to = destination;
  do {
    asm volatile(
        "prefetchnta 128(%0)\n\t"
        "prefetchnta 160(%0)\n\t"
        "prefetchnta 192(%0)\n\t"
        "prefetchnta 224(%0)\n\t"
        "movdqa 0(%0), %%xmm0\n\t"
        "movdqa 16(%0), %%xmm1\n\t"
        "movdqa 32(%0), %%xmm2\n\t"
        "movdqa 48(%0), %%xmm3\n\t"
        "movdqa 64(%0), %%xmm4\n\t"
        "movdqa 80(%0), %%xmm5\n\t"
        "movdqa 96(%0), %%xmm6\n\t"
        "movdqa 112(%0), %%xmm7\n\t"
        "movntdq %%xmm0, 0(%1)\n\t"
        "movntdq %%xmm1, 16(%1)\n\t"
        "movntdq %%xmm2, 32(%1)\n\t"
        "movntdq %%xmm3, 48(%1)\n\t"
        "movntdq %%xmm4, 64(%1)\n\t"
        "movntdq %%xmm5, 80(%1)\n\t"
        "movntdq %%xmm6, 96(%1)\n\t"
        "movntdq %%xmm7, 112(%1)\n\t"
        :
        : "r"(from), "r"(to)
        : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "memory");
    from += kBlockBytes;
    to += kBlockBytes;
  } while (from != end);
}
