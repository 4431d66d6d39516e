#pragma once
// The layout of one line of the trace log "gputrace.log".
#include <cstdint>
#include <ostream>
#include <string>

// Appends one line: tenths of a second since startTick (now and startTick in milliseconds), the
// source file's name, the line, the function and the message. The first line of a stream has its
// time right-aligned; the line switches the stream to left adjustment for good, so every later
// time stands left-aligned.
void WriteTraceLineTo(std::ostream& stream, uint32_t now, double startTick, const char* file,
                      int line, const char* function, const std::string& message);
