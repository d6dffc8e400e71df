#include "set_extras.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "extras_file.h"
#include "name_case.h"
#include "set_state.h"
#include "shown_name.h"

namespace tessarin {
namespace {

constexpr int kMaxGridSide = 65535;
// A cell per frame: far past any sheet, while cell numbers and frame lists stay small.
constexpr long long kMaxGridCells = 1 << 20;
constexpr int kMaxFrameMs = 3600000;
// Bounds far past real sets that keep the checks between materials quick on hostile files.
constexpr qsizetype kMaxMaterials = 256;
constexpr qsizetype kMaxColours = 256;
constexpr qsizetype kMaxVariants = 256;

// Names from the file may hold line breaks: escaped, the failure stays one line.
Status Refused(const std::string& key, const std::string& why) {
  return Status::Error(TerminalText(std::string(kSetExtrasFileName) + ": " + key + ": " + why));
}

std::string Utf8(const QString& text) {
  return text.toStdString();
}

// A JSON number that is a whole number within [low, high]; huge, fractional and non-numbers
// are not.
std::optional<int> WholeNumber(const QJsonValue& value, int low, int high) {
  if (!value.isDouble()) return std::nullopt;
  const double number = value.toDouble();
  if (!(number >= low && number <= high) || std::floor(number) != number) return std::nullopt;
  return static_cast<int>(number);
}

std::optional<std::uint32_t> Colour(const QJsonValue& value) {
  if (!value.isString()) return std::nullopt;
  const std::string text = Utf8(value.toString());
  if (text.size() != 7 || text[0] != '#') return std::nullopt;
  std::uint32_t colour = 0;
  for (std::size_t k = 1; k < 7; ++k) {
    const char c = text[k];
    std::uint32_t digit = 0;
    if (c >= '0' && c <= '9')
      digit = static_cast<std::uint32_t>(c - '0');
    else if (c >= 'a' && c <= 'f')
      digit = static_cast<std::uint32_t>(c - 'a' + 10);
    else if (c >= 'A' && c <= 'F')
      digit = static_cast<std::uint32_t>(c - 'A' + 10);
    else
      return std::nullopt;
    colour = colour << 4 | digit;
  }
  return colour;
}

std::string ColourText(std::uint32_t colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(colour & 0xFFFFFFu));
  return text;
}

Status ReadColours(const QJsonValue& value, const std::string& key,
                   std::vector<std::uint32_t>& colours) {
  if (!value.isArray()) return Refused(key, "must be a list of \"#rrggbb\" colours");
  const QJsonArray list = value.toArray();
  if (list.size() > kMaxColours) {
    return Refused(key, "more than " + std::to_string(kMaxColours) + " colours");
  }
  for (qsizetype k = 0; k < list.size(); ++k) {
    const std::optional<std::uint32_t> colour = Colour(list[k]);
    if (!colour) {
      return Refused(key + "[" + std::to_string(k) + "]", "must be a \"#rrggbb\" colour");
    }
    colours.push_back(*colour);
  }
  return Status::Ok();
}

Status ReadGrid(const QJsonObject& root, int xSize, int ySize, SheetGrid& grid) {
  grid = xSize % kDefaultGrid.columns == 0 && ySize % kDefaultGrid.rows == 0 ? kDefaultGrid
                                                                             : SheetGrid{};
  if (!root.contains("grid")) return Status::Ok();
  const QJsonObject value = root.value("grid").toObject();
  const std::optional<int> columns = WholeNumber(value.value("columns"), 1, kMaxGridSide);
  const std::optional<int> rows = WholeNumber(value.value("rows"), 1, kMaxGridSide);
  if (!columns || !rows) {
    return Refused(
        "grid", "columns and rows must be whole numbers from 1 to " + std::to_string(kMaxGridSide));
  }
  if (xSize % *columns != 0 || ySize % *rows != 0) {
    return Refused("grid", "the sheet's " + std::to_string(xSize) + " x " + std::to_string(ySize) +
                               " does not divide into " + std::to_string(*columns) +
                               " columns by " + std::to_string(*rows) + " rows");
  }
  if (static_cast<long long>(*columns) * *rows > kMaxGridCells) {
    return Refused("grid", std::to_string(*columns) + " columns by " + std::to_string(*rows) +
                               " rows are more than " + std::to_string(kMaxGridCells) + " cells");
  }
  grid = {*columns, *rows};
  return Status::Ok();
}

std::vector<Animation> DefaultAnimations() {
  // Rows face down, left, right and up in the left half; the right half holds the diagonals.
  static const char* const kNames[] = {"down",      "left",       "right",   "up",
                                       "down_left", "down_right", "up_left", "up_right"};
  std::vector<Animation> animations;
  for (int k = 0; k < 8; ++k) {
    const int first = (k % 4) * kDefaultGrid.columns + (k / 4) * 3;
    animations.push_back({kNames[k], first, first + 2, Playback::PingPong, 150});
  }
  return animations;
}

Status ReadAnimations(const QJsonObject& root, const SheetGrid& grid,
                      std::vector<Animation>& animations) {
  animations.clear();
  if (!root.contains("animations")) {
    if (grid == kDefaultGrid) animations = DefaultAnimations();
    return Status::Ok();
  }
  const QJsonValue value = root.value("animations");
  if (!value.isArray()) return Refused("animations", "must be a list");
  const QJsonArray list = value.toArray();
  if (!list.isEmpty() && grid.IsNone()) {
    return Refused("animations", "the sheet has no grid: give one under \"grid\"");
  }
  const int cells = grid.columns * grid.rows;
  for (qsizetype k = 0; k < list.size(); ++k) {
    const std::string key = "animations[" + std::to_string(k) + "]";
    if (!list[k].isObject()) return Refused(key, "must be an object");
    const QJsonObject item = list[k].toObject();
    Animation animation;
    const QJsonValue name = item.value("name");
    if (!name.isString() || name.toString().isEmpty()) {
      return Refused(key + ".name", "must be a name");
    }
    animation.name = Utf8(name.toString());
    const char* const ends[] = {"from", "to"};
    for (const char* end : ends) {
      const std::optional<int> cell = WholeNumber(item.value(end), 0, cells - 1);
      if (!cell) {
        return Refused(key + "." + end, "must be a cell from 0 to " + std::to_string(cells - 1));
      }
      (end == ends[0] ? animation.from : animation.to) = *cell;
    }
    if (item.contains("direction")) {
      const std::string direction = Utf8(item.value("direction").toString());
      bool known = false;
      for (const Playback playback : {Playback::Forward, Playback::Reverse, Playback::PingPong}) {
        if (direction != PlaybackName(playback)) continue;
        animation.playback = playback;
        known = true;
      }
      if (!known) return Refused(key + ".direction", "must be forward, reverse or pingpong");
    }
    if (item.contains("ms")) {
      const std::optional<int> ms = WholeNumber(item.value("ms"), 1, kMaxFrameMs);
      if (!ms) {
        return Refused(key + ".ms",
                       "must be a whole number from 1 to " + std::to_string(kMaxFrameMs));
      }
      animation.ms = *ms;
    }
    animations.push_back(std::move(animation));
  }
  return Status::Ok();
}

Status ReadMaterial(const QString& name, const QJsonValue& value, Material& material) {
  const std::string key = "palettes." + Utf8(name);
  material.name = Utf8(name);
  if (!value.isObject()) return Refused(key, "must be an object");
  const QJsonObject object = value.toObject();
  if (Status read = ReadColours(object.value("source"), key + ".source", material.source); !read) {
    return read;
  }
  if (material.source.empty()) return Refused(key + ".source", "must list at least one colour");
  for (std::size_t k = 0; k < material.source.size(); ++k) {
    if (std::find(material.source.begin(), material.source.begin() + k, material.source[k]) !=
        material.source.begin() + k) {
      return Refused(key + ".source", ColourText(material.source[k]) + " is listed twice");
    }
  }
  const QJsonValue variants = object.value("variants");
  if (!variants.isUndefined() && !variants.isObject()) {
    return Refused(key + ".variants", "must be an object");
  }
  const QJsonObject variantObject = variants.toObject();
  if (variantObject.size() > kMaxVariants) {
    return Refused(key + ".variants", "more than " + std::to_string(kMaxVariants) + " variants");
  }
  for (auto it = variantObject.begin(); it != variantObject.end(); ++it) {
    const std::string variantName = Utf8(it.key());
    const std::string variantKey = key + ".variants." + variantName;
    if (EqualsIgnoringCase(variantName, "source")) {
      return Refused(variantKey, "\"source\" names the original colours");
    }
    for (const Material::Variant& other : material.variants) {
      if (EqualsIgnoringCase(other.name, variantName)) {
        return Refused(variantKey, "named like the variant " + other.name);
      }
    }
    Material::Variant variant{variantName, {}};
    if (Status read = ReadColours(it.value(), variantKey, variant.colours); !read) return read;
    if (variant.colours.size() != material.source.size()) {
      return Refused(variantKey, "has " + std::to_string(variant.colours.size()) +
                                     " colours where the source has " +
                                     std::to_string(material.source.size()));
    }
    material.variants.push_back(std::move(variant));
  }
  const QJsonValue parts = object.value("parts");
  if (!parts.isUndefined()) {
    bool names = parts.isArray();
    for (const QJsonValue part : parts.toArray()) {
      names = names && part.isString() && !part.toString().isEmpty();
      if (names) material.parts.push_back(Utf8(part.toString()));
    }
    if (!names || material.parts.empty() || material.parts.size() > kPartCount) {
      return Refused(key + ".parts",
                     "must be a list of 1 to " + std::to_string(kPartCount) + " part folder names");
    }
  }
  return Status::Ok();
}

// The part both materials recolour, "" when both cover every part; nothing when none.
std::optional<std::string> SharedPart(const Material& a, const Material& b) {
  if (a.parts.empty() && b.parts.empty()) return std::string();
  if (a.parts.empty()) return b.parts.front();
  if (b.parts.empty()) return a.parts.front();
  for (const std::string& part : a.parts) {
    if (b.Covers(part)) return part;
  }
  return std::nullopt;
}

Status ReadMaterials(const QJsonObject& root, std::vector<Material>& materials) {
  materials.clear();
  if (!root.contains("palettes")) return Status::Ok();
  const QJsonValue value = root.value("palettes");
  if (!value.isObject()) return Refused("palettes", "must be an object");
  const QJsonObject object = value.toObject();
  if (object.size() > kMaxMaterials) {
    return Refused("palettes", "more than " + std::to_string(kMaxMaterials) + " palettes");
  }
  // Each material's source sorted, parallel to materials, to look colours up quickly.
  std::vector<std::vector<std::uint32_t>> sortedSources;
  for (auto it = object.begin(); it != object.end(); ++it) {
    Material material;
    if (Status read = ReadMaterial(it.key(), it.value(), material); !read) return read;
    for (std::size_t m = 0; m < materials.size(); ++m) {
      const Material& other = materials[m];
      const std::vector<std::uint32_t>& otherSource = sortedSources[m];
      const std::string key = "palettes." + material.name;
      if (EqualsIgnoringCase(other.name, material.name)) {
        return Refused(key, "named like the palette " + other.name);
      }
      const std::optional<std::string> part = SharedPart(other, material);
      if (!part) continue;
      for (const std::uint32_t colour : material.source) {
        if (!std::binary_search(otherSource.begin(), otherSource.end(), colour)) continue;
        return Refused(key, "shares " + ColourText(colour) + " with palettes." + other.name +
                                (part->empty() ? " on every part" : " on part " + *part));
      }
    }
    sortedSources.push_back(material.source);
    std::sort(sortedSources.back().begin(), sortedSources.back().end());
    materials.push_back(std::move(material));
  }
  return Status::Ok();
}

}  // namespace

