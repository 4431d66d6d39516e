#pragma once
// What the benchmark children share of their frame: reading the request and the debug pause.
#include <istream>
#include <ostream>
#include <string>

// The request as one white-space-delimited token from in; a stand-alone debug run reads nothing
// and asks itself for {"<requestKey>":<runfast>}.
std::string ReadBenchRequest(std::istream& in, bool jsondebug, bool runfast,
                             const std::string& requestKey);

// The end of a stand-alone debug run: waits for a key.
void DebugPause(std::ostream& out);
