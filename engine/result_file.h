#pragma once
// Storing the result payload in "rawresults.dat" so that an older file is replaced only by a
// whole new one.
#include <string>

// Writes "rawBenchData=" and the payload of the document text to "rawresults.dat" of the working
// directory: the payload is encoded first, written to a file beside it and moved over it when
// complete. A failed open, write or move removes that file, leaves an older "rawresults.dat" as it
// was and throws a standard exception whose text is the system's error text.
void WriteResultFile(const std::string& documentText);
