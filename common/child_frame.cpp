#include "common/child_frame.h"

#include <cstdlib>
#include <iostream>

#include "common/child_answer.h"
#include "common/child_lines.h"

void ReadChildWords(const std::vector<std::string>& args, const char* jsondebugText,
                    std::ostream& out, ChildWords& words) {
  for (const std::string& arg : args) {
    if (arg == "jsondebug") {
      words.jsondebug = true;
      PrintLogLine(out, jsondebugText);
    }
    if (arg == "runfast") {
      words.runfast = true;
      PrintLogLine(out, "WARN: Running in fast mode");
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

bool ReadFastMode(ChildRun& run) {
  const bool fast = run.request[run.requestKey].get<bool>();
  if (fast && !run.words.runfast) PrintLogLine(run.out, "WARN: ", run.requestKey, " mode");
  return fast;
}

int RunChildFrame(const ChildProgram& program, const std::vector<std::string>& args,
                  std::istream& in, std::ostream& out) {
  ChildRun run(out, program.requestKey, program.incompleteExitCode);
  RunGuarded(program.handlers, out, [&] {
    ReadChildWords(args, program.jsondebugText, out, run.words);
    run.request = nlohmann::json::parse(
        ReadBenchRequest(in, run.words.jsondebug, run.words.runfast, program.requestKey));
    if (!run.request.is_object() || !run.request.contains(program.requestKey)) {
      PrintLogLine(out, program.invalidRequestText);
      return;
    }
    PrintBothLine(out, program.launchText);
    program.work(run);
    PrintBothLine(out, program.exitText, run.status);
    PrintResultLine(run.result, out);
  });
  if (run.words.jsondebug) DebugPause(out);
  return run.exitCode;
}

int RunChildMain(const ChildProgram& program, int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return RunChildFrame(program, args, std::cin, std::cout);
}
