#include "common/child_frame_io.h"

#include <cstdlib>

void ReadChildWords(const std::vector<std::string>& args, const char* jsondebugLine,
                    std::ostream& out, ChildWords& words) {
  for (const std::string& arg : args) {
    if (arg == "jsondebug") {
      words.jsondebug = true;
      out << jsondebugLine << std::endl;
    }
    if (arg == "runfast") {
      words.runfast = true;
      out << "S: WARN: Running in fast mode" << std::endl;
    }
  }
}

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
