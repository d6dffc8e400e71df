#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "set_state.h"
#include "setting_file.h"
#include "temp_folder.h"

namespace tessarin {
namespace {

using Parts = std::vector<std::pair<std::string, std::int32_t>>;

struct ParseCase {
  const char* name;
  std::string bytes;
  Parts parts;  // name and priority, in part order
  std::int32_t xSize;
  std::int32_t ySize;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
  *os << c.name;
}

// The priority of a part is the key stored with its main slot.
std::int32_t PriorityOf(const SetState& state, int part) {
  for (std::size_t i = 0; i < state.drawOrder.size(); ++i) {
    if (state.drawOrder[i] == MainSlot(part)) return state.orderKeys[i];
  }
  ADD_FAILURE() << "part " << part << " has no main slot";
  return 0;
}

class ParseSettingFileTest : public ::testing::TestWithParam<ParseCase> {};

void ExpectSetting(const SetState& state, const ParseCase& c) {
  EXPECT_EQ(state.xSize, c.xSize);
  EXPECT_EQ(state.ySize, c.ySize);
  ASSERT_EQ(state.drawOrder.size(), 2 * c.parts.size());
  ASSERT_EQ(state.orderKeys.size(), state.drawOrder.size());
  for (int part = 0; part < kPartCount; ++part) {
    if (static_cast<std::size_t>(part) < c.parts.size()) {
      EXPECT_EQ(state.partNames[part], c.parts[part].first) << "part " << part;
      EXPECT_EQ(PriorityOf(state, part), c.parts[part].second) << "part " << part;
    } else {
      EXPECT_EQ(state.partNames[part], "") << "part " << part;
    }
  }
}

// Each row is parsed from memory and read from a file, which comes in blocks.
TEST_P(ParseSettingFileTest, ReadsPartsAndSize) {
  const ParseCase& c = GetParam();
  SetState state;
  state.xSize = 777;  // earlier values never leak into the result
  state.partNames[7] = "stale";
  ParseSettingFile(c.bytes, state);
  ExpectSetting(state, c);

  testing::TempFolder folder;
  folder.WriteFile("setting.txt", c.bytes);
  SetState read;
  read.setFolder = folder.Root();
  ASSERT_EQ(ReadSettingFile(read), SettingFileStatus::Read);
  ExpectSetting(read, c);
}

// text after a line of padding that puts text[at] first in the file's second 64 KiB.
std::string AtBlockEdge(const std::string& text, std::size_t at) {
  return std::string(65535 - at, 'x') + "\n" + text;
}

const std::string k300 = std::string(252, 'x') + "=7" + std::string(46, 'y');

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseSettingFileTest,
    ::testing::Values(
        ParseCase{"WorkedExampleInCp932",
                  "Xsize:96\r\nYsize:128\r\n\x93\xaa=5\r\n\x91\xcc=3\r\n",
                  {{"頭", 5}, {"体", 3}},
                  96,
                  128},
        ParseCase{"Utf8Names", "頭=5\n体=3\n", {{"頭", 5}, {"体", 3}}, 0, 0},
        ParseCase{"ByteOrderMarkThenComment", "\xEF\xBB\xBF#Xsize:5\n髪=2\n", {{"髪", 2}}, 0, 0},
        ParseCase{"ByteOrderMarkBeforeName", "\xEF\xBB\xBF髪=2\n", {{"髪", 2}}, 0, 0},
        ParseCase{"CommentHidesSizeKey", "#Xsize:64\nYsize:8\n", {}, 0, 8},
        ParseCase{"HashInsideNameIsNotComment", "a#b=4\n", {{"a#b", 4}}, 0, 0},
        ParseCase{"EqualsFirstDefinesNoPartButKeepsSize", "=4 Xsize:9\n", {}, 9, 0},
        ParseCase{"NameKeepsTrailingBlank", "\x93\xaa = 5\n", {{"頭 ", 5}}, 0, 0},
        ParseCase{"SizeWithBlankAndWithoutDigits", "Xsize: 48\nYsize:abc\n", {}, 48, 0},
        ParseCase{"PartAndSizeOnOneLine", "\x8e\xe8=1 Xsize:40\n", {{"手", 1}}, 40, 0},
        ParseCase{"NegativeAndSignedPriorities",
                  "a=-1\nb=+2\nc=x\n",
                  {{"a", -1}, {"b", 2}, {"c", 0}},
                  0,
                  0},
        ParseCase{"PriorityWrapsModulo2To32",
                  "a=4294967297\nb=2147483648\n",
                  {{"a", 1}, {"b", INT32_MIN}},
                  0,
                  0},
        ParseCase{
            "LongLineIsReadInPieces", k300 + "\nYsize:3\n", {{std::string(252, 'x'), 7}}, 0, 3},
        ParseCase{"SecondPieceOfLongLineIsALineOfItsOwn",
                  std::string(255, 'z') + "q=3 Xsize:12\n",
                  {{"q", 3}},
                  12,
                  0},
        ParseCase{"EndOfFileByteStopsReading",
                  "a=1\n\x1A"
                  "b=2\nXsize:5\n",
                  {{"a", 1}},
                  0,
                  0},
        ParseCase{"NulByteEndsTheLineForParsing",
                  std::string("a=1\0Xsize:5\nb\0=2\n", 17),
                  {{"a", 1}},
                  0,
                  0},
        ParseCase{"LoneCarriageReturnStaysInTheLine", "a=1\rXsize:6\n", {{"a", 1}}, 6, 0},
        ParseCase{"InvalidCp932BecomesReplacement", "\x93\xaa\x80=1\n", {{"頭\uFFFD", 1}}, 0, 0},
        ParseCase{"NinthPartLineAndAllAfterIgnored",
                  "Ysize:4\na=1\nb=1\nc=1\nd=1\ne=1\nf=1\ng=1\nh=1\ni=1\nXsize:80\n",
                  {{"a", 1}, {"b", 1}, {"c", 1}, {"d", 1}, {"e", 1}, {"f", 1}, {"g", 1}, {"h", 1}},
                  0,
                  4},
        ParseCase{"EmptyFile", "", {}, 0, 0},
        ParseCase{"CarriageReturnEndsABlock", AtBlockEdge("a\r=1\n", 2), {{"a\r", 1}}, 0, 0},
        ParseCase{"CrLfAcrossABlockEdge", AtBlockEdge("a=1\r\nXsize:2\r\n", 4), {{"a", 1}}, 2, 0},
        ParseCase{"Utf8NameAcrossABlockEdge", AtBlockEdge("頭=5\n", 1), {{"頭", 5}}, 0, 0},
        ParseCase{"EndOfFileByteStartsABlock",
                  AtBlockEdge("a=1\n\x1A"
                              "b=2\n",
                              4),
                  {{"a", 1}},
                  0,
                  0}),
    [](const ::testing::TestParamInfo<ParseCase>& row) { return std::string(row.param.name); });

TEST(ParseInt32Wrapping, FollowsAtoiOn32Bits) {
  EXPECT_EQ(ParseInt32Wrapping("  \t42abc"), 42);
  EXPECT_EQ(ParseInt32Wrapping("-0"), 0);
  EXPECT_EQ(ParseInt32Wrapping("+-3"), 0);
  EXPECT_EQ(ParseInt32Wrapping("- 3"), 0);
  EXPECT_EQ(ParseInt32Wrapping("-2147483649"), INT32_MAX);
  EXPECT_EQ(ParseInt32Wrapping("99999999999999999999"), 1661992959);
}

TEST(ReadSettingFile, FindsTheFileWithoutRegardToCaseAndReportsAMissingOne) {
  testing::TempFolder folder;
  SetState state;
  state.setFolder = folder.MakeFolder("Set");
  folder.WriteFile("Set/SETTING.TXT", "Xsize:10\nhair=1\n");
  EXPECT_EQ(ReadSettingFile(state), SettingFileStatus::Read);
  EXPECT_EQ(state.xSize, 10);
  EXPECT_EQ(state.partNames[0], "hair");

  state.setFolder = folder.MakeFolder("Empty");
  EXPECT_EQ(ReadSettingFile(state), SettingFileStatus::Missing);
  EXPECT_EQ(state.xSize, 0);
  EXPECT_EQ(state.partNames[0], "");
  EXPECT_TRUE(state.drawOrder.empty());

  state.setFolder = folder.MakeFolder("Folder");
  folder.MakeFolder("Folder/setting.txt");
  EXPECT_EQ(ReadSettingFile(state), SettingFileStatus::Missing);
}

}  // namespace
}  // namespace tessarin
