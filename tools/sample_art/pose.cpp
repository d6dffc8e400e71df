#include "pose.h"

namespace tessarin::sample_art {

namespace {

void Standing(Pose& p) {
  p.head = {16, 16.5};
  p.headRx = 7.6;
  p.headRy = 7.2;
  p.faceX = 16;
  p.shoulderY = 24.5;
  p.waistY = 32;
  p.hipY = 36;
  p.shoulderL = 10.5;
  p.shoulderR = 21.5;
  p.waistL = 11.5;
  p.waistR = 20.5;
  p.leg[0] = {{13, 33}, {13, 43.5}};
  p.leg[1] = {{19, 33}, {19, 43.5}};
  p.arm[0] = {{10, 25.8}, {9.2, 32.5}};
  p.arm[1] = {{22, 25.8}, {22.8, 32.5}};
  p.backLeg = 0;
  p.farArm = -1;
  p.itemArm = 0;
  p.shieldArm = 1;
  p.footOffset = {0, 1};
  p.forwardX = 0;
}

void MoveLimbEnd(Limb& limb, double dx, double dy) {
  limb.end += QPointF(dx, dy);
}

void FrontLike(Pose& p, bool back) {
  Standing(p);
  if (back) {
    p.itemArm = 1;
    p.shieldArm = 0;
  }
  if (p.step == 0) return;
  const int fwd = p.step < 0 ? 0 : 1;
  const int rear = 1 - fwd;
  // From the front a leading foot comes nearer (lower); from behind it goes away (higher).
  const double near = back ? -1 : 1;
  MoveLimbEnd(p.leg[fwd], 0, near);
  MoveLimbEnd(p.leg[rear], 0, -near);
  const double in = fwd == 0 ? 1 : -1;  // towards the middle for the swinging arm
  MoveLimbEnd(p.arm[rear], -in * 0.5, near * 0.5);
  MoveLimbEnd(p.arm[fwd], -in, -near * 0.5);
  p.backLeg = back ? fwd : rear;
}

void Side(Pose& p) {
  Standing(p);
  p.headRx = 7.2;
  p.shoulderL = 12;
  p.shoulderR = 20.5;
  p.waistL = 12.5;
  p.waistR = 20;
  p.leg[0] = {{15.5, 33}, {15.5, 43.5}};
  p.leg[1] = {{17, 33}, {17, 43.5}};
  p.arm[0] = {{16, 26}, {16, 33}};
  p.arm[1] = {{16.5, 26}, {16.5, 33}};
  p.backLeg = 1;
  p.farArm = 1;
  p.itemArm = 0;
  p.shieldArm = 0;
  p.footOffset = {-1, 1};
  p.forwardX = -1;
  p.faceX = 11;
  if (p.step < 0) {
    p.leg[0].end = {12, 43.5};
    p.leg[1].end = {20.5, 43.5};
    p.arm[0].end = {19.5, 32};
    p.arm[1].end = {12, 32};
  } else if (p.step > 0) {
    p.leg[0].end = {19.5, 43.5};
    p.leg[1].end = {13, 43.5};
    p.arm[0].end = {12.5, 32};
    p.arm[1].end = {20, 32};
  }
}

void Quarter(Pose& p, bool back) {
  Standing(p);
  p.head = {back ? 16.5 : 15.5, 16.5};
  p.headRx = 7.4;
  p.faceX = 13.5;
  p.shoulderL = 11;
  p.shoulderR = 21;
  p.waistL = 12;
  p.waistR = 20.5;
  p.leg[0] = {{13.5, 33}, {12.5, 43.5}};
  p.leg[1] = {{18.5, 33}, {18.5, 43.5}};
  p.arm[0] = {{10.5, 26}, {10, 32.5}};
  p.arm[1] = {{21.5, 26}, {22, 32.5}};
  p.footOffset = {-0.7, 1};
  p.forwardX = -1;
  p.backLeg = back ? 1 : 0;
  p.itemArm = back ? 1 : 0;
  p.shieldArm = back ? 0 : 1;
  if (p.step == 0) return;
  const int fwd = p.step < 0 ? 0 : 1;
  const int rear = 1 - fwd;
  const double dy = back ? -1 : 1;  // forward is down-left, or up-left from behind
  MoveLimbEnd(p.leg[fwd], -1.5, dy);
  MoveLimbEnd(p.leg[rear], 1.5, -dy);
  MoveLimbEnd(p.arm[rear], -1, dy * 0.5);
  MoveLimbEnd(p.arm[fwd], 1, -dy * 0.5);
}

}  // namespace

Pose MakePose(Facing facing, int frame) {
  Pose p{};
  p.facing = facing;
  p.step = frame - 1;
  switch (facing) {
    case Facing::Down:
      p.view = View::Front;
      FrontLike(p, false);
      break;
    case Facing::Up:
      p.view = View::Back;
      FrontLike(p, true);
      break;
    case Facing::Left:
    case Facing::Right:
      p.view = View::Side;
      Side(p);
      break;
    case Facing::DownLeft:
    case Facing::DownRight:
      p.view = View::FrontQuarter;
      Quarter(p, false);
      break;
    case Facing::UpLeft:
    case Facing::UpRight:
      p.view = View::BackQuarter;
      Quarter(p, true);
      break;
  }
  p.mirror = facing == Facing::Right || facing == Facing::DownRight || facing == Facing::UpRight;
  return p;
}

int FacingRow(Facing facing) {
  switch (facing) {
    case Facing::Down:
    case Facing::DownLeft:
      return 0;
    case Facing::Left:
    case Facing::DownRight:
      return 1;
    case Facing::Right:
    case Facing::UpLeft:
      return 2;
    case Facing::Up:
    case Facing::UpRight:
      return 3;
  }
  return 0;
}

bool FacingInRightHalf(Facing facing) {
  return facing == Facing::DownLeft || facing == Facing::DownRight || facing == Facing::UpLeft ||
         facing == Facing::UpRight;
}

}  // namespace tessarin::sample_art
