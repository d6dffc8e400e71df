#include "compose_options.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace tessarin::cli {

// Failures name the fields, not the bytes of the struct.
void PrintTo(const ComposeOptions& options, std::ostream* os) {
  *os << "mode " << static_cast<int>(options.mode) << ", graphics "
      << testing::PrintToString(options.graphics) << ", set " << testing::PrintToString(options.set)
      << ", json " << options.json << ", picks";
  for (const PartPick& pick : options.picks) *os << ' ' << pick.part << '=' << pick.file;
  *os << ", random " << testing::PrintToString(options.randomParts) << ", seed "
      << testing::PrintToString(options.seed) << ", count " << options.count << ", first "
      << options.first << ", half " << options.half << ", blend " << static_cast<int>(options.blend)
      << ", output " << testing::PrintToString(options.output);
}

namespace {

ComposeOptions Composing(std::string set, std::string output) {
  ComposeOptions options;
  options.set = std::move(set);
  options.output = std::move(output);
  return options;
}

struct GoodLine {
  const char* name;
  std::vector<std::string> args;
  ComposeOptions expected;
};

// Test names, not bytes, in listings.
void PrintTo(const GoodLine& row, std::ostream* os) {
  *os << row.name;
}

class GoodCommandLine : public testing::TestWithParam<GoodLine> {};

TEST_P(GoodCommandLine, ParsesToOptions) {
  const GoodLine& line = GetParam();
  ParseResult result = ParseComposeOptions(line.args);
  const CliError* error = std::get_if<CliError>(&result);
  ASSERT_EQ(error, nullptr) << error->message;
  EXPECT_EQ(std::get<ComposeOptions>(result), line.expected);
}

ComposeOptions Listing(std::optional<std::string> set, bool json,
                       std::optional<std::string> graphics = std::nullopt) {
  ComposeOptions options;
  options.mode = ComposeOptions::Mode::List;
  options.set = std::move(set);
  options.json = json;
  options.graphics = std::move(graphics);
  return options;
}

// Help ends the reading: what came before it is kept, nothing after it is looked at.
ComposeOptions Help(std::optional<std::string> set = std::nullopt) {
  ComposeOptions options;
  options.mode = ComposeOptions::Mode::Help;
  options.set = std::move(set);
  return options;
}

ComposeOptions Full() {
  ComposeOptions options = Composing("Hero", "out/c-{n}.png");
  options.graphics = "/g";
  options.picks = {{"0", "a.png"}, {"Hair", "none"}};
  options.randomParts = {"2", "all"};
  options.seed = 4294967295u;
  options.count = 12;
  options.first = 3;
  options.half = true;
  options.blend = BlendRule::Standard;
  options.blendGiven = true;
  options.colours = {{"skin", "tan"}, {"Hair", "source"}};
  options.licences = std::vector<std::string>{"CC0-1.0", "CC-BY 4.0"};
  options.metadata = true;
  return options;
}

ComposeOptions FromRecipe(std::string recipe, bool half, std::optional<BlendRule> blend) {
  ComposeOptions options;
  options.recipe = std::move(recipe);
  options.output = "out.png";
  options.half = half;
  options.blend = blend.value_or(BlendRule::Classic);
  options.blendGiven = blend.has_value();
  return options;
}

ComposeOptions WithCount(int count) {
  ComposeOptions options = Composing("S", "c{n}.png");
  options.count = count;
  return options;
}

ComposeOptions Shard(int first, int count, std::string output) {
  ComposeOptions options = Composing("S", std::move(output));
  options.first = first;
  options.count = count;
  return options;
}

ComposeOptions WithSeed(std::uint32_t seed) {
  ComposeOptions options = Composing("S", "a.png");
  options.seed = seed;
  return options;
}

ComposeOptions Half() {
  ComposeOptions options = Composing("S", "a.png");
  options.half = true;
  return options;
}

ComposeOptions WithPicks(std::vector<PartPick> picks, std::vector<std::string> randomParts = {}) {
  ComposeOptions options = Composing("S", "a.png");
  options.picks = std::move(picks);
  options.randomParts = std::move(randomParts);
  return options;
}

// Arguments are bytes: names that are not UTF-8 reach the options unchanged.
ComposeOptions NotUtf8() {
  ComposeOptions options = Composing("\xC3(", "\x80.png");
  options.graphics = "/g\xFF";
  options.picks = {{"\xE9t\xE9", "\xFF.png"}};
  options.randomParts = {"\xFE"};
  return options;
}

INSTANTIATE_TEST_SUITE_P(
    Table, GoodCommandLine,
    testing::Values(
        GoodLine{"ListSets", {"--list"}, Listing(std::nullopt, false)},
        GoodLine{"ListOneSetJson", {"--list", "--set", "Hero", "--json"}, Listing("Hero", true)},
        GoodLine{
            "ListWithGraphics", {"--graphics", "/g", "--list"}, Listing(std::nullopt, false, "/g")},
        GoodLine{"Minimal", {"--set", "Hero", "-o", "a.png"}, Composing("Hero", "a.png")},
        GoodLine{"EqualsForm", {"--set=Hero", "-o", "a.png"}, Composing("Hero", "a.png")},
        GoodLine{"Everything",
                 {"--graphics",
                  "/g",
                  "--set",
                  "Hero",
                  "--pick",
                  "0=a.png",
                  "--pick=Hair=none",
                  "--random",
                  "2",
                  "--random",
                  "all",
                  "--seed",
                  "4294967295",
                  "--count",
                  "12",
                  "--first",
                  "3",
                  "--half",
                  "--blend",
                  "standard",
                  "-o",
                  "out/c-{n}.png",
                  "--color",
                  "skin=tan",
                  "--color=Hair=source",
                  "--license",
                  " CC0-1.0, CC-BY 4.0",
                  "--metadata"},
                 Full()},
        GoodLine{
            "Recipe", {"--recipe", "r.json", "-o", "out.png"}, FromRecipe("r.json", false, {})},
        GoodLine{"RecipeWithHalfAndBlend",
                 {"--recipe", "r.json", "--half", "--blend", "classic", "-o", "out.png"},
                 FromRecipe("r.json", true, BlendRule::Classic)},
        GoodLine{"CountOneWithoutToken",
                 {"--set", "S", "--count", "1", "-o", "a.png"},
                 Composing("S", "a.png")},
        GoodLine{"CountTen", {"--set", "S", "--count", "10", "-o", "c{n}.png"}, WithCount(10)},
        GoodLine{"CountLargest",
                 {"--set", "S", "--count=2147483647", "-o", "c{n}.png"},
                 WithCount(2147483647)},
        GoodLine{"FirstAfterCount",
                 {"--set", "S", "--count", "5", "--first", "6", "-o", "c{n}.png"},
                 Shard(6, 5, "c{n}.png")},
        GoodLine{"FirstBeforeCount",
                 {"--set", "S", "--first=6", "--count=5", "-o", "c{n}.png"},
                 Shard(6, 5, "c{n}.png")},
        GoodLine{"FirstLargest",
                 {"--set", "S", "--first", "2147483647", "--count", "1", "-o", "a.png"},
                 Shard(2147483647, 1, "a.png")},
        GoodLine{"FirstAndCountReachLargest",
                 {"--set", "S", "--first", "2147483600", "--count", "48", "-o", "{n}"},
                 Shard(2147483600, 48, "{n}")},
        GoodLine{"WidthToken",
                 {"--set", "S", "--count", "3", "-o", "c{n:5}.png"},
                 Shard(1, 3, "c{n:5}.png")},
        GoodLine{"WidthTokenAndCounter",
                 {"--set", "S", "--count", "3", "-o", "{n:9}/{n}.png"},
                 Shard(1, 3, "{n:9}/{n}.png")},
        GoodLine{"SeedZero", {"--set", "S", "--seed", "0", "-o", "a.png"}, WithSeed(0)},
        GoodLine{"SeedLeadingZeros", {"--set", "S", "--seed", "007", "-o", "a.png"}, WithSeed(7)},
        GoodLine{"BlendClassicNamed",
                 {"--set", "S", "--blend=classic", "-o", "a.png"},
                 [] {
                   ComposeOptions options = Composing("S", "a.png");
                   options.blendGiven = true;
                   return options;
                 }()},
        GoodLine{"SwitchesRepeated", {"--list", "--json", "--list", "--json"}, Listing({}, true)},
        GoodLine{"HalfRepeated", {"--half", "--set", "S", "--half", "-o", "a.png"}, Half()},
        GoodLine{"ValuesBeginWithDash", {"--set", "-S", "-o", "-"}, Composing("-S", "-")},
        GoodLine{
            "FlagsAsValues", {"--set", "--list", "-o", "--help"}, Composing("--list", "--help")},
        GoodLine{"DoubleDashAsValue",
                 {"--graphics", "--", "--list"},
                 Listing(std::nullopt, false, "--")},
        GoodLine{"DashesInPickAndRandom",
                 {"--set", "S", "--pick", "-1=-a.png", "--random", "-h", "-o", "a.png"},
                 WithPicks({{"-1", "-a.png"}}, {"-h"})},
        GoodLine{"PickFileWithEquals",
                 {"--set", "S", "--pick", "0=a=b.png", "-o", "a.png"},
                 WithPicks({{"0", "a=b.png"}})},
        GoodLine{
            "InlineValueBeginsWithEquals", {"--set==S", "-o", "a.png"}, Composing("=S", "a.png")},
        GoodLine{
            "InlineValueBeginsWithDash", {"--set=-S", "-o", "a.png"}, Composing("-S", "a.png")},
        GoodLine{"NotUtf8",
                 {"--graphics", "/g\xFF", "--set", "\xC3(", "--pick", "\xE9t\xE9=\xFF.png",
                  "--random=\xFE", "-o", "\x80.png"},
                 NotUtf8()},
        GoodLine{"Help", {"--help"}, Help()},
        GoodLine{"HelpBeforeOtherFlags", {"-h", "--count", "x"}, Help()},
        GoodLine{"HelpAfterOtherFlags", {"--list", "--set", "S", "--help"}, Help("S")},
        GoodLine{"HelpBeforeUnknownFlag", {"-h", "--frobnicate"}, Help()},
        GoodLine{"HelpBeforeRepeatedFlag", {"--set", "S", "-h", "--set", "T"}, Help("S")},
        GoodLine{"HelpBeforeMissingValue", {"--help", "--set"}, Help()},
        GoodLine{"HelpAsValue", {"--set", "-h", "-o", "a.png"}, Composing("-h", "a.png")}),
    [](const testing::TestParamInfo<GoodLine>& line) { return line.param.name; });

struct BadLine {
  const char* name;
  std::vector<std::string> args;
  std::string message;
};

// Test names, not bytes, in listings.
void PrintTo(const BadLine& row, std::ostream* os) {
  *os << row.name;
}

class BadCommandLine : public testing::TestWithParam<BadLine> {};

TEST_P(BadCommandLine, IsUsageErrorNamingTheProblem) {
  const BadLine& line = GetParam();
  ParseResult result = ParseComposeOptions(line.args);
  const CliError* error = std::get_if<CliError>(&result);
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->exitCode, kExitUsage);
  EXPECT_EQ(error->message, line.message);
}

