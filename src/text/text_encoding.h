#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessarin {

// Which encoding a setting file's names are decoded from.
enum class TextEncoding { Utf8, Cp932 };

bool IsValidUtf8(std::string_view bytes);

// Length of the well-formed UTF-8 sequence at the start of bytes (not empty), or 0 when it
// is not one.
std::size_t Utf8SequenceLength(std::string_view bytes);

// UTF-8 with every invalid sequence replaced by U+FFFD.
std::string SanitizeUtf8(std::string_view bytes);

// Code page 932 (Windows-31J) to UTF-8; invalid bytes become U+FFFD.
std::string DecodeCp932(std::string_view bytes);

// Code page 932 to UTF-8, or nothing when any byte is not code page 932.
std::optional<std::string> DecodeCp932Exactly(std::string_view bytes);

// UTF-8 to code page 932; characters it cannot hold become "?".
std::string EncodeCp932(std::string_view utf8);

std::string Decode(std::string_view bytes, TextEncoding encoding);

}  // namespace tessarin
