#include <gtest/gtest.h>

#include <cctype>
#include <vector>

#include "folder_layout.h"
#include "set_state.h"
#include "temp_folder.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

std::string NameOf(const std::optional<fs::path>& path) {
  return path ? PathToUtf8(path->filename()) : "<none>";
}

TEST(ResolveEntry, PrefersAnExactMatchThenTheFirstInNameOrder) {
  TempFolder folder;
  folder.WriteFile("HAIR.png");
  folder.WriteFile("Hair.png");
  folder.WriteFile("hair.PNG");
  EXPECT_EQ(NameOf(ResolveEntry(folder.Root(), "hair.PNG")), "hair.PNG");
  EXPECT_EQ(NameOf(ResolveEntry(folder.Root(), "hAIR.png")), "HAIR.png");
  EXPECT_EQ(NameOf(ResolveEntry(folder.Root(), "hair")), "<none>");
  EXPECT_EQ(NameOf(ResolveEntry(folder.Root(), "")), "<none>");
}

TEST(ResolveEntry, MatchesWideLettersAndNestedNamesWithEitherSeparator) {
  TempFolder folder;
  folder.WriteFile("Ｂｏｙ/Неко/Ωmega.png");
  EXPECT_EQ(NameOf(ResolveEntry(folder.Root(), "ｂＯＹ")), "Ｂｏｙ");
  const auto nested = ResolveEntry(folder.Root(), "ｂｏｙ\\нЕКО/ωMEGA.png");
  ASSERT_TRUE(nested);
  EXPECT_EQ(*nested, folder.Path("Ｂｏｙ/Неко/Ωmega.png"));
}

struct CompanionCase {
  const char* name;
  const char* mainImage;  // relative to the folder
  const char* existing;   // companion file present on disk, or ""
  const char* expected;   // expected companion path relative to the folder, or "<none>"
};

// Test names, not bytes, in listings.
void PrintTo(const CompanionCase& row, std::ostream* os) {
  *os << row.name;
}

class CompanionPathTest : public ::testing::TestWithParam<CompanionCase> {};

