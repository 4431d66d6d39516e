#include "engine/result_document.h"

#include <sstream>

#include <boost/property_tree/json_parser.hpp>

#include "engine/json_text.h"

namespace {
void MergeElement(Tree& target, const nlohmann::json& element, const std::string& prefix,
                  MergeMode mode) {
  // Iterating a non-object raises the JSON library's own error for key(); null gives nothing.
  for (auto it = element.begin(); it != element.end(); ++it) {
    const std::string path = prefix + it.key();
    if (mode == MergeMode::Text) {
      target.add(path, it.value().get<std::string>());
    } else {
      target.add(path, CompactJsonText(it.value()));
    }
  }
}
}  // namespace

void MergeReplyEntries(Tree& target, const nlohmann::json& reply, const std::string& member,
                       const std::string& prefix, MergeMode mode) {
  if (!reply.is_object()) return;
  auto found = reply.find(member);
  if (found == reply.end()) return;
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
