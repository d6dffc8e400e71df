#include "raster_image.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "blend.h"
#include "palette_swap.h"

namespace tessarin {

namespace {

std::uint32_t Pack(std::uint32_t b, std::uint32_t g, std::uint32_t r, std::uint32_t a) {
  return b | g << 8 | r << 16 | a << 24;
}

void Store(std::uint8_t* out, std::uint32_t packed) {
  out[0] = static_cast<std::uint8_t>(packed);
  out[1] = static_cast<std::uint8_t>(packed >> 8);
  out[2] = static_cast<std::uint8_t>(packed >> 16);
  out[3] = static_cast<std::uint8_t>(packed >> 24);
}

// 5 and 6 bit fields widened by repeating their top bits, so 0 stays 0 and the maximum 255.
std::uint32_t Unpack565(std::uint32_t word) {
  const std::uint32_t r = (word >> 11) & 31u;
  const std::uint32_t g = (word >> 5) & 63u;
  const std::uint32_t b = word & 31u;
  return Pack(b << 3 | b >> 2, g << 2 | g >> 4, r << 3 | r >> 2, 255u);
}

// The destination interval [begin, end) along one axis whose pixels fall inside both the
// target (0..targetSize) and the source (0..sourceSize) after mapping.
struct Span {
  int begin = 0;
  int end = 0;
  bool Empty() const { return begin >= end; }
};

// Destination d + i takes source s + floor(i * sn / dn), i in [0, dn). The map never
// decreases, so the valid i form one interval, found here in closed form rather than by
// testing each pixel.
Span ClipAxis(int d, int dn, int s, int sn, int targetSize, int sourceSize) {
  const std::int64_t d64 = d;
  std::int64_t lo = std::max<std::int64_t>(0, -d64);
  std::int64_t hi = std::min<std::int64_t>(dn, targetSize - d64);
  // s + floor(i * sn / dn) >= 0  <=>  i * sn >= -s * dn.
  if (s < 0) {
    const std::int64_t need = -static_cast<std::int64_t>(s) * dn;
    lo = std::max(lo, (need + sn - 1) / sn);
  }
  // s + floor(i * sn / dn) < sourceSize  <=>  i * sn < (sourceSize - s) * dn.
  const std::int64_t room = static_cast<std::int64_t>(sourceSize) - s;
  if (room <= 0) return {};
  hi = std::min(hi, (room * dn + sn - 1) / sn);
  if (lo >= hi) return {};
  return {static_cast<int>(d64 + lo), static_cast<int>(d64 + hi)};
}

int SourceCoord(int d, int dn, int s, int sn, int x) {
  return s + static_cast<int>((static_cast<std::int64_t>(x) - d) * sn / dn);
}

enum class RowOp { Classic, Standard, Opaque };

}  // namespace

void RasterImage::Destroy() {
  *this = RasterImage();
}

void RasterImage::Allocate(int width, int height, int bitsPerPixel, std::size_t spareBytes) {
  Destroy();
  if (width <= 0 || height <= 0 || bitsPerPixel <= 0 || bitsPerPixel > 32) return;
  // One ceiling for every image: sizes come from files and setting files and must not
  // exhaust memory. At 32 bits or fewer a padded row never exceeds width * 4 bytes.
  if (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4 > kMaxPixelBytes) {
    return;
  }
  const std::size_t stride =
      (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel) + 31) / 32 * 4;
  // Destroy left no capacity, so this is a fresh buffer, which the allocator zeroes. Running
  // out of memory throws: an image left empty here would be written through by its decoder.
  pixels_.resize(stride * static_cast<std::size_t>(height) + spareBytes);
  width_ = width;
  height_ = height;
  bitsPerPixel_ = bitsPerPixel;
  stride_ = stride;
}

