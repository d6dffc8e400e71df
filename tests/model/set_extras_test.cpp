#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "csv_records.h"
#include "extras_file.h"
#include "layer_recolouring.h"
#include "set_credits.h"
#include "set_extras.h"
#include "set_state.h"
#include "temp_folder.h"

namespace tessarin {

// Found by argument lookup, so outside the unnamed namespace.
void PrintTo(const Animation& a, std::ostream* os) {
  *os << a.name << " " << a.from << ".." << a.to << " " << static_cast<int>(a.playback) << " "
      << a.ms << "ms";
}

namespace {

struct GridCase {
  const char* name;
  std::string json;
  int xSize;
  int ySize;
  SheetGrid grid;
  std::vector<Animation> full;
  std::vector<Animation> half;
};

void PrintTo(const GridCase& c, std::ostream* os) {
  *os << c.name;
}

constexpr Playback kPing = Playback::PingPong;

const std::vector<Animation> kSampleFull = {
    {"down", 0, 2, kPing, 150},      {"left", 6, 8, kPing, 150},
    {"right", 12, 14, kPing, 150},   {"up", 18, 20, kPing, 150},
    {"down_left", 3, 5, kPing, 150}, {"down_right", 9, 11, kPing, 150},
    {"up_left", 15, 17, kPing, 150}, {"up_right", 21, 23, kPing, 150}};
const std::vector<Animation> kSampleHalf = {{"down", 0, 2, kPing, 150},
                                            {"left", 3, 5, kPing, 150},
                                            {"right", 6, 8, kPing, 150},
                                            {"up", 9, 11, kPing, 150}};

class GridTest : public ::testing::TestWithParam<GridCase> {};

TEST_P(GridTest, GivesGridAndAnimations) {
  const GridCase& c = GetParam();
  SetExtras extras;
  const Status status = ParseSetExtras(c.json, c.xSize, c.ySize, extras);
  ASSERT_TRUE(status) << status.Message();
  EXPECT_EQ(extras.grid, c.grid);
  EXPECT_EQ(AnimationsFor(extras, false), c.full);
  EXPECT_EQ(AnimationsFor(extras, true), c.half);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, GridTest,
    ::testing::Values(
        GridCase{"NoFileSampleLayout", "", 192, 192, {6, 4}, kSampleFull, kSampleHalf},
        GridCase{"EmptyObjectSampleLayout", "{}", 96, 64, {6, 4}, kSampleFull, kSampleHalf},
        GridCase{"UnknownKeysIgnored",
                 R"({"author": {"x": [1, 2]}, "v": 3})",
                 192,
                 192,
                 {6, 4},
                 kSampleFull,
                 kSampleHalf},
        GridCase{"SizeNotDividingHasNoGrid", "", 100, 100, {}, {}, {}},
        GridCase{"SizeNotDividingGivenAGrid",
                 R"({"grid": {"columns": 5, "rows": 5}})",
                 100,
                 100,
                 {5, 5},
                 {},
                 {}},
        GridCase{"DefaultGridGivenKeepsDefaults",
                 R"({"grid": {"columns": 6, "rows": 4}})",
                 192,
                 192,
                 {6, 4},
                 kSampleFull,
                 kSampleHalf},
        GridCase{"EmptyListMeansNone", R"({"animations": []})", 192, 192, {6, 4}, {}, {}},
        GridCase{"GivenAnimationsHalfKeepsLeftCellsRenumbered",
                 R"({"grid": {"columns": 4, "rows": 2}, "animations": [
                      {"name": "walk", "from": 4, "to": 5, "direction": "forward", "ms": 90},
                      {"name": "spin", "from": 1, "to": 4},
                      {"name": "back", "from": 7, "to": 6, "direction": "reverse"},
                      {"name": "idle", "from": 1, "to": 0, "direction": "pingpong"}]})",
                 64,
                 32,
                 {4, 2},
                 {{"walk", 4, 5, Playback::Forward, 90},
                  {"spin", 1, 4, kPing, 150},
                  {"back", 7, 6, Playback::Reverse, 150},
                  {"idle", 1, 0, kPing, 150}},
                 {{"walk", 2, 3, Playback::Forward, 90}, {"idle", 1, 0, kPing, 150}}}),
    [](const auto& row) { return std::string(row.param.name); });

