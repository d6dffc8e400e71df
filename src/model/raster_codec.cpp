// The codec side of RasterImage: decoding into the stored formats and encoding by extension.
// The only place that touches QtGui, so the rest of the model stays plain C++.

#include <QBuffer>
#include <QByteArray>
#include <QColorSpace>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QList>
#include <QRgba64>
#include <QString>
#include <QThread>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "byte_order.h"
#include "crc32.h"
#include "png_encoder.h"
#include "png_rgba_decoder.h"
#include "raster_image.h"

namespace tessarin {

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;
// A QRgb in memory is the bytes B, G, R, A on little-endian machines: whole rows can be copied.
constexpr bool kQRgbIsBgra = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
// For the PNG files the toolkit still writes (indexed and 16-bit pictures), on its 0..100
// scale, which maps to zlib level value * 9 / 91: 30 is level 2, which is quick.
constexpr int kPngCompression = 30;

QString ToQString(const std::filesystem::path& path) {
  return QString::fromStdU16String(path.u16string());
}

std::string Quoted(const QString& text) {
  return "\"" + text.toStdString() + "\"";
}

bool TooLarge(std::int64_t width, std::int64_t height) {
  return static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4 >
         RasterImage::kMaxPixelBytes;
}

std::string SizeRefusal(const QString& name, std::int64_t width, std::int64_t height) {
  return "Cannot load " + Quoted(name) + ": " + std::to_string(width) + " x " +
         std::to_string(height) + " pixels is more than the " +
         std::to_string(RasterImage::kMaxPixelBytes / kMiB) + " MiB an image may take";
}

// A PNG's header facts and its tRNS colour key, read straight from the chunks before the
// first IDAT, for what the decoder is not relied upon for.
struct PngFacts {
  bool isPng = false;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  int bitDepth = 0;
  int colourType = -1;
  // A colour key (grey, or R, G, B) is kept only for grey and RGB files.
  bool hasKey = false;
  std::array<std::uint16_t, 3> key{};
  qsizetype keyChunkBegin = 0;
  qsizetype keyChunkEnd = 0;
  // A chunk before IEND that runs past the end of the bytes: where it starts and its length.
  bool cutShort = false;
  std::size_t cutChunkAt = 0;
  std::size_t cutChunkLength = 0;
  // Cut where a chunk should start (the IEND at the latest) rather than inside one.
  bool cutBeforeEnd = false;
  // What the decoder would refuse the file for, as a clause; "" when nothing is found. Told
  // here so that the user reads one clear line, and not also the decoder's own.
  std::string damage;
  bool interlaced = false;
  // At most one PLTE, and none after the image data: decoders differ over anything else.
  bool plainChunks = true;
  // Where the IDAT chunks' data lies.
  std::vector<ByteSpan> imageData;
};

// What is wrong with the header's numbers, as decoders read them; "" when nothing is.
std::string HeaderFault(const unsigned char* header) {
  constexpr auto kMaxSide = static_cast<std::uint32_t>(kMaxPngSide);
  const std::uint32_t width = ReadBig32(header);
  const std::uint32_t height = ReadBig32(header + 4);
  const int depth = header[8];
  const int colourType = header[9];
  if (width == 0 || height == 0) return "it declares no pixels";
  if (width > kMaxSide || height > kMaxSide) {
    return "its sides of " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels are more than decoders read (" + std::to_string(kMaxSide) + ")";
  }
  bool depthAllowed = false;
  switch (colourType) {
    case 0:  // grey
      depthAllowed = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
      break;
    case 3:  // palette
      depthAllowed = depth == 1 || depth == 2 || depth == 4 || depth == 8;
      break;
    case 2:  // RGB
    case 4:  // grey and alpha
    case 6:  // RGBA
      depthAllowed = depth == 8 || depth == 16;
      break;
    default:
      return "its header names colour type " + std::to_string(colourType) +
             ", which does not exist";
  }
  if (!depthAllowed) {
    return "its header names " + std::to_string(depth) + " bits a sample, which colour type " +
           std::to_string(colourType) + " does not allow";
  }
  if (header[10] != 0 || header[11] != 0 || header[12] > 1) {
    return "its header names a compression, filter or interlace method that does not exist";
  }
  return {};
}

PngFacts ReadPngFacts(const QByteArray& bytes) {
  static constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PngFacts facts;
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
  const auto size = static_cast<std::size_t>(bytes.size());
  if (size >= sizeof kSignature && std::memcmp(data, kSignature, sizeof kSignature) != 0) {
    // Nearly the signature: a PNG that a transfer altered, changing its line ends say.
    int same = 0;
    for (std::size_t i = 0; i < sizeof kSignature; ++i) same += data[i] == kSignature[i] ? 1 : 0;
    if (same >= 5) facts.damage = "its first 8 bytes, the PNG signature, are altered";
    return facts;
  }
  if (size < 33) return facts;
  if (std::memcmp(data + 12, "IHDR", 4) != 0) return facts;
  facts.isPng = true;
  facts.width = ReadBig32(data + 16);
  facts.height = ReadBig32(data + 20);
  facts.bitDepth = data[24];
  facts.colourType = data[25];
  facts.interlaced = data[28] != 0;
  const auto noteDamage = [&facts](std::string clause) {
    if (facts.damage.empty()) facts.damage = std::move(clause);
  };
  if (ReadBig32(data + 8) != 13) {
    noteDamage("its header chunk holds " + std::to_string(ReadBig32(data + 8)) + " bytes, not 13");
  } else if (Crc32(data + 12, 17) != ReadBig32(data + 29)) {
    noteDamage("its header chunk fails its checksum");
  } else {
    noteDamage(HeaderFault(data + 16));
  }
  // Only the first tRNS before the image data counts, and only for grey and RGB.
  bool keyLooked = facts.colourType != 0 && facts.colourType != 2;
  bool sawImageData = false;
  bool sawPalette = false;
  std::size_t at = 33;
  for (; at + 8 <= size;) {
    const std::size_t length = ReadBig32(data + at);
    const unsigned char* type = data + at + 4;
    const unsigned char* body = data + at + 8;
    // A missing checksum alone is let through: the decoder accepts a final IEND without one.
    if (length > size - at - 8) {
      // The decoder would allocate and clear the declared length, up to 2 GiB, before
      // finding the bytes missing.
      facts.cutShort = true;
      facts.cutChunkAt = at;
      facts.cutChunkLength = length;
      break;
    }
    const std::string name(reinterpret_cast<const char*>(type), 4);
    const auto isLetter = [](unsigned char c) {
      return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    };
    if (!std::all_of(type, type + 4, isLetter)) {
      noteDamage("the chunk at byte " + std::to_string(at) + " has no valid type");
    }
    // The decoder skips an ancillary chunk (lower-case first letter) that fails its checksum,
    // and refuses the file for a critical one.
    const bool critical = (type[0] & 0x20) == 0;
    if (critical && length + 12 <= size - at &&
        Crc32(type, length + 4) != ReadBig32(body + length)) {
      noteDamage("its " + name + " chunk at byte " + std::to_string(at) + " fails its checksum");
    }
    if (name == "IHDR") noteDamage("it has a second header chunk, at byte " + std::to_string(at));
    if (critical && name != "IHDR" && name != "PLTE" && name != "IDAT" && name != "IEND") {
      noteDamage("its chunk at byte " + std::to_string(at) + ", " + name +
                 ", is one decoders must understand, and none does");
    }
    if (name == "PLTE") {
      if (sawPalette || sawImageData) facts.plainChunks = false;
      sawPalette = true;
    }
    if (name == "IEND") {
      if (!sawImageData) noteDamage("it ends before any image data");
      // Without its checksum, the decoder checks the chunk against an empty IEND's checksum.
      constexpr std::uint32_t kEmptyEndChecksum = 0xAE426082;
      if (length + 12 > size - at && Crc32(type, length + 4) != kEmptyEndChecksum) {
        noteDamage("its IEND chunk at byte " + std::to_string(at) +
                   " holds data but lacks its checksum");
      }
      return facts;
    }
    if (name == "IDAT") {
      keyLooked = true;
      sawImageData = true;
      facts.imageData.push_back({at + 8, length});
    }
    if (!keyLooked && name == "tRNS") {
      keyLooked = true;
      const std::size_t samples = facts.colourType == 0 ? 1 : 3;
      if (length >= 2 * samples && length + 12 <= size - at) {
        facts.hasKey = true;
        for (std::size_t i = 0; i < samples; ++i) {
          facts.key[i] = static_cast<std::uint16_t>(body[2 * i] << 8 | body[2 * i + 1]);
        }
        facts.keyChunkBegin = static_cast<qsizetype>(at);
        facts.keyChunkEnd = static_cast<qsizetype>(at + length + 12);
      }
    }
    at += length + 12;
  }
  // No IEND: the bytes end inside a chunk's length and type, or between chunks.
  if (!facts.cutShort) {
    facts.cutShort = true;
    facts.cutBeforeEnd = true;
    facts.cutChunkAt = std::min(at, size);
  }
  return facts;
}

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
// whose alpha is the colour key's.
void Store(QImage decoded, bool keyAlpha, RasterImage& image) {
  const int width = decoded.width();
  const int height = decoded.height();
  const auto w = static_cast<std::size_t>(width);
  switch (decoded.format()) {
    case QImage::Format_MonoLSB:
      decoded = decoded.convertToFormat(QImage::Format_Mono);
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

Status Decode(const QByteArray& bytes, const QString& name, RasterImage& image) {
  const PngFacts png = ReadPngFacts(bytes);
  // The header is enough to refuse a PNG, whatever the decoder makes of the rest.
  if (png.isPng && TooLarge(png.width, png.height)) {
    return Status::Error(SizeRefusal(name, png.width, png.height));
  }
  // Such a file never decodes; refusing it here spares the decoder's allocation.
  if (png.cutShort) {
    const std::string where = "the PNG is cut short: ";
    const std::string at = std::to_string(png.cutChunkAt);
    return Status::Error(
        "Cannot decode " + Quoted(name) + ": " + where +
        (png.cutBeforeEnd
             ? "it ends at byte " + at + ", before its end chunk"
             : "its chunk at byte " + at + " declares " + std::to_string(png.cutChunkLength) +
                   " bytes, and only " +
                   std::to_string(static_cast<std::size_t>(bytes.size()) - png.cutChunkAt - 8) +
                   " follow"));
  }
  const auto damaged = [&name](const std::string& clause) {
    return Status::Error("Cannot decode " + Quoted(name) + ": the PNG is damaged: " + clause);
  };
  if (!png.damage.empty()) return damaged(png.damage);
  // The usual sprite layer is read by our own decoder, straight into our buffer; other files,
  // and any it hands on, by the toolkit's.
  if (png.isPng && !png.interlaced && png.plainChunks && png.colourType == 6 && png.bitDepth == 8) {
    const RgbaPngReading reading =
        DecodeRgbaPng(reinterpret_cast<const std::uint8_t*>(bytes.constData()), png.imageData,
                      static_cast<int>(png.width), static_cast<int>(png.height), image);
    if (reading.outcome == RgbaPngReading::Outcome::Read) return Status::Ok();
    if (reading.outcome == RgbaPngReading::Outcome::Damaged) return damaged(reading.damage);
  }
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
  if (declared.isValid() && TooLarge(declared.width(), declared.height())) {
    return Status::Error(SizeRefusal(name, declared.width(), declared.height()));
  }
  QImage decoded = reader.read();
  if (decoded.isNull()) {
    return Status::Error("Cannot decode " + Quoted(name) + ": " +
                         reader.errorString().toStdString());
  }
  // Not every format declares its size up front.
  if (TooLarge(decoded.width(), decoded.height())) {
    return Status::Error(SizeRefusal(name, decoded.width(), decoded.height()));
  }
  // Dropped so that no conversion below can apply it: pixels stay as the file holds them.
  decoded.setColorSpace(QColorSpace());
  if (png.hasKey) {
    Store(WithKeyAlpha(decoded, png), true, image);
  } else {
    Store(decoded, false, image);
  }
  if (image.IsNull()) return Status::Error("Cannot load " + Quoted(name) + ": out of memory");
  return Status::Ok();
}

Status DecodeGuarded(const QByteArray& bytes, const QString& name, RasterImage& image) {
  try {
    return Decode(bytes, name, image);
  } catch (const std::bad_alloc&) {
    return Status::Error("Cannot load " + Quoted(name) + ": out of memory");
  }
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

// The encoders built into QtGui, which claim their extensions before any plugin. Listing
// every encoder loads every image plugin, so these are looked up without that.
QByteArray BuiltInEncoder(const QString& extension) {
  static const char* const kBuiltIn[] = {"png", "bmp", "ppm", "pgm", "pbm", "xbm", "xpm"};
  for (const char* format : kBuiltIn) {
    if (extension.compare(QLatin1String(format), Qt::CaseInsensitive) == 0) return format;
  }
  return {};
}

// Writes the bytes our encoder made or, without them, the toolkit's encoding of picture.
bool WriteEncoded(QFile& file, const QByteArray& format, const QImage& picture,
                  const std::vector<std::uint8_t>& ours, QString& encoderError) {
  if (picture.isNull()) {
    const auto size = static_cast<qint64>(ours.size());
    return file.write(reinterpret_cast<const char*>(ours.data()), size) == size;
  }
  QImageWriter writer(&file, format);
  if (format == "png") {
    writer.setCompression(kPngCompression);
  } else if (format == "webp") {
    // The encoder's top quality is its lossless mode; a sheet must keep its exact pixels.
    writer.setQuality(100);
  }
  if (writer.write(picture)) return true;
  encoderError = writer.errorString();
  return false;
}

// Opens, empty, the file a save writes before renaming it over the target. Two saves of one
// target must not write it at once, so each holds a lock on it from opening to renaming; a
// save that waited for the lock makes sure the name still leads to the file it locked, which
// the other save may have renamed meanwhile.
Status OpenPartialFile(QFile& file, const QString& name) {
#ifdef _WIN32
  file.setFileName(name);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    return Status::Error(file.errorString().toStdString());
  }
  return Status::Ok();
#else
  const QByteArray local = QFile::encodeName(name);
  for (;;) {
    const int fd = ::open(local.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return Status::Error(std::strerror(errno));
    struct stat locked {};
    struct stat named {};
    int failure = 0;
    if (flock(fd, LOCK_EX) != 0 || fstat(fd, &locked) != 0) failure = errno;
    if (failure == 0 && ::stat(local.constData(), &named) == 0 && named.st_dev == locked.st_dev &&
        named.st_ino == locked.st_ino) {
      if (ftruncate(fd, 0) != 0) failure = errno;
      if (failure == 0 && file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        return Status::Ok();
      }
      if (failure == 0) failure = EIO;
    }
    ::close(fd);
    if (failure != 0) return Status::Error(std::strerror(failure));
  }
#endif
}

}  // namespace

Status RasterImage::LoadFromMemory(const void* data, std::size_t size) {
  Destroy();
  const QString name = QStringLiteral("image data in memory");
  if (size > static_cast<std::size_t>(std::numeric_limits<qsizetype>::max())) {
    return Status::Error("Cannot load " + Quoted(name) + ": too many bytes");
  }
  // A view, not a copy: the bytes outlive the decode.
  const QByteArray bytes =
      QByteArray::fromRawData(static_cast<const char*>(data), static_cast<qsizetype>(size));
  Status status = DecodeGuarded(bytes, name, *this);
  if (!status) Destroy();
  return status;
}

void RasterImage::PrepareCodecsForThreads() {
  // Without an application object, asking for the current thread is what adopts it.
  QThread::currentThread();
}

Status RasterImage::Load(const std::filesystem::path& path) {
  Destroy();
  const QString name = ToQString(path);
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) {
    return Status::Error("Cannot read " + Quoted(name) + ": " + file.errorString().toStdString());
  }
  // Whole file first: decoders then never wait on the disk, and a short read is reported as
  // a read error rather than as a broken image.
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) {
    return Status::Error("Cannot read " + Quoted(name) + ": " + file.errorString().toStdString());
  }
  Status status = DecodeGuarded(bytes, name, *this);
  if (!status) Destroy();
  return status;
}

Status RasterImage::Save(const std::filesystem::path& path) const {
  const QString name = ToQString(path);
  const std::string failure = "Cannot save " + Quoted(name) + ": ";
  if (IsNull()) return Status::Error(failure + "the image is empty");

  const QString fileName = ToQString(path.filename());
  const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
  const QString extension = dot < 0 ? QString() : fileName.mid(dot + 1);
  QByteArray format = BuiltInEncoder(extension);
  if (format.isEmpty() && !extension.isEmpty()) {
    for (const QByteArray& candidate : QImageWriter::supportedImageFormats()) {
      if (extension.compare(QString::fromLatin1(candidate), Qt::CaseInsensitive) == 0) {
        format = candidate;
        break;
      }
    }
  }
  if (format.isEmpty()) {
    return Status::Error(failure + (extension.isEmpty()
                                        ? std::string("the file name has no extension")
                                        : "no encoder for the extension " + Quoted(extension)));
  }

  // PNG files of our own pixel formats are written by our encoder, which uses every core;
  // the rest go through the toolkit's.
  std::vector<std::uint8_t> png;
  QImage picture;
  if (format == "png" && PngEncoderTakes(*this)) {
    try {
      png = EncodePng(*this);
    } catch (const std::bad_alloc&) {
      return Status::Error(failure + "out of memory");
    }
  } else {
    picture = ToQImage(*this);
    if (picture.isNull()) return Status::Error(failure + "out of memory");
  }

  // A link is followed: the file it points to is the one replaced.
  QFileInfo target(name);
  for (int depth = 0; depth < 32 && target.isSymLink(); ++depth) {
    target.setFile(target.symLinkTarget());
  }
  if (target.exists() && !target.isWritable()) {
    return Status::Error(failure + "the existing file is not writable");
  }
  // Written beside the target and renamed over it only once complete, so a failure leaves any
  // existing file as it was. The name is fixed rather than random so that the file a save
  // killed midway leaves is written over by the next save of the same target.
  const QString partialName = target.filePath() + QStringLiteral(".tessarin-partial");
  QFile file;
  if (const Status opened = OpenPartialFile(file, partialName); !opened) {
    return Status::Error(failure + opened.Message());
  }
  QString encoderError;
  const bool encoded = WriteEncoded(file, format, picture, png, encoderError);
  // Flushed apart from closing, so that a failed write of the last bytes (a full disk) is seen;
  // after a failed write it also brings out the system's reason, which the encoder leaves unknown.
  const bool written = file.flush() && encoded;
  const QString reason = file.error() != QFileDevice::NoError ? file.errorString() : encoderError;
  if (written) {
    // On disk before the rename makes it the target.
#ifdef _WIN32
    _commit(file.handle());
#else
    fdatasync(file.handle());
#endif
  }
  // Removed or renamed before closing, which would let a waiting save of the same target at
  // the file. Windows renames and removes only closed files, and has no such wait.
#ifdef _WIN32
  file.close();
#endif
  if (!written) {
    QFile::remove(partialName);
    file.close();
    return Status::Error(failure + reason.toStdString());
  }
  if (target.exists()) QFile::setPermissions(partialName, target.permissions());
  std::error_code error;
  std::filesystem::rename(std::filesystem::path(partialName.toStdU16String()),
                          std::filesystem::path(target.filePath().toStdU16String()), error);
  if (error) QFile::remove(partialName);
  file.close();
  if (error) return Status::Error(failure + error.message());
  return Status::Ok();
}

}  // namespace tessarin
