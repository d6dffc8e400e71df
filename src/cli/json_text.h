#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin::cli {

// A JSON string literal. UTF-8 passes through; invalid sequences become U+FFFD so that the
// output always parses; control characters are written as \u00XX.
std::string JsonString(std::string_view text);

std::string JsonArray(const std::vector<std::string>& texts);
std::string JsonArray(const std::vector<std::int32_t>& numbers);

}  // namespace tessarin::cli
