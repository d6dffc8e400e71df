#pragma once

#include <cstdint>

namespace tessarin {

// Undoes the row filters of inflated 8-bit RGBA rows, each a filter byte and 4 * width bytes,
// which start at filtered, and leaves the top-left keptWidth x keptHeight pixels at out as ours,
// 4 * keptWidth bytes a row, B, G, R, A. out may be filtered itself. Rows past keptHeight only
// have their filter checked. Returns the first row whose filter does not exist, or -1; the
// kept rows before it are undone.
// With outIsClear, out is all zero bytes and apart from filtered, and rows that come out zero
// are not written: pages of fresh memory that a layer leaves clear are then never touched.
int UnfilterRgbaRows(const std::uint8_t* filtered, int width, int height, std::uint8_t* out,
                     int keptWidth, int keptHeight, bool outIsClear = false);

}  // namespace tessarin
