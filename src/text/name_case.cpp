#include "name_case.h"

#include <cstdint>

namespace tessarin {
namespace {

enum class Direction { ToLower, ToUpper };

// The pairs code page 932 lower-cases: ASCII, full-width Latin, Greek (which has no final
// sigma there) and Cyrillic. Each range maps upper to lower by adding the offset.
struct CaseRange {
  char32_t firstUpper;
  char32_t lastUpper;
  char32_t offset;
};
constexpr CaseRange kCaseRanges[] = {
    {U'A', U'Z', 0x20},           {U'\uFF21', U'\uFF3A', 0x20},  // Ａ..Ｚ
    {U'\u0391', U'\u03A1', 0x20},                                // Α..Ρ
    {U'\u03A3', U'\u03A9', 0x20},                                // Σ..Ω (U+03A2 is unassigned)
    {U'\u0410', U'\u042F', 0x20},                                // А..Я
    {U'\u0401', U'\u0401', 0x50},                                // Ё
};

char32_t MapCase(char32_t c, Direction direction) {
  for (const CaseRange& range : kCaseRanges) {
    if (direction == Direction::ToLower) {
      if (c >= range.firstUpper && c <= range.lastUpper) return c + range.offset;
    } else if (c >= range.firstUpper + range.offset && c <= range.lastUpper + range.offset) {
      return c - range.offset;
    }
  }
  return c;
}

// Decodes one well-formed UTF-8 sequence (the caller has checked the lead); 0 length on error.
std::size_t DecodeOne(std::string_view s, char32_t& c) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = b(0);
  std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (lead >= 0x80 && lead < 0xC2) return 0;
  if (s.size() < length) return 0;
  c = length == 1   ? lead
      : length == 2 ? (lead & 0x1Fu)
      : length == 3 ? (lead & 0x0Fu)
                    : (lead & 0x07u);
  for (std::size_t i = 1; i < length; ++i) {
    if ((b(i) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (b(i) & 0x3Fu);
  }
  return length;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string Convert(std::string_view utf8, Direction direction) {
  std::string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    char32_t c = 0;
    const std::size_t length = DecodeOne(utf8, c);
    if (length == 0) {
      // Bytes that are not UTF-8 have no case; keep them as they are.
      out += utf8.front();
      utf8.remove_prefix(1);
      continue;
    }
    const char32_t mapped = MapCase(c, direction);
    if (mapped == c) {
      out.append(utf8.substr(0, length));
    } else {
      AppendUtf8(out, mapped);
    }
    utf8.remove_prefix(length);
  }
  return out;
}

}  // namespace

std::string ToLowerCp932(std::string_view utf8) {
  return Convert(utf8, Direction::ToLower);
}

std::string ToUpperCp932(std::string_view utf8) {
  return Convert(utf8, Direction::ToUpper);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return ToUpperCp932(a) == ToUpperCp932(b);
}

bool NameLess(std::string_view a, std::string_view b) {
  const std::string upperA = ToUpperCp932(a);
  const std::string upperB = ToUpperCp932(b);
  if (upperA != upperB) return upperA < upperB;
  return a < b;
}

std::optional<std::size_t> FindName(const std::vector<std::string>& names, std::string_view name) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return i;
  }
  const std::string upper = ToUpperCp932(name);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (ToUpperCp932(names[i]) == upper) return i;
  }
  return std::nullopt;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  const std::string upperText = ToUpperCp932(text);
  const std::string upperPrefix = ToUpperCp932(prefix);
  return upperText.compare(0, upperPrefix.size(), upperPrefix) == 0;
}

}  // namespace tessarin
