#pragma once

#include "pose.h"
#include "sketch.h"

namespace tessarin::sample_art {

// Shapes of the shared body template; grow widens them so clothes sit just over the skin.
Region HeadShape(const Pose& p, double grow = 0);
Region TorsoShape(const Pose& p, double grow = 0, double top = -1, double bottom = -1);
Region HipShape(const Pose& p, double grow = 0);
Region LegShape(const Pose& p, int leg, double grow = 0, double fromY = -1, double toY = -1);
Region FootShape(const Pose& p, int leg, double grow = 0);
Region ArmShape(const Pose& p, int arm, double grow = 0, double fromT = 0, double toT = 1);
Region HandShape(const Pose& p, int arm, double grow = 0);

// Point at fraction t along a limb.
QPointF Along(const Limb& limb, double t);

// Everything of the arms that hangs in front of the clothes of the hips and the body,
// widened by its outline; clothes cut it out so the arms stay on top of them.
Region FrontArmsCut(const Pose& p);
Region HandCut(const Pose& p, int arm);

// The order in which limbs are drawn: the back leg first.
int FirstLeg(const Pose& p);

}  // namespace tessarin::sample_art
