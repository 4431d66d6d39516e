#include "engine/result_file.h"

#include <windows.h>

#include <stdexcept>

#include "common/platform/scoped_handle.h"
#include "common/result_payload.h"
#include "common/text_helpers.h"

namespace {
const char kResultFileName[] = "rawresults.dat";
// Beside the final name, so that the move stays on the same volume and replaces in one step.
const char kPartialFileName[] = "rawresults.dat.partial";

// Removes what was written so far and raises the system's text for code, which the caller took
// before any clean-up call could change the last error.
[[noreturn]] void FailWith(unsigned long code) {
  DeleteFileA(kPartialFileName);
  throw std::runtime_error(ErrorCodeText(code));
}

// A partial file of an earlier run that was ended while writing it is ours, whatever its mode:
// reused, a read-only one would carry its mode into the new result file (or, on Windows, refuse the
// create in every later run). A folder of that name goes only when it is empty; what one holds is
// not ours to delete.
void RemoveStalePartial() {
  const DWORD attributes = GetFileAttributesA(kPartialFileName);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return;
    throw std::runtime_error(std::string("cannot read ") + kPartialFileName + ": " +
                             ErrorCodeText(code));
  }
  // A read-only file or folder refuses its removal; a failure here shows in the removal.
  SetFileAttributesA(kPartialFileName, FILE_ATTRIBUTE_NORMAL);
  const bool removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                           ? RemoveDirectoryA(kPartialFileName) != 0
                           : DeleteFileA(kPartialFileName) != 0;
  if (!removed) {
    const DWORD code = GetLastError();
    SetFileAttributesA(kPartialFileName, attributes);
    throw std::runtime_error(std::string("cannot remove the stale ") + kPartialFileName + ": " +
                             ErrorCodeText(code));
  }
}

void WriteWhole(const std::string& bytes) {
  // A new file, never an older one reused, so that it has no mode but the normal one.
  ScopedHandle file(CreateFileA(kPartialFileName, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) FailWith(GetLastError());
  DWORD written = 0;
  if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size() || !FlushFileBuffers(file.get())) {
    const DWORD code = GetLastError();
    file.close();
    FailWith(code);
  }
  if (!file.close()) FailWith(GetLastError());
}
}  // namespace

void WriteResultFile(const std::string& documentText, const ZlibCalls& zlib) {
  // Encoded before anything is touched on disk: a failure here leaves the older file alone.
  const std::string content = "rawBenchData=" + EncodeResultPayload(documentText, zlib);
  RemoveStalePartial();
  WriteWhole(content);
  // A read-only result file was protected by its owner. Windows refuses to move over it; Wine's
  // move would replace it, so the engine refuses it itself, with the same error.
  const DWORD attributes = GetFileAttributesA(kResultFileName);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    FailWith(ERROR_ACCESS_DENIED);
  }
  if (!MoveFileExA(kPartialFileName, kResultFileName,
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    FailWith(GetLastError());
  }
}
