#include "deflate_compressor.h"

#include <algorithm>
#include <array>

#include "byte_order.h"
#include "deflate_format.h"

namespace tessarin::deflate {
namespace {

constexpr std::size_t kWindow = 32768;
constexpr int kMinMatch = 4;  // what one hash of four bytes finds
constexpr int kMaxMatch = 258;
// Greedy matching over a short hash chain: on filtered image rows, longer searches and lazy
// matching buy a few per cent of size for several times the time.
constexpr int kMaxChain = 8;
constexpr int kNiceMatch = 128;
// Positions inside a longer match are not indexed: the runs of a transparent area would
// otherwise cost one hash insertion per byte.
constexpr int kMaxInsert = 8;
constexpr int kMaxHashBits = 15;
// Symbols per block: each block gets its own code, fitted to its stretch of the picture.
constexpr std::size_t kBlockSymbols = 16384;

constexpr int kLiteralCodes = 286;
constexpr int kDistanceCodes = 30;
constexpr int kEndOfBlock = 256;
constexpr int kMaxLengthCodeBits = 7;

std::uint32_t Hash(std::uint32_t four, int bits) {
  return (four * 2654435761u) >> (32 - bits);
}

// The number of the highest bit set in v, which is not 0.
int HighestBit(std::uint64_t v) {
#if defined(__GNUC__)
  return 63 - __builtin_clzll(v);
#else
  int bit = 0;
  while (v >>= 1) ++bit;
  return bit;
#endif
}

// The number of the lowest bit set in v, which is not 0.
int LowestBit(std::uint64_t v) {
#if defined(__GNUC__)
  return __builtin_ctzll(v);
#else
  return HighestBit(v & (~v + 1));
#endif
}

// How many bytes at a and b agree, up to limit.
int MatchLength(const std::uint8_t* a, const std::uint8_t* b, int limit) {
  int n = 0;
  // Eight at a time, read first byte lowest: the first byte that differs is the lowest.
  while (n + 8 <= limit) {
    const std::uint64_t diff = ReadLittle64(a + n) ^ ReadLittle64(b + n);
    if (diff != 0) return n + LowestBit(diff) / 8;
    n += 8;
  }
  while (n < limit && a[n] == b[n]) ++n;
  return n;
}

// Length 3..258 and distance 1..32768 to their codes and extra bits (RFC 1951, 3.2.5).
struct CodeAndExtra {
  int code;
  int extraBits;
  int extraValue;
};

CodeAndExtra LengthCode(int length) {
  const int v = length - 3;
  if (v < 8) return {257 + v, 0, 0};
  if (v == 255) return {285, 0, 0};
  const int top = HighestBit(static_cast<std::uint64_t>(v));  // 3..7
  const int extra = top - 2;
  return {257 + 4 * (top - 1) + ((v >> extra) & 3), extra, v & ((1 << extra) - 1)};
}

CodeAndExtra DistanceCode(int distance) {
  const int v = distance - 1;
  if (v < 4) return {v, 0, 0};
  const int top = HighestBit(static_cast<std::uint64_t>(v));  // 2..14
  const int extra = top - 1;
  return {2 * top + ((v >> extra) & 1), extra, v & ((1 << extra) - 1)};
}

// Code-length codes 16, 17 and 18 repeat, with 2, 3 and 7 bits of count.
int LengthCodeExtraBits(int symbol) {
  return symbol == 16 ? 2 : symbol == 17 ? 3 : symbol == 18 ? 7 : 0;
}

// Code lengths of a Huffman code for the frequencies, none longer than limit. Symbols of
// frequency 0 get no code. Over the limit, halving every frequency (keeping it above 0)
// flattens the tree until it fits; with all frequencies 1 it is balanced.
void BuildLengths(std::vector<std::uint32_t> freq, int limit, std::uint8_t* lengths) {
  const int n = static_cast<int>(freq.size());
  std::fill_n(lengths, n, std::uint8_t{0});
  std::vector<int> leaves;
  for (int s = 0; s < n; ++s) {
    if (freq[s] != 0) leaves.push_back(s);
  }
  if (leaves.size() < 2) {
    for (int s : leaves) lengths[s] = 1;
    return;
  }
  const int count = static_cast<int>(leaves.size());
  std::vector<std::uint64_t> weight(2 * count);
  std::vector<int> parent(2 * count);
  for (;;) {
    std::stable_sort(leaves.begin(), leaves.end(), [&](int a, int b) { return freq[a] < freq[b]; });
    for (int i = 0; i < count; ++i) weight[i] = freq[leaves[i]];
    // Two queues: sorted leaves, and inner nodes, which are made in order of weight.
    int nextLeaf = 0;
    int nextInner = count;
    int made = count;
    const auto takeLightest = [&] {
      if (nextLeaf < count && (nextInner >= made || weight[nextLeaf] <= weight[nextInner])) {
        return nextLeaf++;
      }
      return nextInner++;
    };
    while (made < 2 * count - 1) {
      const int a = takeLightest();
      const int b = takeLightest();
      weight[made] = weight[a] + weight[b];
      parent[a] = parent[b] = made;
      ++made;
    }
    // The root is the last node made; every node's parent was made after it.
    std::vector<int> depth(2 * count, 0);
    int deepest = 0;
    for (int i = made - 2; i >= 0; --i) {
      depth[i] = depth[parent[i]] + 1;
      if (i < count) deepest = std::max(deepest, depth[i]);
    }
    if (deepest <= limit) {
      for (int i = 0; i < count; ++i) lengths[leaves[i]] = static_cast<std::uint8_t>(depth[i]);
      return;
    }
    for (int s : leaves) freq[s] = std::max<std::uint32_t>(1, freq[s] / 2);
  }
}

class BitWriter {
 public:
  explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
  void Put(std::uint32_t bits, int count) {
    acc_ |= static_cast<std::uint64_t>(bits) << count_;
    count_ += count;
    if (count_ >= 32) {
      const auto word = static_cast<std::uint32_t>(acc_);
      const std::uint8_t bytes[4] = {
          static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8),
          static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 24)};
      out_.insert(out_.end(), bytes, bytes + 4);
      acc_ >>= 32;
      count_ -= 32;
    }
  }
  // Pads with zero bits to the next byte boundary and hands over every whole byte.
  void AlignToByte() {
    while (count_ > 0) {
      out_.push_back(static_cast<std::uint8_t>(acc_));
      acc_ >>= 8;
      count_ = std::max(0, count_ - 8);
    }
    acc_ = 0;
  }
  std::vector<std::uint8_t>& Bytes() { return out_; }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint64_t acc_ = 0;
  int count_ = 0;
};

