#include "common/child_frame_io.h"

#include <cstdlib>

std::string ReadBenchRequest(std::istream& in, bool jsondebug, bool runfast,
                             const std::string& requestKey) {
  if (jsondebug) return "{\"" + requestKey + "\":" + (runfast ? "true" : "false") + "}";
  std::string token;
  in >> token;
  return token;
}

void DebugPause(std::ostream& out) {
  out << "COMPLETED OK - WAITING FOR INPUT" << std::endl;
  std::system("pause");
}
