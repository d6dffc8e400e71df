#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "name_case.h"
#include "shown_name.h"
#include "text_encoding.h"

namespace tessarin {
namespace {

TEST(TextEncoding, RecognisesWellFormedUtf8Only) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("plain ascii"));
  EXPECT_TRUE(IsValidUtf8("デフォルト \xF0\x9F\x98\x80"));
  EXPECT_FALSE(IsValidUtf8("\x93\xaa"));          // code page 932
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong "/"
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xE3\x83"));          // cut short
}

TEST(TextEncoding, ReplacesWhatItCannotDecode) {
  EXPECT_EQ(SanitizeUtf8("a\xE3\x83z"), "a\uFFFD\uFFFDz");  // one for each byte
  EXPECT_EQ(DecodeCp932("\x83\x66\x83\x74\x83\x48\x83\x8b\x83\x67"), "デフォルト");
  EXPECT_EQ(DecodeCp932("\x5C\x7E"), "\\~");  // ASCII stays ASCII in code page 932
  EXPECT_EQ(DecodeCp932("\xB1\xB2"), "ｱｲ");   // half-width katakana
  EXPECT_EQ(DecodeCp932("\x87\x40"), "①");    // NEC special row
  EXPECT_EQ(DecodeCp932("a\x80"
                        "b\xFF"),
            "a\uFFFDb\uFFFD");
  EXPECT_EQ(DecodeCp932("\x93"), "\uFFFD");  // lead byte at the end
}

TEST(TextEncoding, EncodesForCodePage932) {
  EXPECT_EQ(EncodeCp932("頭=5"), "\x93\xaa=5");
  EXPECT_EQ(EncodeCp932("😀x"), "?x");
  EXPECT_EQ(DecodeCp932(EncodeCp932("装飾1 上半身 ﾗﾝﾀﾞﾑ")), "装飾1 上半身 ﾗﾝﾀﾞﾑ");
}

struct ShownCase {
  const char* name;
  const char* bytes;
  const char* fileName;  // ShownFileName
  const char* terminal;  // TerminalText of the bytes
};

void PrintTo(const ShownCase& row, std::ostream* os) {
  *os << row.name;
}

class ShownNameTest : public ::testing::TestWithParam<ShownCase> {};

TEST_P(ShownNameTest, DecodesWhatItCanAndEscapesTheRest) {
  EXPECT_EQ(ShownFileName(GetParam().bytes), GetParam().fileName);
  EXPECT_EQ(TerminalText(GetParam().bytes), GetParam().terminal);
}

INSTANTIATE_TEST_SUITE_P(
    Names, ShownNameTest,
    ::testing::Values(ShownCase{"Utf8AsItIs", "デフォルト.png", "デフォルト.png", "デフォルト.png"},
                      ShownCase{"Cp932Decoded", "\x83\x66\x83\x74\x83\x48\x83\x8b\x83\x67",
                                "デフォルト", "\\x83f\\x83t\\x83H\\x83\\x8B\\x83g"},
                      ShownCase{"Cp932SecondByteBackslash", "\x95\x5C", "表", "\\x95\\"},
                      ShownCase{"NeitherEscaped", "caf\xE9.png", "caf\\xE9.png", "caf\\xE9.png"},
                      ShownCase{"NeitherKeepsUtf8", "\xFF\xC3\xA9", "\\xFF\xC3\xA9",
                                "\\xFF\xC3\xA9"},
                      ShownCase{"ControlsOnlyEscapedForTerminal", "a\x1B[2J\x07\r\x7F",
                                "a\x1B[2J\x07\r\x7F", "a\\x1B[2J\\x07\\x0D\\x7F"},
                      ShownCase{"C1ControlEscapedForTerminal",
                                "\xC2\x9B"
                                "1m\xC2\xA0",
                                "\xC2\x9B"
                                "1m\xC2\xA0",
                                "\\xC2\\x9B"
                                "1m\xC2\xA0"}),
    [](const ::testing::TestParamInfo<ShownCase>& row) { return std::string(row.param.name); });

TEST(ShownPath, DecodesEachNameOnItsOwn) {
  EXPECT_EQ(ShownPath("/tmp/\xE6\x97\xA5/\x83\x66/caf\xE9"), "/tmp/日/デ/caf\\xE9");
}

struct CaseCase {
  const char* name;
  const char* text;
  const char* lower;
  const char* upper;
};

// Test names, not bytes, in listings.
void PrintTo(const CaseCase& row, std::ostream* os) {
  *os << row.name;
}

class NameCaseTest : public ::testing::TestWithParam<CaseCase> {};

TEST_P(NameCaseTest, MapsTheLettersCodePage932Knows) {
  EXPECT_EQ(ToLowerCp932(GetParam().text), GetParam().lower);
  EXPECT_EQ(ToUpperCp932(GetParam().text), GetParam().upper);
}

INSTANTIATE_TEST_SUITE_P(
    Letters, NameCaseTest,
    ::testing::Values(CaseCase{"Ascii", "Long.PNG", "long.png", "LONG.PNG"},
                      CaseCase{"FullWidthLatin", "Ｂ.png", "ｂ.png", "Ｂ.PNG"},
                      CaseCase{"Greek", "ΑΣΩαω", "ασωαω", "ΑΣΩΑΩ"},
                      CaseCase{"FinalSigmaIsNotInCodePage932", "ς", "ς", "ς"},
                      CaseCase{"Cyrillic", "ЁЯжё", "ёяжё", "ЁЯЖЁ"},
                      // "ア" is 0x83 0x41 in code page 932: its second byte is not an "A".
                      CaseCase{"KanaUntouched", "アイＡ", "アイａ", "アイＡ"},
                      CaseCase{"AccentedLatinUntouched", "Éé", "Éé", "Éé"},
                      CaseCase{"InvalidBytesKept",
                               "A\xFF"
                               "B",
                               "a\xFF"
                               "b",
                               "A\xFF"
                               "B"}),
    [](const ::testing::TestParamInfo<CaseCase>& row) { return std::string(row.param.name); });

TEST(NameCase, OrdersAsTheReferenceFileSystemsList) {
  EXPECT_TRUE(EqualsIgnoringCase("Hair.PNG", "hair.png"));
  EXPECT_FALSE(EqualsIgnoringCase("hair.png", "hair$.png"));
  EXPECT_TRUE(NameLess("apple", "Banana"));
  EXPECT_TRUE(NameLess("BA", "B_"));  // compared upper-cased: 'A' < '_'
  EXPECT_TRUE(NameLess("B", "b"));    // ties broken by exact bytes
  EXPECT_FALSE(NameLess("b", "B"));
  EXPECT_TRUE(NameLess("z", "デ"));
  EXPECT_TRUE(StartsWithIgnoringCase("デフォルトGirl", "デフォルト"));
  EXPECT_TRUE(StartsWithIgnoringCase("DEFAULTS", "default"));
  EXPECT_FALSE(StartsWithIgnoringCase("デフォ", "デフォルト"));
}

TEST(NameCase, FindsAnExactNameBeforeOneThatDiffersInCase) {
  const std::vector<std::string> names = {"Hair", "hair", "HAIR"};
  EXPECT_EQ(FindName(names, "hair"), 1u);
  EXPECT_EQ(FindName(names, "hAIR"), 0u);
  EXPECT_EQ(FindName(names, "hat"), std::nullopt);
}

}  // namespace
}  // namespace tessarin
