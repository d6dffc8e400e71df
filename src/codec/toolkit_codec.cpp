// The module that holds the bridge to QtGui's image codecs.

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>
#include <QImageWriter>
#include <QList>
#include <QRgba64>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "decode_refusal.h"
#include "png_chunk_scan.h"
#include "raster_image.h"
#include "toolkit_codec.h"

namespace tessarin {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;
// A QRgb in memory is the bytes B, G, R, A on little-endian machines: whole rows can be copied.
constexpr bool kQRgbIsBgra = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
// For the PNG files the toolkit still writes (indexed and 16-bit pictures), on its 0..100
// scale, which maps to zlib level value * 9 / 91: 30 is level 2, which is quick.
constexpr int kPngCompression = 30;

// The picture as ARGB32, transparent exactly where the file's samples equal the key.
// The decoder's own keying is not used: it garbles 16-bit RGB and blanks the keyed grey of
// low-depth files, so the key is stripped before decoding and applied here instead.
QImage WithKeyAlpha(const QImage& decoded, const PngFacts& png) {
  QImage out = decoded.convertToFormat(QImage::Format_ARGB32);
  // Samples of 8 bits or fewer reach us widened to 8 bits (grey 0..2^d-1 scaled to 0..255).
  const int top = (1 << std::min(png.bitDepth, 8)) - 1;
  const auto widen = [top](int v) { return v * 255 / top; };
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      bool keyed = false;
      if (png.bitDepth == 16) {
        const QRgba64 p = decoded.pixelColor(x, y).rgba64();
        keyed = p.red() == png.key[0] &&
                (png.colourType == 0 || (p.green() == png.key[1] && p.blue() == png.key[2]));
      } else {
        const QRgb p = line[x];
        keyed = qRed(p) == widen(png.key[0]) &&
                (png.colourType == 0 ||
                 (qGreen(p) == widen(png.key[1]) && qBlue(p) == widen(png.key[2])));
      }
      line[x] = keyed ? (line[x] & 0x00FFFFFFu) : (line[x] | 0xFF000000u);
    }
  }
  return out;
}

void StoreBgra(std::uint8_t* out, QRgb pixel, std::uint8_t alpha) {
  out[0] = static_cast<std::uint8_t>(qBlue(pixel));
  out[1] = static_cast<std::uint8_t>(qGreen(pixel));
  out[2] = static_cast<std::uint8_t>(qRed(pixel));
  out[3] = alpha;
}

std::vector<std::uint32_t> PaletteOf(const QImage& image) {
  std::vector<std::uint32_t> palette;
  // QRgb packs B | G << 8 | R << 16 | A << 24, the palette's own layout.
  for (const QRgb entry : image.colorTable()) palette.push_back(entry);
  return palette;
}

