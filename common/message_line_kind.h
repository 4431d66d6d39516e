#pragma once
// The prefixes of the console protocol's message lines: the children write them, the run engine
// routes each line by them.
#include <cstddef>

enum class MessageLineKind { Console, Log, Both, Result, Unknown };

constexpr size_t kMessagePrefixLength = 3;

// "C: " console only, "S: " run log only, "B: " both, "R: " the answer; empty for Unknown.
constexpr const char* MessageLinePrefix(MessageLineKind kind) {
  switch (kind) {
    case MessageLineKind::Console: return "C: ";
    case MessageLineKind::Log: return "S: ";
    case MessageLineKind::Both: return "B: ";
    case MessageLineKind::Result: return "R: ";
    default: return "";
  }
}
