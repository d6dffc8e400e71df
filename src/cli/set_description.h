#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "set_additions.h"
#include "set_state.h"

namespace tessarin::cli {

// Who made one image of a part, from the set's credits file.
struct ImageCredit {
  std::string image;
  std::vector<std::string> authors;
  std::vector<std::string> licenses;
};

struct PartDescription {
  int index = 0;
  std::string name;
  std::int32_t priority = 0;
  bool found = false;
  std::vector<std::string> images;
  // Not found because the name leads out of the set folder.
  bool leavesSet = false;
  // In image order; only the images that have a credit.
  std::vector<ImageCredit> credits;
};

// A material's name and what it can be recoloured to, "source" first.
struct PaletteDescription {
  std::string material;
  std::vector<std::string> variants;
};

// What --list --set shows about one set.
struct SetDescription {
  std::string name;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<PartDescription> parts;
  std::vector<std::int32_t> orderKeys;
  std::vector<std::int32_t> drawOrder;
  SheetGrid grid;
  std::vector<Animation> animations;
  std::vector<PaletteDescription> palettes;
};

// The priority that placed part's main image in the drawing order, which holds the only copy
// of it once the setting file has been read.
std::optional<std::int32_t> PartPriority(const SetState& state, int part);

// Reads every defined part's folder; the state must hold a read setting file.
SetDescription DescribeSet(const SetState& state, const SetAdditions& additions);

}  // namespace tessarin::cli
