#include "output_pattern.h"

#include <gtest/gtest.h>

namespace tessarin::cli {
namespace {

TEST(OutputPattern, PadsNumberToWidthOfLastOrAsTold) {
  struct Case {
    const char* pattern;
    int number;
    int last;
    const char* name;
  };
  const Case cases[] = {
      {"c-{n}.png", 1, 1, "c-1.png"},
      {"c-{n}.png", 7, 9, "c-7.png"},
      {"c-{n}.png", 1, 10, "c-01.png"},
      {"c-{n}.png", 10, 10, "c-10.png"},
      {"c-{n}.png", 42, 1000, "c-0042.png"},
      {"{n}/c-{n}.png", 3, 12, "03/c-03.png"},
      {"plain.png", 1, 1, "plain.png"},
      {"{n", 1, 1, "{n"},
      {"c-{n}.png", 6, 10, "c-06.png"},
      {"{{n}}", 5, 9, "{5}"},
      {"c-{n:5}.png", 42, 100, "c-00042.png"},
      {"c-{n:1}.png", 7, 1000, "c-7.png"},
      {"c-{n:2}.png", 123, 200, "c-123.png"},
      {"{n:3}/{n}-{n:3}", 6, 12, "006/06-006"},
      {"{n:0}{n:}{n:x}{n:12}", 1, 1, "{n:0}{n:}{n:x}{n:12}"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CharacterOutputName(c.pattern, c.number, c.last), c.name) << c.pattern;
  }
}

}  // namespace
}  // namespace tessarin::cli
