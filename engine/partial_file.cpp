#include "engine/partial_file.h"

#include <windows.h>

#include <stdexcept>

#include "common/text_helpers.h"

namespace {
// Whether the create failed only because the name is taken. Windows refuses a name that is being
// deleted, and may refuse a folder's, as "access denied" instead of "exists"; with nothing of that
// name there, the folder itself refused the new file, and every further number would fail the same
// way.
bool NameIsTaken(const std::string& name, DWORD code) {
  if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) return true;
  if (code != ERROR_ACCESS_DENIED) return false;
  if (GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  const DWORD lookup = GetLastError();
  return lookup != ERROR_FILE_NOT_FOUND && lookup != ERROR_PATH_NOT_FOUND;
}
}  // namespace

std::string PartialFileName(const std::string& finalName, unsigned long processId,
                            unsigned number) {
  return finalName + "." + std::to_string(processId) + "." + std::to_string(number) + ".partial";
}

PartialFile CreatePartialFile(const std::string& finalName, unsigned long processId) {
  for (unsigned number = 1;; ++number) {
    PartialFile partial;
    partial.name = PartialFileName(finalName, processId, number);
    // CREATE_NEW, so that an existing name, a link to a file elsewhere among them, is never opened.
    partial.handle.reset(CreateFileA(partial.name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (partial.handle.valid()) return partial;
    const DWORD code = GetLastError();
    if (!NameIsTaken(partial.name, code)) {
      throw std::runtime_error("cannot create " + partial.name + ": " + ErrorCodeText(code));
    }
    if (number == kPartialFileAttempts) {
      throw std::runtime_error("cannot create " + partial.name + " nor any of the " +
                               std::to_string(kPartialFileAttempts - 1) +
                               " names of this run before it: " + ErrorCodeText(code));
    }
  }
}
