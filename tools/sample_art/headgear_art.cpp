#include "catalog.h"
#include "dye.h"
#include "figure.h"

namespace tessarin::sample_art {

namespace {

// The bow sits on the character's left, so it moves across the head as the figure turns.
QPointF BowSpot(const Pose& p) {
  const double hx = p.head.x();
  switch (p.view) {
    case View::Front:
      return {hx + 5, 9.5};
    case View::FrontQuarter:
      return {hx + 4, 9};
    case View::Side:
      return {hx + 1, 8.2};
    case View::BackQuarter:
      return {hx - 3.5, 9};
    case View::Back:
      break;
  }
  return {hx - 5, 9.5};
}

CellArt Ribbon(QRgb colour) {
  return [=](Sketch& s, const Pose& p) {
    const Material m = Ramp(colour);
    const QPointF b = BowSpot(p);
    const double w = p.view == View::Side ? 2.0 : 2.6;
    s.Fill(Polygon(
               {{b.x() - 0.5, b.y() + 0.5}, {b.x() - 2, b.y() + 4.5}, {b.x() - 0.3, b.y() + 3.8}}) |
               Polygon({{b.x() + 0.5, b.y() + 0.5},
                        {b.x() + 2.2, b.y() + 4.2},
                        {b.x() + 0.6, b.y() + 3.9}}),
           m);
    // Two wings pinched at the knot.
    for (double dir : {-1.0, 1.0}) {
      const double tip = b.x() + dir * (w * 2 - 0.4);
      s.Fill(Polygon({{b.x(), b.y() - 0.6},
                      {tip - dir * 0.8, b.y() - 2.6},
                      {tip + dir * 0.2, b.y() - 1.4},
                      {tip + dir * 0.2, b.y() + 1.2},
                      {tip - dir * 0.8, b.y() + 2.3},
                      {b.x(), b.y() + 0.8}}),
             m, kShiny);
    }
    s.Fill(Ellipse(b.x(), b.y(), 1.2, 1.3), m, kSoft);
  };
}

CellArt Helmet(QRgb steel, QRgb crest) {
  return [=](Sketch& s, const Pose& p) {
    const Material m = Ramp(steel);
    const double hx = p.head.x();
    const double hy = p.head.y();
    const double rx = p.headRx + 1.0;
    const double brow = 14;
    const Region dome = Ellipse(hx, hy - 0.6, rx, p.headRy + 0.9);
    Region guard = dome & Above(21.5);
    Region visor = Box(0, 0, 0, 0);
    switch (p.view) {
      case View::Front:
        guard = dome & (LeftOf(hx - 5) | RightOf(hx + 5)) & Above(20.5);
        visor = dome & Box(hx - 5, brow, hx + 5, 18.5);
        break;
      case View::FrontQuarter:
        guard = dome & (LeftOf(hx - 6.5) | RightOf(hx + 2.5)) & Above(20.5);
        visor = dome & Box(hx - 6.5, brow, hx + 2.5, 18.5);
        break;
      case View::Side:
        guard = dome & RightOf(hx - 1) & Above(21);
        visor = Ellipse(hx, hy - 0.6, rx + 0.3, p.headRy + 0.9) & Box(0, brow, hx - 1, 18.5);
        break;
      case View::BackQuarter:
      case View::Back:
        break;
    }
    const Region cap = (dome & Above(brow)) | guard;
    if (p.view == View::Side)
      s.Fill(Ellipse(hx + 1.5, hy - 8.0, 5, 1.6), Ramp(crest), kShiny);
    else
      s.Fill(Ellipse(hx, hy - 8.6, 1.5, 2.2), Ramp(crest), kShiny);
    s.Fill(cap, m, kShiny);
    s.DetailOnCovered(cap & Box(0, brow - 1, 64, brow), m.shade);
    // Rivets along the brow.
    for (double x = hx - rx + 2; x < hx + rx - 1; x += 3)
      s.DetailOnCovered(Box(x, brow - 2.5, x + 1, brow - 1.5) & cap, m.light);
    // Tinted glass: the face stays visible through it.
    s.Fill(visor, Tint(qRgb(56, 100, 140), 90), kFlat);
    s.DetailOnCovered(visor & Box(0, brow, 64, brow + 1), qRgba(200, 236, 255, 150));
  };
}

CellArt WizardHat(QRgb cloth, QRgb band) {
  return [=](Sketch& s, const Pose& p) {
    const Material m = Ramp(cloth);
    const double hx = p.head.x();
    const double base = 10.5;
    const double bend = p.step * 0.5;
    const Region cone = Polygon({{hx - 5.5, base},
                                 {hx - 3.5, 5},
                                 {hx - 0.5, 1.5},
                                 {hx + 4.5 + bend, 0.2},
                                 {hx + 2.5, 2.8},
                                 {hx + 1.5, 5},
                                 {hx + 5, base}});
    s.Fill(cone, m, kShiny);
    s.DetailOnCovered(cone & Box(0, base - 2.5, 64, base - 0.5), band);
    if (p.facesViewer())
      s.DetailOnCovered(
          (Pixel(int(hx) - 1, 5) | Pixels(int(hx) - 2, 6, int(hx), 6) | Pixel(int(hx) - 1, 7)) &
              cone,
          qRgb(255, 236, 140));
    const double wide = p.view == View::Side ? p.headRx + 4.5 : p.headRx + 4;
    const double cx = p.view == View::Side ? hx - 0.5 : hx;
    s.Fill(Ellipse(cx, base + 0.5, wide, 2.2), m, kShiny);
  };
}

Region BandanaKnot(const Pose& p) {
  const double hx = p.head.x();
  switch (p.view) {
    case View::Side:
      return Ellipse(hx + p.headRx + 0.5, 12, 1.5, 1.6);
    case View::Back:
      return Ellipse(hx, 12.5, 1.7, 1.5);
    case View::BackQuarter:
      return Ellipse(hx + 2, 12.5, 1.7, 1.5);
    case View::Front:
    case View::FrontQuarter:
      break;
  }
  return Box(0, 0, 0, 0);
}

Region BandanaTails(const Pose& p) {
  const double hx = p.head.x();
  const double w = p.step * 0.8;
  switch (p.view) {
    case View::Side: {
      const double x = hx + p.headRx + 0.5;
      return Polygon({{x, 11.5}, {x + 5, 13 + w}, {x + 6, 15.5 + w}, {x + 3, 14.5}, {x, 13.5}}) |
             Polygon({{x, 12.5},
                      {x + 4, 16.5 - w},
                      {x + 3.5, 19 - w},
                      {x + 1.5, 16.5},
                      {x - 0.5, 13.5}});
    }
    case View::Back:
    case View::BackQuarter: {
      const double x = hx + (p.view == View::Back ? 0 : 2);
      return Polygon({{x - 0.8, 12.5}, {x - 2.5 + w, 19}, {x - 1 + w, 19.5}, {x + 0.5, 13}}) |
             Polygon({{x + 0.5, 12.5}, {x + 2.8 + w, 18}, {x + 1.4 + w, 18.8}, {x - 0.3, 13}});
    }
    case View::Front:
    case View::FrontQuarter:
      break;
  }
  const double x = hx + p.headRx - 1;
  return Polygon({{x, 12}, {x + 3.5, 14 + w}, {x + 4, 17 + w}, {x + 1.5, 15}});
}

CellArt BandanaFront(QRgb cloth) {
  return [=](Sketch& s, const Pose& p) {
    const Material m = Ramp(cloth);
    if (p.showsBack()) s.Fill(BandanaTails(p), m);
    const Region band = Ellipse(p.head.x(), p.head.y() - 0.3, p.headRx + 1.0, p.headRy + 0.9) &
                        Box(0, 10.5, 64, 13.5);
    s.Fill(band, m, kShiny);
    for (int x = 0; x < 32; x += 3)
      s.DetailOnCovered(band & Pixel(x + (x / 3) % 2, 12 - (x / 3) % 2), qRgb(246, 246, 240));
    s.Fill(BandanaKnot(p), m, kShiny);
  };
}

CellArt BandanaBack(QRgb cloth) {
  return [=](Sketch& s, const Pose& p) {
    if (p.showsBack()) return;
    s.Fill(BandanaTails(p), Ramp(Mix(cloth, qRgb(20, 10, 40), 0.15)));
  };
}

}  // namespace

PartFolder HeadgearPart(const std::string& dye) {
  return {
      "頭追加",
      {
          {"ribbon.png", Ribbon(Dyed(qRgb(222, 60, 84), dye)), "", {}},
          {"Helmet.png", Helmet(qRgb(178, 186, 204), qRgb(200, 56, 56)), "", {}},
          {"wizard_hat.png", WizardHat(Dyed(qRgb(92, 64, 150), dye), qRgb(232, 190, 84)), "", {}},
          {"Bandana.PNG", BandanaFront(Dyed(qRgb(58, 108, 214), dye)), "bandana$.png",
           BandanaBack(Dyed(qRgb(58, 108, 214), dye))},
      }};
}

}  // namespace tessarin::sample_art