// A symbol: a literal byte (distance 0) or a match of length 3..258 at distance 1..32768.
struct Symbol {
  std::uint16_t literalOrLength;
  std::uint16_t distance;
};

class BlockWriter {
 public:
  explicit BlockWriter(std::vector<std::uint8_t>& out) : bits_(out) {}

  // Codes the symbols, which stand for the size bytes at raw; stores the bytes instead when
  // that is shorter.
  void Write(const std::vector<Symbol>& symbols, const std::uint8_t* raw, std::size_t size,
             bool final) {
    std::vector<std::uint32_t> literalFreq(kLiteralCodes, 0);
    std::vector<std::uint32_t> distanceFreq(kDistanceCodes, 0);
    for (const Symbol& s : symbols) {
      if (s.distance == 0) {
        ++literalFreq[s.literalOrLength];
      } else {
        ++literalFreq[LengthCode(s.literalOrLength).code];
        ++distanceFreq[DistanceCode(s.distance).code];
      }
    }
    literalFreq[kEndOfBlock] = 1;
    // Every code gets two symbols at least, so that no decoder meets a one-symbol code.
    if (std::count_if(literalFreq.begin(), literalFreq.end(), [](auto f) { return f != 0; }) < 2)
      literalFreq[0] = std::max<std::uint32_t>(literalFreq[0], 1);
    for (int s = 0; s < 2; ++s) distanceFreq[s] = std::max<std::uint32_t>(distanceFreq[s], 1);

    std::array<std::uint8_t, kLiteralCodes + kDistanceCodes> lengths{};
    std::uint8_t* literalLengths = lengths.data();
    BuildLengths(literalFreq, kMaxCodeBits, literalLengths);
    int literalCount = kLiteralCodes;
    while (literalCount > 257 && literalLengths[literalCount - 1] == 0) --literalCount;
    std::uint8_t* distanceLengths = lengths.data() + literalCount;
    BuildLengths(distanceFreq, kMaxCodeBits, distanceLengths);
    int distanceCount = kDistanceCodes;
    while (distanceCount > 1 && distanceLengths[distanceCount - 1] == 0) --distanceCount;

    // The two code-length lists, run-length coded as one sequence (RFC 1951, 3.2.7).
    const int sequenceLength = literalCount + distanceCount;
    std::vector<std::pair<int, int>> runs;  // length-code symbol, its extra value
    for (int i = 0; i < sequenceLength;) {
      const int value = lengths[i];
      int run = 1;
      while (i + run < sequenceLength && lengths[i + run] == value) ++run;
      i += run;
      if (value == 0) {
        while (run >= 11) {
          const int n = std::min(run, 138);
          runs.emplace_back(18, n - 11);
          run -= n;
        }
        if (run >= 3) {
          runs.emplace_back(17, run - 3);
          run = 0;
        }
      } else {
        runs.emplace_back(value, 0);
        --run;
        while (run >= 3) {
          const int n = std::min(run, 6);
          runs.emplace_back(16, n - 3);
          run -= n;
        }
      }
      for (; run > 0; --run) runs.emplace_back(value, 0);
    }
    std::vector<std::uint32_t> lengthFreq(19, 0);
    for (const auto& [symbol, extra] : runs) ++lengthFreq[symbol];
    if (std::count_if(lengthFreq.begin(), lengthFreq.end(), [](auto f) { return f != 0; }) < 2) {
      lengthFreq[runs.front().first == 0 ? 1 : 0] = 1;
    }
    std::array<std::uint8_t, 19> lengthLengths{};
    BuildLengths(lengthFreq, kMaxLengthCodeBits, lengthLengths.data());
    int lengthCount = 19;
    while (lengthCount > 4 && lengthLengths[kLengthCodeOrder[lengthCount - 1]] == 0) --lengthCount;

    // Sizes in bits, to fall back on stored blocks where coding does not pay (noise).
    std::uint64_t codedBits = 3 + 5 + 5 + 4 + 3 * static_cast<std::uint64_t>(lengthCount);
    for (const auto& [symbol, extra] : runs) {
      codedBits += static_cast<std::uint64_t>(lengthLengths[symbol] + LengthCodeExtraBits(symbol));
    }
    for (int s = 0; s < literalCount; ++s) {
      codedBits += std::uint64_t{literalFreq[s]} * literalLengths[s];
    }
    for (const Symbol& s : symbols) {
      if (s.distance == 0) continue;
      const CodeAndExtra distance = DistanceCode(s.distance);
      codedBits += static_cast<std::uint64_t>(LengthCode(s.literalOrLength).extraBits +
                                              distanceLengths[distance.code] + distance.extraBits);
    }
    // Each stored block: 3 header bits, padding to a byte, and 4 bytes of length.
    const std::uint64_t storedBlocks = std::max<std::uint64_t>(1, (size + 65534) / 65535);
    const std::uint64_t storedBits = 8 * static_cast<std::uint64_t>(size) + 40 * storedBlocks;
    if (codedBits > storedBits) {
      WriteStored(raw, size, final);
      return;
    }

    std::array<std::uint16_t, kLiteralCodes> literalCodes{};
    std::array<std::uint16_t, kDistanceCodes> distanceCodes{};
    std::array<std::uint16_t, 19> lengthCodes{};
    ReversedCanonicalCodes(literalLengths, literalCount, literalCodes.data());
    ReversedCanonicalCodes(distanceLengths, distanceCount, distanceCodes.data());
    ReversedCanonicalCodes(lengthLengths.data(), 19, lengthCodes.data());

    bits_.Put(final ? 1 : 0, 1);
    bits_.Put(2, 2);  // dynamic codes
    bits_.Put(static_cast<std::uint32_t>(literalCount - 257), 5);
    bits_.Put(static_cast<std::uint32_t>(distanceCount - 1), 5);
    bits_.Put(static_cast<std::uint32_t>(lengthCount - 4), 4);
    for (int i = 0; i < lengthCount; ++i) bits_.Put(lengthLengths[kLengthCodeOrder[i]], 3);
    for (const auto& [symbol, extra] : runs) {
      bits_.Put(lengthCodes[symbol], lengthLengths[symbol]);
      if (symbol >= 16) bits_.Put(static_cast<std::uint32_t>(extra), LengthCodeExtraBits(symbol));
    }
    for (const Symbol& s : symbols) {
      if (s.distance == 0) {
        bits_.Put(literalCodes[s.literalOrLength], literalLengths[s.literalOrLength]);
        continue;
      }
      const CodeAndExtra length = LengthCode(s.literalOrLength);
      bits_.Put(literalCodes[length.code], literalLengths[length.code]);
      if (length.extraBits != 0)
        bits_.Put(static_cast<std::uint32_t>(length.extraValue), length.extraBits);
      const CodeAndExtra distance = DistanceCode(s.distance);
      bits_.Put(distanceCodes[distance.code], distanceLengths[distance.code]);
      if (distance.extraBits != 0) {
        bits_.Put(static_cast<std::uint32_t>(distance.extraValue), distance.extraBits);
      }
    }
    bits_.Put(literalCodes[kEndOfBlock], literalLengths[kEndOfBlock]);
  }

