// Bytes in, compressed in parts (the first byte says how many) and joined into one zlib
// stream; zlib must inflate it, checksum and all, to exactly the bytes.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <QByteArray>
#include <QtGlobal>

#include "deflate_compressor.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // qUncompress reports a bad stream as a warning; the comparison below catches it anyway.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t parts = 1 + data[0] % 8;
  const std::uint8_t* bytes = data + 1;
  const std::size_t length = size - 1;

  // qUncompress wants the inflated length first, most significant byte first.
  std::vector<std::uint8_t> stream;
  for (int shift = 24; shift >= 0; shift -= 8)
    stream.push_back(static_cast<std::uint8_t>(length >> shift));
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
  if (adler != tessarin::deflate::Adler32(bytes, length)) {
    std::fprintf(stderr, "deflate invariant broken: joined checksums differ from the whole's\n");
    std::abort();
  }
  for (int shift = 24; shift >= 0; shift -= 8)
    stream.push_back(static_cast<std::uint8_t>(adler >> shift));

  const QByteArray inflated = qUncompress(reinterpret_cast<const uchar*>(stream.data()),
                                          static_cast<qsizetype>(stream.size()));
  if (static_cast<std::size_t>(inflated.size()) != length ||
      (length > 0 && std::memcmp(inflated.constData(), bytes, length) != 0)) {
    std::fprintf(stderr, "deflate invariant broken: zlib does not inflate the bytes back\n");
    std::abort();
  }
  return 0;
}
