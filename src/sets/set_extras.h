#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "palette_swap.h"
#include "status.h"

namespace tessarin {

inline constexpr char kSetExtrasFileName[] = "set.json";

// The cells a sheet is cut into; 0 by 0 when it has none.
struct SheetGrid {
  int columns = 0;
  int rows = 0;
  bool IsNone() const { return columns == 0; }
  bool operator==(const SheetGrid& other) const {
    return columns == other.columns && rows == other.rows;
  }
};

// Three frames by eight directions: the layout sets are drawn in unless they say otherwise.
inline constexpr SheetGrid kDefaultGrid{6, 4};

enum class Playback { Forward, Reverse, PingPong };

// As set.json writes it: "forward", "reverse" or "pingpong".
const char* PlaybackName(Playback playback);

// Cells from..to of the grid (row-major), each shown for ms milliseconds.
struct Animation {
  std::string name;
  int from = 0;
  int to = 0;
  Playback playback = Playback::PingPong;
  int ms = 150;
  bool operator==(const Animation& other) const {
    return name == other.name && from == other.from && to == other.to &&
           playback == other.playback && ms == other.ms;
  }
};

// Colours of a set that can be exchanged together for another series of as many colours.
struct Material {
  std::string name;
  // 0xRRGGBB each.
  std::vector<std::uint32_t> source;
  struct Variant {
    std::string name;
    std::vector<std::uint32_t> colours;
  };
  std::vector<Variant> variants;
  // Part folder names it recolours; empty for every part.
  std::vector<std::string> parts;

  bool Covers(std::string_view partFolder) const;
  // The colours of a variant named without case; "source" is the original colours. Nothing
  // when there is no such variant.
  const std::vector<std::uint32_t>* Colours(std::string_view variant) const;
  // The names a choice of colours can take: "source", then the variants in order.
  std::vector<std::string> ChoiceNames() const;
};

// What a set's optional set.json adds to its setting file.
struct SetExtras {
  SheetGrid grid;
  // As written; when the file gives none, the default for the default grid.
  std::vector<Animation> animations;
  std::vector<Material> materials;
  // The sheet's size, for the cells' size and the half sheet's cells.
  int xSize = 0;
  int ySize = 0;
};

// The cells of a saved sheet: how many across and down, and their size in pixels. The half
// sheet keeps the whole cells of the left half. All 0 when the set has no grid.
struct SheetCells {
  int columns = 0;
  int rows = 0;
  int width = 0;
  int height = 0;
};

// The extras of a set of the given size from the text of its set.json (nothing for a set
// without one: pass an empty text). A failure is one line naming the file and the key, and
// leaves the extras of a set without the file.
Status ParseSetExtras(std::string_view json, int xSize, int ySize, SetExtras& extras);
// The same from the set folder; a set without the file, or whose file fails, gets the defaults.
Status ReadSetExtras(const std::filesystem::path& setFolder, int xSize, int ySize,
                     SetExtras& extras);

// The animations of a full sheet, or of the half sheet (the left half kept): those whose
// cells all lie in it, numbered afresh row by row over its own columns.
std::vector<Animation> AnimationsFor(const SetExtras& extras, bool halfSheet);

// The colour swaps for a part folder when each material in `choices` (material name, variant
// name, both without case) takes that variant. A failure names the unknown material or
// variant.
SheetCells CellsFor(const SetExtras& extras, bool halfSheet);

Status SwapsForPart(const SetExtras& extras,
                    const std::vector<std::pair<std::string, std::string>>& choices,
                    std::string_view partFolder, std::vector<ColourSwap>& swaps);

}  // namespace tessarin
