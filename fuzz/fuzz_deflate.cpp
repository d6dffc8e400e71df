// Bytes in, compressed in parts (the first byte says how many) and joined into one zlib
// stream; zlib and our decompressor must both inflate it to exactly the bytes. The same bytes,
// read as a deflate stream by our decompressor, either fail or give what zlib gives.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <QByteArray>
#include <QtGlobal>

#include "adler32.h"
#include "byte_order.h"
#include "deflate_compressor.h"
#include "deflate_decompressor.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // qUncompress reports a bad stream as a warning; the comparison below catches it anyway.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  return 0;
}

namespace {

void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "deflate invariant broken: %s\n", what);
  std::abort();
}

// zlib's reading of a raw deflate stream, given the length and checksum it should have.
QByteArray ZlibInflated(const std::uint8_t* raw, std::size_t size, std::size_t length,
                        std::uint32_t adler) {
  std::vector<std::uint8_t> stream;
  tessarin::AppendBig32(stream, static_cast<std::uint32_t>(length));
  stream.push_back(0x78);
  stream.push_back(0x01);
  stream.insert(stream.end(), raw, raw + size);
  tessarin::AppendBig32(stream, adler);
  return qUncompress(reinterpret_cast<const uchar*>(stream.data()),
                     static_cast<qsizetype>(stream.size()));
}

// The bytes after the first two, read as a stream that inflates to as many bytes as those two
// say.
void DecompressAsStream(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return;
  const std::size_t length = std::size_t{data[0]} << 8 | data[1];
  std::vector<std::uint8_t> out(length + 1);
  const tessarin::deflate::InflateResult result =
      tessarin::deflate::Inflate(data + 2, size - 2, out.data(), length);
  Require(result.produced <= length, "no more output than room");
  if (!result.Exact(length)) return;
  Require(*result.consumed <= size - 2, "no more input taken than given");
  const QByteArray zlib = ZlibInflated(data + 2, *result.consumed, length,
                                       tessarin::deflate::Adler32(out.data(), length));
  Require(static_cast<std::size_t>(zlib.size()) == length &&
              (length == 0 || std::memcmp(zlib.constData(), out.data(), length) == 0),
          "zlib reads a stream we read alike");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  DecompressAsStream(data, size);
  const std::size_t parts = 1 + data[0] % 8;
  const std::uint8_t* bytes = data + 1;
  const std::size_t length = size - 1;

  // qUncompress wants the inflated length first, most significant byte first.
  std::vector<std::uint8_t> stream;
  tessarin::AppendBig32(stream, static_cast<std::uint32_t>(length));
  stream.push_back(0x78);
  stream.push_back(0x01);
  std::uint32_t adler = 1;
  for (std::size_t part = 0; part < parts; ++part) {
    const std::size_t begin = length * part / parts;
    const std::size_t end = length * (part + 1) / parts;
    tessarin::deflate::CompressPart(bytes, begin, end, part + 1 == parts, stream);
    adler = tessarin::deflate::Adler32Joined(
        adler, tessarin::deflate::Adler32(bytes + begin, end - begin), end - begin);
  }
  Require(adler == tessarin::deflate::Adler32(bytes, length), "joined checksums equal the whole's");
  tessarin::AppendBig32(stream, adler);

  const QByteArray inflated = qUncompress(reinterpret_cast<const uchar*>(stream.data()),
                                          static_cast<qsizetype>(stream.size()));
  Require(static_cast<std::size_t>(inflated.size()) == length &&
              (length == 0 || std::memcmp(inflated.constData(), bytes, length) == 0),
          "zlib inflates our stream to the bytes");
  // Ours too, from after the length and header to before the checksum.
  std::vector<std::uint8_t> back(length + 1);
  const tessarin::deflate::InflateResult ours =
      tessarin::deflate::Inflate(stream.data() + 6, stream.size() - 10, back.data(), length);
  Require(ours.Exact(length) && *ours.consumed == stream.size() - 10 &&
              (length == 0 || std::memcmp(back.data(), bytes, length) == 0),
          "we inflate our stream to the bytes");
  return 0;
}
