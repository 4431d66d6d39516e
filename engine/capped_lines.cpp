#include "engine/capped_lines.h"

#include <cstring>

#include "engine/message_lines.h"

bool CappedLineCutter::Cut(const char* block, size_t length, std::vector<std::string>& lines) {
  if (dropping_) {
    const void* lf = std::memchr(block, '\n', length);
    if (lf == nullptr) return false;
    // The dropped line ends here; the rest of the block starts the next one.
    dropping_ = false;
    const size_t skipped = static_cast<const char*>(lf) - block + 1;
    block += skipped;
    length -= skipped;
  }
  CutMessageLines(carried_, block, length, lines);
  if (carried_.size() <= cap_) return false;
  carried_.clear();
  carried_.shrink_to_fit();
  dropping_ = true;
  return true;
}
