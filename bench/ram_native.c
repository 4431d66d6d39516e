/* Native reference for CVNRAMBench's figures, built with the host's gcc: the same SSE2 kernels and
 * data (buffers filled with 0x5A, Write storing lines of ones), worker protocol (warm-up, window
 * opened and closed by two flags, join), slices and GB/s formula, and the same 128 MB pointer chase
 * (the 1 MB random cycle spread at a stride of 128 elements). Also Write with zero lines
 * ("WriteZero"), which some memory systems finish far faster: it shows what the data is worth.
 * Usage: ram_native [warmup_ms window_ms]   prints "<threads>Core<Mode> <GB/s>" lines and
 * "chase128MB <ns per step>". */
#define _GNU_SOURCE
#include <emmintrin.h>
#include <pthread.h>
#include <stdatomic.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#define BUFFER_BYTES 268435456ull
#define BLOCK 128
#define FILL_BYTE 0x5A
#define WRITE_BYTE 0xFF

static unsigned char *bufferA, *bufferB;
static atomic_int measureFlag, stopFlag;

struct worker {
  int mode, count, index, threads;
  pthread_t thread;
};

static void read_blocks(const unsigned char *p, size_t length) {
  const unsigned char *end = p + (length / BLOCK ? length / BLOCK : 1) * BLOCK;
  do {
    __asm__ volatile(
        "prefetchnta 128(%0)\n\tprefetchnta 160(%0)\n\tprefetchnta 192(%0)\n\tprefetchnta 224(%0)\n\t"
        "movdqa 0(%0), %%xmm0\n\tmovdqa 16(%0), %%xmm1\n\tmovdqa 32(%0), %%xmm2\n\t"
        "movdqa 48(%0), %%xmm3\n\tmovdqa 64(%0), %%xmm4\n\tmovdqa 80(%0), %%xmm5\n\t"
        "movdqa 96(%0), %%xmm6\n\tmovdqa 112(%0), %%xmm7\n\t"
        : : "r"(p) : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "memory");
    p += BLOCK;
  } while (p != end);
}

static void write_blocks(unsigned char *p, size_t length, unsigned char byte) {
  unsigned char *end = p + (length / BLOCK ? length / BLOCK : 1) * BLOCK;
  const __m128i line = _mm_set1_epi8((char)byte);
  do {
    __asm__ volatile(
        "movntdq %1, 0(%0)\n\tmovntdq %1, 16(%0)\n\tmovntdq %1, 32(%0)\n\t"
        "movntdq %1, 48(%0)\n\tmovntdq %1, 64(%0)\n\tmovntdq %1, 80(%0)\n\t"
        "movntdq %1, 96(%0)\n\tmovntdq %1, 112(%0)\n\t"
        : : "r"(p), "x"(line) : "memory");
    p += BLOCK;
  } while (p != end);
}

static void copy_blocks(unsigned char *to, const unsigned char *from, size_t length) {
  const unsigned char *end = from + (length / BLOCK ? length / BLOCK : 1) * BLOCK;
  do {
    __asm__ volatile(
        "prefetchnta 128(%0)\n\tprefetchnta 160(%0)\n\tprefetchnta 192(%0)\n\tprefetchnta 224(%0)\n\t"
        "movdqa 0(%0), %%xmm0\n\tmovdqa 16(%0), %%xmm1\n\tmovdqa 32(%0), %%xmm2\n\t"
        "movdqa 48(%0), %%xmm3\n\tmovdqa 64(%0), %%xmm4\n\tmovdqa 80(%0), %%xmm5\n\t"
        "movdqa 96(%0), %%xmm6\n\tmovdqa 112(%0), %%xmm7\n\t"
        "movntdq %%xmm0, 0(%1)\n\tmovntdq %%xmm1, 16(%1)\n\tmovntdq %%xmm2, 32(%1)\n\t"
        "movntdq %%xmm3, 48(%1)\n\tmovntdq %%xmm4, 64(%1)\n\tmovntdq %%xmm5, 80(%1)\n\t"
        "movntdq %%xmm6, 96(%1)\n\tmovntdq %%xmm7, 112(%1)\n\t"
        : : "r"(from), "r"(to)
        : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "memory");
    from += BLOCK;
    to += BLOCK;
  } while (from != end);
}

