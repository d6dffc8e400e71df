#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "set_state.h"

namespace tessarin::cli {

struct PartDescription {
  int index = 0;
  std::string name;
  std::int32_t priority = 0;
  bool found = false;
  std::vector<std::string> images;
  // Not found because the name leads out of the set folder.
  bool leavesSet = false;
};

// What --list --set shows about one set.
struct SetDescription {
  std::string name;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<PartDescription> parts;
  std::vector<std::int32_t> orderKeys;
  std::vector<std::int32_t> drawOrder;
};

// The priority that placed part's main image in the drawing order, which holds the only copy
// of it once the setting file has been read.
std::optional<std::int32_t> PartPriority(const SetState& state, int part);

// Reads every defined part's folder; the state must hold a read setting file.
SetDescription DescribeSet(const SetState& state);

}  // namespace tessarin::cli
