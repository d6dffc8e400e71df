#pragma once

#include "sets.h"

#include <string>

namespace tessarin::sample_art {

// The set.json text of a set's palettes, found by drawing each covered image in every variant:
// a palette lists each colour that some variant changes, and that variant's colour for it.
// Throws when a variant changes more than colours, or gives one colour two colours.
std::string PaletteJson(const SampleSet& set);

}  // namespace tessarin::sample_art
