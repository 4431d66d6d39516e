#include "gputest/framework/media_search.h"

#include <string>
#include <vector>

#include "gputest/framework/framework_errors.h"

namespace {
bool Exists(const std::wstring& path) {
  return path.size() < MAX_PATH && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring FullPath(const std::wstring& path) {
  wchar_t full[MAX_PATH];
  const DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  return n == 0 || n >= MAX_PATH ? L"" : std::wstring(full, n);
}

// The typical places relative to the working directory and to the executable.
std::vector<std::wstring> TypicalPlaces(const std::wstring& name, const std::wstring& exeDir,
                                        const std::wstring& exeName) {
  return {name,
          L"..\\" + name,
          L"..\\..\\" + name,
          exeDir + L"\\" + name,
          exeDir + L"\\..\\" + name,
          exeDir + L"\\..\\..\\" + name,
          exeDir + L"\\..\\" + exeName + L"\\" + name,
          exeDir + L"\\..\\..\\" + exeName + L"\\" + name};
}

// A full path that still has a last component: not a drive's root.
bool HasLastComponent(std::wstring path) {
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  const size_t slash = path.find_last_of(L'\\');
  return slash != std::wstring::npos && slash + 1 < path.size();
}

// From start up to (not including) the root, the first folder that holds name.
bool SearchUpwards(const std::wstring& start, const std::wstring& name, std::wstring* found) {
  for (std::wstring dir = FullPath(start); HasLastComponent(dir); dir = FullPath(dir + L"\\..")) {
    const std::wstring candidate = dir + L"\\" + name;
    if (Exists(candidate)) {
      *found = candidate;
      return true;
    }
  }
  return false;
}

void CopyToPath(wchar_t* path, const std::wstring& text) {
  const size_t n = text.size() < MAX_PATH ? text.size() : MAX_PATH - 1;
  text.copy(path, n);
  path[n] = L'\0';
}
}  // namespace

HRESULT FindMediaFile(wchar_t* path, const wchar_t* name, const UserMessages& messages) {
  if (path == nullptr || name == nullptr || name[0] == L'\0') return E_INVALIDARG;

  wchar_t exePath[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, exePath, MAX_PATH);
  exePath[length < MAX_PATH ? length : MAX_PATH - 1] = L'\0';
  const std::wstring exe(exePath);
  const size_t slash = exe.find_last_of(L'\\');
  const std::wstring exeDir = slash == std::wstring::npos ? L"" : exe.substr(0, slash);
  std::wstring exeName = slash == std::wstring::npos ? exe : exe.substr(slash + 1);
  const size_t dot = exeName.find_last_of(L'.');
  if (dot != std::wstring::npos) exeName.resize(dot);

  const std::wstring file(name);
  const std::wstring inMedia = L"media\\" + file;
  std::wstring found;
  for (const std::wstring* wanted : {&file, &inMedia}) {
    for (const std::wstring& candidate : TypicalPlaces(*wanted, exeDir, exeName)) {
      if (Exists(candidate)) {
        CopyToPath(path, candidate);
        return S_OK;
      }
    }
  }
  for (const std::wstring* wanted : {&file, &inMedia}) {
    if (SearchUpwards(L".", *wanted, &found) || SearchUpwards(exeDir, *wanted, &found)) {
      CopyToPath(path, found);
      return S_OK;
    }
  }

  CopyToPath(path, file);
  messages.debugOutput(L"Failed to load resource: ");
  messages.debugOutput(file);
  messages.debugOutput(L"\n");
  return frameworkMediaNotFound;
}
