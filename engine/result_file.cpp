#include "engine/result_file.h"

#include <windows.h>

#include <stdexcept>

#include "common/result_payload.h"
#include "common/text_helpers.h"
#include "engine/partial_file.h"

namespace {
// The partial file goes beside it, so that the move stays on the same volume and replaces in one
// step.
const char kResultFileName[] = "rawresults.dat";

// Removes the partial file this run created, and only that one, then raises the system's text for
// code, which the caller took before any clean-up call could change the last error.
[[noreturn]] void FailWith(const std::string& partialName, unsigned long code) {
  DeleteFileA(partialName.c_str());
  throw std::runtime_error(ErrorCodeText(code));
}

void WriteWhole(PartialFile& partial, const std::string& bytes) {
  DWORD written = 0;
  if (!WriteFile(partial.handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                 nullptr) ||
      written != bytes.size() || !FlushFileBuffers(partial.handle.get())) {
    const DWORD code = GetLastError();
    partial.handle.close();
    FailWith(partial.name, code);
  }
  if (!partial.handle.close()) FailWith(partial.name, GetLastError());
}
}  // namespace

void WriteResultFile(const std::string& documentText, const ZlibCalls& zlib) {
  // Encoded before anything is touched on disk: a failure here leaves the older file alone.
  const std::string content = "rawBenchData=" + EncodeResultPayload(documentText, zlib);
  // A name of this run's own, so that a partial file another run is writing, or one that an ended
  // run left behind, is never opened or removed.
  PartialFile partial = CreatePartialFile(kResultFileName, GetCurrentProcessId());
  WriteWhole(partial, content);
  // A read-only result file was protected by its owner. Windows refuses to move over it; Wine's
  // move would replace it, so the engine refuses it itself, with the same error.
  const DWORD attributes = GetFileAttributesA(kResultFileName);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    FailWith(partial.name, ERROR_ACCESS_DENIED);
  }
  // The move replaces a link of that name itself, never the file it points to.
  if (!MoveFileExA(partial.name.c_str(), kResultFileName,
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    FailWith(partial.name, GetLastError());
  }
}
