#include "catalog.h"
#include "figure.h"

#include <stdexcept>

namespace tessarin::sample_art {

namespace {

struct Look {
  QRgb skin;
  QRgb eye;
  QRgb under;  // plain undergarment so no combination is bare
};

void Face(Sketch& s, const Pose& p, const Look& look, const Material& skin) {
  const QRgb lash = qRgb(58, 36, 40);
  const QRgb white = qRgb(250, 250, 246);
  const Material iris = Ramp(look.eye);
  const QRgb blush = qRgba(240, 120, 120, 110);
  auto eye = [&](int x, bool highlightLeft) {
    s.Detail(Pixels(x, 16, x + 1, 16), lash);
    s.Detail(Pixels(x, 17, x + 1, 18), iris.fill);
    s.Detail(Pixel(x + (highlightLeft ? 0 : 1), 17), white);
    s.Detail(Pixel(x + (highlightLeft ? 1 : 0), 18), iris.line);
  };
  switch (p.view) {
    case View::Front:
      eye(11, false);
      eye(19, false);
      s.Detail(Pixels(15, 21, 16, 21), skin.line);
      s.Detail(Pixel(10, 19), blush);
      s.Detail(Pixel(21, 19), blush);
      s.Fill(Ellipse(8, 18, 1.1, 1.6), skin);
      s.Fill(Ellipse(24, 18, 1.1, 1.6), skin);
      break;
    case View::FrontQuarter:
      eye(9, false);
      eye(15, false);
      s.Detail(Pixels(11, 21, 12, 21), skin.line);
      s.Detail(Pixel(17, 19), blush);
      s.Fill(Ellipse(21.5, 17.5, 1.2, 1.4), skin);
      break;
    case View::Side:
      s.Detail(Pixels(10, 16, 11, 16), lash);
      s.Detail(Pixels(10, 17, 10, 18), iris.fill);
      s.Detail(Pixel(11, 17), white);
      s.Detail(Pixel(11, 18), iris.line);
      s.Detail(Pixel(9, 16), lash);
      s.Fill(Pixels(8, 18, 8, 19), skin, kFlat);
      s.Detail(Pixel(10, 21), skin.line);
      s.Detail(Pixel(13, 19), blush);
      s.Fill(Pixels(18, 17, 19, 19), skin, Style{true, true, 0, false});
      s.Detail(Pixels(18, 18, 18, 19), skin.shade);
      break;
    case View::BackQuarter:
      s.Fill(Ellipse(9.5, 18, 1.3, 1.7), skin);
      break;
    case View::Back:
      s.Fill(Ellipse(8, 18, 1.1, 1.6), skin);
      s.Fill(Ellipse(24, 18, 1.1, 1.6), skin);
      break;
  }
}

void DrawBody(Sketch& s, const Pose& p, const Look& look) {
  const Material skin = Ramp(look.skin);
  const Material far = Ramp(Mix(look.skin, skin.line, 0.18));
  const Material under = Ramp(look.under);

  s.Fill(Ellipse(16, 45.6, 8, 2.0), Tint(qRgb(20, 16, 30), 70), kFlat);
  if (p.farArm >= 0) s.Fill(ArmShape(p, p.farArm) | HandShape(p, p.farArm), far);
  const int first = FirstLeg(p);
  for (int leg : {first, 1 - first}) {
    const bool behind = p.view == View::Side && leg == first;
    s.Fill(LegShape(p, leg) | FootShape(p, leg), behind ? far : skin);
  }
  s.Fill(HipShape(p) & Above(p.waistY + 3.5), under);
  s.Fill(Box(p.head.x() - 2, 21, p.head.x() + 2, p.shoulderY + 1), skin);
  s.Fill(TorsoShape(p, 0, p.shoulderY + 1), under);
  s.Fill(HeadShape(p), skin);
  Face(s, p, look, skin);
  for (int a = 0; a < 2; ++a) {
    if (a == p.farArm) continue;
    s.Fill(ArmShape(p, a) | HandShape(p, a), skin);
  }
}

CellArt Body(Look look) {
  return [look](Sketch& s, const Pose& p) { DrawBody(s, p, look); };
}

// One body, its skin (with the eyes and undergarment that go with it) a palette's variant.
constexpr struct {
  const char* name;
  Look look;
} kLooks[] = {
    {"", {qRgb(246, 206, 172), qRgb(92, 64, 150), qRgb(236, 232, 222)}},
    {"tan", {qRgb(214, 160, 112), qRgb(54, 110, 70), qRgb(226, 222, 210)}},
    {"dark", {qRgb(140, 92, 62), qRgb(220, 150, 50), qRgb(230, 226, 216)}},
    {"pale", {qRgb(252, 228, 212), qRgb(50, 100, 190), qRgb(240, 236, 228)}},
};

}  // namespace

std::vector<std::string> SkinVariants() {
  std::vector<std::string> names;
  for (const auto& look : kLooks) {
    if (*look.name) names.emplace_back(look.name);
  }
  return names;
}

PartFolder BodyPart(const std::string& skin) {
  for (const auto& look : kLooks) {
    if (skin == look.name) return {"体", {{"light.png", Body(look.look), "", {}}}};
  }
  throw std::invalid_argument("no skin named " + skin);
}

}  // namespace tessarin::sample_art