struct RefusalCase {
  const char* name;
  std::string json;
  std::string message;
  int xSize = 192;
  int ySize = 192;
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
  *os << c.name;
}

class RefusalTest : public ::testing::TestWithParam<RefusalCase> {};

// Every mistake is one line naming the file and the key, and leaves the set as one without
// the file.
TEST_P(RefusalTest, NamesFileAndKey) {
  const RefusalCase& c = GetParam();
  SetExtras extras;
  const Status status = ParseSetExtras(c.json, c.xSize, c.ySize, extras);
  ASSERT_FALSE(status);
  EXPECT_EQ(status.Message(), c.message);
  EXPECT_EQ(status.Message().find('\n'), std::string::npos);
  SetExtras none;
  ASSERT_TRUE(ParseSetExtras({}, c.xSize, c.ySize, none));
  EXPECT_EQ(extras.grid, none.grid);
  EXPECT_EQ(extras.animations, none.animations);
}

std::string Repeated(const std::string& item, int count) {
  std::string list = item;
  for (int k = 1; k < count; ++k) list += ", " + item;
  return list;
}

const std::string kGridWords =
    "set.json: grid: columns and rows must be whole numbers from 1 to 65535";

INSTANTIATE_TEST_SUITE_P(
    Mistakes, RefusalTest,
    ::testing::Values(
        RefusalCase{"NotJson", "{\"grid\": ", "set.json: not JSON at byte 9: unterminated object"},
        RefusalCase{"NotAnObject", "[1]", "set.json: must hold a JSON object"},
        RefusalCase{"NameHoldingLineBreak", "{\"palettes\": {\"a\nb\": 1}}",
                    "set.json: palettes.a\\x0Ab: must be an object"},
        RefusalCase{"DeepNesting", std::string(100000, '[') + std::string(100000, ']'),
                    "set.json: not JSON at byte 1025: too deeply nested document"},
        RefusalCase{"GridNotDividing", R"({"grid": {"columns": 5, "rows": 4}})",
                    "set.json: grid: the sheet's 192 x 192 does not divide into 5 columns by 4 "
                    "rows"},
        RefusalCase{"GridZero", R"({"grid": {"columns": 0, "rows": 4}})", kGridWords},
        RefusalCase{"GridHuge", R"({"grid": {"columns": 1e300, "rows": 4}})", kGridWords},
        RefusalCase{"GridFraction", R"({"grid": {"columns": 1.5, "rows": 4}})", kGridWords},
        RefusalCase{"GridText", R"({"grid": {"columns": "6", "rows": 4}})", kGridWords},
        RefusalCase{"GridList", R"({"grid": [6, 4]})", kGridWords},
        // Each side allowed, but together more cells than a cell number or frame list holds.
        RefusalCase{"GridTooManyCells", R"({"grid": {"columns": 65535, "rows": 65535}})",
                    "set.json: grid: 65535 columns by 65535 rows are more than 1048576 cells",
                    65535, 65535},
        RefusalCase{"AnimationsNotList", R"({"animations": {}})",
                    "set.json: animations: must be a list"},
        RefusalCase{"AnimationNotObject", R"({"animations": [3]})",
                    "set.json: animations[0]: must be an object"},
        RefusalCase{"AnimationNameless", R"({"animations": [{"from": 0, "to": 1}]})",
                    "set.json: animations[0].name: must be a name"},
        RefusalCase{"AnimationOutsideGrid",
                    R"({"animations": [{"name": "a", "from": 0, "to": 1},
                                       {"name": "b", "from": 0, "to": 24}]})",
                    "set.json: animations[1].to: must be a cell from 0 to 23"},
        RefusalCase{"AnimationNegative", R"({"animations": [{"name": "a", "from": -1, "to": 1}]})",
                    "set.json: animations[0].from: must be a cell from 0 to 23"},
        RefusalCase{"AnimationDirection",
                    R"({"animations": [{"name": "a", "from": 0, "to": 1, "direction": "up"}]})",
                    "set.json: animations[0].direction: must be forward, reverse or pingpong"},
        RefusalCase{"AnimationMs",
                    R"({"animations": [{"name": "a", "from": 0, "to": 1, "ms": 0}]})",
                    "set.json: animations[0].ms: must be a whole number from 1 to 3600000"},
        RefusalCase{
            "AnimationsWithoutGrid", R"({"animations": [{"name": "a", "from": 0, "to": 1}]})",
            "set.json: animations: the sheet has no grid: give one under \"grid\"", 100, 100},
        RefusalCase{"PalettesNotObject", R"({"palettes": []})",
                    "set.json: palettes: must be an object"},
        RefusalCase{"SourceMissing", R"({"palettes": {"skin": {}}})",
                    "set.json: palettes.skin.source: must be a list of \"#rrggbb\" colours"},
        RefusalCase{"SourceBadColour", R"({"palettes": {"skin": {"source": ["#aabbcc", "#abc"]}}})",
                    "set.json: palettes.skin.source[1]: must be a \"#rrggbb\" colour"},
        RefusalCase{"SourceEmpty", R"({"palettes": {"skin": {"source": []}}})",
                    "set.json: palettes.skin.source: must list at least one colour"},
        RefusalCase{"SourceTwice", R"({"palettes": {"skin": {"source": ["#AABBCC", "#aabbcc"]}}})",
                    "set.json: palettes.skin.source: #aabbcc is listed twice"},
        RefusalCase{"VariantShort",
                    R"({"palettes": {"skin": {"source": ["#000001", "#000002"],
                                              "variants": {"pale": ["#ffffff"]}}}})",
                    "set.json: palettes.skin.variants.pale: has 1 colours where the source has 2"},
        RefusalCase{"VariantBadColour",
                    R"({"palettes": {"skin": {"source": ["#000001"],
                                              "variants": {"pale": ["red"]}}}})",
                    "set.json: palettes.skin.variants.pale[0]: must be a \"#rrggbb\" colour"},
        RefusalCase{"VariantNamedSource",
                    R"({"palettes": {"skin": {"source": ["#000001"],
                                              "variants": {"Source": ["#000002"]}}}})",
                    "set.json: palettes.skin.variants.Source: \"source\" names the original "
                    "colours"},
        RefusalCase{"VariantsAlikeWithoutCase",
                    R"({"palettes": {"skin": {"source": ["#000001"],
                          "variants": {"Pale": ["#000002"], "pale": ["#000003"]}}}})",
                    "set.json: palettes.skin.variants.pale: named like the variant Pale"},
        RefusalCase{"PartsNotNames",
                    R"({"palettes": {"skin": {"source": ["#000001"], "parts": ["body", 3]}}})",
                    "set.json: palettes.skin.parts: must be a list of 1 to 8 part folder names"},
        RefusalCase{"TooManyParts",
                    R"({"palettes": {"skin": {"source": ["#000001"],
                          "parts": ["1", "2", "3", "4", "5", "6", "7", "8", "9"]}}})",
                    "set.json: palettes.skin.parts: must be a list of 1 to 8 part folder names"},
        RefusalCase{"TooManyColours",
                    R"({"palettes": {"skin": {"source": [)" + Repeated("\"#000001\"", 257) + "]}}}",
                    "set.json: palettes.skin.source: more than 256 colours"},
        RefusalCase{"TooManyPalettes",
                    [] {
                      std::string json = R"({"palettes": {"m0": {})";
                      for (int k = 1; k <= 256; ++k) json += ", \"m" + std::to_string(k) + "\": {}";
                      return json + "}}";
                    }(),
                    "set.json: palettes: more than 256 palettes"},
        RefusalCase{"MaterialsAlikeWithoutCase",
                    R"({"palettes": {"Skin": {"source": ["#000001"]},
                                     "skin": {"source": ["#000002"]}}})",
                    "set.json: palettes.skin: named like the palette Skin"},
        RefusalCase{"SharedColourOnEveryPart",
                    R"({"palettes": {"cloth": {"source": ["#000001", "#000002"]},
                                     "skin": {"source": ["#000003", "#000002"]}}})",
                    "set.json: palettes.skin: shares #000002 with palettes.cloth on every part"},
        RefusalCase{"SharedColourOnSharedPart",
                    R"({"palettes": {"cloth": {"source": ["#000001"], "parts": ["Body", "hat"]},
                                     "skin": {"source": ["#000001"], "parts": ["hair", "body"]}}})",
                    "set.json: palettes.skin: shares #000001 with palettes.cloth on part Body"}),
    [](const auto& row) { return std::string(row.param.name); });

