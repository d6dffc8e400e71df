#include "sketch.h"

#include <QColor>

#include <algorithm>
#include <cmath>
#include <utility>

namespace tessarin::sample_art {

Region Ellipse(double cx, double cy, double rx, double ry) {
  return [=](double x, double y) {
    const double u = (x - cx) / rx;
    const double v = (y - cy) / ry;
    return u * u + v * v <= 1.0;
  };
}

Region Box(double x0, double y0, double x1, double y1) {
  return [=](double x, double y) { return x >= x0 && x < x1 && y >= y0 && y < y1; };
}

Region Pixels(int x0, int y0, int x1, int y1) {
  return Box(x0, y0, x1 + 1, y1 + 1);
}

Region Pixel(int x, int y) {
  return Pixels(x, y, x, y);
}

Region Capsule(QPointF a, QPointF b, double radius) {
  return [=](double x, double y) {
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((x - a.x()) * dx + (y - a.y()) * dy) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double px = a.x() + t * dx - x;
    const double py = a.y() + t * dy - y;
    // The small slack keeps even widths symmetric when the axis sits on a pixel border.
    return px * px + py * py < radius * radius - 1e-6;
  };
}

Region Polygon(std::vector<QPointF> points) {
  return [pts = std::move(points)](double x, double y) {
    bool inside = false;
    for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
      const QPointF& p = pts[i];
      const QPointF& q = pts[j];
      if ((p.y() > y) != (q.y() > y)) {
        const double cross = (q.x() - p.x()) * (y - p.y()) / (q.y() - p.y()) + p.x();
        if (x < cross) inside = !inside;
      }
    }
    return inside;
  };
}

Region Above(double limit) {
  return [=](double, double y) { return y < limit; };
}

Region Below(double limit) {
  return [=](double, double y) { return y >= limit; };
}

Region LeftOf(double limit) {
  return [=](double x, double) { return x < limit; };
}

Region RightOf(double limit) {
  return [=](double x, double) { return x >= limit; };
}

Region Shifted(Region r, double dx, double dy) {
  return [r = std::move(r), dx, dy](double x, double y) { return r(x - dx, y - dy); };
}

Region Dilated(Region r) {
  return [r = std::move(r)](double x, double y) {
    return r(x, y) || r(x - 1, y) || r(x + 1, y) || r(x, y - 1) || r(x, y + 1);
  };
}

Region operator|(Region a, Region b) {
  return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) || b(x, y); };
}

Region operator&(Region a, Region b) {
  return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) && b(x, y); };
}

Region operator-(Region a, Region b) {
  return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) && !b(x, y); };
}

namespace {

QRgb FromHsl(double h, double s, double l, int alpha) {
  h = std::fmod(h + 360.0, 360.0);
  const QColor c =
      QColor::fromHslF(static_cast<float>(h / 360.0), static_cast<float>(std::clamp(s, 0.0, 1.0)),
                       static_cast<float>(std::clamp(l, 0.0, 1.0)));
  return qRgba(c.red(), c.green(), c.blue(), alpha);
}

// Shadows lean towards blue and lights towards yellow, which reads warmer than plain
// darkening.
double HueToward(double hue, double target, double amount) {
  double delta = std::fmod(target - hue + 540.0, 360.0) - 180.0;
  return hue + std::clamp(delta, -amount, amount);
}

}  // namespace

QRgb Mix(QRgb a, QRgb b, double t) {
  auto m = [t](int u, int v) { return int(u + (v - u) * t + 0.5); };
  return qRgba(m(qRed(a), qRed(b)), m(qGreen(a), qGreen(b)), m(qBlue(a), qBlue(b)),
               m(qAlpha(a), qAlpha(b)));
}

Material Tint(QRgb colour, int alpha) {
  const QRgb c = qRgba(qRed(colour), qGreen(colour), qBlue(colour), alpha);
  return Material{c, c, c, c};
}

namespace {

// Plain straight-alpha "over", for details painted on pixels of the same layer.
QRgb Over(QRgb top, QRgb base) {
  const double a = qAlpha(top) / 255.0;
  const double b = qAlpha(base) / 255.0 * (1 - a);
  const double out = a + b;
  if (out <= 0) return 0;
  auto ch = [&](int t, int u) { return int((t * a + u * b) / out + 0.5); };
  return qRgba(ch(qRed(top), qRed(base)), ch(qGreen(top), qGreen(base)),
               ch(qBlue(top), qBlue(base)), int(out * 255 + 0.5));
}

}  // namespace

Material Ramp(QRgb base) {
  return Ramp(base, 255);
}

