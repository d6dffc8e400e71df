#pragma once

#include <QImage>
#include <QPointF>

#include <functional>
#include <vector>

namespace tessarin::sample_art {

// A set of pixel centres in continuous cell coordinates (pixel (i, j) has centre (i+.5, j+.5)).
using Region = std::function<bool(double x, double y)>;

Region Ellipse(double cx, double cy, double rx, double ry);
// Half-open in continuous coordinates: [x0, x1) x [y0, y1).
Region Box(double x0, double y0, double x1, double y1);
// Inclusive pixel indices, for hand-placed details.
Region Pixels(int x0, int y0, int x1, int y1);
Region Pixel(int x, int y);
Region Capsule(QPointF a, QPointF b, double radius);
Region Polygon(std::vector<QPointF> points);
Region Above(double y);
Region Below(double y);
Region LeftOf(double x);
Region RightOf(double x);
Region Shifted(Region r, double dx, double dy);
// The region and its four-neighbour ring, i.e. what its outline covers.
Region Dilated(Region r);

Region operator|(Region a, Region b);
Region operator&(Region a, Region b);
Region operator-(Region a, Region b);

// Mid tone, shadow side, lit side and outline of one paint.
struct Material {
  QRgb fill;
  QRgb shade;
  QRgb light;
  QRgb line;
};

// Builds a material from one colour so every alternative keeps a consistent ramp.
Material Ramp(QRgb base);
Material Ramp(QRgb base, int alpha);
QRgb Mix(QRgb a, QRgb b, double t);

// A flat translucent paint. The program adds a translucent source to what lies below without
// scaling it by its alpha, so translucent colours are kept dark or they burn out to white.
Material Tint(QRgb colour, int alpha);

struct Style {
  bool outline = true;   // dark rim on the transparent pixels around the surface
  bool castLine = true;  // dark rim on earlier surfaces of the same layer it overlaps
  int rim = 1;           // shadow band width on the lower right side, 0 for none
  bool lit = false;      // light band on the upper left side
};

inline constexpr Style kFlat{false, false, 0, false};
inline constexpr Style kSoft{true, true, 1, false};
inline constexpr Style kShiny{true, true, 1, true};

// One cell of one layer. Shapes are given for the left-facing or front drawing and mirrored
// here, so light always comes from the upper left whatever the facing.
class Sketch {
 public:
  Sketch(int width, int height, bool mirror);

  // Paints a new surface over everything drawn so far.
  void Fill(const Region& region, const Material& material, Style style = kSoft);
  // Paints plain colour over whatever is there (eyes, seams, glints); no outline.
  void Detail(const Region& region, QRgb colour);
  // Like Detail, but only on pixels already covered.
  void DetailOnCovered(const Region& region, QRgb colour);
  // Leaves a hole through which lower layers show; the earlier outlines stay out of it.
  void Cut(const Region& region);

  int width() const { return width_; }
  int height() const { return height_; }

  QImage Render() const;

 private:
  struct Surface {
    Material material;
    Style style;
  };
  struct Cell {
    int surface = -1;
    QRgb detail = 0;
    bool hasDetail = false;
    int holeBefore = 0;  // outlines of surfaces below this index stay out
  };

  bool Inside(const Region& region, int i, int j) const;
  const Cell* At(int i, int j) const;
  QRgb Shade(int i, int j, const Cell& cell) const;
  QRgb Outline(int i, int j, const Cell& cell) const;

  int width_;
  int height_;
  bool mirror_;
  std::vector<Surface> surfaces_;
  std::vector<Cell> cells_;
};

}  // namespace tessarin::sample_art
