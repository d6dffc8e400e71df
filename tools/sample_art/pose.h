#pragma once

#include <QPointF>

namespace tessarin::sample_art {

// Rows of the sheet: the left half holds the four main facings, the right half the diagonals.
enum class Facing { Down, Left, Right, Up, DownLeft, DownRight, UpLeft, UpRight };

inline constexpr Facing kFacings[] = {Facing::Down,   Facing::Left,     Facing::Right,
                                      Facing::Up,     Facing::DownLeft, Facing::DownRight,
                                      Facing::UpLeft, Facing::UpRight};

// The drawing a facing is made from; right-facing ones are the left-facing ones mirrored.
enum class View { Front, Side, Back, FrontQuarter, BackQuarter };

struct Limb {
  QPointF root;
  QPointF end;
};

// Where the body template puts everything in one 32 x 48 cell. Limb 0 is the one on the
// viewer's left before mirroring; in the side view limb 0 is the near one.
struct Pose {
  Facing facing;
  View view;
  bool mirror;
  int step;  // -1: limb-0 leg forward, 0: standing, 1: limb-1 leg forward

  QPointF head;
  double headRx;
  double headRy;
  double faceX;  // centre line of the face

  double shoulderY;
  double waistY;
  double hipY;  // bottom of the hips
  double shoulderL, shoulderR;
  double waistL, waistR;

  Limb leg[2];
  Limb arm[2];
  int backLeg;  // drawn first
  int farArm;   // hidden behind the torso, or -1 when both hang at the sides
  int itemArm;  // hand that holds a weapon or staff
  int shieldArm;
  QPointF footOffset;  // foot centre relative to the ankle
  double forwardX;     // -1 when the figure faces left, +1 right, 0 straight

  bool facesViewer() const { return view == View::Front || view == View::FrontQuarter; }
  bool showsBack() const { return view == View::Back || view == View::BackQuarter; }
};

Pose MakePose(Facing facing, int frame);

// Sheet position of a facing: row and whether it sits in the right (diagonal) half.
int FacingRow(Facing facing);
bool FacingInRightHalf(Facing facing);

}  // namespace tessarin::sample_art
