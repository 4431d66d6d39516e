#include "engine/result_document.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {
using nlohmann::json;

std::string Written(const Tree& tree) { return WriteDocument(tree); }

std::string Members(const Tree& tree) {
  std::string out;
  for (const auto& child : tree) out += child.first + "=" + child.second.data() + ";";
  return out;
}
}  // namespace

TEST(MergeReplyEntries, JsonTextKeepsTheDocumentNumberForm) {
  struct Case {
    const char* reply;
    const char* members;
  } const cases[] = {
      {R"({"benchmarks":[{"a":95.3},{"b":95.0},{"c":1e21}]})", "a=95.3;b=95;c=1e+21;"},
      {R"({"benchmarks":[{"s":"abc","i":-4,"t":true,"n":null}]})", "i=-4;n=null;s=\"abc\";t=true;"},
      {R"({"benchmarks":[{"arr":[1.5,{"k":2.0}]}]})", "arr=[1.5,{\"k\":2}];"},
      {R"({"benchmarks":[{"x":1},{"x":2}]})", "x=1;x=2;"},
      {R"({"benchmarks":{"z":{"b":2},"a":{"a":1}}})", "a=1;b=2;"},
      {R"({"benchmarks":[null,[],{"q":0.1}]})", "q=0.1;"},
      {R"({"benchmarks":null})", ""},
      {R"({"other":[{"x":1}]})", ""},
      {R"([{"benchmarks":[{"x":1}]}])", ""},
  };
  for (const Case& c : cases) {
    Tree tree;
    MergeReplyEntries(tree, json::parse(c.reply), "benchmarks", "", MergeMode::JsonText);
    EXPECT_EQ(Members(tree), c.members) << c.reply;
  }
}

TEST(MergeReplyEntries, DottedKeysNestAndPrefixesApply) {
  Tree component;
  MergeReplyEntries(component, json::parse(R"({"componentInfo":[{"read.speed":"5","name":"x"}]})"),
                    "componentInfo", "componentInfo.", MergeMode::Text);
  EXPECT_EQ(component.get<std::string>("componentInfo.read.speed", ""), "5");
  EXPECT_EQ(component.get<std::string>("componentInfo.name", ""), "x");
}

TEST(MergeReplyEntries, TypeErrorsPropagateAndKeepEarlierMembers) {
  Tree tree;
  const json reply = json::parse(R"({"componentInfo":[{"a":"1"},{"b":2}]})");
  try {
    MergeReplyEntries(tree, reply, "componentInfo", "", MergeMode::Text);
    FAIL() << "no error";
  } catch (const json::exception& e) {
    EXPECT_NE(std::string(e.what()).find("type must be string, but is number"), std::string::npos)
        << e.what();
  }
  EXPECT_EQ(Members(tree), "a=1;");

  Tree other;
  EXPECT_THROW(MergeReplyEntries(other, json::parse(R"({"benchmarks":[5]})"), "benchmarks", "",
                                 MergeMode::JsonText),
               json::exception);
}

// The writer refuses a node that has a value and children; the merge refuses the key that would
// make one, so the document stays writable.
TEST(MergeReplyEntries, AKeyExtendingAnEarlierValueIsRefusedAndTheDocumentStaysWritable) {
  struct Case {
    const char* name;
    const char* reply;
    MergeMode mode;
    const char* error;  // empty: merged whole
    const char* written;
  } const cases[] = {
      {"a then a.b", R"({"b":[{"a":1},{"a.b":2}]})", MergeMode::JsonText, "key a.b extends the value under a",
       "{\n    \"a\": \"1\"\n}\n"},
      {"a.b then a: two members a", R"({"b":[{"a.b":2},{"a":1}]})", MergeMode::JsonText, "",
       "{\n    \"a\": {\n        \"b\": \"2\"\n    },\n    \"a\": \"1\"\n}\n"},
      {"a.b then a.b.c", R"({"b":[{"a.b":2},{"a.b.c":3}]})", MergeMode::JsonText, "key a.b.c extends the value under a.b",
       "{\n    \"a\": {\n        \"b\": \"2\"\n    }\n}\n"},
      {"a.b then a then a.c: the first a takes c", R"({"b":[{"a.b":2},{"a":1},{"a.c":3}]})", MergeMode::JsonText, "",
       "{\n    \"a\": {\n        \"b\": \"2\",\n        \"c\": \"3\"\n    },\n    \"a\": \"1\"\n}\n"},
      {"an empty text may gain members", R"({"b":[{"a":""},{"a.b":"2"}]})", MergeMode::Text, "",
       "{\n    \"a\": {\n        \"b\": \"2\"\n    }\n}\n"},
  };
  for (const Case& c : cases) {
    Tree tree;
    std::string error;
    try {
      MergeReplyEntries(tree, json::parse(c.reply), "b", "", c.mode);
    } catch (const std::exception& e) {
      error = e.what();
    }
    EXPECT_EQ(error, c.error) << c.name;
    EXPECT_EQ(Written(tree), c.written) << c.name;
  }
}

