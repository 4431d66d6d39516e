#pragma once
// Cutting a child's output into message lines without keeping more than a fixed amount of one
// unfinished line, so that a child writing an endless line cannot exhaust the engine's memory.
#include <cstddef>
#include <string>
#include <vector>

// Well above any real answer (a full result line is a few kilobytes).
constexpr size_t kMessageLineCap = 16 * 1024 * 1024;

class CappedLineCutter {
 public:
  explicit CappedLineCutter(size_t cap = kMessageLineCap) : cap_(cap) {}

  // Cuts one block as CutMessageLines does, but drops every line longer than the cap (without its
  // line end): a line that outgrows it before its line feed has arrived is not kept any further and
  // is skipped up to and including that line feed. Returns, for each line this block dropped or
  // began to drop, how many of the lines it added come before that one, so that the caller can
  // say so once per line, in the order the child wrote them.
  std::vector<size_t> Cut(const char* block, size_t length, std::vector<std::string>& lines);
  // Whether the text cut so far ends inside a line: bytes after the last line feed, kept or being
  // dropped.
  bool InsideALine() const { return dropping_ || !carried_.empty(); }

 private:
  size_t cap_;
  std::string carried_;
  bool dropping_ = false;
};
