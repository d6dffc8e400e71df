#include <gtest/gtest.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "compose_process.h"
#include "image_file.h"
#include "raster_image.h"
#include "test_graphics_folder.h"

namespace tessarin::cli {
namespace {

namespace fs = std::filesystem;
using end_to_end::ProcessResult;

class ComposeEndToEnd : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = fs::temp_directory_path() / ("tessarin-cli-test-" + std::to_string(getpid()));
    fs::remove_all(root_);
    graphics_ = end_to_end::BuildTestGraphics(root_);
  }
  static void TearDownTestSuite() { fs::remove_all(root_); }

  void SetUp() override {
    scratch_ = root_ / testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(scratch_);
  }

  // Every run reads the test Graphics folder unless the arguments name another.
  ProcessResult Run(std::vector<std::string> args) {
    if (std::find(args.begin(), args.end(), "--graphics") == args.end()) {
      args.insert(args.begin(), {"--graphics", graphics_.string()});
    }
    return end_to_end::RunCompose(args, scratch_);
  }

  std::string Out(const std::string& name) const { return (scratch_ / name).string(); }

  static RasterImage LoadOutput(const fs::path& path) {
    RasterImage image;
    EXPECT_TRUE(ReadImageFile(path, image).IsOk()) << path;
    return image;
  }

  static inline fs::path root_;
  static inline fs::path graphics_;
  fs::path scratch_;
};

TEST_F(ComposeEndToEnd, ExitCodesAndOneLineErrors) {
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char* errorPart;
  };
  const std::string out = Out("x.png");
  const std::vector<Case> cases = {
      {{"--help"}, 0, ""},
      {{"--list"}, 0, ""},
      {{"--set", "Hero", "-o", out}, 0, ""},
      {{"--bogus"}, 1, "unknown option '--bogus'"},
      {{"--set", "Hero"}, 1, "-o"},
      {{"--set", "Hero", "--count", "3", "-o", out}, 1, "{n}"},
      {{"--set", "Hero", "--pick", "Body=body_a.png", "--random", "0", "-o", out}, 1, "--random"},
      {{"--set", "Hero", "--pick", "0=none", "--pick", "body=none", "-o", out}, 1, "twice"},
      {{"--graphics", Out("nowhere"), "--list"}, 2, "nowhere"},
      {{"--set", "Nobody", "-o", out}, 2, "'Nobody'"},
      {{"--set", "NoSetting", "-o", out}, 2, "setting.txt"},
      {{"--list", "--set", "NoSetting"}, 2, "setting.txt"},
      {{"--set", "Hero", "--pick", "Wings=a.png", "-o", out}, 2, "'Wings'"},
      {{"--set", "Hero", "--pick", "7=a.png", "-o", out}, 2, "'7'"},
      {{"--set", "Hero", "--pick", "0=missing.png", "-o", out}, 2, "missing.png"},
      {{"--set", "Hero", "--pick", "Hat=a.png", "-o", out}, 2, "Hat"},
      {{"--set", "Damaged", "--pick", "0=broken.png", "-o", out}, 2, "broken.png"},
      {{"--set", "Hero", "-o", Out("no/such/folder/x.png")}, 3, "x.png"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    ProcessResult result = Run(c.args);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    if (c.exitCode == 0) {
      EXPECT_EQ(result.err, "");
      continue;
    }
    EXPECT_EQ(result.err.rfind("tessarin-compose: ", 0), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_NE(result.err.find(c.errorPart), std::string::npos) << result.err;
  }
}

TEST_F(ComposeEndToEnd, ListsSetsAsTextAndJson) {
  ProcessResult text = Run({"--list"});
  EXPECT_EQ(text.out, "Damaged\nHero\nNoSetting\n日本\n");

  ProcessResult json = Run({"--list", "--json"});
  QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json.out));
  ASSERT_TRUE(doc.isObject()) << json.out;
  EXPECT_EQ(doc["sets"].toArray().size(), 4);
  EXPECT_EQ(doc["sets"][3].toString(), QString::fromUtf8("日本"));
}