void RasterImage::KeepCorner(KeptCorner corner) {
  const int width = corner.WidthOf(width_);
  const int height = corner.HeightOf(height_);
  if (width == width_ && height == height_) return;
  RasterImage kept;
  kept.Allocate(width, height, bitsPerPixel_);
  // Every format packs a row's pixels from its start, so a narrower row is a prefix.
  for (int y = 0; y < height; ++y) std::memcpy(kept.Row(y), Row(y), kept.stride_);
  kept.hasAlpha_ = hasAlpha_;
  kept.hasKeyAlpha_ = hasKeyAlpha_;
  kept.palette_ = std::move(palette_);
  *this = std::move(kept);
}

bool RasterImage::Create(int width, int height, int bitsPerPixel, bool alphaFlag) {
  Destroy();
  if (bitsPerPixel != 32) return false;
  Allocate(width, height, 32);
  if (IsNull()) return false;
  hasAlpha_ = alphaFlag;
  return true;
}

std::uint32_t RasterImage::PixelAt(int x, int y, BlendRule rule) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const std::uint8_t* row = Row(y);
  const bool classic = rule == BlendRule::Classic;
  switch (bitsPerPixel_) {
    case 1:
    case 8: {
      const std::size_t index = bitsPerPixel_ == 8 ? row[x] : (row[x >> 3] >> (7 - (x & 7))) & 1u;
      const std::uint32_t entry = index < palette_.size() ? palette_[index] : Pack(0, 0, 0, 255);
      return classic ? entry | 0xFF000000u : entry;
    }
    case 16:
      return Unpack565(row[2 * x] | static_cast<std::uint32_t>(row[2 * x + 1]) << 8);
    case 24:
      return Pack(row[3 * x], row[3 * x + 1], row[3 * x + 2], 255u);
    case 32: {
      const std::uint8_t* p = row + 4 * static_cast<std::size_t>(x);
      const bool alpha = hasAlpha_ || (!classic && hasKeyAlpha_);
      return Pack(p[0], p[1], p[2], alpha ? p[3] : 255u);
    }
    default:
      return 0;
  }
}

