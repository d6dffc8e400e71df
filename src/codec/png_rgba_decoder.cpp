#include "png_rgba_decoder.h"

#include <libdeflate.h>

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "byte_order.h"
#include "png_rgba_unfilter.h"
#include "raster_image.h"

namespace tessarin {
namespace {

// A decompressor for each thread, kept between images: layers are read on several threads at
// once, and building one costs more than reading a small layer.
libdeflate_decompressor* Decompressor() {
  thread_local std::unique_ptr<libdeflate_decompressor, void (*)(libdeflate_decompressor*)> kept(
      nullptr, libdeflate_free_decompressor);
  if (!kept) kept.reset(libdeflate_alloc_decompressor());
  if (!kept) throw std::bad_alloc();
  return kept.get();
}

struct Inflated {
  libdeflate_result result;
  // Only on success: bytes of the deflate stream through its last block, and bytes written.
  std::size_t consumed = 0;
  std::size_t produced = 0;
};

// Inflates into room bytes at out, and no more: data beyond them stops it for want of room.
Inflated Inflate(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out, std::size_t room) {
  Inflated inflated{LIBDEFLATE_SUCCESS};
  inflated.result = libdeflate_deflate_decompress_ex(Decompressor(), in, inSize, out, room,
                                                     &inflated.consumed, &inflated.produced);
  return inflated;
}

// About how many bytes a stream that breaks down gives before it does: with less room,
// inflating stops for want of it before reaching the fault. Searched for by whole rows, so that
// a few passes do even for the tallest pictures, then placed within its row or just after it.
std::size_t BytesBeforeFault(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out,
                             std::size_t lineBytes, std::size_t rows) {
  const auto reaches = [&](std::size_t room) {
    return Inflate(in, inSize, out, room).result == LIBDEFLATE_BAD_DATA;
  };
  // Room for `high` rows reaches the fault.
  std::size_t low = 0;
  std::size_t high = rows;
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (reaches(middle * lineBytes)) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  if (low == 0) return 0;
  // Breaking down where a row ends, the stream fails the next one.
  return reaches(low * lineBytes - 1) ? (low - 1) * lineBytes : low * lineBytes;
}

// Up to this many bytes of inflated rows, each thread keeps its room for them from image to
// image: a 2048 x 2048 layer's fit. Fresh memory costs more to fault in than to inflate into.
constexpr std::size_t kKeptRoomBytes = 24u << 20;

// Room for bytes of inflated rows: this thread's, or one of their own held by once.
std::uint8_t* RoomForRows(std::size_t bytes, std::unique_ptr<std::uint8_t[]>& once) {
  if (bytes > kKeptRoomBytes) {
    once.reset(new std::uint8_t[bytes]);
    return once.get();
  }
  thread_local std::unique_ptr<std::uint8_t[]> kept;
  thread_local std::size_t keptBytes = 0;
  if (keptBytes < bytes) {
    kept.reset();
    keptBytes = 0;
    kept.reset(new std::uint8_t[bytes]);
    keptBytes = bytes;
  }
  return kept.get();
}

// The ceiling every image is held to, for a picture held only in part.
bool ExceedsCeiling(int width, int height) {
  return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4 >
         RasterImage::kMaxPixelBytes;
}

}  // namespace

RgbaPngReading DecodeRgbaPng(const std::uint8_t* bytes, const std::vector<ByteSpan>& imageData,
                             int width, int height, RasterImage& image, KeptCorner keep) {
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
    // Sized once: grown chunk by chunk, the first chunks would be copied again.
    std::size_t total = 0;
    for (const ByteSpan& span : imageData) total += span.size;
    joined.reserve(total);
    for (const ByteSpan& span : imageData) {
      joined.insert(joined.end(), bytes + span.offset, bytes + span.offset + span.size);
    }
    stream = joined.data();
    streamSize = joined.size();
  }
  // Header: deflate with a window of 32 KiB at most, no preset dictionary, and its check. A
  // smaller window named is not held to: the toolkit has libpng let matches reach back 32 KiB
  // whatever the header says, as libdeflate does.
  if (streamSize < 6) return handOn;
  const std::uint8_t method = stream[0];
  const std::uint8_t flags = stream[1];
  if ((method & 0x0F) != 8 || (method >> 4) > 7 || (flags & 0x20) != 0 ||
      (method * 256 + flags) % 31 != 0) {
    return handOn;
  }

