#pragma once
// Requests for the fake child (tests/doubles/fake_child.cpp) started beside the test program.
#include <windows.h>

#include <string>
#include <vector>

// The bound of a fake child's run in the tests: only against a hang, the children end long before.
constexpr DWORD kTestChildBoundMs = 120000;

// The command line of the fake child beside the test program, quoted.
std::string FakeChildCommand();
// A request that makes the fake child follow the given script.
std::string ScriptRequest(const std::vector<std::string>& script);