const char* PlaybackName(Playback playback) {
  switch (playback) {
    case Playback::Forward:
      return "forward";
    case Playback::Reverse:
      return "reverse";
    case Playback::PingPong:
      break;
  }
  return "pingpong";
}

bool Material::Covers(std::string_view partFolder) const {
  return parts.empty() || std::any_of(parts.begin(), parts.end(), [partFolder](const auto& part) {
           return EqualsIgnoringCase(part, partFolder);
         });
}

std::vector<std::string> Material::ChoiceNames() const {
  std::vector<std::string> names{"source"};
  for (const Variant& variant : variants) names.push_back(variant.name);
  return names;
}

const std::vector<std::uint32_t>* Material::Colours(std::string_view variant) const {
  if (EqualsIgnoringCase(variant, "source")) return &source;
  for (const Variant& candidate : variants) {
    if (EqualsIgnoringCase(candidate.name, variant)) return &candidate.colours;
  }
  return nullptr;
}

Status ParseSetExtras(std::string_view json, int xSize, int ySize, SetExtras& extras) {
  // A file that fails counts as none: the set keeps its default grid and animations.
  extras = SetExtras{};
  extras.xSize = xSize;
  extras.ySize = ySize;
  ReadGrid({}, xSize, ySize, extras.grid);
  ReadAnimations({}, extras.grid, extras.animations);
  QJsonObject root;
  if (!json.empty()) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray(json.data(), static_cast<qsizetype>(json.size())), &error);
    if (error.error != QJsonParseError::NoError) {
      return Status::Error(std::string(kSetExtrasFileName) + ": not JSON at byte " +
                           std::to_string(error.offset) + ": " + Utf8(error.errorString()));
    }
    if (!document.isObject()) {
      return Status::Error(std::string(kSetExtrasFileName) + ": must hold a JSON object");
    }
    root = document.object();
  }
  SetExtras read;
  read.xSize = xSize;
  read.ySize = ySize;
  if (Status status = ReadGrid(root, xSize, ySize, read.grid); !status) return status;
  if (Status status = ReadAnimations(root, read.grid, read.animations); !status) return status;
  if (Status status = ReadMaterials(root, read.materials); !status) return status;
  extras = std::move(read);
  return Status::Ok();
}

