#include "output_pattern.h"

#include <gtest/gtest.h>

namespace tessarin::cli {
namespace {

TEST(OutputPattern, PadsNumberToWidthOfCount) {
  struct Case {
    const char* pattern;
    int number;
    int count;
    const char* name;
  };
  const Case cases[] = {
      {"c-{n}.png", 1, 1, "c-1.png"},        {"c-{n}.png", 7, 9, "c-7.png"},
      {"c-{n}.png", 1, 10, "c-01.png"},      {"c-{n}.png", 10, 10, "c-10.png"},
      {"c-{n}.png", 42, 1000, "c-0042.png"}, {"{n}/c-{n}.png", 3, 12, "03/c-03.png"},
      {"plain.png", 1, 1, "plain.png"},      {"{n", 1, 1, "{n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CharacterOutputName(c.pattern, c.number, c.count), c.name) << c.pattern;
  }
}

}  // namespace
}  // namespace tessarin::cli
