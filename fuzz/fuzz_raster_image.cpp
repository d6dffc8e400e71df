// Image bytes in; whatever they hold, loading either fails and leaves the image empty, or gives
// an image that can be read and drawn with both blend rules. An 8-bit RGBA PNG, the file our
// own reader takes, loads exactly when libpng reads it, to libpng's pixels; the one refusal
// allowed beyond libpng's is of image data holding more than the rows, which libpng reads
// with a warning.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <QtGlobal>

#include <zlib.h>

#include "byte_order.h"
#include "image_file.h"
#include "libpng_reader.h"
#include "png_encoder.h"
#include "raster_image.h"

namespace {

using tessarin::BlendRule;
using tessarin::RasterImage;

constexpr BlendRule kRules[] = {BlendRule::Classic, BlendRule::Standard};
constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "image invariant broken: %s\n", what);
  std::abort();
}

void CheckLoaded(const RasterImage& image) {
  const int w = image.Width();
  const int h = image.Height();
  const int bits = image.BitsPerPixel();
  Require(w > 0 && h > 0, "a loaded image has pixels");
  Require(bits == 1 || bits == 8 || bits == 16 || bits == 24 || bits == 32, "a stored format");
  Require(
      image.Stride() % 4 == 0 &&
          image.Stride() >= (static_cast<std::size_t>(w) * static_cast<std::size_t>(bits) + 7) / 8,
      "rows padded to 4 bytes and wide enough");
  Require(static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) * 4 <=
              RasterImage::kMaxPixelBytes,
          "within the size ceiling");

  for (const BlendRule rule : kRules) {
    for (const auto& [x, y] : {std::array<int, 2>{0, 0}, {w - 1, 0}, {0, h - 1}, {w - 1, h - 1}}) {
      image.PixelAt(x, y, rule);
    }
    Require(image.PixelAt(-1, 0, rule) == 0 && image.PixelAt(w, h - 1, rule) == 0 &&
                image.PixelAt(0, h, rule) == 0,
            "outside pixels read as 0");
    // Under the classic rule only an alpha channel makes a pixel less than opaque.
    if (rule == BlendRule::Classic && !image.HasAlpha()) {
      Require(image.PixelAt(w - 1, h - 1, rule) >> 24 == 255u, "classic rule: opaque");
    }
  }

  // The targets are small, so a large source costs little: only what lands in them is drawn.
  for (const BlendRule rule : kRules) {
    RasterImage target;
    Require(target.Create(24, 20, 32, true), "a target");
    image.Draw(target, 0, 0, w, h, 0, 0, w, h, rule);    // 1:1
    image.Draw(target, -3, 5, w, h, 2, -1, w, h, rule);  // 1:1, clipped on every side
    image.Draw(target, 0, 0, 24, 20, 0, 0, w, h, rule);  // scaled to fit
    image.Draw(target, -7, -2, 3 * w + 1, 2 * h + 3, 0, 0, w, h, rule);        // enlarged
    image.Draw(target, 4, 3, 9, 7, w / 3, h / 2, w - w / 3, h - h / 2, rule);  // part, scaled
    RasterImage opaqueTarget;
    Require(opaqueTarget.Create(5, 3, 32, false), "an opaque target");
    image.Draw(opaqueTarget, 1, 1, 4, 2, 0, 0, w, h, rule);
  }
}

// The decoder rejects a chunk whose checksum is wrong before looking inside it, so mutations
// would rarely get past the checksums; fix them up for every whole chunk.
void FixPngChecksums(std::uint8_t* data, std::size_t size) {
  if (size < 8 || std::memcmp(data, kPngSignature, 8) != 0) return;
  for (std::size_t at = 8; at + 12 <= size;) {
    const std::size_t length = tessarin::ReadBig32(data + at);
    if (length > size - at - 12) return;
    tessarin::WriteBig32(data + at + 8 + length,
                         static_cast<std::uint32_t>(
                             crc32(0, data + at + 4, static_cast<uInt>(length + 4))));
    at += length + 12;
  }
}

// What our own decoder reads: a PNG of 8-bit RGBA without interlacing. Other formats can
// hold the same bytes at the same places (a PPM once did). Pictures declared larger than a
// few megapixels are left out: libpng would allocate all their rows before finding the data
// missing, and the runs must stay quick and small.
bool IsRgbaPngToCompare(const std::uint8_t* data, std::size_t size) {
  static constexpr std::uint8_t kRgba8[] = {8, 6};
  return size > 33 && std::memcmp(data, kPngSignature, 8) == 0 &&
         std::memcmp(data + 12, "IHDR", 4) == 0 && std::memcmp(data + 24, kRgba8, 2) == 0 &&
         data[28] == 0 &&
         std::uint64_t{tessarin::ReadBig32(data + 16)} * tessarin::ReadBig32(data + 20) <=
             (std::uint64_t{1} << 22);
}

// Our pixels against libpng's RGBA samples.
bool SamePixels(const RasterImage& image, const tessarin::testing::LibpngReading& theirs) {
  if (theirs.width != image.Width() || theirs.height != image.Height()) return false;
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      const std::uint8_t* s =
          theirs.samples.data() + 4 * (static_cast<std::size_t>(y) * image.Width() + x);
      const std::uint32_t want = std::uint32_t{s[3]} << 24 | std::uint32_t{s[0]} << 16 |
                                 std::uint32_t{s[1]} << 8 | s[2];
      if (image.PixelAt(x, y, BlendRule::Standard) != want) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // Decoder warnings about broken input are expected on nearly every run and only slow it down.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  return 0;
}

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned int seed) {
  size = LLVMFuzzerMutate(data, size, maxSize);
  // Now and then a wrong checksum stays, for the decoder's own error paths.
  if (seed % 8 != 0) FixPngChecksums(data, size);
  return size;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  RasterImage image;
  const tessarin::Status status = DecodeImageBytes(data, size, image);
  if (IsRgbaPngToCompare(data, size)) {
    const tessarin::testing::LibpngReading theirs = tessarin::testing::ReadWithLibpng(data, size);
    if (!status) {
      const bool surplus = status.Message().find("holds more than its") != std::string::npos;
      Require(!theirs.read || (surplus && !theirs.warnings.empty()),
              "we refuse an RGBA PNG only where libpng does, or for data beyond its rows");
    } else {
      Require(theirs.read, "libpng reads an RGBA PNG we read");
      Require(SamePixels(image, theirs), "libpng reads the same pixels");
    }
  }
  if (!status) {
    Require(image.IsNull(), "a failed load leaves the image empty");
    Require(!status.Message().empty(), "a failed load says why");
    return 0;
  }
  CheckLoaded(image);
  // What our encoder writes of it must load back pixel for pixel. Only for small pictures,
  // which keep the runs quick; large ones meet the same code.
  const bool small = static_cast<long long>(image.Width()) * image.Height() <= 256 * 256;
  if (small && tessarin::PngEncoderTakes(image)) {
    const std::vector<std::uint8_t> png = tessarin::EncodePng(image);
    RasterImage reloaded;
    Require(static_cast<bool>(DecodeImageBytes(png.data(), png.size(), reloaded)),
            "our PNG of a loaded image loads");
    Require(reloaded.Width() == image.Width() && reloaded.Height() == image.Height(),
            "our PNG keeps the size");
    for (int y = 0; y < image.Height(); ++y) {
      for (int x = 0; x < image.Width(); ++x) {
        Require(reloaded.PixelAt(x, y) == image.PixelAt(x, y), "our PNG keeps every pixel");
      }
    }
  }
  return 0;
}