Status ReadSetExtras(const std::filesystem::path& setFolder, int xSize, int ySize,
                     SetExtras& extras) {
  std::optional<std::string> text;
  if (Status read = ReadExtrasFile(setFolder, kSetExtrasFileName, text); !read) {
    ParseSetExtras({}, xSize, ySize, extras);
    return read;
  }
  return ParseSetExtras(text ? *text : std::string(), xSize, ySize, extras);
}

std::vector<Animation> AnimationsFor(const SetExtras& extras, bool halfSheet) {
  if (!halfSheet || extras.grid.IsNone()) return extras.animations;
  const int columns = extras.grid.columns;
  const int cellWidth = extras.xSize / columns;
  const int halfColumns = cellWidth > 0 ? (extras.xSize / 2) / cellWidth : 0;
  std::vector<Animation> kept;
  for (const Animation& animation : extras.animations) {
    const int first = std::min(animation.from, animation.to);
    const int last = std::max(animation.from, animation.to);
    bool inside = halfColumns > 0;
    for (int cell = first; inside && cell <= last; ++cell) inside = cell % columns < halfColumns;
    if (!inside) continue;
    Animation renumbered = animation;
    renumbered.from = animation.from / columns * halfColumns + animation.from % columns;
    renumbered.to = animation.to / columns * halfColumns + animation.to % columns;
    kept.push_back(std::move(renumbered));
  }
  return kept;
}

