#pragma once

#include <string>
#include <utility>
#include <vector>

#include "character_recipe.h"
#include "set_credits.h"
#include "set_extras.h"

namespace tessarin {

// An image a sheet was drawn from, and who made it.
struct UsedImage {
  // Relative to the set folder, separated by "/".
  std::string file;
  // Nothing when no credit names it.
  const Credit* credit = nullptr;
};

// What game engines and people need beside a saved sheet.
struct SheetMetadata {
  // The sheet's file name, without a folder: the JSON lies beside it.
  std::string imageName;
  int width = 0;
  int height = 0;
  SheetCells cells;
  // The saved sheet's, with cells numbered over its own columns.
  std::vector<Animation> animations;
  CharacterRecipe recipe;
  std::vector<UsedImage> images;
};

// The sprite-sheet JSON in the hash form game engines import: "frames" keyed "0" … "N-1",
// the cells row by row, and "meta" with the animations as "frameTags", the recipe under
// "tessarin" and the credits.
std::string SpriteSheetJson(const SheetMetadata& metadata);

// "FILE" by AUTHORS, licensed LICENSES: URLS, or that no credit is recorded for it.
std::string CreditLine(const UsedImage& image);

// One credit line for each image, each ending in a line feed.
std::string CreditsText(const std::vector<UsedImage>& images);

// The metadata files of a sheet, UTF-8 paths: the sheet's with ".json", or with
// ".credits.txt", for its extension.
std::string MetadataName(const std::string& sheetPath, const char* ending);

// The files written beside the sheet at sheetPath: its JSON and its credits, each as a UTF-8
// path and its text.
std::vector<std::pair<std::string, std::string>> MetadataFiles(const SheetMetadata& metadata,
                                                               const std::string& sheetPath);

}  // namespace tessarin
