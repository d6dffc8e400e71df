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

// The parts of the eight-facing figure set, one file each. Those a palette recolours are drawn
// in the named variant of it, or in their own colours for "".
PartFolder BodyPart(const std::string& skin = {});
PartFolder LowerPart(const std::string& dye = {});
PartFolder UpperPart(const std::string& dye = {});
PartFolder WrapPart(const std::string& dye = {});
PartFolder HairPart(const std::string& hair = {});
PartFolder HeadgearPart(const std::string& dye = {});
PartFolder HeldPart();

// The variants of the skin and hair palettes.
std::vector<std::string> SkinVariants();
std::vector<std::string> HairVariants();

}  // namespace tessarin::sample_art
