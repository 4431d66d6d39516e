#pragma once
// Where the framework's trace points write: the source file's name, the line, the function and
// the message. The program writes to the trace log; a test collects the lines.
#include <functional>
#include <string>

using TraceSink =
    std::function<void(const char* file, int line, const char* function, const std::string& message)>;
