#include "sets.h"
#include "sheet.h"

#include <cmath>
#include <vector>

namespace tessarin::sample_art {

namespace {

constexpr int kCell = 24;

// The blob squashes, rests and stretches across the three frames of a hop.
struct Blob {
  double cx;
  double bottom;
  double height;
  double rx;
  double eyeY;
  double eyeL;  // eye centres; equal when only one shows
  double eyeR;
  bool eyes;
  double lean;  // how far the top trails behind
};

Blob BlobOf(const Pose& p) {
  Blob b{};
  b.cx = 12;
  b.bottom = 21;
  b.height = 12 + 2 * p.step;
  b.rx = 8 - 1.0 * p.step;
  b.eyeY = b.bottom - b.height * 0.42;
  b.eyes = true;
  switch (p.view) {
    case View::Front:
      b.eyeL = b.cx - 2.5;
      b.eyeR = b.cx + 2.5;
      break;
    case View::FrontQuarter:
      b.eyeL = b.cx - 4;
      b.eyeR = b.cx + 0.5;
      b.lean = 1;
      break;
    case View::Side:
      b.eyeL = b.eyeR = b.cx - 5;
      b.lean = 2;
      break;
    case View::BackQuarter:
      b.eyes = false;
      b.lean = 1;
      break;
    case View::Back:
      b.eyes = false;
      break;
  }
  return b;
}

Region BlobShape(const Blob& b, double grow = 0) {
  const double top = b.bottom - b.height;
  const Region base =
      Ellipse(b.cx, b.bottom - b.height * 0.33, b.rx + grow, b.height * 0.33 + 0.6 + grow);
  // The crown of the dome trails behind the way the blob moves.
  const Region dome = Ellipse(b.cx + b.lean * 0.5, top + b.height * 0.55, b.rx * 0.78 + grow,
                              b.height * 0.55 + grow);
  return (base | dome) & Above(b.bottom + grow);
}

CellArt SlimeBody(QRgb colour, bool metal) {
  return [=](Sketch& s, const Pose& p) {
    const Blob b = BlobOf(p);
    const Material m = Ramp(colour);
    s.Fill(Ellipse(b.cx, b.bottom + 0.3, b.rx + 0.5, 1.6), Tint(qRgb(20, 16, 30), 70), kFlat);
    s.Fill(BlobShape(b), m, Style{true, true, 2, false});
    const double top = b.bottom - b.height;
    // Glossy highlight on the upper left, with a smaller glint.
    const double hx = b.cx - b.rx * 0.45;
    s.DetailOnCovered(Ellipse(hx, top + 4.2, 1.6, 1.1), metal ? qRgb(255, 255, 255) : m.light);
    s.DetailOnCovered(Pixel(int(hx) - 1, int(top + 3.5)), qRgb(255, 255, 255));
    if (metal) {
      s.DetailOnCovered(Ellipse(b.cx + 1, b.bottom - 3, b.rx * 0.7, 1.0), m.light);
    }
  };
}

CellArt Eyes(int kind) {
  return [=](Sketch& s, const Pose& p) {
    const Blob b = BlobOf(p);
    if (!b.eyes) return;
    const QRgb ink = qRgb(34, 28, 44);
    const int y = int(b.eyeY);
    const bool one = b.eyeL == b.eyeR;
    for (double ex : one ? std::vector<double>{b.eyeL} : std::vector<double>{b.eyeL, b.eyeR}) {
      const int x = int(ex);
      switch (kind) {
        case 0:  // round
          s.Detail(Pixels(x, y - 1, x, y + 1), ink);
          s.Detail(Pixels(x + 1, y, x + 1, y + 1), ink);
          s.Detail(Pixel(x + 1, y - 1), qRgb(255, 255, 255));
          break;
        case 1:  // angry
          s.Detail(Pixels(x, y, x + 1, y + 1), ink);
          s.Detail(Pixel(x + 1, y), qRgb(255, 255, 255));
          s.Detail(Pixel(ex < b.cx ? x - 1 : x + 2, y - 2) | Pixels(x, y - 1, x + 1, y - 1), ink);
          break;
        default:  // sleepy
          s.Detail(Pixels(x - 1, y + 1, x + 1, y + 1), ink);
          s.Detail(Pixel(x - 1, y), ink);
          break;
      }
    }
    const double mx = one ? b.eyeL + 0.5 : (b.eyeL + b.eyeR) / 2 + 0.5;
    const int my = y + 3;
    if (kind == 1)
      s.Detail(Pixels(int(mx) - 1, my, int(mx) + 1, my), ink);
    else if (kind == 2)
      s.Detail(Pixel(int(mx), my), qRgb(210, 90, 110));
    else
      s.Detail(Pixel(int(mx) - 1, my) | Pixel(int(mx) + 1, my) | Pixel(int(mx), my + 1), ink);
  };
}

CellArt Crown() {
  return [](Sketch& s, const Pose& p) {
    const Blob b = BlobOf(p);
    const double top = b.bottom - b.height;
    const double x = b.cx + b.lean * 0.3;
    const Material gold = Ramp(qRgb(240, 196, 70));
    s.Fill(Polygon({{x - 4, top + 1.5},
                    {x - 4, top - 3},
                    {x - 2.2, top - 1},
                    {x, top - 4},
                    {x + 2.2, top - 1},
                    {x + 4, top - 3},
                    {x + 4, top + 1.5}}),
           gold, kShiny);
    s.Detail(Pixel(int(x), int(top)), qRgb(220, 40, 70));
    s.Detail(Pixel(int(x) - 3, int(top)) | Pixel(int(x) + 2, int(top)), qRgb(70, 160, 230));
  };
}

CellArt Leaf() {
  return [](Sketch& s, const Pose& p) {
    const Blob b = BlobOf(p);
    const double top = b.bottom - b.height;
    const double x = b.cx + b.lean;
    const Material green = Ramp(qRgb(96, 180, 72));
    s.Fill(Capsule({x, top + 0.5}, {x + 0.5, top - 2.5}, 0.6), Ramp(qRgb(110, 140, 60)));
    s.Fill(Polygon({{x, top - 2.5}, {x - 2, top - 5}, {x - 5.5, top - 5}, {x - 3, top - 2}}), green,
           kShiny);
    s.Fill(
        Polygon({{x + 0.5, top - 2.5}, {x + 2.5, top - 4.5}, {x + 5, top - 4}, {x + 3, top - 2}}),
        green, kShiny);
  };
}

CellArt Cap() {
  return [](Sketch& s, const Pose& p) {
    const Blob b = BlobOf(p);
    const double top = b.bottom - b.height;
    const double x = b.cx + b.lean * 0.3;
    const Material red = Ramp(qRgb(214, 60, 60));
    s.Fill(Ellipse(x, top + 1.5, 4.5, 3.8) & Above(top + 2), red, kShiny);
    if (p.view != View::Back && p.view != View::BackQuarter) {
      const double peak = p.view == View::Front ? 0 : p.view == View::Side ? -4 : -2.5;
      s.Fill(Ellipse(x + peak, top + 2.2, 3.5, 1.1), red, kShiny);
    }
    s.Detail(Pixel(int(x), int(top) - 2), qRgb(255, 240, 240));
  };
}

void Sparkle(Sketch& s, double x, double y, QRgb colour) {
  const int ix = int(x);
  const int iy = int(y);
  s.Detail(Pixel(ix, iy - 1) | Pixel(ix - 1, iy) | Pixel(ix + 1, iy) | Pixel(ix, iy + 1), colour);
  s.Detail(Pixel(ix, iy), qRgb(255, 255, 255));
}

CellArt GlowFront(QRgb colour) {
  return [=](Sketch& s, const Pose& p) {
    const Blob b = BlobOf(p);
    const double top = b.bottom - b.height;
    const int f = p.step + 1;
    Sparkle(s, b.cx - b.rx - 1 + f, top + 2 + f * 2, colour);
    Sparkle(s, b.cx + b.rx - f, top - 1 + f, colour);
    if (f != 1) Sparkle(s, b.cx + 2, b.bottom - 2 - f, colour);
  };
}

CellArt GlowBack(QRgb colour) {
  return [=](Sketch& s, const Pose& p) {
    const Blob b = BlobOf(p);
    // Stacked translucent shells: the halo fades outwards.
    s.Fill(BlobShape(b, 2.6), Tint(Mix(colour, qRgb(0, 0, 0), 0.55), 60), kFlat);
    s.Fill(BlobShape(b, 1.3), Tint(Mix(colour, qRgb(0, 0, 0), 0.45), 100), kFlat);
  };
}

CellArt BubblesFront() {
  return [](Sketch& s, const Pose& p) {
    const Blob b = BlobOf(p);
    const int f = p.step + 1;
    const Material bubble = Ramp(qRgb(80, 130, 170), 150);
    const double y = b.bottom - 4 - f * 3;
    s.Fill(Ellipse(b.cx + b.rx - 0.5, y, 1.5, 1.5), bubble, Style{false, false, 1, false});
    s.Detail(Pixel(int(b.cx + b.rx) - 1, int(y) - 1), qRgb(255, 255, 255));
  };
}

CellArt BubblesBack() {
  return [](Sketch& s, const Pose& p) {
    const Blob b = BlobOf(p);
    const int f = p.step + 1;
    const Material bubble = Ramp(qRgb(70, 120, 160), 120);
    for (int k = 0; k < 3; ++k) {
      const double x = b.cx - 7 + k * 6 + (k == 1 ? 0 : f - 1);
      const double y = b.bottom - b.height - 1 - ((k + f) % 3) * 2;
      s.Fill(Ellipse(x, y, 2.0 - k * 0.3, 2.0 - k * 0.3), bubble, Style{false, false, 1, false});
      s.Detail(Pixel(int(x) - 1, int(y) - 1), qRgba(255, 255, 255, 220));
    }
  };
}

}  // namespace

SampleSet SlimeSet() {
  SampleSet set;
  set.folder = "Slime";
  set.settingText =
      "# Slime: 24x24 cells, three hop frames, 6 x 4 cells\n"
      "# name=priority, a larger number is drawn in front\n"
      "Xsize:144\n"
      "Ysize:96\n"
      "Body=1\n"
      "EYES=2\n"
      "Hat=3\n"
      "Aura=4\n";
  // The setting names differ in case from the folders on purpose.
  set.parts = {
      {{"body",
        {{"green.png", SlimeBody(qRgb(92, 196, 96), false), "", {}},
         {"Blue.png", SlimeBody(qRgb(76, 140, 230), false), "", {}},
         {"metal.PNG", SlimeBody(qRgb(176, 186, 204), true), "", {}},
         {"magma.png", SlimeBody(qRgb(232, 100, 52), false), "", {}}}},
       "Body",
       1},
      {{"eyes",
        {{"round.png", Eyes(0), "", {}},
         {"Angry.png", Eyes(1), "", {}},
         {"sleepy.png", Eyes(2), "", {}}}},
       "EYES",
       2},
      {{"hat",
        {{"crown.png", Crown(), "", {}}, {"Leaf.png", Leaf(), "", {}}, {"cap.PNG", Cap(), "", {}}}},
       "Hat",
       3},
      {{"aura",
        {{"glow.png", GlowFront(qRgb(255, 236, 140)), "glow$.png", GlowBack(qRgb(255, 236, 140))},
         {"Bubbles.png", BubblesFront(), "bubbles$.png", BubblesBack()}}},
       "Aura",
       4},
  };
  set.drawSheet = [](const CellArt& art) { return DrawGridSheet(art, kCell, kCell); };
  set.creditsText =
      "filename,notes,authors,licenses,urls\n"
      ".,\"Drawn from code by tools/sample_art, every pixel our own\",Tessarin contributors,"
      "CC0-1.0,tools/sample_art/README.md\n";
  return set;
}

}  // namespace tessarin::sample_art
