// Reading and writing image files: our own PNG codec for the usual sprite layers and sheets,
// our own BMP writer for pictures with alpha, the toolkit's codecs for everything else, and
// atomic saving.

#include "image_file.h"

#include <QByteArray>
#include <QString>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "atomic_save.h"
#include "bmp_encoder.h"
#include "decode_refusal.h"
#include "png_chunk_scan.h"
#include "png_encoder.h"
#include "png_rgba_decoder.h"
#include "png_stream_check.h"
#include "raster_image.h"
#include "regular_file.h"
#include "shown_name.h"
#include "toolkit_codec.h"
#include "toolkit_messages.h"

namespace tessarin {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

// For messages only: the file is opened by the path's own bytes.
QString ToQString(const std::filesystem::path& path) {
#ifdef _WIN32
  return QString::fromStdWString(path.wstring());
#else
  return QString::fromStdString(ShownPath(path.native()));
#endif
}

Status Decode(const QByteArray& bytes, const QString& name, RasterImage& image, KeptCorner keep) {
  const PngFacts png = ScanPngChunks(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                     static_cast<std::size_t>(bytes.size()));
  // The header is enough to refuse a PNG, whatever the decoder makes of the rest.
  if (png.isPng && ExceedsPixelLimit(png.width, png.height)) {
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
                      static_cast<int>(png.width), static_cast<int>(png.height), image, keep);
    if (reading.outcome == RgbaPngReading::Outcome::Read) return Status::Ok();
    if (reading.outcome == RgbaPngReading::Outcome::Damaged) return damaged(reading.damage);
  }
  // The toolkit's PNG decoder would print its own line before failing on these.
  if (const std::string fault =
          PngStreamFault(reinterpret_cast<const std::uint8_t*>(bytes.constData()), png);
      !fault.empty()) {
    return damaged(fault);
  }
  std::string why;
  const ToolkitCodec* toolkit = LoadedToolkitCodec(why);
  if (toolkit == nullptr) {
    return Status::Error("Cannot decode " + Quoted(name) + ": " + why);
  }
  QuietToolkitImageMessages();
  Status status = toolkit->decode(bytes, png, name, image);
  if (status) image.KeepCorner(keep);
  return status;
}

Status DecodeGuarded(const QByteArray& bytes, const QString& name, RasterImage& image,
                     KeptCorner keep) {
  try {
    return Decode(bytes, name, image, keep);
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory("Cannot load " + Quoted(name) + ": out of memory");
  }
}

}  // namespace

Status DecodeImageBytes(const void* data, std::size_t size, RasterImage& image, KeptCorner keep) {
  image.Destroy();
  const QString name = QStringLiteral("image data in memory");
  if (size > static_cast<std::size_t>(std::numeric_limits<qsizetype>::max())) {
    return Status::Error("Cannot load " + Quoted(name) + ": too many bytes");
  }
  // A view, not a copy: the bytes outlive the decode.
  const QByteArray bytes =
      QByteArray::fromRawData(static_cast<const char*>(data), static_cast<qsizetype>(size));
  Status status = DecodeGuarded(bytes, name, image, keep);
  if (!status) image.Destroy();
  return status;
}

void PrepareCodecsForThreads() {
  // Without an application object, asking for the current thread is what adopts it.
  QThread::currentThread();
}

Status ReadImageFile(const std::filesystem::path& path, RasterImage& image, KeptCorner keep) {
  image.Destroy();
  const QString name = ToQString(path);
  RegularFile file;
  if (const Status opened = file.Open(path); !opened) return opened;
  // No picture we take is stored in more bytes than a decoder may hold for it; a larger file
  // would only be read to be refused.
  constexpr std::uint64_t kMaxFileBytes = 2 * RasterImage::kMaxPixelBytes;
  if (file.Size() > kMaxFileBytes) {
    return Status::Error("Cannot read " + Quoted(name) + ": its " +
                         std::to_string(file.Size() / kMiB) + " MiB are more than the " +
                         std::to_string(kMaxFileBytes / kMiB) + " MiB an image file may take");
  }
  // Whole file first: decoders then never wait on the disk, and a short read is reported as
  // a read error rather than as a broken image.
  QByteArray bytes;
  try {
    bytes.resize(static_cast<qsizetype>(file.Size()));
  } catch (const std::bad_alloc&) {
    return Status::OutOfMemory("Cannot read " + Quoted(name) + ": out of memory");
  }
  std::size_t got = 0;
  if (const Status read = file.Read(bytes.data(), bytes.size(), got); !read) return read;
  bytes.truncate(static_cast<qsizetype>(got));
  Status status = DecodeGuarded(bytes, name, image, keep);
  if (!status) image.Destroy();
  return status;
}

Status WriteImageFile(const RasterImage& image, const std::filesystem::path& path,
                      Durability durability) {
  const QString name = ToQString(path);
  const std::string failure = "Cannot save " + Quoted(name) + ": ";
  if (image.IsNull()) return Status::Error(failure + "the image is empty");

  const QString fileName = ToQString(path.filename());
  const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
  const QString extension = dot < 0 ? QString() : fileName.mid(dot + 1);
  if (extension.isEmpty()) return Status::Error(failure + "the file name has no extension");
  // PNG files of our own pixel formats are written by our encoder, and BMP files with alpha by
  // ours, which keeps it; the rest go through the toolkit's, the whole file made before any of
  // it is written.
  const auto is = [&extension](const char* format) {
    return extension.compare(QLatin1String(format), Qt::CaseInsensitive) == 0;
  };
  const bool ourPng = is("png") && PngEncoderTakes(image);
  const bool ourBmp = is("bmp") && BmpAlphaEncoderTakes(image);
  std::vector<std::uint8_t> encoded;
  QByteArray made;
  std::string_view bytes;
  if (ourPng || ourBmp) {
    try {
      encoded = ourPng ? EncodePng(image) : EncodeBmpWithAlpha(image);
    } catch (const std::bad_alloc&) {
      return Status::OutOfMemory(failure + "out of memory");
    }
    bytes = std::string_view(reinterpret_cast<const char*>(encoded.data()), encoded.size());
  } else {
    std::string why;
    const ToolkitCodec* toolkit = LoadedToolkitCodec(why);
    if (toolkit == nullptr) return Status::Error(failure + why);
    const QByteArray format = toolkit->encoderFormat(extension);
    if (format.isEmpty()) {
      return Status::Error(failure + "no encoder for the extension " + Quoted(extension));
    }
    QuietToolkitImageMessages();
    if (const Status encodedByToolkit = toolkit->encode(image, format, made); !encodedByToolkit) {
      return encodedByToolkit.IsOutOfMemory()
                 ? Status::OutOfMemory(failure + encodedByToolkit.Message())
                 : Status::Error(failure + encodedByToolkit.Message());
    }
    bytes = std::string_view(made.constData(), static_cast<std::size_t>(made.size()));
  }
  const Status saved = SaveBytesAtomically(path, bytes, durability);
  if (!saved) return Status::Error(failure + saved.Message());
  return Status::Ok();
}

}  // namespace tessarin
