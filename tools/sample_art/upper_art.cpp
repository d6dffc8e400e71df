#include "catalog.h"
#include "dye.h"
#include "figure.h"

namespace tessarin::sample_art {

namespace {

Material FarTone(QRgb base) {
  return Ramp(Mix(base, qRgb(20, 16, 40), 0.2));
}

// A top in three passes: what lies behind the torso, the torso, then the arms in front.
struct Top {
  std::function<void(Sketch&, const Pose&, int arm, bool far)> sleeve;
  std::function<void(Sketch&, const Pose&)> body;
};

void DrawTop(Sketch& s, const Pose& p, const Top& top) {
  if (p.farArm >= 0) top.sleeve(s, p, p.farArm, true);
  top.body(s, p);
  s.Cut(FrontArmsCut(p));
  for (int a = 0; a < 2; ++a)
    if (a != p.farArm) top.sleeve(s, p, a, false);
}

Region Skirted(const Pose& p, double grow, double hem, double flare) {
  double back = flare;
  double front = flare;
  if (p.view == View::Side) {
    front = flare * 0.5;
    back = flare * 1.4 + (p.step != 0 ? 0.6 : 0);
  }
  const double l = p.waistL - grow;
  const double r = p.waistR + grow;
  const double sway = p.view == View::Side ? 0 : p.step * 0.4;
  return Polygon(
      {{l, p.waistY - 1}, {r, p.waistY - 1}, {r + back + sway, hem}, {l - front + sway, hem}});
}

void Collar(Sketch& s, const Pose& p, QRgb colour) {
  if (!p.facesViewer()) return;
  const int cx = int(p.faceX);
  const int y = int(p.shoulderY);
  const int left = p.view == View::Front ? cx - 2 : cx - 1;
  s.Detail(Pixels(left, y, left, y) | Pixels(left + 1, y + 1, left + 1, y + 1), colour);
  s.Detail(Pixels(cx + 1, y, cx + 1, y) | Pixels(cx, y + 1, cx, y + 1), colour);
}

Top Tunic(const std::string& dye) {
  const QRgb cloth = Dyed(qRgb(78, 150, 84), dye);
  Top t;
  t.sleeve = [cloth](Sketch& s, const Pose& p, int a, bool far) {
    s.Fill(ArmShape(p, a, 0.5, 0, 0.45), far ? FarTone(cloth) : Ramp(cloth));
  };
  t.body = [cloth](Sketch& s, const Pose& p) {
    const Material m = Ramp(cloth);
    s.Fill(TorsoShape(p, 0.5) | Skirted(p, 0.6, p.hipY + 1.5, 1.0), m);
    s.Detail(Skirted(p, 0.6, p.hipY + 1.5, 1.0) & Below(p.hipY + 0.5), m.shade);
    const Region belt = (TorsoShape(p, 0.6) | Skirted(p, 0.7, p.hipY, 0.5)) &
                        Box(0, p.waistY - 0.5, 64, p.waistY + 0.5);
    s.Detail(belt, Ramp(qRgb(110, 70, 40)).fill);
    if (p.facesViewer())
      s.Detail(Pixel(int(p.faceX) - (p.view == View::Front ? 1 : 0), int(p.waistY)),
               qRgb(236, 200, 90));
    Collar(s, p, m.line);
  };
  return t;
}

Top Shirt(const std::string& dye) {
  const QRgb white = Dyed(qRgb(238, 236, 228), dye);
  const QRgb vest = Dyed(qRgb(140, 90, 54), dye);
  Top t;
  t.sleeve = [white](Sketch& s, const Pose& p, int a, bool far) {
    const Material m = far ? FarTone(white) : Ramp(white);
    s.Fill(ArmShape(p, a, 0.4, 0, 0.8), m);
    const QPointF c = Along(p.arm[a], 0.8);
    s.DetailOnCovered(ArmShape(p, a, 0.4, 0.7, 0.8) & Below(c.y() - 0.9), Ramp(white).shade);
  };
  t.body = [white, vest](Sketch& s, const Pose& p) {
    s.Fill(TorsoShape(p, 0.4, -1, p.waistY + 2.5), Ramp(white));
    Region v = TorsoShape(p, 0.6, -1, p.waistY + 2);
    if (p.view == View::Front) v = v - Box(14, 0, 18, 64);
    if (p.view == View::FrontQuarter) v = v - Box(p.faceX - 1.5, 0, p.faceX + 1.5, 64);
    if (p.view == View::Side) v = v - Box(0, 0, p.shoulderL + 2.5, 64);
    s.Fill(v, Ramp(vest));
    if (p.facesViewer()) {
      const int cx = int(p.faceX);
      for (int y = int(p.shoulderY) + 3; y < int(p.waistY); y += 3)
        s.Detail(Pixel(p.view == View::Front ? cx - 1 : cx, y), Ramp(white).shade);
    }
  };
  return t;
}

Top Armour(const std::string& dye) {
  const QRgb steel = qRgb(176, 184, 202);
  const QRgb cloth = Dyed(qRgb(176, 56, 60), dye);
  Top t;
  t.sleeve = [steel, cloth](Sketch& s, const Pose& p, int a, bool far) {
    s.Fill(ArmShape(p, a, 0.4, 0, 0.6), far ? FarTone(cloth) : Ramp(cloth));
    const QPointF sh = Along(p.arm[a], 0.1);
    const double rx = p.view == View::Side ? 2.6 : 2.3;
    s.Fill(Ellipse(sh.x(), sh.y() + 0.5, rx, 2.3), far ? FarTone(steel) : Ramp(steel), kShiny);
  };
  t.body = [steel, cloth](Sketch& s, const Pose& p) {
    const Material red = Ramp(cloth);
    s.Fill(Skirted(p, 0.5, p.hipY + 2, 1.0), red);
    s.Fill(TorsoShape(p, 0.6, -1, p.waistY + 1.5), Ramp(steel), kShiny);
    const Material m = Ramp(steel);
    if (p.facesViewer()) {
      const double cx = p.faceX;
      s.DetailOnCovered(Box(cx - 0.5, p.shoulderY + 2, cx + 0.5, p.waistY), m.light);
      s.DetailOnCovered(Box(cx + 0.5, p.shoulderY + 2, cx + 1.5, p.waistY), m.shade);
    }
    s.Detail(TorsoShape(p, 0.6) & Box(0, p.waistY + 0.5, 64, p.waistY + 1.5), m.line);
  };
  return t;
}

Top Robe(const std::string& dye) {
  const QRgb cloth = Dyed(qRgb(104, 72, 156), dye);
  const QRgb trim = qRgb(228, 188, 84);
  Top t;
  t.sleeve = [cloth, trim](Sketch& s, const Pose& p, int a, bool far) {
    const Limb& l = p.arm[a];
    const Region sleeve =
        ArmShape(p, a, 0.5, 0, 0.55) | Capsule(Along(l, 0.5), Along(l, 0.82), 2.4);
    s.Fill(sleeve, far ? FarTone(cloth) : Ramp(cloth));
    s.DetailOnCovered(sleeve - Capsule(l.root, Along(l, 0.72), 2.6),
                      far ? FarTone(trim).fill : trim);
  };
  t.body = [cloth, trim](Sketch& s, const Pose& p) {
    const Material m = Ramp(cloth);
    const double hem = 42.5 + (p.view == View::Side ? 0 : 0.5);
    const Region robe = TorsoShape(p, 0.5) | Skirted(p, 0.8, hem, 3.0);
    s.Fill(robe, m);
    s.Detail(robe & Below(hem - 1), trim);
    if (p.facesViewer()) {
      const double cx = p.view == View::Front ? 16 : p.faceX + 0.5;
      s.Detail(robe & Box(cx - 0.5, p.shoulderY + 1, cx + 0.5, hem), trim);
      Collar(s, p, trim);
    }
    s.Detail(robe & Box(0, p.waistY - 0.5, 64, p.waistY + 0.5), m.shade);
  };
  return t;
}

CellArt Art(Top top) {
  return [top](Sketch& s, const Pose& p) { DrawTop(s, p, top); };
}

}  // namespace

PartFolder UpperPart(const std::string& dye) {
  return {"上半身",
          {
              {"tunic.png", Art(Tunic(dye)), "", {}},
              {"Shirt.png", Art(Shirt(dye)), "", {}},
              {"armor.png", Art(Armour(dye)), "", {}},
              {"robe.PNG", Art(Robe(dye)), "", {}},
          }};
}

}  // namespace tessarin::sample_art
