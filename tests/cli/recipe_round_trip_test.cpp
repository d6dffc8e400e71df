#include <gtest/gtest.h>
#include <unistd.h>

#include <QJsonObject>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "compose_process.h"
#include "dressed_set.h"

namespace tessarin::cli {
namespace {

namespace fs = std::filesystem;
using end_to_end::ProcessResult;

class RecipeRoundTrip : public testing::Test {
 protected:
  void SetUp() override {
    root_ =
        fs::temp_directory_path() / ("tessarin-recipe-" + std::to_string(getpid()) + "-" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    end_to_end::BuildDressedSet(root_ / "Graphics" / "Dressed", end_to_end::Extras::Everything);
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string Compose(std::vector<std::string> args) {
    args.insert(args.begin(), {"--graphics", (root_ / "Graphics").string()});
    const ProcessResult result = end_to_end::RunCompose(args, root_);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    return result.err;
  }
  std::string Bytes(const std::string& name) const {
    return end_to_end::ReadWholeFile(root_ / name);
  }
  std::string Path(const std::string& name) const { return (root_ / name).string(); }

  fs::path root_;
};

TEST_F(RecipeRoundTrip, MetadataRemakesEachRandomCharacterByteForByte) {
  Compose({"--set", "Dressed", "--random", "all", "--seed", "11", "--count", "6", "--metadata",
           "-o", Path("r{n}.png")});
  std::set<std::string> sheets;
  for (int n = 1; n <= 6; ++n) {
    const std::string made = "r" + std::to_string(n);
    Compose({"--recipe", Path(made + ".json"), "--metadata", "-o", Path("again.png")});
    EXPECT_EQ(Bytes("again.png"), Bytes(made + ".png")) << made;
    EXPECT_EQ(end_to_end::JsonFile(root_ / "again.json")["meta"]["tessarin"],
              end_to_end::JsonFile(root_ / (made + ".json"))["meta"]["tessarin"]);
    sheets.insert(Bytes(made + ".png"));
  }
  EXPECT_GT(sheets.size(), 1u);
}

TEST_F(RecipeRoundTrip, FlagsOverrideTheRecipesHalfAndBlend) {
  struct Case {
    const char* name;
    const char* recipeTail;  // after "picks" and "colors"
    std::vector<std::string> flags;
    std::vector<std::string> same;  // the direct command line it stands for
  };
  // Written by hand: names in other letter cases, "Hat" and "Cape" left out.
  const std::string head =
      R"({"set":"dressed","picks":{"body":"A.PNG","Hair":"short.png"},"colors":{"HAIR":"Red"})";
  const std::vector<std::string> direct = {"--set",  "Dressed",        "--pick",  "Body=a.png",
                                           "--pick", "Hair=short.png", "--color", "hair=red"};
  const std::vector<Case> cases = {
      {"recipe defaults", "", {}, {}},
      {"recipe's half and blend",
       R"(,"half":true,"blend":"standard")",
       {},
       {"--half", "--blend", "standard"}},
      {"flags win",
       R"(,"half":false,"blend":"standard")",
       {"--half", "--blend", "classic"},
       {"--half", "--blend", "classic"}},
      {"blend flag alone",
       R"(,"half":true)",
       {"--blend", "standard"},
       {"--half", "--blend", "standard"}},
  };
  std::set<std::string> sheets;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    end_to_end::WriteText(root_ / "recipe.json", head + c.recipeTail + "}");
    std::vector<std::string> fromRecipe = {"--recipe", Path("recipe.json"), "-o", Path("r.png")};
    fromRecipe.insert(fromRecipe.end(), c.flags.begin(), c.flags.end());
    Compose(fromRecipe);
    std::vector<std::string> args = direct;
    args.insert(args.end(), c.same.begin(), c.same.end());
    args.insert(args.end(), {"-o", Path("d.png")});
    Compose(args);
    EXPECT_EQ(Bytes("r.png"), Bytes("d.png"));
    sheets.insert(Bytes("d.png"));
  }
  // Half and blend each change the sheet, so a flag or key that went unheeded would show.
  EXPECT_EQ(sheets.size(), 3u);
}

}  // namespace
}  // namespace tessarin::cli
