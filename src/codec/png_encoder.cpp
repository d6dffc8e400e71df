#include "png_encoder.h"

#include <libdeflate.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "byte_order.h"
#include "png_paeth.h"
#include "raster_image.h"
#include "task_sharing.h"

namespace tessarin {
namespace {

// Rows are filtered in bands of this many, on several threads once there are enough of them.
constexpr int kBandRows = 32;
constexpr std::size_t kBytesForThreads = 512 * 1024;

// A compressor for each thread, kept between images at the level last asked for: a sheet is
// often one of a batch, and building one costs about as much as compressing a small sheet.
libdeflate_compressor* Compressor(int level) {
  struct Kept {
    std::unique_ptr<libdeflate_compressor, void (*)(libdeflate_compressor*)> compressor{
        nullptr, libdeflate_free_compressor};
    int level = 0;
  };
  thread_local Kept kept;
  if (!kept.compressor || kept.level != level) {
    kept.compressor.reset(libdeflate_alloc_compressor(level));
    kept.level = level;
  }
  if (!kept.compressor) throw std::bad_alloc();
  return kept.compressor.get();
}

// Length, type, data, and the CRC of type and data.
void AppendChunk(std::vector<std::uint8_t>& out, const char* type, const std::uint8_t* data,
                 std::size_t size) {
  AppendBig32(out, static_cast<std::uint32_t>(size));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data, data + size);
  AppendBig32(out, libdeflate_crc32(0, out.data() + typeAt, 4 + size));
}

// One row in the file's channel order, R, G, B (, A), from ours, B, G, R (, A).
void RowInFileOrder(const RasterImage& image, int y, int channels, std::uint8_t* out) {
  const std::uint8_t* in = image.Row(y);
  const int inBytes = image.BitsPerPixel() / 8;
  const auto width = static_cast<std::size_t>(image.Width());
  for (std::size_t x = 0; x < width; ++x, in += inBytes, out += channels) {
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
    if (channels == 4) out[3] = in[3];
  }
}

// The sum of the bytes' magnitudes read as signed: small residuals compress best.
std::uint32_t Cost(const std::uint8_t* row, std::size_t n) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < n; ++i)
    sum += static_cast<std::uint32_t>(std::abs(static_cast<std::int8_t>(row[i])));
  return sum;
}

// Filters one row by each of the five filters and keeps the cheapest, type byte first.
// prior is the row above, all zeros for the first row.
void FilterRow(const std::uint8_t* row, const std::uint8_t* prior, std::size_t n, std::size_t bpp,
               std::array<std::vector<std::uint8_t>, 4>& trials, std::uint8_t* out) {
  std::uint8_t* sub = trials[0].data();
  std::uint8_t* up = trials[1].data();
  std::uint8_t* average = trials[2].data();
  std::uint8_t* paeth = trials[3].data();
  for (std::size_t i = 0; i < bpp; ++i) {
    sub[i] = row[i];
    average[i] = static_cast<std::uint8_t>(row[i] - (prior[i] >> 1));
    paeth[i] = static_cast<std::uint8_t>(row[i] - prior[i]);
  }
  for (std::size_t i = bpp; i < n; ++i) {
    sub[i] = static_cast<std::uint8_t>(row[i] - row[i - bpp]);
    average[i] = static_cast<std::uint8_t>(row[i] - ((row[i - bpp] + prior[i]) >> 1));
    paeth[i] =
        static_cast<std::uint8_t>(row[i] - PaethPredictor(row[i - bpp], prior[i], prior[i - bpp]));
  }
  for (std::size_t i = 0; i < n; ++i) up[i] = static_cast<std::uint8_t>(row[i] - prior[i]);

  const std::uint8_t* best = row;
  std::uint8_t type = 0;
  std::uint32_t bestCost = Cost(row, n);
  for (std::uint8_t filter = 1; filter <= 4; ++filter) {
    const std::uint8_t* trial = trials[filter - 1].data();
    const std::uint32_t cost = Cost(trial, n);
    if (cost < bestCost) {
      bestCost = cost;
      best = trial;
      type = filter;
    }
  }
  out[0] = type;
  std::memcpy(out + 1, best, n);
}

}  // namespace

bool PngEncoderTakes(const RasterImage& image) {
  // A file no one could open is not written.
  return !image.IsNull() && (image.BitsPerPixel() == 24 || image.BitsPerPixel() == 32) &&
         image.Width() <= kMaxPngSide && image.Height() <= kMaxPngSide;
}

std::vector<std::uint8_t> EncodePng(const RasterImage& image, int level) {
  const int width = image.Width();
  const int height = image.Height();
  const int channels = image.BitsPerPixel() == 32 && image.HasAlpha() ? 4 : 3;
  const std::size_t rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
  const std::size_t lineBytes = rowBytes + 1;
  const std::size_t total = lineBytes * static_cast<std::size_t>(height);
  const unsigned threads = total >= kBytesForThreads ? CoreCount() : 1u;

  // Rows are filtered in bands, each band from its own copy of the row above it.
  std::unique_ptr<std::uint8_t[]> filtered(new std::uint8_t[total]);
  const int bands = (height + kBandRows - 1) / kBandRows;
  ShareTasks(static_cast<std::size_t>(bands), threads, [&](std::size_t band) {
    std::vector<std::uint8_t> prior(rowBytes, 0);
    std::vector<std::uint8_t> row(rowBytes);
    std::array<std::vector<std::uint8_t>, 4> trials;
    for (auto& trial : trials) trial.resize(rowBytes);
    const int top = static_cast<int>(band) * kBandRows;
    const int bottom = std::min(height, top + kBandRows);
    if (top > 0) RowInFileOrder(image, top - 1, channels, prior.data());
    for (int y = top; y < bottom; ++y) {
      RowInFileOrder(image, y, channels, row.data());
      FilterRow(row.data(), prior.data(), rowBytes, static_cast<std::size_t>(channels), trials,
                filtered.get() + static_cast<std::size_t>(y) * lineBytes);
      row.swap(prior);
    }
  });

  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  AppendBig32(header, static_cast<std::uint32_t>(width));
  AppendBig32(header, static_cast<std::uint32_t>(height));
  // 8 bits a sample; colour type 6 (RGBA) or 2 (RGB); deflate; adaptive filters; no interlace.
  header.insert(header.end(), {8, static_cast<std::uint8_t>(channels == 4 ? 6 : 2), 0, 0, 0});
  AppendChunk(png, "IHDR", header.data(), header.size());

  // One IDAT chunk, compressed in place: splitting it would only cost a copy.
  libdeflate_compressor* compressor = Compressor(level);
  const std::size_t dataAt = png.size() + 8;
  png.resize(dataAt + libdeflate_zlib_compress_bound(compressor, total));
  const std::size_t size = libdeflate_zlib_compress(compressor, filtered.get(), total,
                                                    png.data() + dataAt, png.size() - dataAt);
  // Within the bound, compressing cannot fail.
  png.resize(dataAt + size);
  WriteBig32(png.data() + dataAt - 8, static_cast<std::uint32_t>(size));
  std::memcpy(png.data() + dataAt - 4, "IDAT", 4);
  AppendBig32(png, libdeflate_crc32(0, png.data() + dataAt - 4, 4 + size));
  AppendChunk(png, "IEND", nullptr, 0);
  return png;
}

}  // namespace tessarin
