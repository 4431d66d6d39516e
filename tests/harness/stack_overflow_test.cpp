// A test that overflows its stack while a second thread of the program is alive, the crash that
// once held its entry until CTest's half-hour limit: Wine reported the overflow as unhandled and
// started its debugger, which hung (or let the program end with exit code 0). With no debugger in
// the tests' prefix the program ends at once with the exception's code, and the entry fails well
// within its time limit. The frame is larger than the whole stack, so that Wine has the rest of
// the stack to report the overflow with. A recursion of small frames can leave it too little; Wine
// then ends only the thread, the program goes on with its other threads whatever the prefix says,
// and only the entry's time limit ends it.
#include <gtest/gtest.h>
#include <windows.h>

namespace {

DWORD WINAPI SleepsForever(void*) {
  Sleep(INFINITE);
  return 0;
}

volatile char sink;

int OverflowsTheStack() {
  volatile char frame[8 << 20];
  frame[0] = 1;
  sink = frame[sizeof frame - 1];
  return frame[1];
}

}  // namespace

TEST(StackOverflow, WithASecondThreadAlive) {
  HANDLE thread = CreateThread(nullptr, 0, SleepsForever, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(OverflowsTheStack(), 0);
}

TEST(StackOverflow, NeverRuns) { SUCCEED(); }
