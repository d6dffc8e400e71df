#include "png_chunk_scan.h"

#include <libdeflate.h>

#include <algorithm>
#include <cstring>

#include "byte_order.h"
#include "png_encoder.h"

namespace tessarin {
namespace {

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

}  // namespace

PngFacts ScanPngChunks(const std::uint8_t* data, std::size_t size) {
  static constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PngFacts facts;
  if (size >= sizeof kSignature && std::memcmp(data, kSignature, sizeof kSignature) != 0) {
    // Nearly the signature: a PNG that a transfer altered, changing its line ends say.
    int same = 0;
    for (std::size_t i = 0; i < sizeof kSignature; ++i) same += data[i] == kSignature[i] ? 1 : 0;
    if (same >= 5) facts.damage = "its first 8 bytes, the PNG signature, are altered";
    return facts;
  }
  const bool signature =
      size > 0 && std::memcmp(data, kSignature, std::min(size, sizeof kSignature)) == 0;
  if (size < 33) {
    // The signature, or part of it, and not the whole header: decoders give up on these
    // in words of their own.
    if (signature) {
      facts.cutShort = true;
      facts.cutBeforeEnd = true;
      facts.cutChunkAt = size;
    }
    return facts;
  }
  if (std::memcmp(data + 12, "IHDR", 4) != 0) {
    facts.damage = "its first chunk is not its header";
    return facts;
  }
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
  } else if (libdeflate_crc32(0, data + 12, 17) != ReadBig32(data + 29)) {
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
        libdeflate_crc32(0, type, length + 4) != ReadBig32(body + length)) {
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
      if (length + 12 > size - at && libdeflate_crc32(0, type, length + 4) != kEmptyEndChecksum) {
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
        facts.keyChunkBegin = at;
        facts.keyChunkEnd = at + length + 12;
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

}  // namespace tessarin
