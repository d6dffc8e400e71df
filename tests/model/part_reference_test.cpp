#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "part_reference.h"
#include "set_state.h"

namespace tessarin {
namespace {

// Parts 0 "Body", 2 "hair", 3 "Hair" and 5 "7"; the rest undefined.
SetState HeroState() {
  SetState state;
  state.setName = "Hero";
  state.partNames[0] = "Body";
  state.partNames[2] = "hair";
  state.partNames[3] = "Hair";
  state.partNames[5] = "7";
  return state;
}

TEST(PartReference, TextNamesAPartByIndexThenNameThenNameWithoutCase) {
  struct Case {
    const char* text;
    int part;
  };
  const std::vector<Case> cases = {
      {"0", 0},    {"2", 2},    {"Body", 0},
      {"BODY", 0}, {"hair", 2}, {"Hair", 3},  // the exact name before the first without case
      {"HAIR", 2}, {"5", 5},
  };
  const SetState state = HeroState();
  for (const Case& c : cases) {
    const std::variant<int, std::string> part = ResolvePart(state, c.text);
    ASSERT_TRUE(std::holds_alternative<int>(part)) << c.text << ": " << std::get<1>(part);
    EXPECT_EQ(std::get<int>(part), c.part) << c.text;
  }
}

TEST(PartReference, AnythingElseIsRefusedNamingTheSetsParts) {
  const SetState state = HeroState();
  // An undefined index, one that a part is named after too, a name of no part, and nothing.
  for (const char* text : {"1", "7", "8", "Hat", ""}) {
    const std::variant<int, std::string> part = ResolvePart(state, text);
    ASSERT_TRUE(std::holds_alternative<std::string>(part)) << text;
    EXPECT_EQ(std::get<std::string>(part),
              "no part '" + std::string(text) +
                  "' in set 'Hero' (parts: 0 'Body', 2 'hair', 3 'Hair', 5 '7')");
  }
}

TEST(PartReference, ImageEntriesCountFromNone) {
  const std::vector<std::string> images = {"Long.png", "long.PNG", "short.png"};
  struct Case {
    const char* file;
    std::optional<int> entry;
  };
  const std::vector<Case> cases = {
      {"none", 0},
      {"NONE", 0},
      {"Long.png", 1},
      {"long.PNG", 2},
      {"LONG.png", 1},
      {"SHORT.PNG", 3},
      {"cape.png", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(FindImageEntry(images, c.file), c.entry) << c.file;
}

TEST(PartReference, NamesAreListedWithCommasOrAsNone) {
  struct Case {
    std::vector<std::string> names;
    const char* listed;
  };
  const std::vector<Case> cases = {
      {{}, "none"},
      {{"red"}, "red"},
      {{"red", "Blue"}, "red, Blue"},
      {{"a b", "c", "d"}, "a b, c, d"},
  };
  for (const Case& c : cases) EXPECT_EQ(Listed(c.names), c.listed) << c.listed;
}

}  // namespace
}  // namespace tessarin
