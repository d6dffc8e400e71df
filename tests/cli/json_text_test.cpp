#include "json_text.h"

#include <gtest/gtest.h>

namespace tessarin::cli {
namespace {

TEST(JsonText, EscapesStrings) {
  struct Case {
    std::string text;
    std::string json;
  };
  const Case cases[] = {
      {"plain", "\"plain\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"a\\b", "\"a\\\\b\""},
      {"line\nnext\ttab", "\"line\\u000anext\\u0009tab\""},
      {std::string("nul\0x", 5), "\"nul\\u0000x\""},
      {"\x1f", "\"\\u001f\""},
      {"デフォルト/頭", "\"デフォルト/頭\""},
      {"bad\xff", "\"bad\xEF\xBF\xBD\""},
  };
  for (const Case& c : cases) EXPECT_EQ(JsonString(c.text), c.json) << c.text;
}

TEST(JsonText, WritesArrays) {
  EXPECT_EQ(JsonArray(std::vector<std::string>{}), "[]");
  EXPECT_EQ(JsonArray(std::vector<std::string>{"a", "b\""}), "[\"a\",\"b\\\"\"]");
  EXPECT_EQ(JsonArray(std::vector<std::int32_t>{-4, 0, 2147483647}), "[-4,0,2147483647]");
}

}  // namespace
}  // namespace tessarin::cli
