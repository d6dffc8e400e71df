#include "catalog.h"
#include "figure.h"

#include <cmath>

namespace tessarin::sample_art {

namespace {

QPointF Grip(const Pose& p) {
  return Along(p.arm[p.itemArm], 1.05);
}

// Unit vector of the blade: raised and turned outwards, or forwards in profile.
QPointF BladeDirection(const Pose& p) {
  double dx = 0;
  switch (p.view) {
    case View::Side:
      dx = -0.55;
      break;
    case View::Front:
    case View::FrontQuarter:
      dx = -0.3;
      break;
    case View::Back:
    case View::BackQuarter:
      dx = 0.3;
      break;
  }
  const double dy = -1.0;
  const double len = std::hypot(dx, dy);
  return {dx / len, dy / len};
}

CellArt Sword() {
  return [](Sketch& s, const Pose& p) {
    const QPointF h = Grip(p);
    const QPointF d = BladeDirection(p);
    const QPointF n(-d.y(), d.x());
    const Material steel = Ramp(qRgb(206, 214, 228));
    const Material gold = Ramp(qRgb(226, 184, 72));
    const Material leather = Ramp(qRgb(110, 64, 44));
    s.Fill(Capsule(h - d * 2.8, h + d * 2.5, 1.0), leather);
    s.Fill(Polygon({h + d * 3.3 + n * 1.0, h + d * 11.5 + n * 1.0, h + d * 13.5,
                    h + d * 11.5 - n * 1.0, h + d * 3.3 - n * 1.0}),
           steel, kShiny);
    s.DetailOnCovered(Capsule(h + d * 4.5, h + d * 10.5, 0.5), steel.light);
    s.Fill(Capsule(h + d * 3 + n * 2.8, h + d * 3 - n * 2.8, 0.9), gold, kShiny);
    s.Fill(Ellipse(h.x() - d.x() * 3.2, h.y() - d.y() * 3.2, 1.2, 1.2), gold, kShiny);
    s.Cut(HandCut(p, p.itemArm));
  };
}

CellArt Shield() {
  return [](Sketch& s, const Pose& p) {
    const QPointF fore = Along(p.arm[p.shieldArm], 0.75);
    const Material rim = Ramp(qRgb(188, 194, 210));
    const Material wood = Ramp(qRgb(156, 100, 58));
    const Material paint = Ramp(qRgb(58, 96, 176));
    const QRgb boss = qRgb(236, 200, 92);
    double rx = 4.6;
    double ry = 5.2;
    double out = p.shieldArm == 0 ? -1.5 : 1.5;
    bool face = true;
    switch (p.view) {
      case View::Side:
        out = -1.2;
        rx = 4.4;
        break;
      case View::FrontQuarter:
        rx = 3.6;
        break;
      case View::Back:
      case View::BackQuarter:
        face = false;
        rx = p.view == View::Back ? 3.8 : 3.4;
        break;
      case View::Front:
        break;
    }
    const QPointF c(fore.x() + out, fore.y() + 0.5);
    s.Fill(Ellipse(c.x(), c.y(), rx, ry), rim, kShiny);
    const Region inner = Ellipse(c.x(), c.y(), rx - 1, ry - 1);
    if (face) {
      s.Fill(inner, paint, Style{false, false, 1, true});
      s.DetailOnCovered(
          inner & (Box(c.x() - 0.5, 0, c.x() + 0.5, 64) | Box(0, c.y() - 1, 64, c.y())), boss);
      s.Fill(Ellipse(c.x(), c.y() - 0.5, 1.1, 1.1), Ramp(boss), kShiny);
    } else {
      s.Fill(inner, wood, Style{false, false, 1, false});
      for (double x = c.x() - rx; x < c.x() + rx; x += 2)
        s.DetailOnCovered(inner & Box(x, 0, x + 0.5, 64), wood.shade);
      s.DetailOnCovered(inner & Box(0, c.y() - 0.5, 64, c.y() + 1), Ramp(qRgb(90, 58, 40)).fill);
    }
  };
}

CellArt Staff() {
  return [](Sketch& s, const Pose& p) {
    const QPointF h = Grip(p);
    // Taller than its bearer and leaning a little, so the orb stays clear of the face.
    double lean = 0;
    switch (p.view) {
      case View::Side:
        lean = 2.5;
        break;
      case View::Front:
      case View::FrontQuarter:
        lean = -1.5;
        break;
      case View::Back:
      case View::BackQuarter:
        lean = 1.5;
        break;
    }
    const QPointF up(lean / 24.0, -1);
    const QPointF top = h + up * 24.0;
    const QPointF foot = h - up * 10.0;
    const Material wood = Ramp(qRgb(136, 90, 52));
    const Material orb = Ramp(qRgb(96, 210, 236));
    const QPointF o = top + QPointF(0, -2.2);
    s.Fill(Ellipse(o.x(), o.y(), 4.4, 4.4), Tint(qRgb(54, 96, 104), 72), kFlat);
    s.Fill(Capsule(foot, top, 1.05), wood);
    s.Fill(Polygon({{top.x() - 0.8, top.y() + 1.5},
                    {top.x() - 3, top.y() - 1.5},
                    {top.x() - 2.4, top.y() - 3.6},
                    {top.x() - 1.4, top.y() - 1}}) |
               Polygon({{top.x() + 0.8, top.y() + 1.5},
                        {top.x() + 3, top.y() - 1.5},
                        {top.x() + 2.4, top.y() - 3.6},
                        {top.x() + 1.4, top.y() - 1}}),
           wood);
    s.Fill(Ellipse(o.x(), o.y(), 2.1, 2.1), orb, kShiny);
    s.Detail(Pixel(int(o.x()) - 1, int(o.y()) - 1), qRgb(240, 255, 255));
    s.Cut(HandCut(p, p.itemArm));
  };
}

}  // namespace

PartFolder HeldPart() {
  return {"装飾2",
          {
              {"sword.png", Sword(), "", {}},
              {"Shield.png", Shield(), "", {}},
              {"staff.png", Staff(), "", {}},
          }};
}

}  // namespace tessarin::sample_art
