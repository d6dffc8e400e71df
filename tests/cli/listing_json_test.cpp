#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <algorithm>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "listing_printer.h"

// Failures show the JSON, not the bytes of the object.
static void PrintTo(const QJsonObject& object, std::ostream* os) {
  *os << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

namespace tessarin::cli {
namespace {

// The printed listing as an object; the whole output must be that one object on one line.
QJsonObject ParsedListing(const std::string& text) {
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
  EXPECT_EQ(text.back(), '\n');
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << text;
  EXPECT_TRUE(document.isObject()) << text;
  return document.object();
}

struct NameCase {
  const char* name;
  std::string bytes;
  // What a JSON reader gets back, in UTF-8.
  std::string text;
};

// Test names, not bytes, in listings.
void PrintTo(const NameCase& row, std::ostream* os) {
  *os << row.name;
}

class ListingJsonName : public testing::TestWithParam<NameCase> {};

TEST_P(ListingJsonName, ReadsBackAsTheName) {
  const NameCase& row = GetParam();
  std::ostringstream out;
  PrintSetNames(out, {"A", row.bytes}, true);
  const QString text = QString::fromStdString(row.text);
  EXPECT_EQ(ParsedListing(out.str()), (QJsonObject{{"sets", QJsonArray{"A", text}}}));
}

TEST_P(ListingJsonName, ReadsBackInEveryPlaceOfASetDescription) {
  const NameCase& row = GetParam();
  SetDescription set;
  set.name = row.bytes;
  set.width = 192;
  set.height = 1;
  set.parts.push_back({0,
                       row.bytes,
                       5,
                       true,
                       {row.bytes, "b.png"},
                       false,
                       {{row.bytes, {row.bytes}, {row.bytes, "CC0"}}}});
  set.orderKeys = {5};
  set.drawOrder = {0};
  set.grid = {1, 1};
  set.animations = {{row.bytes, 0, 0, Playback::Reverse, 90}};
  set.palettes = {{row.bytes, {"source", row.bytes}}};
  std::ostringstream out;
  PrintSetDescription(out, set, true);

  const QString text = QString::fromStdString(row.text);
  const QJsonObject credit{{"authors", QJsonArray{text}}, {"licenses", QJsonArray{text, "CC0"}}};
  const QJsonObject part{{"index", 0},
                         {"name", text},
                         {"priority", 5},
                         {"found", true},
                         {"images", QJsonArray{text, "b.png"}},
                         {"credits", QJsonObject{{text, credit}}}};
  const QJsonObject animation{
      {"name", text}, {"from", 0}, {"to", 0}, {"direction", "reverse"}, {"ms", 90}};
  EXPECT_EQ(ParsedListing(out.str()),
            (QJsonObject{{"set", text},
                         {"width", 192},
                         {"height", 1},
                         {"parts", QJsonArray{part}},
                         {"order_keys", QJsonArray{5}},
                         {"draw_order", QJsonArray{0}},
                         {"grid", QJsonObject{{"columns", 1}, {"rows", 1}}},
                         {"animations", QJsonArray{animation}},
                         {"palettes", QJsonObject{{text, QJsonArray{"source", text}}}}}));
}

// Each byte that starts no well-formed UTF-8 sequence becomes one U+FFFD.
INSTANTIATE_TEST_SUITE_P(
    Table, ListingJsonName,
    testing::Values(
        NameCase{"Plain", "plain", "plain"}, NameCase{"Empty", "", ""},
        NameCase{"Quotes", "say \"hi\"", "say \"hi\""}, NameCase{"Backslash", "a\\b/c", "a\\b/c"},
        NameCase{"ControlCharacters", "line\nnext\ttab\r\x1F\x7F", "line\nnext\ttab\r\x1F\x7F"},
        NameCase{"Nul", std::string("nul\0x", 5), std::string("nul\0x", 5)},
        NameCase{"Japanese", "デフォルト/頭", "デフォルト/頭"},
        NameCase{"OutsideTheBasicPlane", "\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"},
        NameCase{"Noncharacter", "\xEF\xBF\xBF", "\xEF\xBF\xBF"},
        NameCase{"LineSeparator", "\xE2\x80\xA8", "\xE2\x80\xA8"},
        NameCase{"StrayByte", "bad\xFF", "bad\uFFFD"},
        NameCase{"LoneContinuation", "\x80x", "\uFFFDx"},
        NameCase{"CutShort", "\xE3\x81x", "\uFFFD\uFFFDx"},
        NameCase{"CutShortAtTheEnd", "a\xE3\x81", "a\uFFFD\uFFFD"},
        NameCase{"Overlong", "\xC0\xAF", "\uFFFD\uFFFD"},
        NameCase{"Surrogate", "\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD"},
        NameCase{"AboveTheLastCodePoint", "\xF4\x90\x80\x80", "\uFFFD\uFFFD\uFFFD\uFFFD"},
        NameCase{"Cp932", "\x82\xA0\x93\xAA", "\uFFFD\uFFFD\uFFFD\uFFFD"}),
    [](const testing::TestParamInfo<NameCase>& row) { return row.param.name; });

TEST(ListingJson, NoSets) {
  std::ostringstream out;
  PrintSetNames(out, {}, true);
  EXPECT_EQ(ParsedListing(out.str()), (QJsonObject{{"sets", QJsonArray{}}}));
}

TEST(ListingJson, DescribesPartsInOrderWithTheirNumbers) {
  SetDescription set;
  set.name = "Hero";
  set.width = 2147483647;
  set.height = -3;
  set.parts.push_back({0, "Body", -2147483647 - 1, true, {}, false, {}});
  set.parts.push_back({1, "Hat", 2147483647, false, {}, false, {}});
  set.parts.push_back({7, "Hair", 0, true, {"long.png", "Short.PNG"}, false, {}});
  set.orderKeys = {-4, 0, 2147483647};
  set.drawOrder = {9, 8, 0};
  std::ostringstream out;
  PrintSetDescription(out, set, true);

  const QJsonObject body{{"index", 0},    {"name", "Body"},         {"priority", -2147483647 - 1},
                         {"found", true}, {"images", QJsonArray{}}, {"credits", QJsonObject{}}};
  const QJsonObject hat{{"index", 1},     {"name", "Hat"},          {"priority", 2147483647},
                        {"found", false}, {"images", QJsonArray{}}, {"credits", QJsonObject{}}};
  const QJsonObject hair{{"index", 7},
                         {"name", "Hair"},
                         {"priority", 0},
                         {"found", true},
                         {"images", QJsonArray{"long.png", "Short.PNG"}},
                         {"credits", QJsonObject{}}};
  // A set without a grid, animations or palettes still has the keys, so readers need not
  // test for them.
  EXPECT_EQ(ParsedListing(out.str()), (QJsonObject{{"set", "Hero"},
                                                   {"width", 2147483647},
                                                   {"height", -3},
                                                   {"parts", QJsonArray{body, hat, hair}},
                                                   {"order_keys", QJsonArray{-4, 0, 2147483647}},
                                                   {"draw_order", QJsonArray{9, 8, 0}},
                                                   {"grid", QJsonValue::Null},
                                                   {"animations", QJsonArray{}},
                                                   {"palettes", QJsonObject{}}}));
}

}  // namespace
}  // namespace tessarin::cli
