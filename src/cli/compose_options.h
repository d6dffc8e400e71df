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

struct ComposeOptions {
  enum class Mode { Help, List, Compose };

  Mode mode = Mode::Compose;
  std::optional<std::string> graphics;
  std::optional<std::string> set;
  bool json = false;
  std::vector<PartPick> picks;
  // Part references; "all" stands for every defined part that is not picked.
  std::vector<std::string> randomParts;
  std::optional<std::uint32_t> seed;
  int count = 1;
  // The batch holds characters first .. first + count - 1 of the seeded stream.
  int first = 1;
  bool half = false;
  BlendRule blend = BlendRule::Classic;
  std::string output;

  bool operator==(const ComposeOptions& other) const {
    return mode == other.mode && graphics == other.graphics && set == other.set &&
           json == other.json && picks == other.picks && randomParts == other.randomParts &&
           seed == other.seed && count == other.count && first == other.first &&
           half == other.half && blend == other.blend && output == other.output;
  }
};

// The --random value that selects every part not picked.
inline constexpr const char* kAllParts = "all";

using ParseResult = std::variant<ComposeOptions, CliError>;

// Parses the arguments after the program name. Checks everything that needs no set folder.
ParseResult ParseComposeOptions(const std::vector<std::string>& args);

std::string UsageText();

}  // namespace tessarin::cli