// Copies a decoded picture into image in its stored format; with keyAlpha, decoded is ARGB32
// whose alpha is the colour key's. A conversion that runs out of memory gives a null picture,
// and leaves image empty.
void Store(QImage decoded, bool keyAlpha, RasterImage& image) {
  if (decoded.isNull()) return;
  const int width = decoded.width();
  const int height = decoded.height();
  const auto w = static_cast<std::size_t>(width);
  switch (decoded.format()) {
    case QImage::Format_MonoLSB:
      decoded = decoded.convertToFormat(QImage::Format_Mono);
      if (decoded.isNull()) return;
      [[fallthrough]];
    case QImage::Format_Mono:
    case QImage::Format_Indexed8: {
      const int bits = decoded.format() == QImage::Format_Mono ? 1 : 8;
      image.Allocate(width, height, bits);
      image.SetPalette(PaletteOf(decoded));
      const std::size_t rowBytes = (w * static_cast<std::size_t>(bits) + 7) / 8;
      for (int y = 0; y < height; ++y)
        std::memcpy(image.Row(y), decoded.constScanLine(y), rowBytes);
      return;
    }
    case QImage::Format_Grayscale8: {
      image.Allocate(width, height, 8);
      std::vector<std::uint32_t> greys(256);
      for (std::uint32_t v = 0; v < 256; ++v) greys[v] = v | v << 8 | v << 16 | 0xFF000000u;
      image.SetPalette(std::move(greys));
      for (int y = 0; y < height; ++y) std::memcpy(image.Row(y), decoded.constScanLine(y), w);
      return;
    }
    case QImage::Format_RGB16: {
      image.Allocate(width, height, 16);
      for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const quint16*>(decoded.constScanLine(y));
        std::uint8_t* out = image.Row(y);
        for (std::size_t x = 0; x < w; ++x) {
          out[2 * x] = static_cast<std::uint8_t>(in[x]);
          out[2 * x + 1] = static_cast<std::uint8_t>(in[x] >> 8);
        }
      }
      return;
    }
    case QImage::Format_RGB32:
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_RGBX8888: {
      const QImage rgb = decoded.convertToFormat(QImage::Format_RGB32);
      if (rgb.isNull()) return;
      image.Allocate(width, height, 24);
      for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        std::uint8_t* out = image.Row(y);
        for (std::size_t x = 0; x < w; ++x) {
          out[3 * x] = static_cast<std::uint8_t>(qBlue(in[x]));
          out[3 * x + 1] = static_cast<std::uint8_t>(qGreen(in[x]));
          out[3 * x + 2] = static_cast<std::uint8_t>(qRed(in[x]));
        }
      }
      return;
    }
    default:
      break;
  }
  // Everything else becomes 32 bits: straight alpha when the picture has an alpha channel (or
  // a colour key), otherwise opaque with the unused fourth byte set to 255.
  const bool alpha = decoded.hasAlphaChannel();
  const QImage argb = decoded.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (argb.isNull()) return;
  image.Allocate(width, height, 32);
  image.SetAlphaFlags(alpha && !keyAlpha, alpha && keyAlpha);
  for (int y = 0; y < height; ++y) {
    if (kQRgbIsBgra) {
      // RGB32 already holds 255 in its fourth byte.
      std::memcpy(image.Row(y), argb.constScanLine(y), 4 * w);
      continue;
    }
    const auto* in = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
    std::uint8_t* out = image.Row(y);
    for (std::size_t x = 0; x < w; ++x) {
      StoreBgra(out + 4 * x, in[x], alpha ? static_cast<std::uint8_t>(qAlpha(in[x])) : 255);
    }
  }
}

Status Decode(const QByteArray& bytes, const PngFacts& png, const QString& name,
              RasterImage& image) {
  QByteArray toDecode = bytes;
  if (png.hasKey) toDecode.remove(png.keyChunkBegin, png.keyChunkEnd - png.keyChunkBegin);

  QBuffer buffer(&toDecode);
  buffer.open(QIODevice::ReadOnly);
  // Naming the format spares Qt from loading every image plugin to ask whether it reads these
  // bytes, which costs more than decoding a sprite sheet.
  QImageReader reader(&buffer, png.isPng ? QByteArrayLiteral("png") : QByteArray());
  reader.setAutoDetectImageFormat(!png.isPng);
  reader.setAutoTransform(false);
  // Decoders may hold 16 bits a channel (8 bytes a pixel) before we narrow to 8, so their own
  // ceiling is twice ours; ours is checked against the declared size before that. Set once:
  // the limit is process-wide, and decoders run on several threads.
  static const bool limitSet = [] {
    QImageReader::setAllocationLimit(static_cast<int>(2 * RasterImage::kMaxPixelBytes / kMiB));
    return true;
  }();
  static_cast<void>(limitSet);
  const QSize declared = reader.size();
  if (declared.isValid() && ExceedsPixelLimit(declared.width(), declared.height())) {
    return Status::Error(SizeRefusal(name, declared.width(), declared.height()));
  }
  QImage decoded = reader.read();
  if (decoded.isNull()) {
    return Status::Error("Cannot decode " + Quoted(name) + ": " +
                         reader.errorString().toStdString());
  }
  // Not every format declares its size up front.
  if (ExceedsPixelLimit(decoded.width(), decoded.height())) {
    return Status::Error(SizeRefusal(name, decoded.width(), decoded.height()));
  }
  // Dropped so that no conversion below can apply it: pixels stay as the file holds them.
  decoded.setColorSpace(QColorSpace());
  if (png.hasKey) {
    Store(WithKeyAlpha(decoded, png), true, image);
  } else {
    Store(decoded, false, image);
  }
  if (image.IsNull()) return Status::OutOfMemory("Cannot load " + Quoted(name) + ": out of memory");
  return Status::Ok();
}

