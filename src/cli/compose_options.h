#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "blend_rule.h"
#include "cli_error.h"

namespace tessarin::cli {

// A --pick request as typed: the part (index or name) and the image name or "none".
struct PartPick {
  std::string part;
  std::string file;

  bool operator==(const PartPick& other) const { return part == other.part && file == other.file; }
};

// A --color request as typed: the material and its variant or "source".
struct ColourPick {
  std::string material;
  std::string variant;

  bool operator==(const ColourPick& other) const {
    return material == other.material && variant == other.variant;
  }
};

struct ComposeOptions {
  enum class Mode { Help, List, Compose };

  Mode mode = Mode::Compose;
  std::optional<std::string> graphics;
  std::optional<std::string> set;
  bool json = false;
  std::vector<PartPick> picks;
  // Part references; "all" stands for every defined part that is not picked.
  std::vector<std::string> randomParts;
  std::vector<ColourPick> colours;
  // The licences random picks may use, as given; nothing when any may be used.
  std::optional<std::vector<std::string>> licences;
  std::optional<std::uint32_t> seed;
  int count = 1;
  // The batch holds characters first .. first + count - 1 of the seeded stream.
  int first = 1;
  bool half = false;
  BlendRule blend = BlendRule::Classic;
  bool blendGiven = false;
  // Write the sheet's JSON and credits beside it.
  bool metadata = false;
  // The recipe file that names the set, picks and colours instead of flags.
  std::optional<std::string> recipe;
  std::string output;

  bool operator==(const ComposeOptions& other) const {
    return mode == other.mode && graphics == other.graphics && set == other.set &&
           json == other.json && picks == other.picks && randomParts == other.randomParts &&
           colours == other.colours && licences == other.licences && seed == other.seed &&
           count == other.count && first == other.first && half == other.half &&
           blend == other.blend && blendGiven == other.blendGiven && metadata == other.metadata &&
           recipe == other.recipe && output == other.output;
  }
};

// The --random value that selects every part not picked.
inline constexpr const char* kAllParts = "all";

using ParseResult = std::variant<ComposeOptions, CliError>;

// Parses the arguments after the program name. Checks everything that needs no set folder.
ParseResult ParseComposeOptions(const std::vector<std::string>& args);

std::string UsageText();

}  // namespace tessarin::cli
