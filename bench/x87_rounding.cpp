// Host-side check of the 32-bit flavor's rounding: RoundDecimals as the i686 build computes it,
// on the x87 unit (x*p, + 0.5, floor and the division kept in its registers), at 64-bit and at
// 53-bit precision, against plain double arithmetic (what the 64-bit flavor's SSE code gives).
// Prints the near-half cases and how many whole-millisecond log times up to 200 s get another
// seconds column. Built with the host's g++ by bench/fp_codecheck; x86 hosts only.
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

namespace {
double Power(int n) {
  unsigned exponent = static_cast<unsigned>(n < 0 ? -n : n);
  double p = 1.0, square = 10.0;
  for (; exponent != 0; exponent >>= 1) {
    if (exponent & 1u) p *= square;
    square *= square;
  }
  return n < 0 ? 1.0 / p : p;
}

double RoundDouble(int n, double x) {
  const double p = Power(n);
  return std::floor(x * p + 0.5) / p;
}

// The same steps on the x87 unit at the precision its control word sets; the result is stored as
// a double, as the caller does.
double RoundX87(int n, double x) {
  const long double p = Power(n);
  return static_cast<double>(floorl(static_cast<long double>(x) * p + 0.5L) / p);
}

void SetX87Precision(unsigned bits) {  // bits 8-9 of the control word: 2 = 53-bit, 3 = 64-bit
  unsigned short word;
  asm volatile("fnstcw %0" : "=m"(word));
  word = static_cast<unsigned short>((word & ~0x300u) | (bits << 8));
  asm volatile("fldcw %0" : : "m"(word));
}

std::string Column(double seconds) {  // the log line's seconds, default stream format
  std::ostringstream out;
  out << seconds;
  return out.str();
}

void Report(const char* name, double (*round)(int, double)) {
  struct Case {
    int n;
    double x;
  } const cases[] = {{2, 2.675}, {1, 0.35}, {1, -2.25}, {2, 0.015}};
  std::printf("%-26s", name);
  for (const Case& c : cases) std::printf("  R(%d, %g) = %-5g", c.n, c.x, round(c.n, c.x));
  int differ = 0;
  for (unsigned ms = 1; ms <= 200000; ++ms) {
    const double seconds = static_cast<double>(ms) / 1000.0;
    if (Column(round(2, seconds)) != Column(RoundDouble(2, seconds))) ++differ;
  }
  std::printf("  log times differing from double: %d of 200000\n", differ);
}
}  // namespace

int main() {
  Report("double (64-bit flavor)", RoundDouble);
  SetX87Precision(3);
  Report("x87, 64-bit precision", RoundX87);
  SetX87Precision(2);
  Report("x87, 53-bit precision", RoundX87);
  return 0;
}
