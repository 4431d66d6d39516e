// A test program that holds no test: GoogleTest reports "[  PASSED  ] 0 tests." and exit code 0,
// yet nothing ran, so the entry fails (as it does when a filter matches no test).
#include <gtest/gtest.h>