// The picture as an encoder takes it: straight ARGB32 with alpha, otherwise opaque at a depth
// close to its own.
QImage ToQImage(const RasterImage& image) {
  const int width = image.Width();
  const int height = image.Height();
  const auto w = static_cast<std::size_t>(width);
  const int bits = image.BitsPerPixel();
  if (bits == 1 || bits == 8) {
    QImage out(width, height, bits == 1 ? QImage::Format_Mono : QImage::Format_Indexed8);
    if (out.isNull()) return out;
    const std::size_t rowBytes = (w * static_cast<std::size_t>(bits) + 7) / 8;
    std::size_t used = 0;
    for (int y = 0; y < height; ++y) {
      std::memcpy(out.scanLine(y), image.Row(y), rowBytes);
      if (bits == 8) {
        for (std::size_t x = 0; x < w; ++x) used = std::max<std::size_t>(used, image.Row(y)[x]);
      }
    }
    // Opaque, as the picture is without alpha; every index drawn must have an entry.
    QList<QRgb> table;
    for (const std::uint32_t entry : image.Palette()) table.push_back(entry | 0xFF000000u);
    const std::size_t needed = bits == 1 ? 2 : used + 1;
    while (static_cast<std::size_t>(table.size()) < needed) table.push_back(qRgb(0, 0, 0));
    out.setColorTable(table);
    return out;
  }
  const bool alpha = image.HasAlpha();
  if (alpha && kQRgbIsBgra && bits == 32) {
    // Our pixels are already ARGB32 on this byte order; the encoder only reads them, and the
    // image outlives the encoding.
    return QImage(image.Row(0), width, height, static_cast<qsizetype>(image.Stride()),
                  QImage::Format_ARGB32);
  }
  QImage out(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (out.isNull()) return out;
  for (int y = 0; y < height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = image.PixelAt(x, y, BlendRule::Classic);
      line[x] = qRgba(static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF),
                      static_cast<int>(p & 0xFF), alpha ? static_cast<int>(p >> 24) : 255);
    }
  }
  return out;
}

QByteArray FormatForExtension(const QString& extension) {
  if (extension.isEmpty()) return {};
  // The encoders built into QtGui claim their extensions before any plugin. Listing every
  // encoder loads every image plugin, so these are looked up without that.
  static const char* const kBuiltIn[] = {"png", "bmp", "ppm", "pgm", "pbm", "xbm", "xpm"};
  for (const char* format : kBuiltIn) {
    if (extension.compare(QLatin1String(format), Qt::CaseInsensitive) == 0) return format;
  }
  for (const QByteArray& candidate : QImageWriter::supportedImageFormats()) {
    if (extension.compare(QString::fromLatin1(candidate), Qt::CaseInsensitive) == 0) {
      return candidate;
    }
  }
  return {};
}

Status Encode(const RasterImage& image, const QByteArray& format, QByteArray& file) {
  try {
    const QImage picture = ToQImage(image);
    if (picture.isNull()) return Status::OutOfMemory("out of memory");
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (format == "png") {
      writer.setCompression(kPngCompression);
    } else if (format == "webp") {
      // The encoder's top quality is its lossless mode; a sheet must keep its exact pixels.
      writer.setQuality(100);
    }
    if (writer.write(picture)) return Status::Ok();
    return Status::Error(writer.errorString().toStdString());
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory("out of memory");
  }
}

const ToolkitCodec kCodec = {Decode, FormatForExtension, Encode};

}  // namespace
}  // namespace tessarin

extern "C" Q_DECL_EXPORT const tessarin::ToolkitCodec* tessarin_toolkit_codec() {
  return &tessarin::kCodec;
}
