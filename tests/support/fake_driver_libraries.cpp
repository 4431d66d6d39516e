#include "tests/support/fake_driver_libraries.h"

#include <stdexcept>

#include "gpustats/nvapi_types.h"
#include "tests/support/process_runner.h"

namespace {
void CopyFromBin(const TempDir& dir, const std::string& build, const std::string& name) {
  if (!dir.Copy(BinDir() + "\\" + build, name)) throw std::runtime_error("cannot copy " + build);
}
}  // namespace

void PlaceFakeNvapi(const TempDir& dir, const nlohmann::json& answers) {
  CopyFromBin(dir, "fake_nvapi.dll", kNvApiLibraryName);
  dir.Write("nvapi_answers.json", answers.dump());
}

void PlaceFakeAdl(const TempDir& dir, const nlohmann::json& answers, const std::string& name,
                  const std::string& build) {
  CopyFromBin(dir, build, name);
  dir.Write("adl_answers.json", answers.dump());
}
