#include "png_stream_check.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace tessarin {
namespace {

int SamplesPerPixel(int colourType) {
  switch (colourType) {
    case 2:
      return 3;
    case 4:
      return 2;
    case 6:
      return 4;
    default:
      return 1;
  }
}

// The bytes of filtered rows the image data must inflate to, every interlace pass included.
std::uint64_t FilteredSize(const PngFacts& png) {
  const std::uint64_t bits = static_cast<std::uint64_t>(png.bitDepth) *
                             static_cast<std::uint64_t>(SamplesPerPixel(png.colourType));
  const auto passBytes = [bits](std::uint64_t width, std::uint64_t height) {
    if (width == 0 || height == 0) return std::uint64_t{0};
    return height * (1 + (width * bits + 7) / 8);
  };
  if (!png.interlaced) return passBytes(png.width, png.height);
  static constexpr std::array<int, 7> kX0 = {0, 4, 0, 2, 0, 1, 0};
  static constexpr std::array<int, 7> kDx = {8, 8, 4, 4, 2, 2, 1};
  static constexpr std::array<int, 7> kY0 = {0, 0, 4, 0, 2, 0, 1};
  static constexpr std::array<int, 7> kDy = {8, 8, 8, 4, 4, 2, 2};
  std::uint64_t total = 0;
  for (std::size_t pass = 0; pass < kX0.size(); ++pass) {
    const auto count = [](std::uint64_t side, int start, int step) {
      return side > static_cast<std::uint64_t>(start) ? (side - static_cast<std::uint64_t>(start) +
                                                         static_cast<std::uint64_t>(step) - 1) /
                                                            static_cast<std::uint64_t>(step)
                                                      : 0;
    };
    total +=
        passBytes(count(png.width, kX0[pass], kDx[pass]), count(png.height, kY0[pass], kDy[pass]));
  }
  return total;
}

std::string FaultOf(const z_stream& stream, int result) {
  if (result == Z_NEED_DICT) return "its image data asks for a preset dictionary";
  const char* message = stream.msg != nullptr ? stream.msg : "";
  if (std::strcmp(message, "incorrect header check") == 0 ||
      std::strcmp(message, "unknown compression method") == 0 ||
      std::strcmp(message, "invalid window size") == 0) {
    return "its image data does not start with a valid zlib header";
  }
  if (std::strcmp(message, "incorrect data check") == 0) {
    return "its image data fails its checksum";
  }
  return std::string("its image data is corrupt (") + message + ")";
}

}  // namespace

std::string PngStreamFault(const std::uint8_t* bytes, const PngFacts& png) {
  if (!png.isPng || png.imageData.empty()) return {};
  const std::uint64_t needed = FilteredSize(png);
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return {};  // out of memory: the decoder will say
  std::array<unsigned char, 64 * 1024> scratch;
  std::uint64_t produced = 0;
  std::string fault;
  // Fed one chunk at a time with room for the rows and no more, as the decoder feeds it: a
  // fault it meets only after the last row (in a later chunk) costs it a warning, not the file.
  for (const ByteSpan& span : png.imageData) {
    stream.next_in = const_cast<unsigned char*>(bytes + span.offset);
    stream.avail_in = static_cast<uInt>(span.size);
    while (stream.avail_in > 0 && produced < needed) {
      stream.next_out = scratch.data();
      stream.avail_out =
          static_cast<uInt>(std::min<std::uint64_t>(scratch.size(), needed - produced));
      const uInt room = stream.avail_out;
      const int result = inflate(&stream, Z_NO_FLUSH);
      produced += room - stream.avail_out;
      if (result == Z_NEED_DICT || result == Z_DATA_ERROR) {
        fault = FaultOf(stream, result);
        break;
      }
      if (result == Z_STREAM_END) break;
      if (result != Z_OK && result != Z_BUF_ERROR) {
        inflateEnd(&stream);
        return {};  // out of memory: the decoder will say
      }
    }
    if (!fault.empty() || produced >= needed || stream.msg != nullptr) break;
    if (stream.avail_in > 0) break;  // the stream ended early
  }
  inflateEnd(&stream);
  if (fault.empty() && produced < needed) {
    fault = "its image data ends after " + std::to_string(produced) + " of its " +
            std::to_string(needed) + " bytes";
  }
  return fault;
}

}  // namespace tessarin
