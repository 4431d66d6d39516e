#include "engine/result_document.h"

#include <sstream>
#include <stdexcept>

#include <boost/property_tree/json_parser.hpp>

#include "engine/json_text.h"

namespace {
// The recursion stops at the limit, so its own depth is bounded too.
bool NestedDeeperThan(const nlohmann::json& value, int levels) {
  if (!value.is_structured()) return false;
  if (levels == 0) return true;
  for (const nlohmann::json& element : value) {
    if (NestedDeeperThan(element, levels - 1)) return true;
  }
  return false;
}

bool HasEmptySegment(const std::string& path) {
  return path.empty() || path.front() == '.' || path.back() == '.' ||
         path.find("..") != std::string::npos;
}

void MergeElement(Tree& target, const nlohmann::json& element, const std::string& prefix,
                  MergeMode mode) {
  // Iterating a non-object raises the JSON library's own error for key(); null gives nothing.
  for (auto it = element.begin(); it != element.end(); ++it) {
    const std::string path = prefix + it.key();
    if (mode == MergeMode::Text) {
      AddReplyValue(target, path, it.value().get<std::string>());
    } else {
      AddReplyValue(target, path, CompactJsonText(it.value()));
    }
  }
}
}  // namespace

void AddReplyValue(Tree& target, const std::string& path, const std::string& value) {
  // An empty segment would store an unnamed child, and the writer writes a node with unnamed
  // children as an array.
  if (HasEmptySegment(path)) throw std::runtime_error("key \"" + path + "\" has an empty segment");
  // The walk of add: the first child of each key but the last; the node where it stops gets the
  // new child.
  const Tree* node = &target;
  std::string::size_type start = 0;
  for (std::string::size_type dot; (dot = path.find('.', start)) != std::string::npos;) {
    const auto child = node->find(path.substr(start, dot - start));
    if (child == node->not_found()) break;
    node = &child->second;
    start = dot + 1;
  }
  if (!node->data().empty()) {
    throw std::runtime_error("key " + path + " extends the value under " +
                             path.substr(0, start == 0 ? 0 : start - 1));
  }
  target.add(path, value);
}

void MergeReplyEntries(Tree& target, const nlohmann::json& reply, const std::string& member,
                       const std::string& prefix, MergeMode mode) {
  if (!reply.is_object()) return;
  auto found = reply.find(member);
  if (found == reply.end()) return;
  if (NestedDeeperThan(*found, kMaxReplyNesting - 1)) {
    throw std::runtime_error("reply nested deeper than " + std::to_string(kMaxReplyNesting) +
                             " levels");
  }
  const nlohmann::json& entries = *found;
  if (entries.is_array() || entries.is_object()) {
    for (const auto& element : entries) MergeElement(target, element, prefix, mode);
  } else if (!entries.is_null()) {
    MergeElement(target, entries, prefix, mode);
  }
}

std::string WriteDocument(const Tree& document) {
  std::ostringstream text;
  boost::property_tree::write_json(text, document, true);
  return text.str();
}

Tree BenchmarksTree(const nlohmann::json& reply) {
  Tree benchmarks;
  MergeReplyEntries(benchmarks, reply, "benchmarks", "", MergeMode::JsonText);
  return benchmarks;
}
