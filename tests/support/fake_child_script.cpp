#include "tests/support/fake_child_script.h"

#include <nlohmann/json.hpp>

#include "tests/support/process_runner.h"

std::string FakeChildCommand() { return "\"" + BinDir() + "\\fake_child.exe\""; }

std::string ScriptRequest(const std::vector<std::string>& script) {
  nlohmann::json request;
  request["FAKE_SCRIPT"] = script;
  return request.dump();
}