  const std::size_t lineBytes = 4 * static_cast<std::size_t>(width) + 1;
  const std::size_t filteredSize = lineBytes * static_cast<std::size_t>(height);
  const int keptWidth = keep.WidthOf(width);
  const int keptHeight = keep.HeightOf(height);
  // The whole picture is inflated and checked all the same, into this thread's room for it, and
  // undone into the image, whose pages that stay clear are then never touched. Too large to
  // keep room for, a whole picture is inflated into the image itself and undone in place.
  const bool whole = keptWidth == width && keptHeight == height;
  const bool inPlace = whole && filteredSize > kKeptRoomBytes;
  std::unique_ptr<std::uint8_t[]> ownRoom;
  if (inPlace) {
    image.Allocate(width, height, 32, static_cast<std::size_t>(height));
    if (image.IsNull()) return handOn;
  } else {
    image.Allocate(keptWidth, keptHeight, 32);
    if (image.IsNull() || ExceedsCeiling(width, height)) {
      image.Destroy();
      return handOn;
    }
  }
  std::uint8_t* base = inPlace ? image.Row(0) : RoomForRows(filteredSize, ownRoom);
  const std::uint8_t* deflated = stream + 2;
  const std::size_t deflatedSize = streamSize - 2;
  const auto rowOf = [&](std::size_t byte) {
    const std::size_t row = std::min(byte / lineBytes + 1, static_cast<std::size_t>(height));
    return std::to_string(row) + " of " + std::to_string(height);
  };
  const auto refuse = [&](Outcome outcome, std::string damage) {
    image.Destroy();
    return RgbaPngReading{outcome, std::move(damage)};
  };
  const auto cutOff = [&](std::size_t byte) {
    return refuse(Outcome::Damaged, "its image data is corrupt or cut off in row " + rowOf(byte));
  };

  const Inflated inflated = Inflate(deflated, deflatedSize, base, filteredSize);
  if (inflated.result == LIBDEFLATE_INSUFFICIENT_SPACE) {
    // Refused where the surplus starts: a small picture must not make us inflate gigabytes.
    return refuse(Outcome::Damaged, "its image data holds more than its " + std::to_string(width) +
                                        " x " + std::to_string(height) + " pixels");
  }
  if (inflated.result == LIBDEFLATE_BAD_DATA) {
    // Every decoder stops at a fault before the last row's end; past it, some read the rows.
    if (Inflate(deflated, deflatedSize, base, filteredSize - 1).result != LIBDEFLATE_BAD_DATA) {
      return refuse(Outcome::HandedOn, {});
    }
    return cutOff(BytesBeforeFault(deflated, deflatedSize, base, lineBytes,
                                   static_cast<std::size_t>(height)));
  }
  if (inflated.result != LIBDEFLATE_SUCCESS) return refuse(Outcome::HandedOn, {});
  if (inflated.produced < filteredSize) return cutOff(inflated.produced);

  // The checksum covers the filtered rows, so it is taken before they are undone in place.
  const std::size_t after = deflatedSize - inflated.consumed;
  const bool checked = after >= 4 && ReadBig32(deflated + inflated.consumed) ==
                                         libdeflate_adler32(1, base, filteredSize);
  const int badRow =
      UnfilterRgbaRows(base, width, height, image.Row(0), keptWidth, keptHeight, !inPlace);
  if (badRow >= 0) {
    // Every decoder stops at such a row, whatever follows the rows.
    const int filter = base[static_cast<std::size_t>(badRow) * lineBytes];
    return refuse(Outcome::Damaged, "row " + rowOf(static_cast<std::size_t>(badRow) * lineBytes) +
                                        " names row filter " + std::to_string(filter) +
                                        ", which does not exist");
  }
  // Decoders wait for the checksum, and find the file's next chunk instead.
  if (after < 4) return refuse(Outcome::Damaged, "its image data is cut off before its checksum");
  if (!checked || after > 4) return refuse(Outcome::HandedOn, {});
  image.SetAlphaFlags(true, false);
  return {Outcome::Read, {}};
}

}  // namespace tessarin
