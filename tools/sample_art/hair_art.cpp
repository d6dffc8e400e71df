#include "catalog.h"
#include "figure.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace tessarin::sample_art {

namespace {

constexpr double kPi = 3.14159265358979;

// 0 at multiples of the period, 1 half way: the tips of a fringe.
double Tri(double x, double period) {
  const double f = x / period - std::floor(x / period);
  return 1.0 - std::abs(2.0 * f - 1.0);
}

// The part of the head below a jagged fringe line.
Region BelowFringe(const Pose& p, double base, double depth, double period, double slope) {
  const double hx = p.head.x();
  return [=](double x, double y) {
    return y >= base + depth * Tri(x - hx + period / 2, period) + slope * (x - hx);
  };
}

Region Cap(const Pose& p, double grow = 0) {
  return Ellipse(p.head.x(), p.head.y() - 0.8, p.headRx + 1.0 + grow, p.headRy + 0.9 + grow);
}

// Skin that hair must leave open.
Region FaceWindow(const Pose& p, const Region& fringe) {
  const double hx = p.head.x();
  const double hy = p.head.y();
  switch (p.view) {
    case View::Front:
      return Ellipse(hx, hy + 3, p.headRx - 1.6, p.headRy) & fringe;
    case View::FrontQuarter:
      return Ellipse(p.faceX + 0.5, hy + 3, 5.8, p.headRy) & fringe;
    case View::Side:
      return (LeftOf(hx - 0.5) & fringe) | (LeftOf(hx + 3.5) & Below(20.5));
    case View::BackQuarter:
      return Ellipse(hx - 7, hy + 3, 2.2, 5) & Below(15);
    case View::Back:
      break;
  }
  return Box(0, 0, 0, 0);
}

// Hair on the head, down to sideBottom beside the face and nape at the back.
Region HeadHair(const Pose& p, const Region& fringe, double sideBottom, double nape) {
  const double hx = p.head.x();
  Region limit = Above(sideBottom);
  if (p.view == View::Back || p.view == View::BackQuarter) {
    limit = [=](double x, double y) { return y < nape + 1.2 * Tri(x - hx, 3); };
  } else if (p.view == View::Side) {
    limit = Above(std::max(sideBottom, nape)) | (RightOf(hx + 3.5) & Above(nape));
  } else if (p.view == View::FrontQuarter) {
    limit = Above(sideBottom) | (RightOf(hx + 3.5) & Above(std::max(sideBottom, nape)));
  }
  return (Cap(p) & limit) - FaceWindow(p, fringe);
}

void Highlight(Sketch& s, const Pose& p, const Region& hair, const Material& m) {
  const double hx = p.head.x() - (p.view == View::Side ? -1 : 1);
  const double hy = p.head.y();
  const Region arc =
      Ellipse(hx, hy - 4.2, p.headRx - 2.2, 2.4) - Ellipse(hx, hy - 3.2, p.headRx - 2.2, 2.4);
  s.DetailOnCovered(arc & hair & Above(hy - 3), m.light);
}

Region StandardFringe(const Pose& p) {
  if (p.view == View::Side) return BelowFringe(p, 12.5, 2.0, 3, 0);
  if (p.view == View::FrontQuarter) return BelowFringe(p, 12.2, 2.2, 3, 0.08);
  return BelowFringe(p, 12.5, 2.2, 3, 0);
}

CellArt ShortHair(QRgb colour) {
  return [=](Sketch& s, const Pose& p) {
    const Material m = Ramp(colour);
    const Region hair = HeadHair(p, StandardFringe(p), 19.5, 21.5);
    s.Fill(hair, m, kSoft);
    Highlight(s, p, hair, m);
  };
}

// Long hair: the mass below the head falls behind the body unless seen from behind.
Region LongMass(const Pose& p, double bottom) {
  const double hx = p.head.x();
  const double hy = p.head.y();
  const double rx = p.headRx;
  const double sway = p.step * 0.5;
  auto jag = [=](double x, double y) { return y < bottom - 1.5 * Tri(x - hx + 1, 3); };
  switch (p.view) {
    case View::Side:
      return (Ellipse(hx + 2, hy, rx, p.headRy + 0.8) | Polygon({{hx - 1, hy},
                                                                 {hx + rx + 1.4, hy - 1},
                                                                 {hx + rx + 2.2 + sway, bottom - 4},
                                                                 {hx + rx + 1 + sway, bottom + 1},
                                                                 {hx + 2, bottom + 1}})) &
             Region(jag);
    case View::FrontQuarter:
    case View::BackQuarter: {
      const double l = hx - rx + 0.5;
      const double r = hx + rx + 1.2;
      return (Cap(p) | Polygon({{l, hy - 2},
                                {r, hy - 2},
                                {r + 0.6 + sway, bottom - 4},
                                {r - 1 + sway, bottom + 1},
                                {l + 1.5 + sway, bottom + 1},
                                {l - 0.3, bottom - 5}})) &
             Region(jag);
    }
    case View::Front:
    case View::Back:
      break;
  }
  const double l = hx - rx - 0.6;
  const double r = hx + rx + 0.6;
  return (Cap(p) | Polygon({{l, hy - 2},
                            {r, hy - 2},
                            {r + 0.4, bottom - 5},
                            {r - 1.8 + sway, bottom + 1},
                            {l + 1.8 + sway, bottom + 1},
                            {l - 0.4, bottom - 5}})) &
         Region(jag);
}

// Darker locks running down a mass of hair.
void Strands(Sketch& s, const Pose& p, const Region& mass, const Material& m, double bottom) {
  for (double dx : {-4.0, -1.0, 2.0, 5.0}) {
    const QPointF a(p.head.x() + dx, p.head.y() + 4);
    const QPointF b(p.head.x() + dx * 1.15 + p.step * 0.5, bottom - 1);
    s.DetailOnCovered(Capsule(a, b, 0.5) & mass & Below(p.head.y() + 5), m.shade);
  }
}

CellArt LongHairFront(QRgb colour) {
  return [=](Sketch& s, const Pose& p) {
    const Material m = Ramp(colour);
    if (p.showsBack()) {
      const Region mass = LongMass(p, 32) - FaceWindow(p, StandardFringe(p));
      s.Fill(mass, m, kSoft);
      Strands(s, p, mass, m, 32);
      Highlight(s, p, mass, m);
      return;
    }
    const Region hair = HeadHair(p, StandardFringe(p), 26, 23);
    s.Fill(hair, m, kSoft);
    Highlight(s, p, hair, m);
  };
}

CellArt LongHairBack(QRgb colour) {
  return [=](Sketch& s, const Pose& p) {
    if (p.showsBack()) return;
    const Material m = Ramp(Mix(colour, qRgb(40, 20, 40), 0.12));
    const Region mass = LongMass(p, 32);
    s.Fill(mass, m, kSoft);
    Strands(s, p, mass, m, 32);
  };
}

// Twin tails hang from both sides of the head; in profile only the near one shows.
Region Tails(const Pose& p) {
  const double hx = p.head.x();
  const double sway = p.step * 0.6;
  auto tail = [&](double x, double dir) {
    return Polygon({{x, 10.5},
                    {x + dir * 3.2, 12},
                    {x + dir * (4.2) + sway, 22},
                    {x + dir * 2.6 + sway, 33},
                    {x + dir * 1.2 + sway, 30},
                    {x + dir * 0.4, 16}});
  };
  if (p.view == View::Side) return tail(hx + 5.5, 1);
  const double l = hx - p.headRx;
  const double r = hx + p.headRx;
  return tail(l + 0.5, -1) | tail(r - 0.5, 1);
}

Region TailTies(const Pose& p) {
  const double hx = p.head.x();
  if (p.view == View::Side) return Ellipse(hx + 6, 11, 1.5, 1.5);
  return Ellipse(hx - p.headRx + 0.2, 11, 1.5, 1.5) | Ellipse(hx + p.headRx - 0.2, 11, 1.5, 1.5);
}

CellArt TwinFront(QRgb colour, QRgb ties) {
  return [=](Sketch& s, const Pose& p) {
    const Material m = Ramp(colour);
    if (p.showsBack()) s.Fill(Tails(p), m);
    const Region hair = HeadHair(p, StandardFringe(p), 20.5, 21.5);
    s.Fill(hair, m, kSoft);
    Highlight(s, p, hair, m);
    s.Fill(TailTies(p), Ramp(ties), kShiny);
  };
}

CellArt TwinBack(QRgb colour) {
  return [=](Sketch& s, const Pose& p) {
    if (p.showsBack()) return;
    s.Fill(Tails(p), Ramp(Mix(colour, qRgb(40, 20, 40), 0.1)));
  };
}

CellArt SpikyHair(QRgb colour) {
  return [=](Sketch& s, const Pose& p) {
    const Material m = Ramp(colour);
    const double hx = p.head.x();
    const double hy = p.head.y() - 1;
    const double r = p.headRx;
    Region spikes = Box(0, 0, 0, 0);
    std::vector<double> angles = {-165, -132, -100, -68, -36, -8};
    if (p.view == View::Side) angles = {-120, -88, -56, -24, 8, 34};
    if (p.view == View::FrontQuarter || p.view == View::BackQuarter)
      angles = {-150, -118, -86, -54, -22, 8};
    for (double a : angles) {
      const double t = a * kPi / 180;
      const double len = r + 2.8;
      const QPointF tip(hx + std::cos(t) * len, hy + std::sin(t) * len * 0.95);
      const QPointF b1(hx + std::cos(t - 0.32) * (r - 1), hy + std::sin(t - 0.32) * (r - 1));
      const QPointF b2(hx + std::cos(t + 0.32) * (r - 1), hy + std::sin(t + 0.32) * (r - 1));
      spikes = spikes | Polygon({b1, tip, b2, {hx, hy}});
    }
    Region fringe = BelowFringe(p, 12, 2.6, 3.5, 0);
    if (p.view == View::Side) fringe = BelowFringe(p, 12, 2.5, 3.5, 0);
    const Region hair = (HeadHair(p, fringe, 18.5, 21) | (spikes - FaceWindow(p, fringe)));
    s.Fill(hair, m, kSoft);
    Highlight(s, p, hair, m);
  };
}

// A ponytail tied high at the back of the head.
Region Ponytail(const Pose& p) {
  const double hx = p.head.x();
  const double sway = p.step * 0.7;
  switch (p.view) {
    case View::Side:
      return Polygon({{hx + 5, 9.5},
                      {hx + 9.5, 12},
                      {hx + 10.5 + sway, 22},
                      {hx + 8.5 + sway, 31},
                      {hx + 6.5, 23},
                      {hx + 4.5, 14}});
    case View::Back:
    case View::BackQuarter:
      return Polygon({{hx - 2.5, 11},
                      {hx + 2.5, 11},
                      {hx + 3.2 + sway, 24},
                      {hx + sway, 33},
                      {hx - 3.2 + sway, 24}});
    case View::FrontQuarter:
      return Polygon({{hx + 4, 12},
                      {hx + 8.5, 14},
                      {hx + 10 + sway, 23},
                      {hx + 8.5 + sway, 31},
                      {hx + 6.5, 24}});
    case View::Front:
      break;
  }
  return Polygon(
      {{hx + 4, 14}, {hx + 8.5, 16}, {hx + 9.8 + sway, 24}, {hx + 8.5 + sway, 31}, {hx + 6.5, 25}});
}

CellArt PonyFront(QRgb colour, QRgb tie) {
  return [=](Sketch& s, const Pose& p) {
    const Material m = Ramp(colour);
    Region fringe = BelowFringe(p, 11.5, 2.0, 3, 0.25);
    if (p.view == View::Side) fringe = BelowFringe(p, 12.5, 1.8, 3, 0);
    const Region hair = HeadHair(p, fringe, 19, 20.5);
    if (p.showsBack()) {
      s.Fill(hair, m, kSoft);
      s.Fill(Ponytail(p), m, kSoft);
      s.Fill(Ellipse(p.head.x(), 12, 1.8, 1.3), Ramp(tie), kShiny);
      return;
    }
    s.Fill(hair, m, kSoft);
    Highlight(s, p, hair, m);
    if (p.view == View::Side) s.Fill(Ellipse(p.head.x() + 6, 11.5, 1.4, 1.6), Ramp(tie), kShiny);
  };
}

CellArt PonyBack(QRgb colour) {
  return [=](Sketch& s, const Pose& p) {
    if (p.showsBack()) return;
    s.Fill(Ponytail(p), Ramp(Mix(colour, qRgb(40, 20, 40), 0.1)), kSoft);
  };
}

// Every style drawn in one colour of the hair palette instead of its own.
constexpr struct {
  const char* name;
  QRgb colour;
} kHairColours[] = {
    {"black", qRgb(46, 42, 52)}, {"brown", qRgb(122, 76, 44)},    {"blonde", qRgb(232, 196, 110)},
    {"red", qRgb(180, 58, 36)},  {"silver", qRgb(196, 200, 212)},
};

}  // namespace

