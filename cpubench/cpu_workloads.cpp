#include "cpubench/cpu_workloads.h"

#include <array>
#include <cmath>

#include "common/base64url.h"

namespace {
XorShift96 processRandomState;

// The float functions are the double ones on the float argument, rounded back.
float FloatSqrt(float value) { return static_cast<float>(std::sqrt(static_cast<double>(value))); }
float FloatTan(float value) { return static_cast<float>(std::tan(static_cast<double>(value))); }

constexpr std::array<signed char, 256> MakeDecodeTable() {
  std::array<signed char, 256> table{};
  for (auto& entry : table) entry = -1;
  for (int i = 0; i < 26; ++i) {
    table['A' + i] = static_cast<signed char>(i);
    table['a' + i] = static_cast<signed char>(26 + i);
  }
  for (int i = 0; i < 10; ++i) table['0' + i] = static_cast<signed char>(52 + i);
  table['-'] = 62;
  table['_'] = 63;
  return table;
}
constexpr std::array<signed char, 256> decodeTable = MakeDecodeTable();

// Results nobody reads still have to be computed; a volatile store keeps the optimiser from
// dropping the work that produced them. The sink is on the worker's own stack.
template <typename T>
void Keep(T value) {
  volatile T sink = value;
  (void)sink;
}

void RunIntUnit(const uint32_t* buffer, int kb) {
  std::string text = Base64UrlEncode(reinterpret_cast<const unsigned char*>(buffer),
                                     static_cast<size_t>(kb) * 1024);
  std::string bytes = Base64UrlDecode(text);
  Keep(bytes.size());
}

double FloatRun(double accumulator) {
  for (int i = 0; i < 41; ++i) accumulator += FloatKernel();
  return accumulator;
}

void RunFloatUnit() {
  double accumulator = 0.0;
  accumulator = FloatRun(accumulator);
  accumulator = FloatRun(accumulator);
  Keep(accumulator);
}

void RunMixedUnit(const uint32_t* buffer, int kb) {
  double accumulator = 0.0;
  accumulator = FloatRun(accumulator);
  std::string text = Base64UrlEncode(reinterpret_cast<const unsigned char*>(buffer),
                                     static_cast<size_t>(kb) * 1024);
  accumulator = FloatRun(accumulator);
  std::string bytes = Base64UrlDecode(text);
  Keep(accumulator);
  Keep(bytes.size());
}
}  // namespace

uint32_t NextRandomWord(XorShift96& state) {
  state.x ^= state.x << 16;
  state.x ^= state.x >> 5;
  uint32_t t = state.x ^ (state.x << 1);
  state.x = state.y;
  state.y = state.z;
  state.z = state.z ^ state.x ^ t;
  return state.z;
}

uint32_t* MakeRandomBuffer(int kb) {
  size_t words = static_cast<size_t>(kb) * 256;
  uint32_t* buffer = new uint32_t[words];
  for (size_t i = 0; i < words; ++i) buffer[i] = NextRandomWord(processRandomState);
  return buffer;
}

float FloatKernel() {
  // Read at run time, so the compiler cannot fold the whole chain into a constant.
  volatile double start = 32.0;
  volatile float dropped;
  double x = start;
  x = std::tan(x) + x;
  x = std::sqrt(x) + x;
  x = std::cos(x) + x;
  x = std::log(x) + x;

  float c = 0.0f;
  for (;;) {
    float square = c * c;
    if (!(x >= static_cast<double>(square))) break;
    c = c + 0.1f;
    dropped = FloatSqrt(c + 0.2f);
    dropped = FloatTan(c + 0.2f);
    dropped = FloatSqrt(c);
    dropped = FloatTan(c);
  }
  (void)dropped;

  // Newton steps towards the square root of x.
  float y = c;
  float t = 0.0f;
  for (int i = 0; i < 10; ++i) {
    t = static_cast<float>(x);
    t = t / y;
    t = t + y;
    t = t / 2.0f;
    y = t;
  }
  return t;
}

std::string Base64UrlDecode(const std::string& text) {
  std::string bytes;
  bytes.reserve(text.size() / 4 * 3 + 2);
  unsigned group[4];
  int filled = 0;
  for (char ch : text) {
    int index = decodeTable[static_cast<unsigned char>(ch)];
    if (index < 0) break;  // "*" and every foreign character end the text
    group[filled++] = static_cast<unsigned>(index);
    if (filled == 4) {
      bytes += static_cast<char>(((group[0] << 2) + ((group[1] >> 4) & 3)) & 0xFF);
      bytes += static_cast<char>((((group[1] & 15) << 4) + ((group[2] >> 2) & 15)) & 0xFF);
      bytes += static_cast<char>((((group[2] & 3) << 6) + group[3]) & 0xFF);
      filled = 0;
    }
  }
  if (filled >= 2) bytes += static_cast<char>(((group[0] << 2) + ((group[1] >> 4) & 3)) & 0xFF);
  if (filled == 3)
    bytes += static_cast<char>((((group[1] & 15) << 4) + ((group[2] >> 2) & 15)) & 0xFF);
  return bytes;
}

void RunCpuUnit(int mode, const uint32_t* buffer, int kb) {
  switch (mode) {
    case kCpuInt:
      RunIntUnit(buffer, kb);
      break;
    case kCpuFloat:
      RunFloatUnit();
      break;
    case kCpuMixed:
      RunMixedUnit(buffer, kb);
      break;
    default:
      break;
  }
}
