#include "engine/result_document.h"

#include <gtest/gtest.h>

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

TEST(MergeReplyEntries, AKeyExtendingAnEarlierValueMakesTheWriterRefuse) {
  Tree refused, accepted;
  MergeReplyEntries(refused, json::parse(R"({"b":[{"a":1},{"a.b":2}]})"), "b", "",
                    MergeMode::JsonText);
  EXPECT_ANY_THROW(Written(refused));
  MergeReplyEntries(accepted, json::parse(R"({"b":[{"a.b":2},{"a":1}]})"), "b", "",
                    MergeMode::JsonText);
  EXPECT_EQ(Written(accepted),
            "{\n    \"a\": {\n        \"b\": \"2\"\n    },\n    \"a\": \"1\"\n}\n");
}
