#pragma once
// The one writer of a child's message lines: the prefix, the parts streamed straight into out (so
// numbers come out in out's own format), the end of line with a flush.
#include <ostream>

#include "common/message_line_kind.h"

template <class... Parts>
void PrintMessageLine(std::ostream& out, MessageLineKind kind, const Parts&... parts) {
  out << MessageLinePrefix(kind);
  (out << ... << parts);
  out << std::endl;
}

// "C: ", shown on the engine's console only.
template <class... Parts>
void PrintConsoleLine(std::ostream& out, const Parts&... parts) {
  PrintMessageLine(out, MessageLineKind::Console, parts...);
}
// "S: ", kept in the engine's run log only.
template <class... Parts>
void PrintLogLine(std::ostream& out, const Parts&... parts) {
  PrintMessageLine(out, MessageLineKind::Log, parts...);
}
// "B: ", logged and shown.
template <class... Parts>
void PrintBothLine(std::ostream& out, const Parts&... parts) {
  PrintMessageLine(out, MessageLineKind::Both, parts...);
}
