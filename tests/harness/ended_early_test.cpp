// A test program whose process ends under it with exit code 0 in its second test, as Wine ends
// one that overflowed its stack while other threads of it were alive. Its CTest entry is expected
// to fail: the third test never runs, so GoogleTest never reports the whole run. The process is
// ended at once, without the runtime's clean-up: ended through ExitProcess, the 32-bit program
// once died of a signal under Wine, which CTest counts as a failure that WILL_FAIL does not turn.
#include <gtest/gtest.h>
#include <windows.h>

TEST(EndedEarly, RunsFirst) { SUCCEED(); }

TEST(EndedEarly, EndsTheProcessWithExitCodeZero) { TerminateProcess(GetCurrentProcess(), 0); }

TEST(EndedEarly, NeverRuns) { SUCCEED(); }
