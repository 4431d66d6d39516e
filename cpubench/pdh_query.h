#pragma once
// One Performance Data Helper query holding one counter given by its English path.
#include <windows.h>
#include <pdh.h>

#include <string>

// How often SampleValue collects and reads before it gives up on a counter that never delivers a
// valid value: a rate counter needs two collections, so a working one answers on the second try.
constexpr int kMaxSampleAttempts = 100;

struct SampleAttempts {
  PDH_STATUS status;   // status of the last call made; 0 when a value was read
  bool collectFailed;  // the last call made was a failed collection
};

// Collects, then reads, again and again until a read succeeds, a collection fails, or maxAttempts
// rounds have been made. collect() and read() return PDH statuses.
template <typename Collect, typename Read>
SampleAttempts CollectUntilRead(Collect collect, Read read, int maxAttempts) {
  PDH_STATUS status = 0;
  for (int attempt = 0; attempt < maxAttempts; ++attempt) {
    status = collect();
    if (status != 0) return {status, true};
    status = read();
    if (status == 0) return {0, false};
  }
  return {status, false};
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
  // value arrives within kMaxSampleAttempts collections.
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