  // Raw bytes in stored blocks of at most 65535; with size 0, one empty block.
  void WriteStored(const std::uint8_t* raw, std::size_t size, bool final) {
    do {
      const std::size_t n = std::min<std::size_t>(size, 65535);
      size -= n;
      bits_.Put(final && size == 0 ? 1 : 0, 1);
      bits_.Put(0, 2);
      bits_.AlignToByte();
      const auto len = static_cast<std::uint16_t>(n);
      const auto nlen = static_cast<std::uint16_t>(~len);
      const std::uint8_t header[4] = {
          static_cast<std::uint8_t>(len), static_cast<std::uint8_t>(len >> 8),
          static_cast<std::uint8_t>(nlen), static_cast<std::uint8_t>(nlen >> 8)};
      std::vector<std::uint8_t>& out = bits_.Bytes();
      out.insert(out.end(), header, header + 4);
      out.insert(out.end(), raw, raw + n);
      raw += n;
    } while (size > 0);
  }

  void Finish() { bits_.AlignToByte(); }

 private:
  BitWriter bits_;
};

}  // namespace

void CompressPart(const std::uint8_t* data, std::size_t begin, std::size_t end, bool last,
                  std::vector<std::uint8_t>& out) {
  // Positions are kept relative to the history's start, so that int32 holds them.
  const std::size_t origin = begin > kWindow ? begin - kWindow : 0;
  const std::uint8_t* base = data + origin;
  const auto stop = static_cast<std::int32_t>(end - origin);
  // Tables no larger than the bytes need: a small sheet is not worth 256 KiB of them. Below
  // the window's size, every position has a link of its own.
  std::size_t span = 256;
  int hashBits = 8;
  while (span < kWindow && span < static_cast<std::size_t>(stop)) {
    span *= 2;
    ++hashBits;
  }
  hashBits = std::min(hashBits, kMaxHashBits);
  const std::size_t linkMask = span - 1;
  std::vector<std::int32_t> head(std::size_t{1} << hashBits, -1);
  std::vector<std::int32_t> previous(span, -1);
  const auto insert = [&](std::int32_t at) {
    const std::uint32_t h = Hash(ReadLittle32(base + at), hashBits);
    previous[static_cast<std::size_t>(at) & linkMask] = head[h];
    head[h] = at;
  };
  auto at = static_cast<std::int32_t>(begin - origin);
  for (std::int32_t p = 0; p < at && p + kMinMatch <= stop; ++p) insert(p);

  BlockWriter writer(out);
  std::vector<Symbol> symbols;
  symbols.reserve(kBlockSymbols);
  std::int32_t blockStart = at;
  const auto flush = [&](bool final) {
    writer.Write(symbols, base + blockStart, static_cast<std::size_t>(at - blockStart), final);
    symbols.clear();
    blockStart = at;
  };
  while (at < stop) {
    int best = 0;
    std::int32_t bestDistance = 0;
    if (stop - at >= kMinMatch) {
      const int limit = std::min(kMaxMatch, stop - at);
      const std::uint32_t h = Hash(ReadLittle32(base + at), hashBits);
      std::int32_t candidate = head[h];
      previous[static_cast<std::size_t>(at) & linkMask] = candidate;
      head[h] = at;
      // Distances stay below the window size, so no link walked has been overwritten.
      for (int chain = kMaxChain;
           candidate >= 0 && at - candidate < static_cast<std::int32_t>(kWindow) && chain > 0;
           --chain) {
        if (base[candidate + best] == base[at + best]) {
          const int length = MatchLength(base + candidate, base + at, limit);
          if (length > best) {
            best = length;
            bestDistance = at - candidate;
            if (length >= kNiceMatch || length == limit) break;
          }
        }
        const std::int32_t next = previous[static_cast<std::size_t>(candidate) & linkMask];
        if (next >= candidate) break;
        candidate = next;
      }
    }
    if (best >= kMinMatch) {
      symbols.push_back(
          {static_cast<std::uint16_t>(best), static_cast<std::uint16_t>(bestDistance)});
      if (best <= kMaxInsert) {
        for (std::int32_t p = at + 1; p < at + best && p + kMinMatch <= stop; ++p) insert(p);
      }
      at += best;
    } else {
      symbols.push_back({base[at], 0});
      ++at;
    }
    if (symbols.size() == kBlockSymbols) flush(false);
  }
  // The last part ends in a final block; any other in an empty stored one, on a byte boundary.
  if (!symbols.empty()) {
    flush(last);
  } else if (last) {
    writer.WriteStored(nullptr, 0, true);
  }
  if (!last) writer.WriteStored(nullptr, 0, false);
  writer.Finish();
}

}  // namespace tessarin::deflate
