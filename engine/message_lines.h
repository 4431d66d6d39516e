#pragma once
// The run engine's side of the console children's message-line protocol: cutting the child's
// output into lines and routing each line by its three-character prefix.
#include <string>
#include <vector>

#include "common/message_line_kind.h"

// Appends one block of the child's output to `carried` and moves every line ended by a line feed
// into `lines`. The byte before each line feed is dropped (children end lines with CR LF); what
// follows the last line feed stays in `carried` for the next block.
void CutMessageLines(std::string& carried, const char* block, size_t length,
                     std::vector<std::string>& lines);

// The line's kind by its prefix ("C: ", "S: ", "B: ", "R: "); anything else is Unknown.
MessageLineKind ClassifyMessageLine(const std::string& line);

// Whether a line of this kind goes to the run log: every kind but console and result lines.
bool LogsMessageLine(MessageLineKind kind);

// Routes one line of its kind (ClassifyMessageLine): "C: " to the console, "S: " to the run log,
// "B: " to both, "R: " into `result` (a later result line replaces an earlier one; bytes that are
// not UTF-8 come as their Latin-1 characters); any other line is logged as unknown.
void RouteMessageLine(const std::string& line, MessageLineKind kind, std::string& result);
inline void RouteMessageLine(const std::string& line, std::string& result) {
  RouteMessageLine(line, ClassifyMessageLine(line), result);
}
