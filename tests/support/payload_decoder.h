#pragma once
// Reads "rawresults.dat" back into the document text, the way a results server would.
#include <string>

// Returns the document text of a file's content "rawBenchData=<payload>", or "" when it is not one.
std::string DecodeResultFile(const std::string& fileContent);
