#include <gtest/gtest.h>
#include <unistd.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "compose_process.h"
#include "dressed_set.h"

namespace tessarin::cli {
namespace {

namespace fs = std::filesystem;
using end_to_end::Extras;
using end_to_end::ProcessResult;

class MetadataBatch : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = fs::temp_directory_path() / ("tessarin-metadata-batch-" + std::to_string(getpid()));
    fs::remove_all(root_);
    end_to_end::BuildDressedSet(root_ / "Graphics" / "Dressed", Extras::Everything);
    end_to_end::BuildDressedSet(root_ / "Graphics" / "GridOnly", Extras::GridOnly);
    end_to_end::BuildDressedSet(root_ / "Graphics" / "Plain", Extras::None);
  }
  static void TearDownTestSuite() { fs::remove_all(root_); }

  // A seeded batch of every part and material at random, into its own folder.
  static void Batch(const std::string& set, const std::string& folder, const std::string& first,
                    const std::string& count, bool metadata = true) {
    fs::create_directories(root_ / folder);
    std::vector<std::string> args = {"--graphics", (root_ / "Graphics").string(),
                                     "--set",      set,
                                     "--random",   "all",
                                     "--seed",     "21",
                                     "--first",    first,
                                     "--count",    count,
                                     "-o",         (root_ / folder / "c{n:2}.png").string()};
    if (metadata) args.push_back("--metadata");
    const ProcessResult result = end_to_end::RunCompose(args, root_);
    EXPECT_EQ(result.exitCode, 0) << result.err;
  }

  static std::map<std::string, std::string> Files(const std::string& folder) {
    std::map<std::string, std::string> contents;
    for (const fs::directory_entry& entry : fs::directory_iterator(root_ / folder)) {
      contents[entry.path().filename().string()] = end_to_end::ReadWholeFile(entry.path());
    }
    return contents;
  }

  static const QJsonObject Recipe(const std::string& folder, int n) {
    const std::string name = (n < 10 ? "c0" : "c") + std::to_string(n) + ".json";
    return end_to_end::JsonFile(root_ / folder / name)["meta"]["tessarin"].toObject();
  }

  static inline fs::path root_;
};

TEST_F(MetadataBatch, ShardsWithColoursMakeTheWholeBatchAndItsCredits) {
  Batch("Dressed", "whole", "1", "10");
  Batch("Dressed", "split", "1", "5");
  Batch("Dressed", "split", "6", "5");
  const std::map<std::string, std::string> whole = Files("whole");
  ASSERT_EQ(whole.size(), 10u * 3 + 1);  // sheet, JSON and credits each, and CREDITS.txt
  const std::map<std::string, std::string> split = Files("split");
  ASSERT_EQ(split.size(), whole.size());
  for (const auto& [name, bytes] : whole) {
    EXPECT_TRUE(split.count(name) != 0 && split.at(name) == bytes) << name;
  }
  // Colours were drawn, not all alike, and the credits merged from both shards.
  std::set<std::string> colours;
  for (int n = 1; n <= 10; ++n) {
    colours.insert(
        QJsonDocument(Recipe("whole", n).value("colors").toObject()).toJson().toStdString());
  }
  EXPECT_GT(colours.size(), 1u);
  std::set<std::string> perCharacter;
  for (const auto& [name, bytes] : whole) {
    if (name.size() > 12 && name.substr(name.size() - 12) == ".credits.txt") {
      perCharacter.insert(bytes);
    }
  }
  EXPECT_GT(perCharacter.size(), 1u);
}

// Colours are drawn after each character's parts, so a set without palettes draws what it
// drew before set.json existed, and one with palettes draws the same first character.
TEST_F(MetadataBatch, SetsWithoutPalettesDrawAsBefore) {
  Batch("Plain", "plain", "1", "8");
  Batch("GridOnly", "grid", "1", "8", false);
  Batch("Dressed", "dressed", "1", "1");
  const std::map<std::string, std::string> plain = Files("plain");
  const std::map<std::string, std::string> grid = Files("grid");
  std::set<std::string> sheets;
  for (int n = 1; n <= 8; ++n) {
    const std::string name = "c0" + std::to_string(n) + ".png";
    EXPECT_EQ(plain.at(name), grid.at(name)) << name;
    sheets.insert(plain.at(name));
    EXPECT_EQ(Recipe("plain", n).value("colors"), QJsonValue(QJsonObject())) << n;
  }
  EXPECT_GT(sheets.size(), 1u);
  EXPECT_EQ(Recipe("plain", 1).value("picks").toObject(),
            Recipe("dressed", 1).value("picks").toObject());
}

}  // namespace
}  // namespace tessarin::cli
