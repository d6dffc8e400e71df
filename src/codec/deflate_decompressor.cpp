#include "deflate_decompressor.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "byte_order.h"
#include "deflate_format.h"

namespace tessarin::deflate {
namespace {

// Codes up to this long are found with one lookup; longer ones, rare by construction, bit by bit.
constexpr int kFastBits = 10;

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                         4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                         9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Reads the stream a bit at a time from the low end of each byte, refilled eight bytes at a
// time while they last. Past the end it reads zeros and counts them, so that a stream that
// needed them is found out at the end instead of being checked at every read.
class BitReader {
 public:
  BitReader(const std::uint8_t* in, std::size_t size) : in_(in), size_(size) {}

  // At least 56 bits in the buffer afterwards.
  void Refill() {
    if (pos_ + 8 <= size_) {
      const std::uint64_t word = ReadLittle64(in_ + pos_);
      // The bytes beyond those counted land where the next refill puts them again.
      buffer_ |= word << count_;
      const int taken = (63 - count_) / 8;
      pos_ += static_cast<std::size_t>(taken);
      count_ += 8 * taken;
      return;
    }
    while (count_ <= 56) {
      if (pos_ < size_) {
        buffer_ |= std::uint64_t{in_[pos_++]} << count_;
      } else {
        ++pastEnd_;
      }
      count_ += 8;
    }
  }
  std::uint64_t Peek() const { return buffer_; }
  void Drop(int bits) {
    buffer_ >>= bits;
    count_ -= bits;
  }
  // bits <= 32, with as many in the buffer.
  std::uint32_t Take(int bits) {
    const auto value = static_cast<std::uint32_t>(buffer_ & ((std::uint64_t{1} << bits) - 1));
    Drop(bits);
    return value;
  }
  void AlignToByte() { Drop(count_ % 8); }
  // Whether bits from past the end of the input have been taken.
  bool Overran() const { return pastEnd_ != 0 && Consumed() > size_; }
  int Count() const { return count_; }
  // Whole bytes taken from the stream, counting any zeros read past its end.
  std::size_t Consumed() const { return pos_ + pastEnd_ - static_cast<std::size_t>(count_ / 8); }
  // A stored block's bytes: first those already in the buffer, then straight from the input.
  bool CopyBytes(std::uint8_t* out, std::size_t n) {
    // Whole bytes in the buffer that came from the input; the others are zeros past its end.
    const auto whole = static_cast<std::size_t>(count_ / 8);
    const std::size_t buffered = whole > pastEnd_ ? whole - pastEnd_ : 0;
    if (n > buffered + (size_ - pos_)) return false;
    while (n > 0 && count_ >= 8) {
      *out++ = static_cast<std::uint8_t>(Take(8));
      --n;
    }
    if (n == 0) return true;
    buffer_ = 0;  // the bytes beyond those counted are read again from pos_
    std::memcpy(out, in_ + pos_, n);
    pos_ += n;
    return true;
  }

 private:
  const std::uint8_t* in_;
  std::size_t size_;
  std::size_t pos_ = 0;
  std::size_t pastEnd_ = 0;
  std::uint64_t buffer_ = 0;
  int count_ = 0;
};

enum class CodeKind { Lengths, LiteralsOrDistances };

// A canonical Huffman code (RFC 1951, 3.2.2) as decoding needs it.
class HuffmanCode {
 public:
  // False for a set of lengths zlib refuses: over-subscribed, or incomplete other than a
  // single code of one bit (and never incomplete for the code-length code).
  bool Build(const std::uint8_t* lengths, int n, CodeKind kind) {
    count_.fill(0);
    fast_.fill(0);
    for (int s = 0; s < n; ++s) ++count_[lengths[s]];
    count_[0] = 0;
    int longest = 0;
    for (int bits = 1; bits <= kMaxCodeBits; ++bits) {
      if (count_[bits] != 0) longest = bits;
    }
    if (longest == 0) return kind == CodeKind::LiteralsOrDistances;  // decodes nothing
    int left = 1;
    for (int bits = 1; bits <= kMaxCodeBits; ++bits) {
      left = (left << 1) - count_[bits];
      if (left < 0) return false;
    }
    if (left > 0 && (kind == CodeKind::Lengths || longest != 1)) return false;

    // Symbols in code order, for codes too long for the table.
    std::array<int, kMaxCodeBits + 2> offset{};
    for (int bits = 1; bits <= kMaxCodeBits; ++bits) offset[bits + 1] = offset[bits] + count_[bits];
    std::array<std::uint16_t, 288> codes{};
    ReversedCanonicalCodes(lengths, n, codes.data());
    for (int s = 0; s < n; ++s) {
      const int bits = lengths[s];
      if (bits == 0) continue;
      symbols_[static_cast<std::size_t>(offset[bits]++)] = static_cast<std::uint16_t>(s);
      if (bits > kFastBits) continue;
      for (int fill = codes[static_cast<std::size_t>(s)]; fill < (1 << kFastBits);
           fill += 1 << bits) {
        fast_[static_cast<std::size_t>(fill)] = static_cast<std::uint16_t>(s << 4 | bits);
      }
    }
    return true;
  }

