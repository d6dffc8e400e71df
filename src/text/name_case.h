#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin {

// Letter case as code page 932 knows it: ASCII, and the full-width Latin, Greek and
// Cyrillic letters. Every other character is left alone. Input and output are UTF-8.
std::string ToLowerCp932(std::string_view utf8);
std::string ToUpperCp932(std::string_view utf8);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// The order of a listing on the file systems sets come from: names compared without
// case (upper-cased, as those file systems do), ties broken by their exact bytes.
bool NameLess(std::string_view a, std::string_view b);

// The index of name among names: an exact match wins, otherwise the first that equals it
// without case. Nothing when none does.
std::optional<std::size_t> FindName(const std::vector<std::string>& names, std::string_view name);

// True when text begins with prefix, compared without case.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

}  // namespace tessarin
