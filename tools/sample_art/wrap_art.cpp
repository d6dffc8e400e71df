#include "catalog.h"
#include "dye.h"
#include "figure.h"

#include <cmath>

namespace tessarin::sample_art {

namespace {

// Cloth that falls from the shoulders: in front of the body only when seen from behind,
// otherwise in the back layer. A walking step lets the hem trail a little.
Region Drape(const Pose& p, double hem, double spread) {
  const double sway = p.step == 0 ? 0 : 0.8;
  if (p.view == View::Side) {
    const double back = p.shoulderR + spread + 1.5 + sway * 1.5;
    return Polygon({{p.head.x() - 1, p.shoulderY - 1},
                    {p.shoulderR + 0.5, p.shoulderY - 1},
                    {back, hem - 1},
                    {back - 1.5, hem + 0.5},
                    {p.head.x() + 1, hem}});
  }
  const double l = p.shoulderL - 0.5;
  const double r = p.shoulderR + 0.5;
  const double lean = p.view == View::Front || p.view == View::Back ? 0 : 1.0 + sway;
  return Polygon({{l + 1, p.shoulderY - 1.5},
                  {r - 1, p.shoulderY - 1.5},
                  {r + 1, p.shoulderY + 1},
                  {r + spread + lean, hem},
                  {l - spread + lean, hem},
                  {l - 1, p.shoulderY + 1}});
}

// Cloth lying on the shoulders round the neck.
Region Shoulders(const Pose& p, double depth) {
  if (p.view == View::Side)
    return Ellipse(p.head.x() + 0.5, p.shoulderY + 0.5, 4.8, depth) & Below(p.shoulderY - 1.5);
  const double half = (p.shoulderR - p.shoulderL) / 2 + 1.8;
  const double cx = (p.shoulderR + p.shoulderL) / 2;
  return Ellipse(cx, p.shoulderY + 0.5, half, depth) & Below(p.shoulderY - 1.5);
}

void Folds(Sketch& s, const Pose& p, const Region& cloth, const Material& m, double hem) {
  const double cx = (p.shoulderL + p.shoulderR) / 2;
  for (double dx : {-3.0, 2.0}) {
    const QPointF a(cx + dx * 0.5, p.shoulderY + 4);
    const QPointF b(cx + dx * 1.4 + (p.view == View::Back ? 0 : 1), hem);
    s.DetailOnCovered(Capsule(a, b, 0.5) & cloth, m.shade);
  }
}

CellArt CapeFront(QRgb cloth, QRgb clasp) {
  return [=](Sketch& s, const Pose& p) {
    const Material m = Ramp(cloth);
    if (p.showsBack()) {
      const Region cape = Drape(p, 41.5, 2.5) | Shoulders(p, 3);
      s.Fill(cape, m);
      Folds(s, p, cape, m, 41.5);
      return;
    }
    s.Fill(Shoulders(p, 3), m);
    const double cx = p.view == View::Side ? p.shoulderL + 1 : p.faceX;
    s.Fill(Ellipse(cx, p.shoulderY + 0.5, 1.2, 1.2), Ramp(clasp), kShiny);
  };
}

CellArt CapeBack(QRgb cloth) {
  return [=](Sketch& s, const Pose& p) {
    if (p.showsBack()) return;
    const Material m = Ramp(Mix(cloth, qRgb(30, 10, 40), 0.25));
    const Region cape = Drape(p, 41.5, 3);
    s.Fill(cape, m);
    Folds(s, p, cape, m, 41.5);
  };
}

Region ScarfTail(const Pose& p, double along) {
  // A tapering band that waves differently on each frame.
  const double x0 = p.head.x() + 3;
  const double y0 = p.shoulderY;
  Region tail = Box(0, 0, 0, 0);
  QPointF prev(x0, y0);
  for (int i = 1; i <= 4; ++i) {
    const double t = i / 4.0;
    const QPointF next(x0 + along * t, y0 + 1.5 * t + std::sin(i * 1.7 + p.step * 1.3) * 0.9);
    tail = tail | Capsule(prev, next, 1.6 - 0.25 * i);
    prev = next;
  }
  return tail;
}

void Stripes(Sketch& s, const Region& band, QRgb colour, bool vertical) {
  for (int k = 0; k < 48; k += 3)
    s.DetailOnCovered(band & (vertical ? Box(0, k, 64, k + 1) : Box(k, 0, k + 1, 64)), colour);
}

CellArt ScarfFront(QRgb cloth, QRgb stripe) {
  return [=](Sketch& s, const Pose& p) {
    const Material m = Ramp(cloth);
    const double cx = p.view == View::Side ? p.head.x() + 0.5 : p.head.x();
    const Region wrap = Ellipse(cx, p.shoulderY - 0.5, p.view == View::Side ? 4.2 : 4.8, 1.9);
    if (p.showsBack()) {
      const double kx = p.head.x() + (p.view == View::Back ? 1.5 : 2.5);
      const double sway = p.step * 0.5;
      const Region ends = Polygon({{kx - 1.5, p.shoulderY},
                                   {kx + 1.5, p.shoulderY},
                                   {kx + 2.5 + sway, p.shoulderY + 8},
                                   {kx - 0.5 + sway, p.shoulderY + 8.5}});
      s.Fill(ends, m);
      Stripes(s, ends, stripe, true);
      s.Fill(wrap, m);
      return;
    }
    s.Fill(wrap, m);
    if (p.facesViewer()) {
      const double ex = p.view == View::Front ? p.head.x() + 2.5 : p.faceX + 3;
      const Region end = Polygon({{ex - 1.5, p.shoulderY},
                                  {ex + 1.5, p.shoulderY},
                                  {ex + 2 + p.step * 0.3, p.shoulderY + 6.5},
                                  {ex - 1 + p.step * 0.3, p.shoulderY + 6.5}});
      s.Fill(end, m);
      Stripes(s, end, stripe, true);
    }
  };
}

CellArt ScarfBack(QRgb cloth, QRgb stripe) {
  return [=](Sketch& s, const Pose& p) {
    if (p.view != View::Side && p.view != View::FrontQuarter) return;
    const Material m = Ramp(Mix(cloth, qRgb(30, 10, 40), 0.15));
    const Region tail = ScarfTail(p, p.view == View::Side ? 9 : 7);
    s.Fill(tail, m);
    Stripes(s, tail, stripe, false);
  };
}

CellArt CloakFront(QRgb cloth, QRgb clasp) {
  return [=](Sketch& s, const Pose& p) {
    const Material m = Ramp(cloth);
    const Region hood = Shoulders(p, 3.5);
    if (p.showsBack()) {
      const Region cloak = Drape(p, 44, 3);
      s.Fill(cloak, m);
      Folds(s, p, cloak, m, 44);
      const double cx = p.head.x() + (p.view == View::Back ? 0 : 1);
      s.Fill(Ellipse(cx, p.shoulderY + 1.5, 4.5, 3.5) | hood, m);
      s.DetailOnCovered(Ellipse(cx, p.shoulderY + 1.2, 2.5, 1.8), m.shade);
      return;
    }
    s.Fill(hood, m);
    const double cx = p.view == View::Side ? p.shoulderL + 1 : p.faceX;
    s.Fill(Ellipse(cx, p.shoulderY + 1, 1.1, 1.1), Ramp(clasp), kShiny);
  };
}

CellArt CloakBack(QRgb cloth) {
  return [=](Sketch& s, const Pose& p) {
    if (p.showsBack()) return;
    const Material m = Ramp(Mix(cloth, qRgb(30, 10, 40), 0.25));
    const Region cloak = Drape(p, 44, 3.5);
    s.Fill(cloak, m);
    Folds(s, p, cloak, m, 44);
  };
}

}  // namespace

PartFolder WrapPart(const std::string& dye) {
  const QRgb red = Dyed(qRgb(190, 52, 60), dye);
  const QRgb gold = qRgb(236, 196, 80);
  const QRgb amber = Dyed(qRgb(236, 170, 56), dye);
  const QRgb cream = qRgb(250, 232, 180);
  const QRgb green = Dyed(qRgb(78, 118, 74), dye);
  return {"装飾1",
          {
              {"cape_red.png", CapeFront(red, gold), "cape_red$.png", CapeBack(red)},
              {"Scarf.png", ScarfFront(amber, cream), "scarf$.png", ScarfBack(amber, cream)},
              {"cloak.png", CloakFront(green, gold), "cloak$.png", CloakBack(green)},
          }};
}

}  // namespace tessarin::sample_art