Material Ramp(QRgb base, int alpha) {
  const QColor c = QColor::fromRgb(base);
  double h = c.hslHueF() * 360.0;
  if (h < 0) h = 0;
  const double s = c.hslSaturationF();
  const double l = c.lightnessF();
  Material m{};
  m.fill = qRgba(qRed(base), qGreen(base), qBlue(base), alpha);
  m.shade = FromHsl(HueToward(h, 250, 12), s * 1.05 + 0.05, l * 0.78, alpha);
  m.light = FromHsl(HueToward(h, 55, 10), s, l + (1.0 - l) * 0.35, alpha);
  m.line = FromHsl(HueToward(h, 260, 10), std::min(1.0, s * 0.55 + 0.1), l * 0.42, alpha);
  return m;
}

Sketch::Sketch(int width, int height, bool mirror)
    : width_(width), height_(height), mirror_(mirror), cells_(std::size_t(width * height)) {}

bool Sketch::Inside(const Region& region, int i, int j) const {
  const double x = mirror_ ? width_ - (i + 0.5) : i + 0.5;
  return region(x, j + 0.5);
}

const Sketch::Cell* Sketch::At(int i, int j) const {
  if (i < 0 || j < 0 || i >= width_ || j >= height_) return nullptr;
  return &cells_[std::size_t(j * width_ + i)];
}

void Sketch::Fill(const Region& region, const Material& material, Style style) {
  const int id = int(surfaces_.size());
  surfaces_.push_back({material, style});
  for (int j = 0; j < height_; ++j) {
    for (int i = 0; i < width_; ++i) {
      if (!Inside(region, i, j)) continue;
      Cell& c = cells_[std::size_t(j * width_ + i)];
      c.surface = id;
      c.hasDetail = false;
    }
  }
}

void Sketch::Detail(const Region& region, QRgb colour) {
  for (int j = 0; j < height_; ++j) {
    for (int i = 0; i < width_; ++i) {
      if (!Inside(region, i, j)) continue;
      Cell& c = cells_[std::size_t(j * width_ + i)];
      c.detail = colour;
      c.hasDetail = true;
    }
  }
}

void Sketch::DetailOnCovered(const Region& region, QRgb colour) {
  for (int j = 0; j < height_; ++j) {
    for (int i = 0; i < width_; ++i) {
      Cell& c = cells_[std::size_t(j * width_ + i)];
      if ((c.surface < 0 && !c.hasDetail) || !Inside(region, i, j)) continue;
      c.detail = colour;
      c.hasDetail = true;
    }
  }
}

void Sketch::Cut(const Region& region) {
  const int next = int(surfaces_.size());
  for (int j = 0; j < height_; ++j) {
    for (int i = 0; i < width_; ++i) {
      if (!Inside(region, i, j)) continue;
      Cell& c = cells_[std::size_t(j * width_ + i)];
      c = Cell{};
      c.holeBefore = next;
    }
  }
}

QRgb Sketch::Shade(int i, int j, const Cell& cell) const {
  const Surface& s = surfaces_[std::size_t(cell.surface)];
  // An overlapping later surface draws a line onto this one, as if inked on top.
  static constexpr int kNeighbours[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  int front = -1;
  for (const auto& d : kNeighbours) {
    const Cell* n = At(i + d[0], j + d[1]);
    if (n && n->surface > cell.surface && surfaces_[std::size_t(n->surface)].style.castLine &&
        qAlpha(surfaces_[std::size_t(n->surface)].material.fill) == 255)
      front = std::max(front, n->surface);
  }
  if (front >= 0) return surfaces_[std::size_t(front)].material.line;

  auto outside = [&](int di, int dj) {
    const Cell* n = At(i + di, j + dj);
    return !n || n->surface != cell.surface;
  };
  for (int k = 1; k <= s.style.rim; ++k) {
    if (outside(k, 0) || outside(0, k)) return s.material.shade;
  }
  if (s.style.lit && (outside(-1, 0) || outside(0, -1))) return s.material.light;
  return s.material.fill;
}

QRgb Sketch::Outline(int i, int j, const Cell& cell) const {
  static constexpr int kNeighbours[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  int front = -1;
  for (const auto& d : kNeighbours) {
    const Cell* n = At(i + d[0], j + d[1]);
    if (!n || n->surface < cell.holeBefore) continue;
    if (surfaces_[std::size_t(n->surface)].style.outline) front = std::max(front, n->surface);
  }
  return front >= 0 ? surfaces_[std::size_t(front)].material.line : 0;
}

QImage Sketch::Render() const {
  QImage image(width_, height_, QImage::Format_ARGB32);
  image.fill(0);
  for (int j = 0; j < height_; ++j) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(j));
    for (int i = 0; i < width_; ++i) {
      const Cell& c = *At(i, j);
      if (c.hasDetail && qAlpha(c.detail) < 255 && c.surface >= 0)
        row[i] = Over(c.detail, Shade(i, j, c));
      else if (c.hasDetail)
        row[i] = c.detail;
      else if (c.surface >= 0)
        row[i] = Shade(i, j, c);
      else
        row[i] = Outline(i, j, c);
    }
  }
  return image;
}

}  // namespace tessarin::sample_art
