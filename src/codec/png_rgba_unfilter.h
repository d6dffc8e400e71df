#pragma once

#include <cstdint>

namespace tessarin {

// Undoes the row filters of inflated 8-bit RGBA rows, each a filter byte and 4 * width bytes,
// which start at base, and leaves the pixels there as ours, 4 * width bytes a row, B, G, R, A.
// Returns the first row whose filter does not exist, or -1; the rows before it are undone.
int UnfilterRgbaRows(std::uint8_t* base, int width, int height);

}  // namespace tessarin
