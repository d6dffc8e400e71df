#pragma once

// PNG files made in the tests with zlib, in each of the ways its users write them: test
// images of our own, made without our writer, to hold our reader to libpng.

#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <random>
#include <vector>

namespace tessarin::testing {

using Bytes = std::vector<std::uint8_t>;

// A level and a strategy, as a zlib user picks them.
struct ZlibWay {
  const char* name;
  int level;
  int strategy;
};

// Test parameters print by name, not as bytes.
inline void PrintTo(const ZlibWay& way, std::ostream* os) {
  *os << way.name;
}

// Stored blocks, the fastest and the smallest levels, and each strategy.
inline const ZlibWay kZlibWays[] = {
    {"Stored", 0, Z_DEFAULT_STRATEGY},
    {"Level1", 1, Z_DEFAULT_STRATEGY},
    {"Level6", 6, Z_DEFAULT_STRATEGY},
    {"Level9", 9, Z_DEFAULT_STRATEGY},
    {"Filtered", 6, Z_FILTERED},
    {"HuffmanOnly", 6, Z_HUFFMAN_ONLY},
    {"Rle", 6, Z_RLE},
    {"Fixed", 6, Z_FIXED},
};

// data compressed into zlib's format: header, deflate blocks, Adler-32. finish false leaves
// the stream open after a sync flush, which ends in an empty stored block.
inline Bytes ZlibStream(const Bytes& data, const ZlibWay& way, bool finish = true) {
  z_stream z{};
  if (deflateInit2(&z, way.level, Z_DEFLATED, 15, 8, way.strategy) != Z_OK) std::abort();
  Bytes out(deflateBound(&z, static_cast<uLong>(data.size())) + 16);
  z.next_in = const_cast<Bytef*>(data.data());
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  const int done = deflate(&z, finish ? Z_FINISH : Z_SYNC_FLUSH);
  if (done != (finish ? Z_STREAM_END : Z_OK)) std::abort();
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

inline std::uint32_t Adler32Of(const Bytes& data) {
  return static_cast<std::uint32_t>(
      adler32(adler32(0, nullptr, 0), data.data(), static_cast<uInt>(data.size())));
}

inline void PutBig32(Bytes& out, std::uint32_t v) {
  out.insert(out.end(), {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
                         static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)});
}

inline void PutChunk(Bytes& png, const char* type, const Bytes& data) {
  PutBig32(png, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = png.size();
  png.insert(png.end(), type, type + 4);
  png.insert(png.end(), data.begin(), data.end());
  PutBig32(png, static_cast<std::uint32_t>(
                    crc32(0, png.data() + typeAt, static_cast<uInt>(4 + data.size()))));
}

// An 8-bit PNG of colour type 6 (RGBA) or 2 (RGB) holding the image data given in IDAT
// chunks of the given sizes, in turn; the last size repeats, and 0 puts everything in one.
inline Bytes PngFile(int width, int height, int colourType, const Bytes& imageData,
                     const std::vector<std::size_t>& chunkSizes = {0}) {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  PutBig32(header, static_cast<std::uint32_t>(width));
  PutBig32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, static_cast<std::uint8_t>(colourType), 0, 0, 0});
  PutChunk(png, "IHDR", header);
  std::size_t at = 0;
  std::size_t turn = 0;
  do {
    const std::size_t size = chunkSizes[std::min(turn++, chunkSizes.size() - 1)];
    const std::size_t end = size == 0 ? imageData.size() : std::min(imageData.size(), at + size);
    PutChunk(png, "IDAT",
             Bytes(imageData.begin() + static_cast<std::ptrdiff_t>(at),
                   imageData.begin() + static_cast<std::ptrdiff_t>(end)));
    at = end;
  } while (at < imageData.size());
  PutChunk(png, "IEND", {});
  return png;
}

// Recomputes the checksum of every whole chunk, after a test has changed their data.
inline void FixChunkChecksums(Bytes& png) {
  for (std::size_t at = 8; at + 12 <= png.size();) {
    const std::size_t length = std::size_t{png[at]} << 24 | std::size_t{png[at + 1]} << 16 |
                               std::size_t{png[at + 2]} << 8 | png[at + 3];
    if (length > png.size() - at - 12) return;
    const auto crc =
        static_cast<std::uint32_t>(crc32(0, png.data() + at + 4, static_cast<uInt>(length + 4)));
    for (int i = 0; i < 4; ++i) {
      png[at + 8 + length + static_cast<std::size_t>(i)] =
          static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    }
    at += length + 12;
  }
}

enum class RowFilter { None, Sub, Up, Average, Paeth, ByTurns };

inline int PaethOf(int left, int above, int aboveLeft) {
  const int estimate = left + above - aboveLeft;
  const int toLeft = std::abs(estimate - left);
  const int toAbove = std::abs(estimate - above);
  const int toAboveLeft = std::abs(estimate - aboveLeft);
  if (toLeft <= toAbove && toLeft <= toAboveLeft) return left;
  return toAbove <= toAboveLeft ? above : aboveLeft;
}

// The rows of samples (width * channels bytes each) filtered for a PNG, each behind its filter
// byte; ByTurns gives row y filter y % 5.
inline Bytes FilteredRows(const Bytes& samples, int width, int height, int channels,
                          RowFilter filter) {
  const auto rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
  const auto bpp = static_cast<std::size_t>(channels);
  const Bytes zeros(rowBytes, 0);
  Bytes out;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = samples.data() + rowBytes * static_cast<std::size_t>(y);
    const std::uint8_t* above = y > 0 ? row - rowBytes : zeros.data();
    const int type = filter == RowFilter::ByTurns ? y % 5 : static_cast<int>(filter);
    out.push_back(static_cast<std::uint8_t>(type));
    for (std::size_t i = 0; i < rowBytes; ++i) {
      const int left = i >= bpp ? row[i - bpp] : 0;
      const int aboveLeft = i >= bpp ? above[i - bpp] : 0;
      const int predictions[5] = {0, left, above[i], (left + above[i]) / 2,
                                  PaethOf(left, above[i], aboveLeft)};
      out.push_back(static_cast<std::uint8_t>(row[i] - predictions[type]));
    }
  }
  return out;
}

// Samples that give a compressor everything to do: clear stretches, gradients, rows repeated
// from far above, and noise.
inline Bytes VariedSamples(int width, int height, int channels, unsigned seed) {
  std::mt19937 random(seed);
  Bytes samples;
  for (int y = 0; y < height; ++y) {
    const int kind = (y / 7 + static_cast<int>(seed)) % 4;
    const std::size_t repeatFrom =
        samples.size() -
        std::min<std::size_t>(samples.size(), static_cast<std::size_t>(width) *
                                                  static_cast<std::size_t>(channels) *
                                                  static_cast<std::size_t>(y / 2 + 1));
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < channels; ++c) {
        std::uint8_t v = 0;
        if (kind == 1) {
          v = static_cast<std::uint8_t>(x * (c + 1) + y * 3);
        } else if (kind == 2 && y > 0) {
          v = samples[repeatFrom + static_cast<std::size_t>(x * channels + c)];
        } else if (kind == 3) {
          v = static_cast<std::uint8_t>(random());
        } else if (x % 9 > 5) {
          v = static_cast<std::uint8_t>(c == 3 ? 255 : 40 * c);
        }
        samples.push_back(v);
      }
    }
  }
  return samples;
}

}  // namespace tessarin::testing