std::vector<std::string> HairVariants() {
  std::vector<std::string> names;
  for (const auto& hair : kHairColours) names.emplace_back(hair.name);
  return names;
}

PartFolder HairPart(const std::string& hair) {
  QRgb brown = qRgb(122, 76, 44);
  QRgb blonde = qRgb(232, 190, 92);
  QRgb pink = qRgb(236, 136, 172);
  QRgb navy = qRgb(52, 62, 104);
  QRgb orange = qRgb(222, 112, 54);
  if (!hair.empty()) {
    const auto* found = std::find_if(std::begin(kHairColours), std::end(kHairColours),
                                     [&hair](const auto& h) { return hair == h.name; });
    if (found == std::end(kHairColours)) throw std::invalid_argument("no hair colour " + hair);
    brown = blonde = pink = navy = orange = found->colour;
  }
  return {"髪",
          {
              {"short.png", ShortHair(brown), "", {}},
              {"long.png", LongHairFront(blonde), "long$.png", LongHairBack(blonde)},
              {"Twin.PNG", TwinFront(pink, qRgb(110, 190, 240)), "twin$.png", TwinBack(pink)},
              {"spiky.png", SpikyHair(navy), "", {}},
              // The companion keeps its capital letter: it must be found without regard to case.
              {"Pony.png", PonyFront(orange, qRgb(90, 170, 90)), "Pony$.png", PonyBack(orange)},
          }};
}

}  // namespace tessarin::sample_art
