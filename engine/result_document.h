#pragma once
// The result document: a tree of texts with "."-separated paths where every store appends.
#include <string>

#include <boost/property_tree/ptree.hpp>
#include <nlohmann/json.hpp>

using Tree = boost::property_tree::ptree;

enum class MergeMode {
  Text,      // the value must be a JSON string; its content is stored
  JsonText,  // the value's compact JSON text is stored (a string keeps its quotes)
};

// Arrays and objects nested deeper than this in a reply fail its merge before any recursive walk
// of it, so that no answer can exhaust the stack.
constexpr int kMaxReplyNesting = 256;

// add(path, value), refused with a standard exception when the store would give a node that
// holds a value a child (a key "a.b" after a value under "a"), which the writer cannot represent,
// or when a segment of the path is empty ("", "a.", ".a", "a..b"), which the writer would turn
// into an array.
void AddReplyValue(Tree& target, const std::string& path, const std::string& value);

// Copies the members of each element of reply[member] into target under prefix + key, elements in
// order and members in ascending key order, through AddReplyValue. JSON errors, a reply nested
// deeper than kMaxReplyNesting and a refused key propagate as standard exceptions, leaving what was
// added in place.
void MergeReplyEntries(Tree& target, const nlohmann::json& reply, const std::string& member,
                       const std::string& prefix, MergeMode mode);

// A new tree holding the reply's "benchmarks" as compact JSON texts.
Tree BenchmarksTree(const nlohmann::json& reply);

// The document as pretty JSON: four blanks per level, LF line ends, every leaf a string.
// Throws the tree library's error for a node that has both a value and children.
std::string WriteDocument(const Tree& document);
