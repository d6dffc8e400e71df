#pragma once

#include <cstdint>
#include <string_view>

namespace tessarin {

struct SetState;

enum class SettingFileStatus {
  Read,
  // No setting file in the set folder: the caller warns, the set has no parts and size 0 x 0.
  Missing,
};

// The setting file's name within a set folder (found without regard to letter case).
inline constexpr std::string_view kSettingFileName = "setting.txt";

// Reads setFolder's setting file into partNames, xSize, ySize, orderKeys and drawOrder.
SettingFileStatus ReadSettingFile(SetState& state);

// Parses the raw bytes of a setting file into the same members as ReadSettingFile.
void ParseSettingFile(std::string_view bytes, SetState& state);

// Places the main image (key v) and companion (key ~v) of part j into the drawing order.
void InsertLayerPair(SetState& state, std::int32_t j, std::int32_t v);

// atoi on 32 bits: leading white space, one optional sign, digits, wrapping modulo 2^32.
std::int32_t ParseInt32Wrapping(std::string_view text);

}  // namespace tessarin