// An empty segment would store an unnamed member, which the writer writes as an array element.
TEST(MergeReplyEntries, AKeyWithAnEmptySegmentIsRefusedAndTheObjectStaysOne) {
  struct Case {
    const char* key;
    const char* prefix;
    const char* error;
  } const cases[] = {
      {"", "", "key \"\" has an empty segment"},
      {"", "componentInfo.", "key \"componentInfo.\" has an empty segment"},
      {".", "", "key \".\" has an empty segment"},
      {"a..b", "", "key \"a..b\" has an empty segment"},
      {"a.", "benchmarks.", "key \"benchmarks.a.\" has an empty segment"},
      {".a", "componentInfo.", "key \"componentInfo..a\" has an empty segment"},
  };
  for (const Case& c : cases) {
    for (MergeMode mode : {MergeMode::Text, MergeMode::JsonText}) {
      const std::string prefix = c.prefix;
      Tree tree;
      tree.add(prefix + "kept", "1");
      const json reply = {{"m", json::array({{{"first", "2"}}, {{c.key, "4"}}, {{"later", "5"}}})}};
      std::string error;
      try {
        MergeReplyEntries(tree, reply, "m", prefix, mode);
      } catch (const std::runtime_error& e) {
        error = e.what();
      }
      EXPECT_EQ(error, c.error) << c.key;
      // The members before it stay, nothing after it is added, and no array is written.
      const Tree& object = prefix.empty() ? tree : tree.get_child(prefix.substr(0, prefix.size() - 1));
      const std::string first = mode == MergeMode::Text ? "2" : "\"2\"";
      EXPECT_EQ(Members(object), "kept=1;first=" + first + ";") << c.key;
      EXPECT_EQ(Written(tree).find('['), std::string::npos) << c.key;
    }
  }
}

TEST(MergeReplyEntries, AKeyExtendingAValueOfTheTargetIsRefused) {
  Tree component;
  component.add("benchmarks.sequentialWrite", "2000");
  EXPECT_THROW(MergeReplyEntries(component, json::parse(R"({"benchmarks":[{"sequentialWrite.x":1}]})"),
                                 "benchmarks", "benchmarks.", MergeMode::JsonText),
               std::runtime_error);
  EXPECT_EQ(Members(component.get_child("benchmarks")), "sequentialWrite=2000;");
}

// Nesting counts the reply object as its first level.
TEST(MergeReplyEntries, RefusesAReplyNestedDeeperThanTheLimit) {
  auto reply = [](int valueDepth) {
    return json::parse(R"({"benchmarks":[{"x":)" + std::string(valueDepth, '[') +
                       std::string(valueDepth, ']') + "}]}");
  };
  ASSERT_EQ(kMaxReplyNesting, 256);
  Tree deepest;
  MergeReplyEntries(deepest, reply(253), "benchmarks", "", MergeMode::JsonText);
  EXPECT_EQ(deepest.get<std::string>("x"), std::string(253, '[') + std::string(253, ']'));
  for (int depth : {254, 2000, 100000}) {
    Tree tree;
    try {
      MergeReplyEntries(tree, reply(depth), "benchmarks", "", MergeMode::JsonText);
      ADD_FAILURE() << depth << " levels merged";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "reply nested deeper than 256 levels") << depth;
    }
    EXPECT_TRUE(tree.empty()) << depth;
  }
}
