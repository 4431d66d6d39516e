#include "engine/capped_lines.h"

#include <cstring>

#include "engine/message_lines.h"

std::vector<size_t> CappedLineCutter::Cut(const char* block, size_t length,
                                          std::vector<std::string>& lines) {
  std::vector<size_t> drops;
  if (dropping_) {
    const void* lf = std::memchr(block, '\n', length);
    if (lf == nullptr) return drops;
    // The dropped line ends here; the rest of the block starts the next one.
    dropping_ = false;
    const size_t skipped = static_cast<const char*>(lf) - block + 1;
    block += skipped;
    length -= skipped;
  }
  const size_t first = lines.size();
  CutMessageLines(carried_, block, length, lines);
  // A line may have grown past the cap in the very block that ended it.
  size_t kept = first;
  for (size_t i = first; i < lines.size(); ++i) {
    if (lines[i].size() > cap_) {
      drops.push_back(kept - first);
      continue;
    }
    if (kept != i) lines[kept] = std::move(lines[i]);
    ++kept;
  }
  lines.resize(kept);
  // The unfinished text may still end in the carriage return that the cut drops.
  if (carried_.size() > cap_ + 1) {
    carried_.clear();
    carried_.shrink_to_fit();
    dropping_ = true;
    drops.push_back(kept - first);
  }
  return drops;
}
