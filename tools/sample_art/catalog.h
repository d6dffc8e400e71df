#pragma once

#include "pose.h"
#include "sketch.h"

#include <functional>
#include <string>
#include <vector>

namespace tessarin::sample_art {

// Draws one cell of one layer.
using CellArt = std::function<void(Sketch&, const Pose&)>;

// One selectable image of a part and, when it has one, its back-layer companion.
struct PartImage {
  std::string file;
  CellArt front;
  std::string companionFile;  // empty when there is none
  CellArt back;
};

struct PartFolder {
  std::string folder;  // UTF-8 on disk
  std::vector<PartImage> images;
};

// The parts of the eight-facing figure set, one file each.
PartFolder BodyPart();
PartFolder LowerPart();
PartFolder UpperPart();
PartFolder WrapPart();
PartFolder HairPart();
PartFolder HeadgearPart();
PartFolder HeldPart();

}  // namespace tessarin::sample_art
