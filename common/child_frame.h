#pragma once
// The frame every benchmark child runs in: the command-line words, one request read from standard
// input, the guarded block, the launch and exit lines around the program's work, the answer line
// and the debug pause. A program supplies its texts, request key, exit codes and work (a
// ChildProgram); the frame holds no process-wide object of its own.
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "common/child_guard.h"

// The command-line words of a stand-alone debug run. Each word writes its own line, a word
// given twice writes it twice; jsondebugText is the program's own "S: " text for that word.
struct ChildWords {
  bool jsondebug = false;
  bool runfast = false;
};
void ReadChildWords(const std::vector<std::string>& args, const char* jsondebugText,
                    std::ostream& out, ChildWords& words);

// The request as one white-space-delimited token from in; a stand-alone debug run reads nothing
// and asks itself for {"<requestKey>":<runfast>}.
std::string ReadBenchRequest(std::istream& in, bool jsondebug, bool runfast,
                             const std::string& requestKey);

// The end of a stand-alone debug run: waits for a key.
void DebugPause(std::ostream& out);

// One run of a child, as its work sees it.
struct ChildRun {
  ChildRun(std::ostream& out, const char* requestKey, int exitCode)
      : out(out), requestKey(requestKey), exitCode(exitCode) {}

  std::ostream& out;
  const char* requestKey;
  int exitCode;             // returned by main; the work sets it as it gets on
  ChildWords words;
  nlohmann::json request;   // an object that holds requestKey
  nlohmann::json result;    // the answer: null until the first entry
  std::string status;       // follows the exit text: empty or " with errors"
};

// The request's fast-mode switch read as a boolean (the JSON library's type error for any other
// value); "S: WARN: <key> mode" when the request asks for it and the word "runfast" did not.
bool ReadFastMode(ChildRun& run);

// What a child program brings to the frame.
struct ChildProgram {
  const char* requestKey;
  const char* jsondebugText;       // "S: " line for each word "jsondebug"
  const char* invalidRequestText;  // "S: " line for a request that is no object or lacks the key
  const char* launchText;          // "B: " line once the request is valid
  const char* exitText;            // "B: " line after the work, followed by the status
  ChildHandlerTexts handlers;
  int incompleteExitCode;          // the preset exit code: an invalid request keeps it
  void (*work)(ChildRun& run);     // adds to run.result; sets run.exitCode and run.status
};

// The run of a child program; args are the words after the program name. Returns the exit code.
int RunChildFrame(const ChildProgram& program, const std::vector<std::string>& args,
                  std::istream& in, std::ostream& out);
// RunChildFrame on main's arguments, standard input and standard output.
int RunChildMain(const ChildProgram& program, int argc, char** argv);
