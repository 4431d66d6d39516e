#include "engine/child_log_budget.h"

bool ChildLogBudget::Admit(size_t bytes) {
  if (droppedLines_ == 0 && lines_ < lineCap_ && bytes <= byteCap_ - bytes_) {
    ++lines_;
    bytes_ += bytes;
    return true;
  }
  ++droppedLines_;
  droppedBytes_ += bytes;
  return false;
}