// Two materials may use the same colour on parts apart.
TEST(PaletteTest, SameColourOnPartsApartIsFine) {
  SetExtras extras;
  const Status status = ParseSetExtras(
      R"({"palettes": {"cloth": {"source": ["#000001"], "parts": ["hat"]},
                       "skin": {"source": ["#000001"], "parts": ["body"]}}})",
      192, 192, extras);
  EXPECT_TRUE(status) << status.Message();
}

struct SwapCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> choices;
  std::string part;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> swaps;
  std::string message;
};

void PrintTo(const SwapCase& c, std::ostream* os) {
  *os << c.name;
}

class SwapsForPartTest : public ::testing::TestWithParam<SwapCase> {};

const char kPalettes[] = R"({"palettes": {
  "skin": {"source": ["#100000", "#200000"],
           "variants": {"Pale": ["#f0f0f0", "#200000"], "dark": ["#101010", "#202020"]}},
  "cloth": {"source": ["#000010"], "variants": {"red": ["#ff0000"]}, "parts": ["上着", "Hat"]}}})";

TEST_P(SwapsForPartTest, SwapsTheChosenVariants) {
  const SwapCase& c = GetParam();
  SetExtras extras;
  ASSERT_TRUE(ParseSetExtras(kPalettes, 192, 192, extras));
  std::vector<ColourSwap> swaps;
  const Status status = SwapsForPart(extras, c.choices, c.part, swaps);
  EXPECT_EQ(status.Message(), c.message);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> got;
  for (const ColourSwap& swap : swaps) got.emplace_back(swap.from, swap.to);
  EXPECT_EQ(got, c.swaps);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, SwapsForPartTest,
    ::testing::Values(
        SwapCase{"NoChoiceNoSwap", {}, "body", {}, ""},
        SwapCase{"VariantWithoutCaseUnchangedColourLeftOut",
                 {{"SKIN", "pale"}},
                 "body",
                 {{0x100000, 0xf0f0f0}},
                 ""},
        SwapCase{"SourceIsTheOriginal", {{"skin", "Source"}}, "body", {}, ""},
        SwapCase{"MaterialsTogether",
                 {{"skin", "dark"}, {"cloth", "red"}},
                 "HAT",
                 {{0x100000, 0x101010}, {0x200000, 0x202020}, {0x000010, 0xff0000}},
                 ""},
        SwapCase{"PartNotListed", {{"cloth", "red"}}, "body", {}, ""},
        SwapCase{"PartListedNotAscii", {{"cloth", "red"}}, "上着", {{0x000010, 0xff0000}}, ""},
        SwapCase{
            "UnknownMaterial", {{"hair", "red"}}, "body", {}, "set.json: no palette named hair"},
        SwapCase{"UnknownVariant",
                 {{"cloth", "blue"}},
                 "hat",
                 {},
                 "set.json: palettes.cloth: no variant named blue"}),
    [](const auto& row) { return std::string(row.param.name); });