static void *worker_main(void *argument) {
  struct worker *w = argument;
  size_t length = BUFFER_BYTES / w->threads;
  size_t offset = (size_t)w->index * BUFFER_BYTES / w->threads;
  for (;;) {
    if (w->mode == 0) read_blocks(bufferA + offset, length);
    else if (w->mode == 1) write_blocks(bufferA + offset, length, WRITE_BYTE);
    else if (w->mode == 2) copy_blocks(bufferA + offset, bufferB + offset, length);
    else write_blocks(bufferA + offset, length, 0);
    if (atomic_load_explicit(&measureFlag, memory_order_relaxed) == 1) w->count++;
    if (atomic_load_explicit(&stopFlag, memory_order_relaxed) == 1) break;
  }
  return NULL;
}

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static void sleep_ms(unsigned ms) {
  struct timespec t = {ms / 1000, (long)(ms % 1000) * 1000000L};
  nanosleep(&t, NULL);
}

static unsigned char *allocate(void) {
  void *p = NULL;
  if (posix_memalign(&p, 4096, BUFFER_BYTES) != 0) exit(1);
  memset(p, FILL_BYTE, BUFFER_BYTES);
  return p;
}

static uint64_t next_random(uint64_t *state) {
  *state ^= *state << 13;
  *state ^= *state >> 7;
  *state ^= *state << 17;
  return *state;
}

static double chase_128mb(void) {
  const uint32_t saved_count = 262144, stride = 128, n = 262144u * 128u;
  int32_t *saved = malloc(saved_count * sizeof *saved);
  int32_t *sequence = malloc((saved_count - 1) * sizeof *sequence);
  int32_t *a = malloc((size_t)n * sizeof *a);
  uint64_t state = 88172645463325252ull;
  for (uint32_t i = 0; i < saved_count - 1; ++i) sequence[i] = (int32_t)i + 1;
  for (uint32_t i = saved_count - 2; i > 0; --i) {
    uint32_t j = (uint32_t)(next_random(&state) % (i + 1));
    int32_t t = sequence[i];
    sequence[i] = sequence[j];
    sequence[j] = t;
  }
  saved[0] = sequence[0];
  for (uint32_t k = 0; k + 1 < saved_count - 1; ++k) saved[sequence[k]] = sequence[k + 1];
  saved[sequence[saved_count - 2]] = 0;
  memset(a, 0, (size_t)n * sizeof *a);
  for (uint32_t i = 0; i < saved_count; ++i) a[i * stride] = saved[i] * (int32_t)stride;
  const uint32_t steps = 2000000;
  volatile int32_t sink;
  int32_t index = a[0];
  for (uint32_t i = 0; i < steps / 4; ++i) index = a[index]; /* warm the TLB and caches a little */
  double t0 = now_ms();
  for (uint32_t i = 0; i < steps; ++i) index = a[index];
  double t1 = now_ms();
  sink = index;
  (void)sink;
  free(a);
  free(sequence);
  free(saved);
  return (t1 - t0) * 1e6 / steps;
}

int main(int argc, char **argv) {
  unsigned warmup = argc > 2 ? (unsigned)atoi(argv[1]) : 450;
  unsigned window = argc > 2 ? (unsigned)atoi(argv[2]) : 450;
  static const int counts[] = {1, 2, 16};
  static const char *names[] = {"Read", "Write", "Mixed", "WriteZero"};
  static const double factors[] = {1.0, 1.0, 2.0, 1.0};
  bufferA = allocate();
  bufferB = allocate();
  for (int c = 0; c < 3; ++c) {
    int n = counts[c];
    struct worker workers[16];
    for (int mode = 0; mode < 4; ++mode) {
      atomic_store(&measureFlag, 0);
      atomic_store(&stopFlag, 0);
      for (int k = 0; k < n; ++k) {
        workers[k] = (struct worker){mode, 0, k, n, 0};
        pthread_create(&workers[k].thread, NULL, worker_main, &workers[k]);
      }
      sleep_ms(warmup);
      double t0 = now_ms();
      atomic_store_explicit(&measureFlag, 1, memory_order_relaxed);
      sleep_ms(window);
      atomic_store_explicit(&stopFlag, 1, memory_order_relaxed);
      for (int k = 0; k < n; ++k) pthread_join(workers[k].thread, NULL);
      double t1 = now_ms();
      double bytes = 0.0;
      for (int k = 0; k < n; ++k) bytes += (double)(BUFFER_BYTES / n) * workers[k].count * factors[mode];
      unsigned ms = (unsigned)(t1 - t0);
      double gbps = bytes / 1073741824.0 / (ms / 1000.0);
      printf("%dCore%s %.1f\n", n, names[mode], gbps);
      fflush(stdout);
    }
  }
  free(bufferA);
  free(bufferB);
  printf("chase128MB %.2f\n", chase_128mb());
  return 0;
}
