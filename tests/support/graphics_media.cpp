#include "tests/support/graphics_media.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {
namespace fs = std::filesystem;

bool IsProgramOrLibrary(const fs::path& file) {
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".exe" || extension == ".dll";
}
}  // namespace

bool CopyGraphicsTestMedia(const std::string& binDir, const std::string& folder) {
  std::error_code error;
  bool copied = true;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(binDir, error)) {
    if (!entry.is_regular_file() || IsProgramOrLibrary(entry.path())) continue;
    const fs::path target = fs::path(folder) / fs::relative(entry.path(), binDir);
    fs::create_directories(target.parent_path(), error);
    copied = fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing, error) &&
             copied;
  }
  return copied && !error;
}
