#pragma once
// The guarded block of a child's run: an exception out of it ends the run with one "B: " line.
#include <functional>
#include <ostream>

// Each text is followed by the exception's text (ExceptionText), except the last one's.
struct ChildHandlerTexts {
  const char* allocation;  // std::bad_alloc; null: handled like any other standard exception
  const char* standard;    // any standard exception
  const char* unknown;     // anything else
};

// Runs body; false when it ended by an exception, which the matching handler has written to out.
bool RunGuarded(const ChildHandlerTexts& texts, std::ostream& out, const std::function<void()>& body);
