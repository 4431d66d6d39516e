#pragma once
// An ADL record made of a header and as many performance levels as the caller asks for, in one
// zeroed block whose size the record's own size field can hold.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

template <typename Record, typename Level, size_t LevelsOffset>
class AdlLevelBuffer {
 public:
  // The largest count whose block size fits the record's int size field.
  static constexpr int32_t kMaxLevels = static_cast<int32_t>((INT32_MAX - LevelsOffset) / sizeof(Level));

  explicit AdlLevelBuffer(int32_t levels)
      : levels_(levels), words_((LevelsOffset + sizeof(Level) * levels + 3) / 4, 0) {}

  int32_t size() const { return static_cast<int32_t>(LevelsOffset + sizeof(Level) * levels_); }
  int32_t levels() const { return levels_; }
  void Zero() { std::fill(words_.begin(), words_.end(), 0); }
  Record* record() { return reinterpret_cast<Record*>(words_.data()); }
  const Level& level(int32_t i) const {
    return reinterpret_cast<const Level*>(reinterpret_cast<const char*>(words_.data()) + LevelsOffset)[i];
  }

 private:
  int32_t levels_;
  std::vector<int32_t> words_;
};
