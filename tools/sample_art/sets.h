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

// A set as drawn in memory: its parts in setting-file order and the sheet of each image.
struct SampleSet {
  std::string folder;
  std::string settingText;  // bytes as written
  std::vector<SetPart> parts;
  std::function<QImage(const CellArt&)> drawSheet;
};

SampleSet FigureSet();
SampleSet SlimeSet();

// Writes the setting file and every part image of the set under graphics/<set folder>.
void WriteSet(const SampleSet& set, const std::filesystem::path& graphics);

}  // namespace tessarin::sample_art
