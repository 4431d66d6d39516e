#pragma once
// One Performance Data Helper query holding one counter given by its English path.
#include <windows.h>
#include <pdh.h>

#include <cstdint>
#include <string>

// How long SampleValue keeps collecting and reading before it gives up on a counter that never
// delivers a valid value. A rate counter needs two collections; where its data move on only with
// the system's clock tick, reads right after a collection can keep failing until the next tick,
// so the bound is a time, not a number of tries.
constexpr uint32_t kSampleBudgetMs = 1000;

struct SampleAttempts {
  PDH_STATUS status;   // status of the last call made; 0 when a value was read
  bool collectFailed;  // the last call made was a failed collection
  int collections;     // collections made
};

// Collects, then reads, again and again until a read succeeds, a collection fails, or expired()
// says the time for it is spent (asked after each failed read). collect() and read() return PDH
// statuses.
template <typename Collect, typename Read, typename Expired>
SampleAttempts CollectUntilRead(Collect collect, Read read, Expired expired) {
  for (int collections = 1;; ++collections) {
    PDH_STATUS status = collect();
    if (status != 0) return {status, true, collections};
    status = read();
    if (status == 0) return {0, false, collections};
    if (expired()) return {status, false, collections};
  }
}

class CPdhQuery {
 public:
  // Not derived from std::exception: only the sampler catches it.
  class CException {
   public:
    explicit CException(const std::string& message) : errorMessage_(message) {}
    std::string GetErrorMessage() const { return errorMessage_; }

   private:
    std::string errorMessage_;
  };

  // Opens the query and adds the counter; throws CException with the status text on failure.
  explicit CPdhQuery(const std::string& counterPath);
  ~CPdhQuery();
  CPdhQuery(const CPdhQuery&) = delete;
  CPdhQuery& operator=(const CPdhQuery&) = delete;

  // One collected and formatted value; throws CException when a collection fails or no valid
  // value arrives within kSampleBudgetMs.
  double SampleValue();

  // The counter path, a blank and pdh.dll's message for the status, trimmed.
  std::string FormatStatusMessage(PDH_STATUS status);

 private:
  // Closes the query also when the constructor throws after opening it.
  struct QueryHandle {
    PDH_HQUERY handle = nullptr;
    QueryHandle() = default;
    QueryHandle(const QueryHandle&) = delete;
    QueryHandle& operator=(const QueryHandle&) = delete;
    ~QueryHandle() {
      if (handle != nullptr) PdhCloseQuery(handle);
    }
  };

  QueryHandle query_;
  PDH_STATUS status_ = 0;
  PDH_HCOUNTER counter_ = nullptr;
  std::string insertText_;
  std::string counterPath_;
};
