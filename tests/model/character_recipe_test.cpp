#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "character_recipe.h"
#include "set_state.h"
#include "sheet_metadata.h"

namespace tessarin {
namespace {

CharacterRecipe TwoHairsAndAThree() {
  SetState state;
  state.setName = "Hero";
  state.partNames[0] = "Hair";
  state.partNames[2] = "Body";
  state.partNames[5] = "Hair";
  state.partNames[6] = "3";
  PartSelection files;
  files[0] = "long.png";
  files[5] = "back.png";
  return RecipeOf(state, files, {{"skin", "tan"}, {"hair", kSourceColours}}, true,
                  BlendRule::Standard);
}

// Either would name another part, or none, when read back.
TEST(CharacterRecipe, ARepeatedPartNameOrOneLikeAnIndexGoesByItsIndex) {
  const CharacterRecipe recipe = TwoHairsAndAThree();
  const std::vector<std::pair<std::string, std::optional<std::string>>> picks = {
      {"Hair", "long.png"}, {"Body", std::nullopt}, {"5", "back.png"}, {"6", std::nullopt}};
  EXPECT_EQ(recipe.picks, picks);
}

TEST(CharacterRecipe, ASheetsMetadataGivesBackItsRecipe) {
  SheetMetadata metadata;
  metadata.imageName = "hero.png";
  metadata.recipe = TwoHairsAndAThree();
  CharacterRecipe read;
  ASSERT_TRUE(ParseRecipe(SpriteSheetJson(metadata), read).IsOk());
  // Keys come back sorted by name.
  CharacterRecipe expected = metadata.recipe;
  expected.picks = {
      {"5", "back.png"}, {"6", std::nullopt}, {"Body", std::nullopt}, {"Hair", "long.png"}};
  expected.colours = {{"hair", "source"}, {"skin", "tan"}};
  EXPECT_EQ(read, expected);
}

TEST(CharacterRecipe, BadKeysAreRefusedByName) {
  struct Case {
    const char* json;
    const char* message;
  };
  const std::vector<Case> cases = {
      {"[]", "must hold a JSON object"},
      {R"({"picks":{}})", "set: must be a set name"},
      {R"({"set":"","picks":{}})", "set: must be a set name"},
      {R"({"set":"Hero"})", "picks: must be an object of part: file or null"},
      {R"({"set":"Hero","picks":{"Hair":3}})", "picks.Hair: must be a file name or null"},
      {R"({"set":"Hero","picks":{"Hair":""}})", "picks.Hair: must be a file name or null"},
      {R"({"set":"Hero","picks":{},"colors":[]})", "colors: must be an object"},
      {R"({"set":"Hero","picks":{},"colors":{"skin":null}})", "colors.skin: must be a variant"},
      {R"({"set":"Hero","picks":{},"half":1})", "half: must be true or false"},
      {R"({"set":"Hero","picks":{},"blend":"Classic"})", "blend: must be \"classic\" or"},
      {R"({"meta":{"tessarin":"Hero"}})", "meta.tessarin: must be a recipe object"},
      {R"({"meta":{"tessarin":{"set":"Hero"}}})", "picks: must be an object"},
      {R"({"set":"Hero","picks":{})", "not JSON at byte"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    CharacterRecipe recipe;
    recipe.set = "left over";
    const Status status = ParseRecipe(c.json, recipe);
    ASSERT_FALSE(status.IsOk());
    EXPECT_EQ(status.Message().rfind(c.message, 0), 0u) << status.Message();
    EXPECT_EQ(recipe, CharacterRecipe());
  }
}

}  // namespace
}  // namespace tessarin
