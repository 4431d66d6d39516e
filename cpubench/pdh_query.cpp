#include "cpubench/pdh_query.h"

#include <mmsystem.h>

#include <sstream>

#include "common/platform/memory_blocks.h"
#include "common/text_helpers.h"

namespace {
std::string HexCode(DWORD code) {
  std::ostringstream out;
  out << std::hex << code;
  return out.str();
}
}  // namespace

CPdhQuery::CPdhQuery(const std::string& counterPath) : counterPath_(counterPath) {
  status_ = PdhOpenQueryA(nullptr, 0, &query_.handle);
  if (status_ != 0) {
    query_.handle = nullptr;
    throw CException(FormatStatusMessage(status_));
  }
  status_ = PdhAddEnglishCounterA(query_.handle, counterPath_.c_str(), 0, &counter_);
  if (status_ != 0) throw CException(FormatStatusMessage(status_));
}

CPdhQuery::~CPdhQuery() { counter_ = nullptr; }

double CPdhQuery::SampleValue() {
  PDH_FMT_COUNTERVALUE value{};
  const DWORD start = timeGetTime();
  SampleAttempts result = CollectUntilRead(
      [this] { return PdhCollectQueryData(query_.handle); },
      [this, &value] { return PdhGetFormattedCounterValue(counter_, PDH_FMT_DOUBLE, nullptr, &value); },
      [start] { return timeGetTime() - start >= kSampleBudgetMs; });
  status_ = result.status;
  if (result.collectFailed) throw CException(FormatStatusMessage(status_));
  if (status_ != 0) {
    throw CException(FormatStatusMessage(status_) + " (no valid value after " +
                     ToString(result.collections) + " collections in " +
                     ToString(static_cast<int>(kSampleBudgetMs)) + " ms)");
  }
  return value.doubleValue;
}

std::string CPdhQuery::FormatStatusMessage(PDH_STATUS status) {
  HMODULE module = LoadLibraryA("pdh.dll");  // stays loaded for later messages
  if (module == nullptr) return "Format message failed with " + HexCode(GetLastError());

  std::string text;
  char* message = nullptr;
  DWORD_PTR arguments[] = {reinterpret_cast<DWORD_PTR>(insertText_.c_str())};
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY,
      module, static_cast<DWORD>(status), 0, reinterpret_cast<LPSTR>(&message), 0,
      reinterpret_cast<va_list*>(arguments));
  const LocalBlock<char> owned(message);
  if (length != 0) {
    text = counterPath_ + " " + std::string(message, length);
  } else {
    const DWORD error = GetLastError();  // before the text is built: allocations may touch it
    text = counterPath_ + " " + "Format message failed with " + HexCode(error) + "\n";
  }
  TrimRight(text);
  TrimLeft(text);
  return text;
}
