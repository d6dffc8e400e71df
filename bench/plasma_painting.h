#pragma once

// A noisy, painted layer for the benchmarks: plasma-like colour (octaves of smoothly
// interpolated random values) with grain on every pixel, and alpha that wanders from clear
// through every step to opaque. It compresses about as poorly as painted art does, where the
// soft-edged sprites compress well.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "raster_image.h"

namespace tessarin::bench {

// One channel of plasma, 0..1, size x size.
inline std::vector<float> Plasma(int size, std::mt19937& random) {
  std::vector<float> sum(static_cast<std::size_t>(size) * static_cast<std::size_t>(size), 0.0f);
  std::uniform_real_distribution<float> value(0.0f, 1.0f);
  float weight = 0.5f;
  float total = 0.0f;
  for (int cell = 256; cell >= 4; cell /= 2, weight *= 0.6f) {
    const int points = size / cell + 2;
    std::vector<float> lattice(static_cast<std::size_t>(points) * static_cast<std::size_t>(points));
    for (float& v : lattice) v = value(random);
    for (int y = 0; y < size; ++y) {
      const int ly = y / cell;
      float fy = static_cast<float>(y % cell) / static_cast<float>(cell);
      fy = fy * fy * (3 - 2 * fy);
      const float* top = lattice.data() + static_cast<std::size_t>(ly) * points;
      const float* bottom = top + points;
      float* out = sum.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(size);
      for (int x = 0; x < size; ++x) {
        const int lx = x / cell;
        float fx = static_cast<float>(x % cell) / static_cast<float>(cell);
        fx = fx * fx * (3 - 2 * fx);
        const float upper = top[lx] + (top[lx + 1] - top[lx]) * fx;
        const float lower = bottom[lx] + (bottom[lx + 1] - bottom[lx]) * fx;
        out[x] += weight * (upper + (lower - upper) * fy);
      }
    }
    total += weight;
  }
  for (float& v : sum) v /= total;
  return sum;
}

// A 32-bit image with alpha; the same seed paints the same picture.
inline RasterImage PlasmaPainting(int size, unsigned seed) {
  std::mt19937 random(seed);
  const std::vector<float> blue = Plasma(size, random);
  const std::vector<float> green = Plasma(size, random);
  const std::vector<float> red = Plasma(size, random);
  const std::vector<float> alpha = Plasma(size, random);
  std::uniform_int_distribution<int> grain(-6, 6);
  const auto level = [](float v, float low, float high) {
    return std::clamp((v - low) / (high - low), 0.0f, 1.0f) * 255.0f;
  };
  RasterImage image;
  image.Create(size, size, 32, true);
  for (int y = 0; y < size; ++y) {
    std::uint8_t* row = image.Row(y);
    for (int x = 0; x < size; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(size) +
                            static_cast<std::size_t>(x);
      const float channels[4] = {level(blue[i], 0.2f, 0.8f), level(green[i], 0.2f, 0.8f),
                                 level(red[i], 0.2f, 0.8f), level(alpha[i], 0.35f, 0.65f)};
      for (int c = 0; c < 4; ++c) {
        // Clear and opaque stretches stay so; grain everywhere else.
        const bool flat = c == 3 && (channels[c] <= 0.0f || channels[c] >= 255.0f);
        const float v = channels[c] + (flat ? 0.0f : static_cast<float>(grain(random)));
        row[4 * x + c] = static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 255.0f)));
      }
    }
  }
  return image;
}

}  // namespace tessarin::bench
