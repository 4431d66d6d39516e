// A test program whose process ends under it with exit code 0 in its second test, as Wine ends
// one that overflowed its stack while other threads of it were alive. Its CTest entry is expected
// to fail: the third test never runs, so GoogleTest never reports the whole run.
#include <gtest/gtest.h>
#include <windows.h>

TEST(EndedEarly, RunsFirst) { SUCCEED(); }

TEST(EndedEarly, EndsTheProcessWithExitCodeZero) { ExitProcess(0); }

TEST(EndedEarly, NeverRuns) { SUCCEED(); }