TEST_F(ComposeEndToEnd, DescribesOneSetAsJson) {
  ProcessResult result = Run({"--list", "--set", "hero", "--json"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(result.out));
  ASSERT_TRUE(doc.isObject()) << result.out;
  EXPECT_EQ(doc["set"].toString(), "Hero");
  EXPECT_EQ(doc["width"].toInt(), 8);
  EXPECT_EQ(doc["height"].toInt(), 4);
  const QJsonArray parts = doc["parts"].toArray();
  ASSERT_EQ(parts.size(), 4);
  EXPECT_EQ(parts[0]["name"].toString(), "Body");
  EXPECT_EQ(parts[0]["priority"].toInt(), 1);
  EXPECT_EQ(parts[0]["images"].toArray(), (QJsonArray{"body_a.png", "body_b.png"}));
  EXPECT_FALSE(parts[2]["found"].toBool());
  EXPECT_EQ(parts[3]["index"].toInt(), 3);
  EXPECT_EQ(parts[3]["priority"].toInt(), 5);
  EXPECT_EQ(doc["order_keys"].toArray(), (QJsonArray{-6, -4, -3, -2, 1, 2, 3, 5}));
  EXPECT_EQ(doc["draw_order"].toArray(), (QJsonArray{3, 2, 1, 0, 8, 9, 10, 11}));

  ProcessResult text = Run({"--list", "--set", "HERO"});
  EXPECT_NE(text.out.find("size: 8x4\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("draw order: 3 2 1 0 8 9 10 11\n"), std::string::npos) << text.out;
}

TEST_F(ComposeEndToEnd, PicksByIndexNameAndNone) {
  struct Case {
    std::vector<std::string> picks;
    std::uint32_t top, middle, corner;
  };
  using namespace end_to_end;
  const std::vector<Case> cases = {
      {{"0=body_a.png", "1=Long.png"}, kYellow, kRed, kBlue},
      {{"Body=BODY_A.PNG", "hair=long.png"}, kYellow, kRed, kBlue},
      {{"body=body_b.png", "Hair=short.png"}, kWhite, kGreen, kGreen},
      {{"Body=body_b.png", "Hair=none"}, kGreen, kGreen, kGreen},
      {{"0=none", "1=Long.png"}, kYellow, kClear, kClear},
      {{}, kClear, kClear, kClear},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.picks));
    std::vector<std::string> args = {"--set", "hErO", "-o", Out("pick.png")};
    for (const std::string& pick : c.picks) args.insert(args.end(), {"--pick", pick});
    ProcessResult result = Run(args);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "wrote " + Out("pick.png") + " (8x4)\n");
    RasterImage sheet = LoadOutput(Out("pick.png"));
    ASSERT_EQ(sheet.Width(), 8);
    EXPECT_EQ(sheet.PixelAt(0, 0), c.top);
    EXPECT_EQ(sheet.PixelAt(3, 2), c.middle);
    EXPECT_EQ(sheet.PixelAt(7, 3), c.corner);
  }
}

