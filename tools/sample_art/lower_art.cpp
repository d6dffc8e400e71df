#include "catalog.h"
#include "dye.h"
#include "figure.h"

namespace tessarin::sample_art {

namespace {

Material FarTone(QRgb base) {
  return Ramp(Mix(base, qRgb(20, 16, 40), 0.2));
}

// Legs in drawing order with the material for each: the back leg darker in profile.
template <typename Paint>
void EachLeg(const Pose& p, Paint paint) {
  const int first = FirstLeg(p);
  for (int leg : {first, 1 - first}) paint(leg, p.view == View::Side && leg == first);
}

void Shoes(Sketch& s, const Pose& p, QRgb colour, double topOffset) {
  const Material m = Ramp(colour);
  const Material far = FarTone(colour);
  EachLeg(p, [&](int leg, bool behind) {
    const double ankle = p.leg[leg].end.y();
    s.Fill(FootShape(p, leg, 0.3) | LegShape(p, leg, 0.3, ankle - topOffset), behind ? far : m,
           kShiny);
  });
}

void Trousers(Sketch& s, const Pose& p, QRgb cloth, QRgb belt, QRgb shoes) {
  const Material m = Ramp(cloth);
  const Material far = FarTone(cloth);
  EachLeg(p, [&](int leg, bool behind) {
    s.Fill(LegShape(p, leg, 0.4, -1, p.leg[leg].end.y() + 0.5), behind ? far : m);
  });
  s.Fill(HipShape(p, 0.4) & Below(p.waistY - 0.5), m);
  s.Detail(HipShape(p, 0.4) & Box(0, p.waistY - 0.5, 64, p.waistY + 0.5), Ramp(belt).fill);
  if (p.facesViewer())
    s.Detail(Pixel(int(p.faceX) - (p.view == View::Front ? 1 : 0), int(p.waistY)),
             qRgb(230, 196, 90));
  Shoes(s, p, shoes, 0.5);
  s.Cut(FrontArmsCut(p));
}

// Trousers with a dark belt and shoes.
void BrownTrousers(Sketch& s, const Pose& p, QRgb cloth) {
  Trousers(s, p, cloth, qRgb(60, 40, 30), qRgb(70, 46, 36));
}

void Skirt(Sketch& s, const Pose& p, QRgb cloth) {
  const Material m = Ramp(cloth);
  const Material sock = Ramp(qRgb(246, 244, 240));
  EachLeg(p, [&](int leg, bool) { s.Fill(LegShape(p, leg, 0.2, p.leg[leg].end.y() - 5), sock); });
  Shoes(s, p, qRgb(60, 40, 50), 0.2);
  const double top = p.waistY - 0.5;
  const double hem = p.waistY + 7.5;
  double l = p.waistL - 0.5;
  double r = p.waistR + 0.5;
  double fl = 2.5;
  double fr = 2.5;
  double sway = 0;
  if (p.view == View::Side) {
    fl = 2;
    fr = 3.5;
    sway = p.step != 0 ? 0.8 : 0;
  } else if (p.view == View::FrontQuarter || p.view == View::BackQuarter) {
    sway = p.step * 0.5;
  }
  const Region skirt = Polygon({{l, top}, {r, top}, {r + fr + sway, hem}, {l - fl + sway, hem}}) |
                       Polygon({{l - fl + sway, hem - 1},
                                {r + fr + sway, hem - 1},
                                {r + fr + sway - 1, hem + 0.8},
                                {l - fl + sway + 1, hem + 0.8}});
  s.Fill(skirt, m, kShiny);
  // Pleats: darker folds running down from the waistband.
  for (double x = l + 1.5; x < r + 0.5; x += 3) {
    const double t = (x - l) / (r - l);
    const QPointF a(x, top + 2);
    const QPointF b(l - fl + sway + t * (r + fr - l + fl), hem);
    s.DetailOnCovered(Capsule(a, b, 0.5) & skirt & Below(top + 2), m.shade);
  }
  s.Detail(skirt & Box(0, top, 64, top + 1), Ramp(cloth).line);
  s.Cut(FrontArmsCut(p));
}

void Shorts(Sketch& s, const Pose& p, QRgb cloth) {
  const Material m = Ramp(cloth);
  const Material far = FarTone(cloth);
  const Material boot = Ramp(qRgb(150, 96, 56));
  const Material bootFar = FarTone(qRgb(150, 96, 56));
  EachLeg(p, [&](int leg, bool behind) {
    const double ankle = p.leg[leg].end.y();
    s.Fill(FootShape(p, leg, 0.4) | LegShape(p, leg, 0.4, ankle - 4), behind ? bootFar : boot,
           kShiny);
    s.Detail(LegShape(p, leg, 0.4, ankle - 4, ankle - 3), Ramp(qRgb(150, 96, 56)).light);
  });
  EachLeg(p, [&](int leg, bool behind) {
    s.Fill(LegShape(p, leg, 0.6, -1, p.waistY + 6.5), behind ? far : m);
  });
  s.Fill(HipShape(p, 0.5) & Below(p.waistY - 0.5), m);
  s.Detail(HipShape(p, 0.5) & Box(0, p.waistY - 0.5, 64, p.waistY + 0.5),
           Ramp(qRgb(240, 236, 220)).fill);
  s.Cut(FrontArmsCut(p));
}

void Greaves(Sketch& s, const Pose& p, QRgb cloth) {
  const QRgb steel = qRgb(170, 178, 196);
  const Material m = Ramp(cloth);
  const Material metal = Ramp(steel);
  const Material metalFar = FarTone(steel);
  EachLeg(p, [&](int leg, bool behind) {
    s.Fill(LegShape(p, leg, 0.4, -1, p.leg[leg].end.y()), behind ? FarTone(cloth) : m);
  });
  s.Fill(HipShape(p, 0.4) & Below(p.waistY - 0.5), m);
  // Steel fauld over the hips.
  s.Fill(HipShape(p, 0.8) & Box(0, p.waistY - 0.5, 64, p.waistY + 2.5), metal, kShiny);
  EachLeg(p, [&](int leg, bool behind) {
    const Limb& l = p.leg[leg];
    const QPointF knee = Along(l, 0.45);
    s.Fill(LegShape(p, leg, 0.7, knee.y() + 1) | FootShape(p, leg, 0.5), behind ? metalFar : metal,
           kShiny);
    s.Fill(Ellipse(knee.x(), knee.y() + 0.5, 2.3, 1.6), behind ? metalFar : metal, kShiny);
  });
  s.Cut(FrontArmsCut(p));
}

// A drawing of lower clothes in the given cloth colour.
CellArt Art(void (*draw)(Sketch&, const Pose&, QRgb), QRgb cloth) {
  return [draw, cloth](Sketch& s, const Pose& p) { draw(s, p, cloth); };
}

}  // namespace

PartFolder LowerPart(const std::string& dye) {
  return {"下半身",
          {
              {"trousers.png", Art(BrownTrousers, Dyed(qRgb(92, 76, 64), dye)), "", {}},
              {"Skirt.png", Art(Skirt, Dyed(qRgb(62, 128, 168), dye)), "", {}},
              {"shorts.png", Art(Shorts, Dyed(qRgb(70, 110, 170), dye)), "", {}},
              {"Greaves.PNG", Art(Greaves, Dyed(qRgb(72, 70, 84), dye)), "", {}},
          }};
}

}  // namespace tessarin::sample_art
