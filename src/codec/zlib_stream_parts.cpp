#include "zlib_stream_parts.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <memory>
#include <new>

#include "byte_order.h"
#include "task_sharing.h"

// One libdeflate call cannot use a second core, and its stream always closes, so that nothing
// can follow it. The leading parts are therefore compressed by zlib, as pigz does it: each
// primed with the 32 KiB before it and ended with a sync flush, which leaves the stream open on
// a byte boundary. The last part, libdeflate's, closes the stream. zlib is the slower of the
// two, so its parts are the smaller, sized for every thread to finish at about the same time.

namespace tessarin {
namespace {

// Below this much data one thread does it all.
constexpr std::size_t kBytesForParts = 512 * 1024;
// zlib's level for the leading parts, and about how much longer it takes over the same bytes
// than libdeflate at level 2, as measured on soft and noisy 1024 x 1024 sheets. At level 3
// the whole comes out 2 to 4% larger than one libdeflate stream; at 1 or 2, 5 to 9%.
constexpr int kZlibLevel = 3;
constexpr double kZlibSlowness = 2.3;
// Deflate reaches back at most this far.
constexpr std::size_t kWindow = 32 * 1024;

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

// data[begin, end) as raw deflate blocks that leave the stream open, matches reaching back
// into the bytes before begin.
std::vector<std::uint8_t> OpenPart(const std::uint8_t* data, std::size_t begin, std::size_t end) {
  z_stream z{};
  if (deflateInit2(&z, kZlibLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw std::bad_alloc();
  }
  const std::unique_ptr<z_stream, int (*)(z_stream*)> ending(&z, deflateEnd);
  const std::size_t primed = std::min(begin, kWindow);
  if (primed > 0) {
    deflateSetDictionary(&z, data + begin - primed, static_cast<uInt>(primed));
  }
  // The bound covers a whole stream; the flush adds an empty stored block's 5 bytes at most.
  std::vector<std::uint8_t> out(deflateBound(&z, static_cast<uLong>(end - begin)) + 8);
  z.next_in = const_cast<Bytef*>(data + begin);
  z.avail_in = static_cast<uInt>(end - begin);
  z.next_out = out.data();
  z.avail_out = static_cast<uInt>(out.size());
  // Within the bound only running out of memory can stop it.
  if (deflate(&z, Z_SYNC_FLUSH) != Z_OK || z.avail_in != 0) throw std::bad_alloc();
  out.resize(out.size() - z.avail_out);
  return out;
}

// data[begin, end) as raw deflate blocks that close the stream.
std::vector<std::uint8_t> ClosingPart(const std::uint8_t* data, std::size_t begin, std::size_t end,
                                      int level) {
  libdeflate_compressor* compressor = Compressor(level);
  const std::size_t bound = libdeflate_deflate_compress_bound(compressor, end - begin);
  // Room for the worst case, of which only what is filled is ever touched.
  std::unique_ptr<std::uint8_t[]> room(new std::uint8_t[bound]);
  // Within the bound, compressing cannot fail.
  const std::size_t size =
      libdeflate_deflate_compress(compressor, data + begin, end - begin, room.get(), bound);
  return std::vector<std::uint8_t>(room.get(), room.get() + size);
}

}  // namespace

std::vector<std::vector<std::uint8_t>> ZlibStreamInParts(const std::uint8_t* data, std::size_t size,
                                                         unsigned threads, int libdeflateLevel) {
  const std::size_t count = size >= kBytesForParts ? std::max(threads, 1u) : 1u;
  // Where each part starts: the zlib parts equal, the last one kZlibSlowness times as long.
  const double closingShare = kZlibSlowness / (static_cast<double>(count) - 1 + kZlibSlowness);
  const auto leading = static_cast<std::size_t>(static_cast<double>(size) * (1 - closingShare));
  std::vector<std::size_t> starts(count + 1, size);
  for (std::size_t part = 0; part + 1 < count; ++part) starts[part] = leading * part / (count - 1);
  starts[count - 1] = leading;

  std::vector<std::vector<std::uint8_t>> parts(count);
  ShareTasks(count, threads, [&](std::size_t part) {
    parts[part] = part + 1 < count
                      ? OpenPart(data, starts[part], starts[part + 1])
                      : ClosingPart(data, starts[part], starts[part + 1], libdeflateLevel);
  });
  // Deflate with a 32 KiB window and no preset dictionary, and the header's check bits.
  parts.front().insert(parts.front().begin(), {0x78, 0x01});
  AppendBig32(parts.back(), libdeflate_adler32(1, data, size));
  return parts;
}

}  // namespace tessarin