SheetCells CellsFor(const SetExtras& extras, bool halfSheet) {
  if (extras.grid.IsNone()) return {};
  SheetCells cells;
  cells.width = extras.xSize / extras.grid.columns;
  cells.height = extras.ySize / extras.grid.rows;
  cells.columns =
      halfSheet ? (cells.width > 0 ? (extras.xSize / 2) / cells.width : 0) : extras.grid.columns;
  cells.rows = extras.grid.rows;
  if (cells.columns == 0 || cells.width == 0 || cells.height == 0) return {};
  return cells;
}

Status SwapsForPart(const SetExtras& extras,
                    const std::vector<std::pair<std::string, std::string>>& choices,
                    std::string_view partFolder, std::vector<ColourSwap>& swaps) {
  swaps.clear();
  for (const auto& choice : choices) {
    // Named apart: a lambda may not capture a structured binding before C++20.
    const std::string& materialName = choice.first;
    const std::string& variantName = choice.second;
    const auto material =
        std::find_if(extras.materials.begin(), extras.materials.end(),
                     [&](const Material& m) { return EqualsIgnoringCase(m.name, materialName); });
    if (material == extras.materials.end()) {
      return Status::Error(
          TerminalText(std::string(kSetExtrasFileName) + ": no palette named " + materialName));
    }
    const std::vector<std::uint32_t>* colours = material->Colours(variantName);
    if (!colours) {
      return Status::Error(TerminalText(std::string(kSetExtrasFileName) + ": palettes." +
                                        material->name + ": no variant named " + variantName));
    }
    if (!material->Covers(partFolder)) continue;
    for (std::size_t k = 0; k < colours->size(); ++k) {
      if ((*colours)[k] != material->source[k])
        swaps.push_back({material->source[k], (*colours)[k]});
    }
  }
  return Status::Ok();
}

}  // namespace tessarin
