#include "png_encoder.h"

#include <libdeflate.h>

#include <algorithm>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "byte_order.h"
#include "png_row_filter.h"
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
  const auto inBytes = static_cast<std::size_t>(image.BitsPerPixel() / 8);
  const auto outBytes = static_cast<std::size_t>(channels);
  const auto width = static_cast<std::size_t>(image.Width());
  std::size_t x = 0;
#if defined(__SSE2__)
  if (inBytes == 4 && outBytes == 4) {
    // Four pixels at a time: the first byte is the lowest of each 32-bit lane.
    const __m128i low = _mm_set1_epi32(0xFF);
    const __m128i middle = _mm_set1_epi32(static_cast<std::int32_t>(0xFF00FF00u));
    for (; x + 4 <= width; x += 4) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * x));
      const __m128i swapped = _mm_or_si128(_mm_and_si128(v, middle),
                                           _mm_or_si128(_mm_and_si128(_mm_srli_epi32(v, 16), low),
                                                        _mm_slli_epi32(_mm_and_si128(v, low), 16)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x), swapped);
    }
  }
#endif
  for (; x < width; ++x) {
    const std::uint8_t* pixel = in + x * inBytes;
    std::uint8_t* to = out + x * outBytes;
    to[0] = pixel[2];
    to[1] = pixel[1];
    to[2] = pixel[0];
    if (outBytes == 4) to[3] = pixel[3];
  }
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
    PngRowFilter filter(rowBytes, static_cast<std::size_t>(channels));
    const int top = static_cast<int>(band) * kBandRows;
    const int bottom = std::min(height, top + kBandRows);
    if (top > 0) RowInFileOrder(image, top - 1, channels, filter.Above());
    for (int y = top; y < bottom; ++y) {
      RowInFileOrder(image, y, channels, filter.Row());
      filter.Filter(filtered.get() + static_cast<std::size_t>(y) * lineBytes);
    }
  });

  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  AppendBig32(header, static_cast<std::uint32_t>(width));
  AppendBig32(header, static_cast<std::uint32_t>(height));
  // 8 bits a sample; colour type 6 (RGBA) or 2 (RGB); deflate; adaptive filters; no interlace.
  header.insert(header.end(), {8, static_cast<std::uint8_t>(channels == 4 ? 6 : 2), 0, 0, 0});
  AppendChunk(png, "IHDR", header.data(), header.size());

  // One IDAT chunk. Compressed apart first: of room for the worst case, only what is filled
  // is ever touched.
  libdeflate_compressor* compressor = Compressor(level);
  const std::size_t bound = libdeflate_zlib_compress_bound(compressor, total);
  std::unique_ptr<std::uint8_t[]> compressed(new std::uint8_t[bound]);
  // Within the bound, compressing cannot fail.
  const std::size_t size =
      libdeflate_zlib_compress(compressor, filtered.get(), total, compressed.get(), bound);
  png.reserve(png.size() + size + 24);
  AppendChunk(png, "IDAT", compressed.get(), size);
  AppendChunk(png, "IEND", nullptr, 0);
  return png;
}

}  // namespace tessarin
