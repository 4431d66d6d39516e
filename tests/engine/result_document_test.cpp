#include "engine/result_document.h"

#include <gtest/gtest.h>

#include <boost/property_tree/json_parser.hpp>

#include "engine/run_end.h"

TEST(DocumentWriter, WritesTheExactPrettyForm) {
  Tree document;
  document.add("systemInfo.osName", "Win\t10\r/x");
  document.add("systemInfo.osName", "second");
  document.add("systemInfo.monitor", "Caf\xE9\x01\x1F\"\\");
  Tree component;
  component.add("componentInfo.name", "cpu");
  component.add("benchmarks.1CoreInt", "38.6");
  Tree components;
  components.push_back(Tree::value_type("", component));
  components.push_back(Tree::value_type("", Tree("line")));
  document.add_child("components", components);
  document.add_child("empty", Tree());

  const std::string expected =
      "{\n"
      "    \"systemInfo\": {\n"
      "        \"osName\": \"Win\\t10\\r\\/x\",\n"
      "        \"osName\": \"second\",\n"
      "        \"monitor\": \"Caf\xE9\\u0001\\u001F\\\"\\\\\"\n"
      "    },\n"
      "    \"components\": [\n"
      "        {\n"
      "            \"componentInfo\": {\n"
      "                \"name\": \"cpu\"\n"
      "            },\n"
      "            \"benchmarks\": {\n"
      "                \"1CoreInt\": \"38.6\"\n"
      "            }\n"
      "        },\n"
      "        \"line\"\n"
      "    ],\n"
      "    \"empty\": \"\"\n"
      "}\n";
  EXPECT_EQ(WriteDocument(document), expected);
  EXPECT_EQ(WriteDocument(Tree()), "{\n}\n");
}

TEST(DocumentWriter, RefusesANodeWithValueAndChildren) {
  Tree document;
  document.add("a", "1");
  document.add("a.b", "2");
  EXPECT_THROW(WriteDocument(document), boost::property_tree::json_parser_error);
}

TEST(AssembleResultDocument, OrdersMembersAndLeavesOutAnEmptyStateList) {
  RunState run;
  run.resultDocument.add("systemInfo.cvnVersion", "2.97");
  run.clientCrashed = true;
  const std::string text = AssembleResultDocument(run, "12");
  const size_t info = text.find("\"systemInfo\""), comps = text.find("\"components\": \"\""),
               logs = text.find("\"logs\"");
  EXPECT_EQ(text.find("systemStates"), std::string::npos);
  EXPECT_LT(info, comps);
  EXPECT_LT(comps, logs);
  EXPECT_NE(text.find("\"userRunDurationSecs\": \"12\",\n        \"clientCrashed\": \"true\"\n"),
            std::string::npos)
      << text;
}
