#pragma once
// Doubles are rounded to 53 bits in both flavors and on every thread, so that the 32-bit programs
// compute the same figures as the 64-bit ones. The 64-bit flavor does its double arithmetic in SSE
// registers and needs nothing. The 32-bit flavor uses the x87 unit: the process starts at 53-bit
// precision because the build links MinGW's CRT_fp8.o (start-up then resets the unit the way the
// platform's runtime does, to 0x27F, not to the 64-bit precision of a bare fninit); under Wine
// every thread then starts with 0x27F too, however it was created. Every thread proc the programs
// create still calls UseStartUpFloatingPoint first, so that its figures rest on no platform's way
// of starting a thread.
#include <float.h>

inline void UseStartUpFloatingPoint() {
#if defined(__i386__)
  _control87(_PC_53, _MCW_PC);
#endif
}
