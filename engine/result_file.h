#pragma once
// Storing the result payload in "rawresults.dat" so that an older file is replaced only by a
// whole new one.
#include <string>

#include "common/result_payload.h"

// Writes "rawBenchData=" and the payload of the document text to "rawresults.dat" of the working
// directory: the payload is encoded first (with zlib's calls, the real ones but in tests), written
// to a new partial file of this run's own beside it (partial_file.h) and moved over it when
// complete. No other file is opened or removed: a partial file of another run, or a stale one of an
// earlier run or version, stays as it is. A failed compression, create, write or move leaves an
// older "rawresults.dat" as it was, removes the partial file this run created and throws a standard
// exception whose text says why (for the file steps the system's error text, naming the partial
// file when it could not be created).
void WriteResultFile(const std::string& documentText, const ZlibCalls& zlib = kZlibCalls);
