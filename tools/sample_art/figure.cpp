#include "figure.h"

#include <algorithm>
#include <cmath>

namespace tessarin::sample_art {

namespace {
constexpr double kLegRadius = 2.0;
constexpr double kArmRadius = 1.5;
constexpr double kHandRadius = 1.7;
}  // namespace

QPointF Along(const Limb& limb, double t) {
  return limb.root + (limb.end - limb.root) * t;
}

Region HeadShape(const Pose& p, double grow) {
  return Ellipse(p.head.x(), p.head.y(), p.headRx + grow, p.headRy + grow);
}

Region TorsoShape(const Pose& p, double grow, double top, double bottom) {
  const double y0 = (top < 0 ? p.shoulderY : top) - grow;
  const double y1 = (bottom < 0 ? p.waistY + 1 : bottom) + grow;
  const double sl = p.shoulderL - grow;
  const double sr = p.shoulderR + grow;
  const double wl = p.waistL - grow;
  const double wr = p.waistR + grow;
  const double sy = p.shoulderY - grow;
  // Rounded shoulders: a trapezoid with its top corners clipped.
  auto xAt = [&](double l, double r, double y, bool left) {
    const double t = (y - sy) / (p.waistY - sy);
    const double tl = std::clamp(t, 0.0, 1.0);
    return left ? l + (wl - l) * tl : r + (wr - r) * tl;
  };
  const double top1 = sy + 1.5;
  Region body = Polygon({{sl + 1.5, sy},
                         {sr - 1.5, sy},
                         {sr, top1},
                         {xAt(sl, sr, y1, false), y1},
                         {xAt(sl, sr, y1, true), y1},
                         {sl, top1}});
  return body & Box(0, y0, 64, y1);
}

Region HipShape(const Pose& p, double grow) {
  const double l = std::min(p.leg[0].root.x(), p.leg[1].root.x()) - 2 - grow;
  const double r = std::max(p.leg[0].root.x(), p.leg[1].root.x()) + 2 + grow;
  return Box(std::min(l, p.waistL - grow), p.waistY - grow, std::max(r, p.waistR + grow),
             p.hipY + grow);
}

Region LegShape(const Pose& p, int leg, double grow, double fromY, double toY) {
  const Limb& l = p.leg[leg];
  Region r = Capsule(l.root, l.end, kLegRadius + grow);
  if (fromY >= 0) r = r & Below(fromY);
  if (toY >= 0) r = r & Above(toY);
  return r;
}

Region FootShape(const Pose& p, int leg, double grow) {
  const QPointF c = p.leg[leg].end + p.footOffset;
  const double rx = (p.view == View::Side ? 2.4 : 2.3) + grow;
  return Ellipse(c.x(), c.y(), rx, 1.4 + grow) & Above(c.y() + 1.0 + grow);
}

Region ArmShape(const Pose& p, int arm, double grow, double fromT, double toT) {
  const Limb& l = p.arm[arm];
  return Capsule(Along(l, fromT), Along(l, toT), kArmRadius + grow);
}

Region HandShape(const Pose& p, int arm, double grow) {
  const QPointF c = Along(p.arm[arm], 1.05);
  return Ellipse(c.x(), c.y(), kHandRadius + grow, kHandRadius + grow);
}

Region FrontArmsCut(const Pose& p) {
  Region cut = Box(0, 0, 0, 0);
  for (int a = 0; a < 2; ++a) {
    if (a == p.farArm) continue;
    cut = cut | Dilated(ArmShape(p, a) | HandShape(p, a));
  }
  return cut;
}

Region HandCut(const Pose& p, int arm) {
  return Dilated(HandShape(p, arm));
}

int FirstLeg(const Pose& p) {
  return p.backLeg;
}

}  // namespace tessarin::sample_art
