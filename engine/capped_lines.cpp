#include "engine/capped_lines.h"

#include <algorithm>
#include <cstring>

#include "engine/message_lines.h"

int CappedLineCutter::Cut(const char* block, size_t length, std::vector<std::string>& lines) {
  int dropped = 0;
  if (dropping_) {
    const void* lf = std::memchr(block, '\n', length);
    if (lf == nullptr) return 0;
    // The dropped line ends here; the rest of the block starts the next one.
    dropping_ = false;
    const size_t skipped = static_cast<const char*>(lf) - block + 1;
    block += skipped;
    length -= skipped;
  }
  const size_t first = lines.size();
  CutMessageLines(carried_, block, length, lines);
  // A line may have grown past the cap in the very block that ended it.
  const auto kept = std::remove_if(lines.begin() + first, lines.end(),
                                   [this](const std::string& line) { return line.size() > cap_; });
  dropped += static_cast<int>(lines.end() - kept);
  lines.erase(kept, lines.end());
  // The unfinished text may still end in the carriage return that the cut drops.
  if (carried_.size() > cap_ + 1) {
    carried_.clear();
    carried_.shrink_to_fit();
    dropping_ = true;
    ++dropped;
  }
  return dropped;
}
