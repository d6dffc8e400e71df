#pragma once

#include <cstdint>
#include <cstdlib>

namespace tessarin {

// PNG's Paeth predictor: of the bytes to the left, above and above-left, the one closest to
// left + above - aboveLeft. Those distances are |above - aboveLeft|, |left - aboveLeft| and
// |left + above - 2 aboveLeft|; ties go to left, then above.
inline std::uint8_t PaethPredictor(int left, int above, int aboveLeft) {
  const int toLeft = std::abs(above - aboveLeft);
  const int toAbove = std::abs(left - aboveLeft);
  const int toAboveLeft = std::abs(left + above - 2 * aboveLeft);
  if (toLeft <= toAbove && toLeft <= toAboveLeft) return static_cast<std::uint8_t>(left);
  return static_cast<std::uint8_t>(toAbove <= toAboveLeft ? above : aboveLeft);
}

}  // namespace tessarin