struct RecolourCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> choices;
  // Left and right pixel of the body's and the hat's layers afterwards, main and companion
  // alike; 0 where the layer must still be the one loaded.
  std::uint32_t body[2];
  std::uint32_t hat[2];
  std::string message;
};

void PrintTo(const RecolourCase& c, std::ostream* os) {
  *os << c.name;
}

class RecolourLayersTest : public ::testing::TestWithParam<RecolourCase> {};

// Every layer starts as skin on the left, cloth on the right.
TEST_P(RecolourLayersTest, RecoloursTheCoveredParts) {
  const RecolourCase& c = GetParam();
  SetExtras extras;
  ASSERT_TRUE(ParseSetExtras(kPalettes, 192, 192, extras));
  SetState state;
  state.partNames[0] = "Body";
  state.partNames[3] = "hat";
  for (const int slot : {MainSlot(0), CompanionSlot(0), MainSlot(3), CompanionSlot(3)}) {
    auto image = std::make_shared<RasterImage>();
    image->Create(2, 1, 32, true);
    const std::uint32_t pixels[2] = {0x80100000, 0xFF000010};
    for (int x = 0; x < 2; ++x) {
      for (int b = 0; b < 4; ++b)
        image->Row(0)[4 * x + b] = static_cast<std::uint8_t>(pixels[x] >> (8 * b));
    }
    state.layers[slot].image = std::move(image);
  }
  const SetState loaded = state;
  const Status status = RecolourLayers(state, extras, c.choices);
  EXPECT_EQ(status.Message(), c.message);
  for (const int part : {0, 3}) {
    const std::uint32_t* expected = part == 0 ? c.body : c.hat;
    for (const int slot : {MainSlot(part), CompanionSlot(part)}) {
      const RasterImage& image = *state.layers[slot].image;
      if (expected[0] == 0) {
        EXPECT_EQ(&image, loaded.layers[slot].image.get()) << "slot " << slot;
        continue;
      }
      EXPECT_EQ(image.PixelAt(0, 0), expected[0]) << "slot " << slot;
      EXPECT_EQ(image.PixelAt(1, 0), expected[1]) << "slot " << slot;
      EXPECT_EQ(loaded.layers[slot].image->PixelAt(0, 0), 0x80100000u) << "slot " << slot;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Choices, RecolourLayersTest,
    ::testing::Values(
        RecolourCase{"NoChoiceKeepsLayersShared", {}, {0, 0}, {0, 0}, ""},
        RecolourCase{"SourceKeepsLayersShared", {{"skin", "source"}}, {0, 0}, {0, 0}, ""},
        RecolourCase{"EveryPart",
                     {{"skin", "dark"}},
                     {0x80101010, 0xFF000010},
                     {0x80101010, 0xFF000010},
                     ""},
        RecolourCase{"ListedPartOnly", {{"cloth", "red"}}, {0, 0}, {0x80100000, 0xFFFF0000}, ""},
        RecolourCase{"BothMaterials",
                     {{"cloth", "red"}, {"skin", "pale"}},
                     {0x80F0F0F0, 0xFF000010},
                     {0x80F0F0F0, 0xFFFF0000},
                     ""},
        RecolourCase{"UnknownVariantChangesNothing",
                     {{"skin", "dark"}, {"cloth", "blue"}},
                     {0, 0},
                     {0, 0},
                     "set.json: palettes.cloth: no variant named blue"}),
    [](const auto& row) { return std::string(row.param.name); });

struct CsvCase {
  const char* name;
  std::string text;
  std::vector<CsvRecord> records;
  std::string message;
};

void PrintTo(const CsvCase& c, std::ostream* os) {
  *os << c.name;
}

class CsvTest : public ::testing::TestWithParam<CsvCase> {};

TEST_P(CsvTest, ReadsRecords) {
  const CsvCase& c = GetParam();
  std::vector<CsvRecord> records;
  const Status status = ReadCsv(c.text, [&records](const CsvRecord& record) {
    records.push_back(record);
    return Status::Ok();
  });
  EXPECT_EQ(status.Message(), c.message);
  if (!status) return;
  ASSERT_EQ(records.size(), c.records.size());
  for (std::size_t k = 0; k < records.size(); ++k) {
    EXPECT_EQ(records[k].line, c.records[k].line) << "record " << k;
    EXPECT_EQ(records[k].fields, c.records[k].fields) << "record " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CsvTest,
    ::testing::Values(
        CsvCase{"Empty", "", {}, ""},
        CsvCase{"LfWithoutLastBreak", "a,b\nc,d", {{1, {"a", "b"}}, {2, {"c", "d"}}}, ""},
        CsvCase{"CrLf", "a,b\r\nc,d\r\n", {{1, {"a", "b"}}, {2, {"c", "d"}}}, ""},
        CsvCase{"EmptyFields", ",,\n", {{1, {"", "", ""}}}, ""},
        CsvCase{"QuotedCommaAndDoubledQuote",
                "\"a,b\",\"say \"\"hi\"\"\"\n",
                {{1, {"a,b", "say \"hi\""}}},
                ""},
        CsvCase{"LineBreaksInsideQuotes",
                "\"one\r\ntwo\nthree\",x\nnext\n",
                {{1, {"one\r\ntwo\nthree", "x"}}, {4, {"next"}}},
                ""},
        CsvCase{"EmptyQuoted", "\"\",\"\"\"\"", {{1, {"", "\""}}}, ""},
        CsvCase{"QuoteNeverClosed", "a\n\"b,\nc\n", {}, "line 2: a quote is never closed"},
        CsvCase{"TextAfterQuote", "a\n\"b\"c\n", {}, "line 2: text after a closing quote"},
        CsvCase{"QuoteInsideField",
                "ab\"c\n",
                {},
                "line 1: a quote inside a field that does not start with one"}),
    [](const auto& row) { return std::string(row.param.name); });

struct CreditCase {
  const char* name;
  std::string image;
  std::string filename;  // of the credit found; "" for none
};

void PrintTo(const CreditCase& c, std::ostream* os) {
  *os << c.name;
}

const char kCredits[] =
    "\xEF\xBB\xBF"
    "filename,notes,authors,licenses,urls\r\n"
    "体,the bodies,\"Ann, Bo \",CC0,https://a.example/\r\n"
    "体/Big\\body01.png,one body,\" Cy\",\"CC-BY-4.0, OFL\",\r\n"
    "\r\n"
    "髪/,\"hair, \"\"soft\"\"\nand long\",Di,CC0,\"https://b.example/,https://c.example/\"\r\n";

class CreditLookupTest : public ::testing::TestWithParam<CreditCase> {};

TEST_P(CreditLookupTest, LongestPathWins) {
  const CreditCase& c = GetParam();
  SetCredits credits;
  ASSERT_TRUE(credits.Parse(kCredits));
  const Credit* found = credits.For(c.image);
  EXPECT_EQ(found ? found->filename : "", c.filename);
}

INSTANTIATE_TEST_SUITE_P(
    Images, CreditLookupTest,
    ::testing::Values(CreditCase{"FolderHoldsImage", "体/body02.png", "体"},
                      CreditCase{"FileOverFolder", "体/big/BODY01.PNG", "体/Big\\body01.png"},
                      CreditCase{"OtherSeparator", "体\\Big\\body01.png", "体/Big\\body01.png"},
                      CreditCase{"SiblingFileFallsBack", "体/Big/body011.png", "体"},
                      CreditCase{"TrailingSeparatorFolder", "髪/h.png", "髪/"},
                      CreditCase{"NamePrefixIsNoFolder", "髪型/h.png", ""},
                      CreditCase{"Uncredited", "装飾1/x.png", ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CreditsTest, ReadsListsAndNotes) {
  SetCredits credits;
  ASSERT_TRUE(credits.Parse(kCredits));
  ASSERT_EQ(credits.Entries().size(), 3u);
  const Credit& body = credits.Entries()[0];
  EXPECT_EQ(body.authors, (std::vector<std::string>{"Ann", "Bo"}));
  EXPECT_EQ(body.urls, (std::vector<std::string>{"https://a.example/"}));
  const Credit& one = credits.Entries()[1];
  EXPECT_EQ(one.licenses, (std::vector<std::string>{"CC-BY-4.0", "OFL"}));
  EXPECT_TRUE(one.urls.empty());
  const Credit& hair = credits.Entries()[2];
  EXPECT_EQ(hair.notes, "hair, \"soft\"\nand long");
  EXPECT_EQ(hair.urls, (std::vector<std::string>{"https://b.example/", "https://c.example/"}));
}

struct CreditRefusalCase {
  const char* name;
  std::string text;
  std::string message;
};

void PrintTo(const CreditRefusalCase& c, std::ostream* os) {
  *os << c.name;
}

class CreditRefusalTest : public ::testing::TestWithParam<CreditRefusalCase> {};

TEST_P(CreditRefusalTest, NamesFileAndLine) {
  const CreditRefusalCase& c = GetParam();
  SetCredits credits;
  const Status status = credits.Parse(c.text);
  ASSERT_FALSE(status);
  EXPECT_EQ(status.Message(), c.message);
  EXPECT_TRUE(credits.Entries().empty());
}

const std::string kHeaderLine = "filename,notes,authors,licenses,urls\n";

INSTANTIATE_TEST_SUITE_P(
    Mistakes, CreditRefusalTest,
    ::testing::Values(CreditRefusalCase{"Empty", "",
                                        "CREDITS.csv: line 1: the header "
                                        "filename,notes,authors,licenses,urls is missing"},
                      CreditRefusalCase{"WrongHeader", "file,notes,authors,licenses,urls\n",
                                        "CREDITS.csv: line 1: the header must be "
                                        "filename,notes,authors,licenses,urls"},
                      CreditRefusalCase{"NameHoldingLineBreak", kHeaderLine + "\"\n/../..\",,,,\n",
                                        "CREDITS.csv: line 2: \"\\x0A/../..\" leads out of "
                                        "the set folder"},
                      CreditRefusalCase{"TooFewFields", kHeaderLine + "a,\"b\nc\",d,e,f\nx,y\n",
                                        "CREDITS.csv: line 4: 5 fields expected, found 2"},
                      CreditRefusalCase{"EmptyFilename", kHeaderLine + " ,n,a,l,u\n",
                                        "CREDITS.csv: line 2: the filename is empty"},
                      CreditRefusalCase{
                          "LeavesSet", kHeaderLine + "a/../../b,n,a,l,u\n",
                          "CREDITS.csv: line 2: \"a/../../b\" leads out of the set folder"},
                      CreditRefusalCase{"TooManyCredits",
                                        [] {
                                          std::string text = kHeaderLine;
                                          for (int k = 0; k <= 65536; ++k) text += "a,,,,\n";
                                          return text;
                                        }(),
                                        "CREDITS.csv: line 65538: more than 65536 credits"},
                      CreditRefusalCase{"QuoteNeverClosed", kHeaderLine + "a,\"n,a,l,u\n",
                                        "CREDITS.csv: line 2: a quote is never closed"}),
    [](const auto& row) { return std::string(row.param.name); });

// Both files are read only as regular files of bounded size; a set without them is as before.
TEST(ExtrasFileTest, ReadsOnlySmallRegularFiles) {
  testing::TempFolder folder;
  SetExtras extras;
  SetCredits credits;
  EXPECT_TRUE(ReadSetExtras(folder.Root(), 192, 192, extras));
  EXPECT_EQ(extras.grid, kDefaultGrid);
  EXPECT_TRUE(credits.Read(folder.Root()));

  folder.WriteFile("SET.JSON", R"({"grid": {"columns": 2, "rows": 2}})");
  folder.WriteFile("credits.CSV", kHeaderLine + "a,,b,,\n");
  ASSERT_TRUE(ReadSetExtras(folder.Root(), 192, 192, extras));
  EXPECT_EQ(extras.grid, (SheetGrid{2, 2}));
  ASSERT_TRUE(credits.Read(folder.Root()));
  EXPECT_EQ(credits.Entries().size(), 1u);

  std::filesystem::resize_file(folder.Path("SET.JSON"), kMaxExtrasFileBytes + 1);
  Status status = ReadSetExtras(folder.Root(), 192, 192, extras);
  EXPECT_NE(status.Message().find("SET.JSON\": larger than 16 MiB"), std::string::npos)
      << status.Message();
  EXPECT_EQ(extras.grid, kDefaultGrid);

  std::filesystem::remove(folder.Path("credits.CSV"));
  ASSERT_EQ(::mkfifo(folder.Path("CREDITS.csv").c_str(), 0600), 0);
  status = credits.Read(folder.Root());
  EXPECT_NE(status.Message().find("CREDITS.csv\": not a regular file"), std::string::npos)
      << status.Message();
}

}  // namespace
}  // namespace tessarin
