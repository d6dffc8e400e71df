#include "compose_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessarin::cli {
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
  EXPECT_TRUE(std::get<ComposeOptions>(result) == line.expected);
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

ComposeOptions Help() {
  ComposeOptions options;
  options.mode = ComposeOptions::Mode::Help;
  return options;
}

ComposeOptions Full() {
  ComposeOptions options = Composing("Hero", "out/c-{n}.png");
  options.graphics = "/g";
  options.picks = {{"0", "a.png"}, {"Hair", "none"}};
  options.randomParts = {"2", "all"};
  options.seed = 4294967295u;
  options.count = 12;
  options.half = true;
  options.blend = BlendRule::Standard;
  return options;
}

ComposeOptions WithCount(int count) {
  ComposeOptions options = Composing("S", "c{n}.png");
  options.count = count;
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
                  "--half",
                  "--blend",
                  "standard",
                  "-o",
                  "out/c-{n}.png"},
                 Full()},
        GoodLine{"CountOneWithoutToken",
                 {"--set", "S", "--count", "1", "-o", "a.png"},
                 Composing("S", "a.png")},
        GoodLine{"CountTen", {"--set", "S", "--count", "10", "-o", "c{n}.png"}, WithCount(10)},
        GoodLine{"Help", {"--help"}, Help()},
        GoodLine{"HelpBeforeOtherFlags", {"-h", "--count", "x"}, Help()}),
    [](const testing::TestParamInfo<GoodLine>& line) { return line.param.name; });

struct BadLine {
  const char* name;
  std::vector<std::string> args;
  const char* messagePart;
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
  EXPECT_NE(error->message.find(line.messagePart), std::string::npos) << error->message;
  EXPECT_EQ(error->message.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadCommandLine,
    testing::Values(
        BadLine{"UnknownFlag", {"--frobnicate"}, "unknown option '--frobnicate'"},
        BadLine{
            "StrayArgument", {"--set", "S", "extra", "-o", "a.png"}, "unexpected argument 'extra'"},
        BadLine{"MissingValue", {"--set", "S", "-o"}, "-o needs a value"},
        BadLine{"EmptyValue", {"--set", "", "-o", "a.png"}, "--set needs a non-empty value"},
        BadLine{"NoOutput", {"--set", "S"}, "-o OUT is required"},
        BadLine{"NoSet", {"-o", "a.png"}, "--set NAME is required"},
        BadLine{"SeedNotANumber", {"--set", "S", "--seed", "12x", "-o", "a.png"}, "--seed"},
        BadLine{"SeedNegative", {"--set", "S", "--seed", "-1", "-o", "a.png"}, "--seed"},
        BadLine{"SeedTooLarge", {"--set", "S", "--seed", "4294967296", "-o", "a.png"}, "--seed"},
        BadLine{"CountZero", {"--set", "S", "--count", "0", "-o", "c{n}.png"}, "--count"},
        BadLine{"CountWithoutToken", {"--set", "S", "--count", "3", "-o", "c.png"}, "{n}"},
        BadLine{"BadBlend", {"--set", "S", "--blend", "fancy", "-o", "a.png"}, "--blend"},
        BadLine{"PickWithoutEquals", {"--set", "S", "--pick", "0", "-o", "a.png"}, "PART=FILE"},
        BadLine{"PickWithoutFile", {"--set", "S", "--pick", "0=", "-o", "a.png"}, "PART=FILE"},
        BadLine{"PickWithoutPart", {"--set", "S", "--pick", "=a.png", "-o", "a.png"}, "PART=FILE"},
        BadLine{
            "SetTwice", {"--set", "S", "--set", "T", "-o", "a.png"}, "--set given more than once"},
        BadLine{"ListWithOutput", {"--list", "-o", "a.png"}, "--list cannot be combined with -o"},
        BadLine{"ListWithRandom", {"--list", "--random", "all"}, "--random"},
        BadLine{"JsonWithoutList", {"--json", "--set", "S", "-o", "a.png"}, "--json"},
        BadLine{
            "ValueOnSwitch", {"--half=yes", "--set", "S", "-o", "a.png"}, "--half takes no value"}),
    [](const testing::TestParamInfo<BadLine>& line) { return line.param.name; });

}  // namespace
}  // namespace tessarin::cli