TEST_P(CompanionPathTest, LowerCasesTheNameAndInsertsTheDollar) {
  const CompanionCase& c = GetParam();
  TempFolder folder;
  folder.WriteFile(c.mainImage);
  if (*c.existing) folder.WriteFile(c.existing);
  const auto companion = CompanionPath(folder.Path(c.mainImage));
  if (std::string(c.expected) == "<none>") {
    EXPECT_FALSE(companion);
  } else {
    ASSERT_TRUE(companion);
    EXPECT_EQ(PathToUtf8(*companion), PathToUtf8(folder.Path(c.expected)));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, CompanionPathTest,
    ::testing::Values(
        CompanionCase{"MissingCompanionStillHasAPath", "Hair/Long.PNG", "", "Hair/long$.png"},
        CompanionCase{"FoundWithoutCase", "Hair/Long.PNG", "Hair/LONG$.PNG", "Hair/LONG$.PNG"},
        CompanionCase{"FullWidthCapital", "Ｂ.png", "ｂ$.png", "ｂ$.png"},
        CompanionCase{"KanaSecondByteKept", "アA.png", "", "アa$.png"},
        CompanionCase{"FolderNamedPngIsLeftAlone", "x.png/Cape.png", "", "x.png/cape$.png"},
        CompanionCase{"FirstOccurrenceOnly", "a.png.png", "", "a$.png.png"},
        CompanionCase{"NoPngNoCompanion", "Hat.bmp", "", "<none>"}),
    [](const ::testing::TestParamInfo<CompanionCase>& row) { return std::string(row.param.name); });

TEST(ListPartImages, ListsMainImagesInNameOrder) {
  TempFolder folder;
  for (const char* name :
       {"b.png", "a$.png", "A$.PNG", "a.png", "C.PNG", "d.txt", "xpng", "e.Png", "cape$.png.png"}) {
    folder.WriteFile(name);
  }
  folder.MakeFolder("folder.png");
  fs::create_symlink(folder.Path("missing.png"), folder.Path("broken.png"));
  fs::create_symlink(folder.Path("b.png"), folder.Path("linked.png"));
  folder.WriteFile("bad\xFF.png");
  folder.WriteFile("\x90\xD4.png");  // "赤.png" in code page 932

  const std::vector<std::string> expected = {"a.png", "b.png",      "bad\\xFF.png", "C.PNG",
                                             "e.Png", "linked.png", "赤.png"};
  EXPECT_EQ(ListPartImages(folder.Root()), expected);
  EXPECT_TRUE(ListPartImages(folder.Path("does-not-exist")).empty());
}

TEST(ListSets, ListsFoldersOnlyInNameOrder) {
  TempFolder folder;
  folder.MakeFolder("girl");
  folder.MakeFolder("Boy");
  folder.MakeFolder("デフォルト");
  folder.WriteFile("notes.txt");
  folder.MakeFolder("\x83\x66\x83\x74\x83\x48\x83\x8b\x83\x67\x82\x61");  // code page 932
  folder.MakeFolder("caf\xE9");
  fs::create_directory_symlink(folder.Path("girl"), folder.Path("Alias"));
  const std::vector<std::string> expected = {"Alias", "Boy",        "caf\\xE9",
                                             "girl",  "デフォルト", "デフォルトＢ"};
  EXPECT_EQ(ListSets(folder.Root()), expected);
  EXPECT_TRUE(ListSets(folder.Path("nothing-here")).empty());
}

TEST(SetPaths, ResolveSetPartAndImageWithoutCase) {
  TempFolder folder;
  folder.WriteFile("Boy/髪/Long.png");
  SetState state;
  state.baseFolder = folder.Root();
  SelectSet(state, "BOY");
  state.partNames[2] = "髪";
  state.partNames[3] = "Missing";
  EXPECT_EQ(state.setName, "BOY");
  EXPECT_EQ(state.setFolder, folder.Path("Boy"));
  EXPECT_EQ(PartFolder(state, 2), folder.Path("Boy/髪"));
  EXPECT_EQ(PartFolder(state, 3), folder.Path("Boy/Missing"));
  // A link the artist placed is followed wherever it leads.
  fs::create_directory_symlink(folder.MakeFolder("elsewhere"), folder.Path("Boy/Cape"));
  folder.WriteFile("elsewhere/red.png");
  state.partNames[4] = "cape";
  EXPECT_EQ(ListPartImages(*PartFolder(state, 4)), std::vector<std::string>{"red.png"});
  EXPECT_EQ(MainImagePath(state, 2, "LONG.PNG"), folder.Path("Boy/髪/Long.png"));
}

TEST(SetPaths, OpenNamesFromOtherSystemsByTheirOwnBytes) {
  TempFolder folder;
  const fs::path image = folder.WriteFile("\x83\x66\x83\x74/\x93\xaa/\x90\xD4.PNG");
  folder.WriteFile("\x83\x66\x83\x74/\x93\xaa/\x90\xD4$.png");
  const fs::path odd = folder.WriteFile("caf\xE9/x\xFF/y\xFE.png");
  SetState state;
  state.baseFolder = folder.Root();
  SelectSet(state, "デフ");
  state.partNames[0] = "頭";
  EXPECT_EQ(state.setFolder, folder.Path("\x83\x66\x83\x74"));
  EXPECT_EQ(MainImagePath(state, 0, "赤.png"), image);
  EXPECT_EQ(CompanionPath(image), folder.Path("\x83\x66\x83\x74/\x93\xaa/\x90\xD4$.png"));
  SelectSet(state, "CAF\\xE9");
  state.partNames[1] = "X\\xFF";
  EXPECT_EQ(MainImagePath(state, 1, "y\\xFE.png"), odd);
  EXPECT_EQ(PathForDisplay(odd.parent_path()), PathToUtf8(folder.Root()) + "/caf\\xE9/x\\xFF");
}

struct LeavingCase {
  const char* name;
  bool leaves;
};

void PrintTo(const LeavingCase& row, std::ostream* os) {
  *os << row.name;
}

class PartNameTest : public ::testing::TestWithParam<LeavingCase> {};

// Outside the set lies a folder "private", reachable by every leaving name below.
TEST_P(PartNameTest, NamesNoFolderOutsideTheSet) {
  TempFolder folder;
  folder.WriteFile("private/secret.png");
  folder.WriteFile("Graphics/Boy/Body/a.png");
  folder.WriteFile("Graphics/Boy/..a/b.png");
  fs::create_directory_symlink(folder.Path("private"), folder.Path("Graphics/Boy/Linked"));
  SetState state;
  state.baseFolder = folder.Path("Graphics");
  SelectSet(state, "Boy");
  std::string name = GetParam().name;
  if (name.front() == '@') name = PathToUtf8(folder.Root()) + name.substr(1);
  state.partNames[0] = name;
  EXPECT_EQ(LeavesFolder(name), GetParam().leaves);
  const std::optional<fs::path> part = PartFolder(state, 0);
  EXPECT_EQ(!part, GetParam().leaves);
  if (part) {
    EXPECT_EQ(part->lexically_normal().parent_path(), state.setFolder);
  }
  EXPECT_EQ(MainImagePath(state, 0, "secret.png").empty(), GetParam().leaves);
}

INSTANTIATE_TEST_SUITE_P(Names, PartNameTest,
                         ::testing::Values(LeavingCase{"../../private", true},
                                           LeavingCase{"..\\..\\private", true},
                                           LeavingCase{"Body/../../../private", true},
                                           LeavingCase{"..", true}, LeavingCase{"@/private", true},
                                           LeavingCase{"\\private", true}, LeavingCase{"C:", true},
                                           LeavingCase{"c:\\private", true},
                                           LeavingCase{"Body", false}, LeavingCase{"./Body", false},
                                           LeavingCase{"..a", false}, LeavingCase{"Linked", false}),
                         [](const ::testing::TestParamInfo<LeavingCase>& row) {
                           std::string name;
                           for (const char c : std::string(row.param.name)) {
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           }
                           return name + "_" + std::to_string(row.index);
                         });

TEST(DefaultBaseFolder, IsGraphicsBesideTheProgram) {
  const fs::path base = DefaultBaseFolder();
  EXPECT_EQ(base.filename(), "Graphics");
  EXPECT_TRUE(fs::exists(base.parent_path() / "model_tests"));
}

TEST(DefaultBaseFolder, FallsBackToTheInstalledSetsOnlyWhenNoneAreBesideTheProgram) {
  TempFolder folder;
  folder.MakeFolder("prefix/bin");
  EXPECT_EQ(BaseFolderFor(folder.Path("prefix/bin")), folder.Path("prefix/bin/Graphics"));
  folder.MakeFolder("prefix/share/tessarin/Graphics");
  EXPECT_EQ(BaseFolderFor(folder.Path("prefix/bin")),
            folder.Path("prefix/share/tessarin/Graphics"));
  folder.MakeFolder("prefix/bin/Graphics");
  EXPECT_EQ(BaseFolderFor(folder.Path("prefix/bin")), folder.Path("prefix/bin/Graphics"));
}

}  // namespace
}  // namespace tessarin
