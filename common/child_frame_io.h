#pragma once
// What the benchmark children share of their frame: reading the request and the debug pause.
#include <istream>
#include <ostream>
#include <string>
#include <vector>

// The command-line words of a stand-alone debug run. Each word writes its own line, a word
// given twice writes it twice; jsondebugLine is the program's own text for that word.
struct ChildWords {
  bool jsondebug = false;
  bool runfast = false;
};
void ReadChildWords(const std::vector<std::string>& args, const char* jsondebugLine,
                    std::ostream& out, ChildWords& words);

// The request as one white-space-delimited token from in; a stand-alone debug run reads nothing
// and asks itself for {"<requestKey>":<runfast>}.
std::string ReadBenchRequest(std::istream& in, bool jsondebug, bool runfast,
                             const std::string& requestKey);

// The end of a stand-alone debug run: waits for a key.
void DebugPause(std::ostream& out);