TEST_F(ComposeEndToEnd, HalfKeepsLeftHalf) {
  ProcessResult result =
      Run({"--set", "Hero", "--pick", "0=body_a.png", "--half", "-o", Out("h.png")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "wrote " + Out("h.png") + " (4x4)\n");
  RasterImage sheet = LoadOutput(Out("h.png"));
  EXPECT_EQ(sheet.Width(), 4);
  EXPECT_EQ(sheet.Height(), 4);
  EXPECT_EQ(sheet.PixelAt(3, 3), end_to_end::kRed);
}

TEST_F(ComposeEndToEnd, SeededBatchIsReproducible) {
  auto batch = [this](const std::string& folder, const std::string& seed) {
    fs::create_directories(scratch_ / folder);
    ProcessResult result = Run({"--set", "Hero", "--random", "all", "--seed", seed, "--count", "12",
                                "-o", Out(folder + "/c-{n}.png")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(
        result.out.rfind("wrote 12 characters to " + Out(folder + "/c-{n}.png") + " (8x4) in ", 0),
        0u)
        << result.out;
    std::vector<std::string> files;
    for (int n = 1; n <= 12; ++n) {
      std::string name = (n < 10 ? "c-0" : "c-") + std::to_string(n) + ".png";
      files.push_back(end_to_end::ReadWholeFile(scratch_ / folder / name));
      EXPECT_FALSE(files.back().empty()) << name;
    }
    return files;
  };
  std::vector<std::string> first = batch("first", "7");
  std::vector<std::string> again = batch("again", "7");
  std::vector<std::string> other = batch("other", "8");
  EXPECT_EQ(first, again);
  EXPECT_NE(first, other);
  // Twelve characters from one stream are not all alike.
  EXPECT_NE(std::count(first.begin(), first.end(), first[0]), 12);
}

TEST_F(ComposeEndToEnd, ShardsMakeTheWholeBatchByteForByte) {
  struct Shard {
    std::string first, count, pattern;
  };
  struct Case {
    const char* name;
    std::vector<std::string> random;
    std::vector<Shard> shards;
  };
  // Every Hero character draws for Body, Hair and Eyes, but not for Hat, which has no folder.
  const std::vector<Case> cases = {
      {"two halves", {"--random", "all"}, {{"1", "5", "c-{n:2}.png"}, {"6", "7", "c-{n}.png"}}},
      {"uneven thirds",
       {"--random", "all"},
       {{"1", "10", "c-{n}.png"}, {"11", "1", "c-{n:2}.png"}, {"12", "1", "c-{n}.png"}}},
      {"one part drawn",
       {"--random", "Eyes", "--pick", "Body=body_b.png"},
       {{"1", "3", "c-{n:2}.png"}, {"4", "9", "c-{n}.png"}}},
  };
  auto run = [this](const Case& c, const std::string& folder, const Shard& shard) {
    std::vector<std::string> args = {
        "--set",     "Hero",    "--seed",    "7",  "--first",
        shard.first, "--count", shard.count, "-o", Out(folder + "/" + shard.pattern)};
    args.insert(args.end(), c.random.begin(), c.random.end());
    ProcessResult result = Run(args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
  };
  auto files = [this](const std::string& folder) {
    std::map<std::string, std::string> contents;
    for (const fs::directory_entry& entry : fs::directory_iterator(scratch_ / folder)) {
      contents[entry.path().filename().string()] = end_to_end::ReadWholeFile(entry.path());
    }
    return contents;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string whole = std::string(c.name) + " whole";
    const std::string split = std::string(c.name) + " split";
    fs::create_directories(scratch_ / whole);
    fs::create_directories(scratch_ / split);
    run(c, whole, {"1", "12", "c-{n}.png"});
    for (const Shard& shard : c.shards) run(c, split, shard);
    const std::map<std::string, std::string> expected = files(whole);
    ASSERT_EQ(expected.size(), 12u);
    EXPECT_EQ(expected.begin()->first, "c-01.png");
    const std::map<std::string, std::string> made = files(split);
    ASSERT_EQ(made.size(), expected.size());
    for (const auto& [name, bytes] : expected) {
      EXPECT_TRUE(made.count(name) != 0 && made.at(name) == bytes) << name;
    }
    // The characters differ, so that a shard started at the wrong one would show.
    std::set<std::string> distinct;
    for (const auto& [name, bytes] : expected) distinct.insert(bytes);
    EXPECT_GT(distinct.size(), 1u);
  }
}

TEST_F(ComposeEndToEnd, CounterTokenOfSingleCharacterIsOne) {
  ProcessResult result = Run({"--set", "Hero", "--random", "Eyes", "-o", Out("one-{n}.png")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "wrote " + Out("one-1.png") + " (8x4)\n");
  EXPECT_TRUE(fs::exists(Out("one-1.png")));
}

// Names as they come from archives made elsewhere and from hostile setting files, under a
// Graphics folder whose own name is not UTF-8.
TEST_F(ComposeEndToEnd, NamesFromOtherSystemsAndHostileSettings) {
  using end_to_end::TopRow;
  using end_to_end::WritePng;
  using end_to_end::WriteText;
  const fs::path base = scratch_ / "Graphics\xE9";
  const std::string outside = (scratch_ / "private").string();
  WritePng(scratch_ / "private" / "secret.png", TopRow(end_to_end::kWhite));
  WriteText(base / "Escape" / "setting.txt",
            "Xsize:8\nYsize:4\nBody=1\n../../private=2\n"
            "..\\..\\private=3\n" +
                outside +
                "=4\nC:\\x=5\n"
                "Linked=6\n");
  WritePng(base / "Escape" / "Body" / "a.png", TopRow(end_to_end::kRed));
  fs::create_directory_symlink(scratch_ / "private", base / "Escape" / "Linked");
  // "デフォルト" with a part "頭" and an image "赤.png", all in code page 932.
  const std::string set932 = "\x83\x66\x83\x74\x83\x48\x83\x8b\x83\x67";
  WriteText(base / set932 / "setting.txt", "Xsize:8\nYsize:4\n\x93\xaa=1\n");
  WritePng(base / set932 / "\x93\xaa" / "\x90\xD4.png", TopRow(end_to_end::kRed));
  WriteText(base / "caf\xE9" / "setting.txt", "Xsize:8\nYsize:4\nBody=1\n");
  WritePng(base / "caf\xE9" / "Body" / "x\xFF.png", TopRow(end_to_end::kRed));
  WriteText(base / "Bell\x07\x1B[2J" / "setting.txt", "Xsize:8\nYsize:4\nP\x1B[0m\xC2\x9B=1\n");
  WritePng(base / "Bell\x07\x1B[2J" / "P\x1B[0m\xC2\x9B" / "\r.png", TopRow(end_to_end::kRed));

  struct Case {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    const char* outPart;  // on standard output, or ""
    const char* errPart;  // on standard error, or "" for nothing there
    const char* written;  // the file the run writes, or ""
  };
  const std::string out = Out("x.png");
  const std::vector<Case> cases = {
      {"sets of every kind listed",
       {"--list"},
       0,
       "Bell\\x07\\x1B[2J\ncaf\\xE9\nEscape\nデフォルト\n",
       "",
       ""},
      {"leaving parts listed as not found",
       {"--list", "--set", "escape"},
       0,
       "  1: ../../private (priority 2, folder not found: the name leaves the set folder)\n"
       "  2: ..\\..\\private (priority 3, folder not found: the name leaves the set folder)\n",
       "",
       ""},
      {"a link in the set followed",
       {"--list", "--set", "escape"},
       0,
       "  5: Linked (priority 6, 1 image)\n       secret.png\n",
       "",
       ""},
      {"absolute part listed as not found",
       {"--list", "--set", "escape"},
       0,
       "  4: C:\\x (priority 5, folder not found: the name leaves the set folder)\n",
       "",
       ""},
      {"pick from a leaving part",
       {"--set", "Escape", "--pick", "1=secret.png", "-o", out},
       2,
       "",
       "part 1 '../../private' names no folder: its name leaves the set folder",
       ""},
      {"random leaving parts left out",
       {"--set", "Escape", "--random", "all", "-o", out},
       0,
       "wrote",
       "part 3 '",
       "x.png"},
      {"code page 932 set described",
       {"--list", "--set", "デフォルト"},
       0,
       "set: デフォルト\nsize: 8x4\nparts: 1\n  0: 頭 (priority 1, 1 image)\n       赤.png\n",
       "",
       ""},
      {"code page 932 set composed by typed bytes",
       {"--set", set932, "--pick", "\x93\xaa=\x90\xD4.PNG", "-o", out},
       0,
       "wrote",
       "",
       "x.png"},
      {"code page 932 set composed by UTF-8",
       {"--set", "デフォルト", "--random", "頭", "-o", out},
       0,
       "wrote",
       "",
       "x.png"},
      {"undecodable set composed",
       {"--set", "caf\xE9", "--pick", "0=X\\xff.png", "-o", out},
       0,
       "wrote",
       "",
       "x.png"},
      {"undecodable names escaped",
       {"--list", "--set", "CAF\\xE9"},
       0,
       "       x\\xFF.png\n",
       "",
       ""},
      {"controls escaped in a listing",
       {"--list", "--set", "bell\a\x1B[2J"},
       0,
       "set: Bell\\x07\\x1B[2J\nsize: 8x4\nparts: 1\n  0: P\\x1B[0m\\xC2\\x9B (priority 1, 1 "
       "image)\n"
       "       \\x0D.png\n",
       "",
       ""},
      {"controls escaped in an error",
       {"--set", "\x1B]0;\a", "-o", out},
       2,
       "",
       "no set '\\x1B]0;\\x07'",
       ""},
      {"output named in Latin-1",
       {"--set", "Escape", "-o", Out("caf\xE9.png")},
       0,
       "caf\\xE9.png (8x4)",
       "",
       "caf\xE9.png"},
      {"output in a folder named in Latin-1",
       {"--set", "Escape", "--count", "2", "-o", Out("\xE9t\xE9\xFF/{n}.png")},
       3,
       "",
       "\\xE9t\\xE9\\xFF/",
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(scratch_ / "x.png");
    ProcessResult result = Run([&] {
      std::vector<std::string> args = {"--graphics", base.string()};
      args.insert(args.end(), c.args.begin(), c.args.end());
      return args;
    }());
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    EXPECT_NE(result.out.find(c.outPart), std::string::npos) << result.out;
    if (*c.errPart == '\0') {
      EXPECT_EQ(result.err, "");
    } else {
      EXPECT_NE(result.err.find(c.errPart), std::string::npos) << result.err;
      if (c.exitCode != 0) {
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
      }
    }
    for (const std::string& text : {result.out, result.err}) {
      EXPECT_EQ(
          std::count_if(text.begin(), text.end(),
                        [](char ch) { return (ch >= 0 && ch < 0x20 && ch != '\n') || ch == 0x7F; }),
          0)
          << text;
    }
    EXPECT_TRUE(*c.written == '\0' || fs::exists(scratch_ / c.written)) << c.written;
  }

  ProcessResult json =
      Run({"--graphics", base.string(), "--list", "--set", "bell\a\x1B[2J", "--json"});
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json.out));
  ASSERT_TRUE(doc.isObject()) << json.out;
  EXPECT_EQ(doc["set"].toString(), QString::fromUtf8("Bell\a\x1B[2J"));
  EXPECT_EQ(doc["parts"][0]["images"][0].toString(), "\r.png");
  json = Run({"--graphics", base.string(), "--list", "--set", "Escape", "--json"});
  const QJsonArray parts =
      QJsonDocument::fromJson(QByteArray::fromStdString(json.out))["parts"].toArray();
  ASSERT_EQ(parts.size(), 6) << json.out;
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(parts[k]["leaves_set"].toBool(), k >= 1 && k <= 4) << k;
  }
  EXPECT_EQ(parts[5]["images"].toArray(), QJsonArray{"secret.png"});
}

}  // namespace
}  // namespace tessarin::cli
