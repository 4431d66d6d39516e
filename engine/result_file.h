#pragma once
// Storing the result payload in "rawresults.dat" so that an older file is replaced only by a
// whole new one.
#include <string>

#include "common/result_payload.h"

// Writes "rawBenchData=" and the payload of the document text to "rawresults.dat" of the working
// directory: the payload is encoded first (with zlib's calls, the real ones but in tests), written
// to a new file beside it, "rawresults.dat.partial", and moved over it when complete. A stale
// partial file of that name is removed first, whatever its mode, and so is an empty folder. A
// failed compression, removal, open, write or move leaves an older "rawresults.dat" as it was,
// removes what was written and throws a standard exception whose text says why (for the file
// steps the system's error text).
void WriteResultFile(const std::string& documentText, const ZlibCalls& zlib = kZlibCalls);
