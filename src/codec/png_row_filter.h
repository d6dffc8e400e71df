#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessarin {

// Filters the rows of a PNG of 8-bit samples one after another: each by the five filters,
// keeping the one whose residuals, read as signed, have the smallest sum of magnitudes, as
// small residuals compress best.
class PngRowFilter {
 public:
  PngRowFilter(std::size_t rowBytes, std::size_t bytesPerPixel);

  // Where the next row's samples go, in the file's order, R, G, B (, A).
  std::uint8_t* Row() { return row_.data() + kMargin; }
  // The row above it: zeros until filled, or until a row has been filtered.
  std::uint8_t* Above() { return above_.data() + kMargin; }

  // Writes the row's filter type and residuals, 1 + rowBytes bytes, to out; the row then
  // becomes the one above the next.
  void Filter(std::uint8_t* out);

 private:
  // Zeros before each row, which the filters read as the pixel left of the first.
  static constexpr std::size_t kMargin = 4;

  std::size_t rowBytes_;
  std::size_t bytesPerPixel_;
  std::vector<std::uint8_t> row_;
  std::vector<std::uint8_t> above_;
  std::array<std::vector<std::uint8_t>, 5> trials_;
};

}  // namespace tessarin
