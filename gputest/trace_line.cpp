#include "gputest/trace_line.h"

#include <cmath>
#include <cstring>
#include <iomanip>

void WriteTraceLineTo(std::ostream& stream, uint32_t now, double startTick, const char* file,
                      int line, const char* function, const std::string& message) {
  const double tenths = std::round((static_cast<double>(now) - startTick) / 100.0);
  stream << std::setw(4) << tenths;
  stream << std::left;
  const char* slash = std::strrchr(file, '\\');
  stream << std::setw(18) << (slash != nullptr ? slash + 1 : file) << ' ';
  stream << std::setw(5) << line << ' ';
  stream << std::setw(40) << function << "  ";
  stream << message << std::endl;
}