const std::string kSeedExpects = "--seed expects a whole number from 0 to 4294967295, got ";
const std::string kCountExpects = "--count expects a whole number of at least 1, got ";
const std::string kFirstExpects = "--first expects a whole number of at least 1, got ";
const std::string kWidthExpects = "-o expects {n:W} with a width W from 1 to 9, got ";

INSTANTIATE_TEST_SUITE_P(
    Table, BadCommandLine,
    testing::Values(
        BadLine{"NoArguments", {}, "--set NAME is required to compose (or use --list or --recipe)"},
        BadLine{"UnknownFlag", {"--frobnicate"}, "unknown option '--frobnicate'"},
        BadLine{"UnknownFlagWithValue", {"--frobnicate=3"}, "unknown option '--frobnicate'"},
        BadLine{"FlagInOtherCase", {"--LIST"}, "unknown option '--LIST'"},
        BadLine{"AbbreviatedFlag", {"--li"}, "unknown option '--li'"},
        BadLine{"LongNameWithOneDash", {"-set", "S"}, "unknown option '-set'"},
        BadLine{"SwitchWithOneDash", {"-list"}, "unknown option '-list'"},
        BadLine{"ShortNameWithTwoDashes", {"--set", "S", "--o", "a.png"}, "unknown option '--o'"},
        BadLine{"HelpLetterWithTwoDashes", {"--h"}, "unknown option '--h'"},
        BadLine{"ShortNameWithEquals", {"--set", "S", "-o=a.png"}, "unknown option '-o=a.png'"},
        BadLine{"ShortNameWithValueJoined", {"--set", "S", "-oa.png"}, "unknown option '-oa.png'"},
        BadLine{"HelpLetterWithEquals", {"-h=1"}, "unknown option '-h=1'"},
        BadLine{"DoubleDash", {"--set", "S", "--", "-o", "a.png"}, "unknown option '--'"},
        BadLine{"DoubleDashLast", {"--list", "--"}, "unknown option '--'"},
        BadLine{"DoubleDashWithEquals", {"--=x"}, "unknown option '--'"},
        BadLine{"SingleDash", {"-"}, "unknown option '-'"},
        BadLine{"UnknownFlagNotUtf8", {"--\xFF=\xFE"}, "unknown option '--\xFF'"},
        BadLine{
            "StrayArgument", {"--set", "S", "extra", "-o", "a.png"}, "unexpected argument 'extra'"},
        BadLine{"StrayEmptyArgument", {""}, "unexpected argument ''"},
        BadLine{"StrayArgumentNotUtf8", {"\xFF\xFE"}, "unexpected argument '\xFF\xFE'"},
        BadLine{"GraphicsWithoutValue", {"--list", "--graphics"}, "--graphics needs a value"},
        BadLine{"SetWithoutValue", {"--list", "--set"}, "--set needs a value"},
        BadLine{"OutputWithoutValue", {"--set", "S", "-o"}, "-o needs a value"},
        BadLine{"PickWithoutValue", {"--pick"}, "--pick needs a value"},
        BadLine{"RandomWithoutValue", {"--random"}, "--random needs a value"},
        BadLine{"SeedWithoutValue", {"--seed"}, "--seed needs a value"},
        BadLine{"CountWithoutValue", {"--count"}, "--count needs a value"},
        BadLine{"FirstWithoutValue", {"--count", "2", "--first"}, "--first needs a value"},
        BadLine{"BlendWithoutValue", {"--blend"}, "--blend needs a value"},
        BadLine{"EmptyValue", {"--set", "", "-o", "a.png"}, "--set needs a non-empty value"},
        BadLine{"EmptyInlineValue", {"--set=", "-o", "a.png"}, "--set needs a non-empty value"},
        BadLine{"EmptyOutput", {"--set", "S", "-o", ""}, "-o needs a non-empty value"},
        BadLine{"EmptyPick", {"--pick="}, "--pick needs a non-empty value"},
        BadLine{"EmptyRandom", {"--random", ""}, "--random needs a non-empty value"},
        BadLine{"EmptySeed", {"--seed="}, "--seed needs a non-empty value"},
        BadLine{"NoOutput", {"--set", "S"}, "-o OUT is required to compose"},
        BadLine{"NoSet",
                {"-o", "a.png"},
                "--set NAME is required to compose (or use --list or --recipe)"},
        BadLine{"SeedNotANumber",
                {"--set", "S", "--seed", "12x", "-o", "a.png"},
                kSeedExpects + "'12x'"},
        BadLine{
            "SeedNegative", {"--set", "S", "--seed", "-1", "-o", "a.png"}, kSeedExpects + "'-1'"},
        BadLine{"SeedWithPlus", {"--seed", "+1"}, kSeedExpects + "'+1'"},
        BadLine{"SeedWithSpace", {"--seed", " 1"}, kSeedExpects + "' 1'"},
        BadLine{"SeedInHex", {"--seed", "0x10"}, kSeedExpects + "'0x10'"},
        BadLine{"SeedTooLarge",
                {"--set", "S", "--seed", "4294967296", "-o", "a.png"},
                kSeedExpects + "'4294967296'"},
        BadLine{
            "CountZero", {"--set", "S", "--count", "0", "-o", "c{n}.png"}, kCountExpects + "'0'"},
        BadLine{"CountTooLarge", {"--count", "2147483648"}, kCountExpects + "'2147483648'"},
        BadLine{"FirstZero",
                {"--set", "S", "--count", "2", "--first", "0", "-o", "c{n}.png"},
                kFirstExpects + "'0'"},
        BadLine{"FirstNegative", {"--first", "-1"}, kFirstExpects + "'-1'"},
        BadLine{"FirstNotANumber", {"--first", "6x"}, kFirstExpects + "'6x'"},
        BadLine{"FirstTooLarge", {"--first=2147483648"}, kFirstExpects + "'2147483648'"},
        BadLine{"FirstFarTooLarge",
                {"--first", "99999999999999999999"},
                kFirstExpects + "'99999999999999999999'"},
        BadLine{"FirstWithoutCount",
                {"--set", "S", "--first", "2", "-o", "a.png"},
                "--first only applies with --count"},
        BadLine{"FirstBeyondLargestCount",
                {"--set", "S", "--count", "100", "--first", "2147483600", "-o", "c{n}.png"},
                "--first 2147483600 with --count 100 goes beyond character 2147483647"},
        BadLine{"WidthZero", {"--set", "S", "-o", "c{n:0}.png"}, kWidthExpects + "'c{n:0}.png'"},
        BadLine{"WidthMissing", {"--set", "S", "-o", "c{n:}.png"}, kWidthExpects + "'c{n:}.png'"},
        BadLine{"WidthTwoDigits",
                {"--set", "S", "--count", "2", "-o", "c{n:10}.png"},
                kWidthExpects + "'c{n:10}.png'"},
        BadLine{
            "WidthNotANumber", {"--set", "S", "-o", "c{n:x}.png"}, kWidthExpects + "'c{n:x}.png'"},
        BadLine{"WidthUnclosed", {"--set", "S", "-o", "c{n:5.png"}, kWidthExpects + "'c{n:5.png'"},
        BadLine{"WidthBadAfterGood",
                {"--set", "S", "--count", "2", "-o", "{n:3}/{n:"},
                kWidthExpects + "'{n:3}/{n:'"},
        BadLine{"CountWithoutToken",
                {"--set", "S", "--count", "3", "-o", "c.png"},
                "--count 3 needs {n} in the -o name, got 'c.png'"},
        BadLine{"BadBlend",
                {"--set", "S", "--blend", "fancy", "-o", "a.png"},
                "--blend expects classic or standard, got 'fancy'"},
        BadLine{"BlendInOtherCase",
                {"--blend", "Classic"},
                "--blend expects classic or standard, got 'Classic'"},
        BadLine{"PickWithoutEquals",
                {"--set", "S", "--pick", "0", "-o", "a.png"},
                "--pick expects PART=FILE, got '0'"},
        BadLine{"PickWithoutFile",
                {"--set", "S", "--pick", "0=", "-o", "a.png"},
                "--pick expects PART=FILE, got '0='"},
        BadLine{"PickWithoutPart",
                {"--set", "S", "--pick", "=a.png", "-o", "a.png"},
                "--pick expects PART=FILE, got '=a.png'"},
        BadLine{"GraphicsTwice",
                {"--graphics", "a", "--graphics", "a"},
                "--graphics given more than once"},
        BadLine{
            "SetTwice", {"--set", "S", "--set", "T", "-o", "a.png"}, "--set given more than once"},
        BadLine{
            "OutputTwice", {"--set", "S", "-o", "a.png", "-o", "b.png"}, "-o given more than once"},
        BadLine{"SeedTwice", {"--seed", "1", "--seed", "1"}, "--seed given more than once"},
        BadLine{"FirstTwice", {"--first", "2", "--first=2"}, "--first given more than once"},
        BadLine{"CountTwice", {"--count", "2", "--count=2"}, "--count given more than once"},
        BadLine{"BlendTwice",
                {"--blend", "classic", "--blend", "classic"},
                "--blend given more than once"},
        BadLine{"TwiceBeforeMissingValue", {"--set", "S", "--set"}, "--set given more than once"},
        BadLine{
            "TwiceBeforeBadValue", {"--seed", "1", "--seed", "x"}, "--seed given more than once"},
        BadLine{
            "ValueOnSwitch", {"--half=yes", "--set", "S", "-o", "a.png"}, "--half takes no value"},
        BadLine{"EmptyValueOnSwitch", {"--list="}, "--list takes no value"},
        BadLine{"ValueOnJson", {"--list", "--json=1"}, "--json takes no value"},
        BadLine{"ValueOnHelp", {"--help=1"}, "--help takes no value"},
        // The first problem in argument order is the one reported.
        BadLine{"SeedBeforeBlend", {"--seed", "x", "--blend", "y"}, kSeedExpects + "'x'"},
        BadLine{"BlendBeforeSeed",
                {"--blend", "y", "--seed", "x"},
                "--blend expects classic or standard, got 'y'"},
        BadLine{"UnknownBeforeBadValue",
                {"--frobnicate", "--seed", "x"},
                "unknown option '--frobnicate'"},
        BadLine{"BadValueBeforeUnknown", {"--seed", "x", "--frobnicate"}, kSeedExpects + "'x'"},
        BadLine{"StrayBeforeBadValue", {"extra", "--seed", "x"}, "unexpected argument 'extra'"},
        BadLine{"BadValueBeforeStray", {"--seed", "x", "extra"}, kSeedExpects + "'x'"},
        BadLine{"TwiceBeforeUnknown",
                {"--set", "S", "--set", "T", "--frobnicate"},
                "--set given more than once"},
        BadLine{"UnknownBeforeHelp", {"--frobnicate", "-h"}, "unknown option '--frobnicate'"},
        BadLine{"BadValueBeforeHelp", {"--count", "x", "-h"}, kCountExpects + "'x'"},
        BadLine{
            "ValueOnSwitchBeforeUnknown", {"--list=1", "--frobnicate"}, "--list takes no value"},
        BadLine{"UnknownBeforeValueOnSwitch",
                {"--frobnicate", "--list=1"},
                "unknown option '--frobnicate'"},
        BadLine{"BadValueBeforeValueOnSwitch", {"--seed", "x", "--json=1"}, kSeedExpects + "'x'"},
        BadLine{"BadValueBeforeMissingValue", {"--seed", "x", "--set"}, kSeedExpects + "'x'"},
        BadLine{"DoubleDashBeforeBadValue", {"--", "--seed", "x"}, "unknown option '--'"},
        // Each argument is checked before the flags are weighed together.
        BadLine{"UnknownAfterListWithOutput",
                {"--list", "-o", "a.png", "--frobnicate"},
                "unknown option '--frobnicate'"},
        BadLine{"BadValueAfterListWithOutput",
                {"--list", "-o", "a.png", "--seed", "x"},
                kSeedExpects + "'x'"},
        BadLine{"ListWithOutput", {"--list", "-o", "a.png"}, "--list cannot be combined with -o"},
        BadLine{"ListWithRandom",
                {"--list", "--random", "all"},
                "--list cannot be combined with --random"},
        BadLine{"ListWithPick",
                {"--list", "--pick", "0=a.png"},
                "--list cannot be combined with --pick"},
        BadLine{"ListWithSeed", {"--seed", "1", "--list"}, "--list cannot be combined with --seed"},
        BadLine{"ListWithCountOne",
                {"--list", "--count", "1"},
                "--list cannot be combined with --count"},
        BadLine{
            "ListWithFirst", {"--list", "--first", "2"}, "--list cannot be combined with --first"},
        BadLine{"ListWithHalf", {"--list", "--half"}, "--list cannot be combined with --half"},
        BadLine{"ListWithColour",
                {"--list", "--color", "a=b"},
                "--list cannot be combined with --color"},
        BadLine{"ListWithMetadata",
                {"--list", "--metadata"},
                "--list cannot be combined with --metadata"},
        BadLine{"RecipeWithSet",
                {"--recipe", "r.json", "--set", "S", "-o", "a.png"},
                "--recipe cannot be combined with --set"},
        BadLine{"RecipeWithSeed",
                {"--recipe", "r.json", "--seed", "1", "-o", "a.png"},
                "--recipe cannot be combined with --seed"},
        BadLine{"RecipeWithoutOutput", {"--recipe", "r.json"}, "-o OUT is required to compose"},
        BadLine{"ColourWithoutVariant",
                {"--set", "S", "--color", "skin=", "-o", "a.png"},
                "--color expects MATERIAL=VARIANT, got 'skin='"},
        BadLine{"LicenceListWithAHole",
                {"--set", "S", "--license", "CC0-1.0,,MIT", "-o", "a.png"},
                "--license expects licence names separated by commas, got 'CC0-1.0,,MIT'"},
        BadLine{"LicenceTwice",
                {"--set", "S", "--license", "MIT", "--license", "CC0-1.0", "-o", "a.png"},
                "--license given more than once"},
        BadLine{"MetadataOverSheet",
                {"--set", "S", "--metadata", "-o", "hero.JSON"},
                "--metadata writes OUT's name ending in .json beside it; -o 'hero.JSON' would be "
                "overwritten"},
        BadLine{"ListWithClassicBlend",
                {"--list", "--blend", "classic"},
                "--list cannot be combined with --blend"},
        // Several flags that do not go with --list: the first in this order is named.
        BadLine{"ListWithOutputAndPick",
                {"--list", "-o", "a.png", "--pick", "0=a.png"},
                "--list cannot be combined with --pick"},
        BadLine{"JsonWithoutList",
                {"--json", "--set", "S", "-o", "a.png"},
                "--json only applies to --list"},
        BadLine{"JsonAlone", {"--json"}, "--json only applies to --list"}),
    [](const testing::TestParamInfo<BadLine>& line) { return line.param.name; });

// Each flag the parser takes is one the help names.
TEST(UsageText, NamesEveryFlag) {
  for (const char* flag :
       {"--graphics", "--list", "--json", "--set", "--pick", "--random", "--color", "--license",
        "--seed", "--count", "--first", "--half", "--blend", "--metadata", "--recipe", "-o"}) {
    EXPECT_NE(UsageText().find(std::string("  ") + flag + " "), std::string::npos) << flag;
    const std::vector<std::string> args = {flag};
    const ParseResult parsed = ParseComposeOptions(args);
    if (const CliError* error = std::get_if<CliError>(&parsed)) {
      EXPECT_EQ(error->message.find("unknown option"), std::string::npos) << flag;
    }
  }
}

}  // namespace
}  // namespace tessarin::cli
