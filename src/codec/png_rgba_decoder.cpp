#include "png_rgba_decoder.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "adler32.h"
#include "byte_order.h"
#include "deflate_decompressor.h"
#include "png_paeth.h"
#include "raster_image.h"

namespace tessarin {
namespace {

// Undoes one row's filter, on 4-byte pixels in the file's order; above is the row before.
bool UnfilterRow(int filter, const std::uint8_t* in, const std::uint8_t* above, std::uint8_t* out,
                 std::size_t n) {
  switch (filter) {
    case 0:
      std::memcpy(out, in, n);
      return true;
    case 1:
      std::memcpy(out, in, 4);
      for (std::size_t i = 4; i < n; ++i) out[i] = static_cast<std::uint8_t>(in[i] + out[i - 4]);
      return true;
    case 2:
      for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<std::uint8_t>(in[i] + above[i]);
      return true;
    case 3:
      for (std::size_t i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>(in[i] + (above[i] >> 1));
      for (std::size_t i = 4; i < n; ++i) {
        out[i] = static_cast<std::uint8_t>(in[i] + ((out[i - 4] + above[i]) >> 1));
      }
      return true;
    case 4:
      // With nothing to the left, the predictor is the byte above.
      for (std::size_t i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(in[i] + above[i]);
      for (std::size_t i = 4; i < n; ++i) {
        out[i] =
            static_cast<std::uint8_t>(in[i] + PaethPredictor(out[i - 4], above[i], above[i - 4]));
      }
      return true;
    default:
      return false;
  }
}

// Undoes the row filters of the inflated rows, each a filter byte and 4 * width bytes, which
// start at base, and leaves the pixels there as ours, 4 * width bytes a row, B, G, R, A. Each
// row is undone into a spare row first: written back, it lands before its own filtered bytes,
// and before those of the rows after it. Returns the first row whose filter does not exist,
// or -1.
int Unfilter(std::uint8_t* base, int width, int height) {
  const std::size_t rowBytes = 4 * static_cast<std::size_t>(width);
  // Two rows in turn, and a row of zeros above the first.
  std::vector<std::uint8_t> rows(3 * rowBytes, 0);
  const std::uint8_t* above = rows.data() + 2 * rowBytes;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = base + static_cast<std::size_t>(y) * (rowBytes + 1);
    std::uint8_t* row = rows.data() + static_cast<std::size_t>(y % 2) * rowBytes;
    if (!UnfilterRow(in[0], in + 1, above, row, rowBytes)) return y;
    std::uint8_t* out = base + static_cast<std::size_t>(y) * rowBytes;
    for (std::size_t x = 0; x < rowBytes; x += 4) {
      out[x] = row[x + 2];
      out[x + 1] = row[x + 1];
      out[x + 2] = row[x];
      out[x + 3] = row[x + 3];
    }
    above = row;
  }
  return -1;
}

}  // namespace

RgbaPngReading DecodeRgbaPng(const std::uint8_t* bytes, const std::vector<ByteSpan>& imageData,
                             int width, int height, RasterImage& image) {
  using Outcome = RgbaPngReading::Outcome;
  const RgbaPngReading handOn;
  if (imageData.empty() || width <= 0 || height <= 0) return handOn;
  // The zlib stream, joined from its chunks where it spans several.
  std::vector<std::uint8_t> joined;
  const std::uint8_t* stream = bytes + imageData.front().offset;
  std::size_t streamSize = imageData.front().size;
  if (imageData.size() > 1) {
    // Other chunks between the IDAT chunks are read differently by different decoders.
    for (std::size_t i = 1; i < imageData.size(); ++i) {
      if (imageData[i].offset != imageData[i - 1].offset + imageData[i - 1].size + 12) {
        return handOn;
      }
    }
    for (const ByteSpan& span : imageData) {
      joined.insert(joined.end(), bytes + span.offset, bytes + span.offset + span.size);
    }
    stream = joined.data();
    streamSize = joined.size();
  }
  // Header: deflate with a window of 32 KiB at most, no preset dictionary, and its check.
  if (streamSize < 6) return handOn;
  const std::uint8_t method = stream[0];
  const std::uint8_t flags = stream[1];
  if ((method & 0x0F) != 8 || (method >> 4) > 7 || (flags & 0x20) != 0 ||
      (method * 256 + flags) % 31 != 0) {
    return handOn;
  }

  const std::size_t rowBytes = 4 * static_cast<std::size_t>(width);
  const std::size_t filteredSize = (rowBytes + 1) * static_cast<std::size_t>(height);
  image.Allocate(width, height, 32, static_cast<std::size_t>(height));
  if (image.IsNull()) return handOn;
  std::uint8_t* base = image.Row(0);
  const deflate::InflateResult inflated =
      deflate::Inflate(stream + 2, streamSize - 2, base, filteredSize);
  const auto rowOf = [&](std::size_t byte) {
    return std::to_string(byte / (rowBytes + 1) + 1) + " of " + std::to_string(height);
  };
  RgbaPngReading reading = handOn;
  if (inflated.produced < filteredSize) {
    // Every decoder needs these rows, and stops where the data does.
    reading = {Outcome::Damaged,
               "its image data is corrupt or cut off in row " + rowOf(inflated.produced)};
  } else {
    // Exactly the checksum after the compressed data, and nothing more. It covers the
    // filtered rows, so it is taken before they are undone in place.
    const bool whole =
        inflated.Exact(filteredSize) && streamSize - 2 - *inflated.consumed == 4 &&
        ReadBig32(stream + 2 + *inflated.consumed) == deflate::Adler32(base, filteredSize);
    const int badRow = Unfilter(base, width, height);
    if (badRow >= 0) {
      // Every decoder stops at such a row, whatever follows the rows.
      const int filter = base[static_cast<std::size_t>(badRow) * (rowBytes + 1)];
      reading = {Outcome::Damaged,
                 "row " + rowOf(static_cast<std::size_t>(badRow) * (rowBytes + 1)) +
                     " names row filter " + std::to_string(filter) + ", which does not exist"};
    } else if (whole) {
      image.SetAlphaFlags(true, false);
      return {Outcome::Read, {}};
    }
  }
  image.Destroy();
  return reading;
}

}  // namespace tessarin
