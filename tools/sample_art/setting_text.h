#pragma once

#include <filesystem>
#include <string>

namespace tessarin::sample_art {

// Converts UTF-8 text to the Japanese ANSI code page the set files are read in.
std::string ToCp932(const std::string& utf8);

// Writes bytes exactly as given, so line ends and encoding stay what the caller chose.
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

}  // namespace tessarin::sample_art
