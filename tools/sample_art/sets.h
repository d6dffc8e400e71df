#pragma once

#include "catalog.h"

#include <QImage>

#include <filesystem>
#include <string>
#include <vector>

namespace tessarin::sample_art {

struct SetPart {
  PartFolder folder;
  std::string settingName;  // may differ in case from the folder name
  int priority;
};

// A palette of a set: the part folders it recolours, each drawn in one of its variants or, for
// "", in the colours of the images written.
struct SamplePalette {
  std::string name;
  std::vector<std::string> variants;
  std::vector<std::function<PartFolder(const std::string& variant)>> parts;
};

// A set as drawn in memory: its parts in setting-file order and the sheet of each image.
struct SampleSet {
  std::string folder;
  std::string settingText;  // bytes as written
  std::vector<SetPart> parts;
  std::function<QImage(const CellArt&)> drawSheet;
  std::vector<SamplePalette> palettes;  // none: no set.json
  std::string creditsText;              // CREDITS.csv as written
};

SampleSet FigureSet();
SampleSet SlimeSet();

// Writes the setting file, every part image, the palettes and the credits of the set under
// graphics/<set folder>.
void WriteSet(const SampleSet& set, const std::filesystem::path& graphics);

}  // namespace tessarin::sample_art