  // The next symbol, or -1 for a code that has no symbol. Needs 15 bits in the reader.
  int Decode(BitReader& bits) const {
    const std::uint16_t entry = fast_[bits.Peek() & ((1u << kFastBits) - 1)];
    if (entry != 0) {
      bits.Drop(entry & 15);
      return entry >> 4;
    }
    // Longer codes, a bit at a time: codes of each length are consecutive numbers.
    const std::uint64_t peeked = bits.Peek();
    int code = 0;
    int first = 0;
    int index = 0;
    for (int length = 1; length <= kMaxCodeBits; ++length) {
      code |= static_cast<int>(peeked >> (length - 1) & 1);
      const int count = count_[static_cast<std::size_t>(length)];
      if (code - first < count) {
        bits.Drop(length);
        return symbols_[static_cast<std::size_t>(index + code - first)];
      }
      index += count;
      first = (first + count) << 1;
      code <<= 1;
    }
    return -1;
  }

 private:
  std::array<std::uint16_t, kMaxCodeBits + 1> count_{};
  std::array<std::uint16_t, 1 << kFastBits> fast_{};
  std::array<std::uint16_t, 288> symbols_{};
};

// Reads a dynamic block's two codes (RFC 1951, 3.2.7).
bool ReadDynamicCodes(BitReader& bits, HuffmanCode& literals, HuffmanCode& distances) {
  bits.Refill();
  const int literalCount = static_cast<int>(bits.Take(5)) + 257;
  const int distanceCount = static_cast<int>(bits.Take(5)) + 1;
  const int lengthCodeCount = static_cast<int>(bits.Take(4)) + 4;
  if (literalCount > 286 || distanceCount > 30) return false;
  std::array<std::uint8_t, 19> lengthLengths{};
  for (int i = 0; i < lengthCodeCount; ++i) {
    bits.Refill();
    lengthLengths[static_cast<std::size_t>(kLengthCodeOrder[static_cast<std::size_t>(i)])] =
        static_cast<std::uint8_t>(bits.Take(3));
  }
  HuffmanCode lengthCode;
  if (!lengthCode.Build(lengthLengths.data(), 19, CodeKind::Lengths)) return false;

  std::array<std::uint8_t, 286 + 30> lengths{};
  const int total = literalCount + distanceCount;
  for (int i = 0; i < total;) {
    bits.Refill();
    const int symbol = lengthCode.Decode(bits);
    if (symbol < 0) return false;
    if (symbol < 16) {
      lengths[static_cast<std::size_t>(i++)] = static_cast<std::uint8_t>(symbol);
      continue;
    }
    int repeat = 0;
    std::uint8_t value = 0;
    if (symbol == 16) {
      if (i == 0) return false;
      value = lengths[static_cast<std::size_t>(i - 1)];
      repeat = 3 + static_cast<int>(bits.Take(2));
    } else if (symbol == 17) {
      repeat = 3 + static_cast<int>(bits.Take(3));
    } else {
      repeat = 11 + static_cast<int>(bits.Take(7));
    }
    if (repeat > total - i) return false;
    std::fill_n(lengths.begin() + i, repeat, value);
    i += repeat;
  }
  if (lengths[256] == 0) return false;  // no end of block
  return literals.Build(lengths.data(), literalCount, CodeKind::LiteralsOrDistances) &&
         distances.Build(lengths.data() + literalCount, distanceCount,
                         CodeKind::LiteralsOrDistances);
}

void BuildFixedCodes(HuffmanCode& literals, HuffmanCode& distances) {
  std::array<std::uint8_t, 288> lengths{};
  std::fill_n(lengths.begin(), 144, 8);
  std::fill_n(lengths.begin() + 144, 112, 9);
  std::fill_n(lengths.begin() + 256, 24, 7);
  std::fill_n(lengths.begin() + 280, 8, 8);
  literals.Build(lengths.data(), 288, CodeKind::LiteralsOrDistances);
  lengths.fill(5);
  distances.Build(lengths.data(), 30, CodeKind::LiteralsOrDistances);
}

// The symbols of one block into out, from at; false for anything malformed, and for more bytes
// than fit, of which those that fit are written.
bool InflateBlock(BitReader& bits, const HuffmanCode& literals, const HuffmanCode& distances,
                  std::uint8_t* out, std::size_t outSize, std::size_t& at) {
  for (;;) {
    // Enough for a length and a distance with their extra bits: 15 + 5 + 15 + 13.
    if (bits.Count() < 48) bits.Refill();
    const int symbol = literals.Decode(bits);
    if (bits.Overran()) return false;  // the data ends inside this symbol
    if (symbol < 256) {
      if (symbol < 0 || at == outSize) return false;
      out[at++] = static_cast<std::uint8_t>(symbol);
      continue;
    }
    if (symbol == 256) return true;
    const auto lengthIndex = static_cast<std::size_t>(symbol - 257);
    if (lengthIndex >= kLengthBase.size()) return false;
    std::size_t length = kLengthBase[lengthIndex] + bits.Take(kLengthExtra[lengthIndex]);
    const int distanceSymbol = distances.Decode(bits);
    if (distanceSymbol < 0 || distanceSymbol >= 30) return false;
    const auto distanceIndex = static_cast<std::size_t>(distanceSymbol);
    const std::size_t distance =
        kDistanceBase[distanceIndex] + bits.Take(kDistanceExtra[distanceIndex]);
    if (distance > at || bits.Overran()) return false;
    const bool fits = length <= outSize - at;
    if (!fits) length = outSize - at;
    std::uint8_t* to = out + at;
    const std::uint8_t* from = to - distance;
    at += length;
    if (distance >= length) {
      std::memcpy(to, from, length);
    } else if (distance == 1) {
      std::memset(to, *from, length);
    } else {
      // Overlapping: the bytes repeat with the distance as their period.
      for (std::size_t i = 0; i < length; ++i) to[i] = from[i];
    }
    if (!fits) return false;
  }
}

}  // namespace

InflateResult Inflate(const std::uint8_t* in, std::size_t inSize, std::uint8_t* out,
                      std::size_t outSize) {
  BitReader bits(in, inSize);
  InflateResult result;
  std::size_t& at = result.produced;
  HuffmanCode literals;
  HuffmanCode distances;
  bool final = false;
  while (!final) {
    bits.Refill();
    final = bits.Take(1) == 1;
    const std::uint32_t type = bits.Take(2);
    if (type == 0) {
      bits.AlignToByte();
      const std::uint32_t length = bits.Take(16);
      const std::uint32_t complement = bits.Take(16);
      if ((length ^ 0xFFFF) != complement) return result;
      const std::size_t fitting = std::min<std::size_t>(length, outSize - at);
      if (!bits.CopyBytes(out + at, fitting)) return result;
      at += fitting;
      if (fitting < length) return result;
      continue;
    }
    if (type == 1) {
      BuildFixedCodes(literals, distances);
    } else if (type != 2 || !ReadDynamicCodes(bits, literals, distances)) {
      return result;
    }
    if (!InflateBlock(bits, literals, distances, out, outSize, at)) return result;
  }
  bits.AlignToByte();
  // Zeros read past the end of the input stand in for bytes that are missing.
  if (bits.Consumed() <= inSize) result.consumed = bits.Consumed();
  return result;
}

}  // namespace tessarin::deflate
