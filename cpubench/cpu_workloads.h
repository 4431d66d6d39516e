#pragma once
// The CPU benchmark's units of work: a base64url round trip of a random 4 KiB buffer, a chain of
// floating-point calls, and half of each.
#include <cstdint>
#include <string>

// Marsaglia's xorshift with 96 bits of state.
struct XorShift96 {
  uint32_t x = 123456789;
  uint32_t y = 362436069;
  uint32_t z = 521288629;
};

// The next word of the sequence; moves the state on.
uint32_t NextRandomWord(XorShift96& state);

// kb * 256 words from the process-wide generator, which moves on with every buffer.
// The caller owns the buffer (delete[]). Call only while no worker runs.
uint32_t* MakeRandomBuffer(int kb);

// Always the same value (about 6.543933); the point is the work done to get it.
float FloatKernel();

// Decodes base64url text up to the first "*" or character outside the alphabet.
std::string Base64UrlDecode(const std::string& text);

enum CpuMode { kCpuInt = 0, kCpuFloat = 1, kCpuMixed = 2 };

// One unit of the mode's work on a buffer of kb KiB.
void RunCpuUnit(int mode, const uint32_t* buffer, int kb);