void RasterImage::Draw(RasterImage& target, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
                       int sh, BlendRule rule, const ColourSwapper* swapper,
                       std::uint8_t* rowsLearnt) const {
  if (IsNull() || target.IsNull() || target.bitsPerPixel_ != 32) return;
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  if (&target == this) {
    // Rows would be read after being written; draw from a snapshot instead.
    const RasterImage snapshot = *this;
    snapshot.Draw(target, dx, dy, dw, dh, sx, sy, sw, sh, rule, swapper, rowsLearnt);
    return;
  }

  const Span xs = ClipAxis(dx, dw, sx, sw, target.width_, width_);
  const Span ys = ClipAxis(dy, dh, sy, sh, target.height_, height_);
  if (xs.Empty() || ys.Empty()) return;
  const auto count = static_cast<std::size_t>(xs.end - xs.begin);
  const bool classic = rule == BlendRule::Classic;
  const bool indexed = bitsPerPixel_ == 1 || bitsPerPixel_ == 8;

  // The palette as this rule sees it, padded so that any index is safe to look up.
  std::array<std::uint32_t, 256> lookup{};
  bool paletteAlpha = false;
  if (indexed) {
    lookup.fill(Pack(0, 0, 0, 255));
    std::copy_n(palette_.begin(), std::min<std::size_t>(palette_.size(), lookup.size()),
                lookup.begin());
    for (std::uint32_t& entry : lookup) {
      if (classic) entry |= 0xFF000000u;
      paletteAlpha = paletteAlpha || (entry >> 24) != 255u;
    }
  }

  const bool sourceAlpha = hasAlpha_ || (!classic && (hasKeyAlpha_ || (indexed && paletteAlpha)));
  const RowOp op = !sourceAlpha ? RowOp::Opaque : classic ? RowOp::Classic : RowOp::Standard;
  auto apply = [op](std::uint8_t* dst, const std::uint8_t* src, std::size_t n) {
    switch (op) {
      case RowOp::Classic:
        blend::ClassicRow(dst, src, n);
        break;
      case RowOp::Standard:
        blend::StandardRow(dst, src, n);
        break;
      case RowOp::Opaque:
        blend::OpaqueRow(dst, src, n);
        break;
    }
  };

  // 32 bits at 1:1 across: rows feed the kernels straight from the stored pixels. The fourth
  // byte is then what the rule sees, or ignored by the opaque copy.
  if (bitsPerPixel_ == 32 && sw == dw) {
    const int sx0 = SourceCoord(dx, dw, sx, sw, xs.begin);
    for (int y = ys.begin; y < ys.end; ++y) {
      const int srcY = SourceCoord(dy, dh, sy, sh, y);
      const std::uint8_t* src = Row(srcY) + 4 * static_cast<std::size_t>(sx0);
      std::uint8_t* dst = target.Row(y) + 4 * static_cast<std::size_t>(xs.begin);
      if (swapper) {
        swapper->ForEachRecolouredPiece(src, count, rowsLearnt ? rowsLearnt + srcY : nullptr,
                                        [&](std::size_t first, const std::uint8_t* piece,
                                            std::size_t n) { apply(dst + 4 * first, piece, n); });
      } else {
        apply(dst, src, count);
      }
    }
    return;
  }

  // Otherwise every needed source row is expanded once into B, G, R, A, with the alpha this
  // rule sees, through a column map computed once for the whole draw.
  std::vector<int> columns(count);
  for (std::size_t i = 0; i < count; ++i) {
    columns[i] = SourceCoord(dx, dw, sx, sw, xs.begin + static_cast<int>(i));
  }
  const bool keepAlpha = hasAlpha_ || (!classic && hasKeyAlpha_);
  auto expand = [&](const std::uint8_t* src, std::uint8_t* out) {
    switch (bitsPerPixel_) {
      case 1:
        for (std::size_t i = 0; i < count; ++i) {
          const int x = columns[i];
          Store(out + 4 * i, lookup[(src[x >> 3] >> (7 - (x & 7))) & 1u]);
        }
        break;
      case 8:
        for (std::size_t i = 0; i < count; ++i) Store(out + 4 * i, lookup[src[columns[i]]]);
        break;
      case 16:
        for (std::size_t i = 0; i < count; ++i) {
          const std::size_t x = 2 * static_cast<std::size_t>(columns[i]);
          Store(out + 4 * i, Unpack565(src[x] | static_cast<std::uint32_t>(src[x + 1]) << 8));
        }
        break;
      case 24:
        for (std::size_t i = 0; i < count; ++i) {
          const std::uint8_t* p = src + 3 * static_cast<std::size_t>(columns[i]);
          Store(out + 4 * i, Pack(p[0], p[1], p[2], 255u));
        }
        break;
      default:
        for (std::size_t i = 0; i < count; ++i) {
          const std::uint8_t* p = src + 4 * static_cast<std::size_t>(columns[i]);
          Store(out + 4 * i, Pack(p[0], p[1], p[2], keepAlpha ? p[3] : 255u));
        }
        break;
    }
  };

  std::vector<std::uint8_t> expanded(4 * count);
  int expandedY = -1;
  for (int y = ys.begin; y < ys.end; ++y) {
    const int srcY = SourceCoord(dy, dh, sy, sh, y);
    std::uint8_t* dst = target.Row(y) + 4 * static_cast<std::size_t>(xs.begin);
    if (op == RowOp::Opaque) {
      // An opaque copy only replaces, so the expansion can land in the target directly.
      expand(Row(srcY), dst);
      if (swapper) swapper->SwapRow(dst, count);
      continue;
    }
    // Enlarging repeats source rows; expand each only once.
    if (srcY != expandedY) {
      expand(Row(srcY), expanded.data());
      if (swapper) swapper->SwapRow(expanded.data(), count);
      expandedY = srcY;
    }
    apply(dst, expanded.data(), count);
  }
}

}  // namespace tessarin
