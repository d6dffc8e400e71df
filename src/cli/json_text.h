#pragma once

#include <string>
#include <vector>

#include "set_description.h"

namespace tessarin::cli {

// The --list --json listings: one JSON object on one line, without the line end. Names that
// are not UTF-8 get a U+FFFD for each byte that begins no UTF-8 sequence, so the output
// always parses.
std::string SetNamesJson(const std::vector<std::string>& sets);
std::string SetDescriptionJson(const SetDescription& set);

}  // namespace tessarin::cli
