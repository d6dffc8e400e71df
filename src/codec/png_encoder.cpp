#include "png_encoder.h"

#include <libdeflate.h>

#include <algorithm>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "byte_order.h"
#include "png_row_filter.h"
#include "raster_image.h"
#include "task_sharing.h"
#include "zlib_stream_parts.h"

namespace tessarin {
namespace {

// Rows are filtered in bands of this many, on several threads once there are enough of them.
constexpr int kBandRows = 32;
constexpr std::size_t kBytesForThreads = 512 * 1024;

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

  // One IDAT chunk for each part of the stream.
  const std::vector<std::vector<std::uint8_t>> parts =
      ZlibStreamInParts(filtered.get(), total, threads, level);
  filtered.reset();
  std::size_t size = png.size() + 12;
  for (const auto& part : parts) size += part.size() + 12;
  png.reserve(size);
  for (const auto& part : parts) AppendChunk(png, "IDAT", part.data(), part.size());
  AppendChunk(png, "IEND", nullptr, 0);
  return png;
}

}  // namespace tessarin
