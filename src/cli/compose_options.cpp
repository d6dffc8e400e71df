#include "compose_options.h"

#include <charconv>
#include <cstddef>
#include <limits>
#include <string_view>
#include <system_error>
#include <utility>

namespace tessarin::cli {
namespace {

std::optional<std::uint64_t> ParseDecimal(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  const char* end = text.data() + text.size();
  auto [next, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || next != end) return std::nullopt;
  return value;
}

std::string Quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

class OptionParser {
 public:
  explicit OptionParser(const std::vector<std::string>& args) : args_(args) {}

  ParseResult Parse() {
    while (index_ < args_.size()) {
      const std::string& arg = args_[index_++];
      std::string_view flag = arg;
      std::optional<std::string> inlineValue;
      // "--flag=value" is accepted for every long flag that takes a value.
      if (flag.size() > 2 && flag.substr(0, 2) == "--") {
        std::size_t equals = flag.find('=');
        if (equals != std::string_view::npos) {
          inlineValue = std::string(flag.substr(equals + 1));
          flag = flag.substr(0, equals);
        }
      }
      if (auto error = Handle(flag, inlineValue)) return *error;
      if (options_.mode == ComposeOptions::Mode::Help) return options_;
    }
    if (auto error = CheckCombination()) return *error;
    return options_;
  }

 private:
  std::optional<CliError> Handle(std::string_view flag, std::optional<std::string>& inlineValue) {
    if (flag == "--help" || flag == "-h") {
      options_.mode = ComposeOptions::Mode::Help;
      return NoValueExpected(flag, inlineValue);
    }
    if (flag == "--list") {
      listGiven_ = true;
      return NoValueExpected(flag, inlineValue);
    }
    if (flag == "--json") {
      options_.json = true;
      return NoValueExpected(flag, inlineValue);
    }
    if (flag == "--half") {
      options_.half = true;
      return NoValueExpected(flag, inlineValue);
    }
    if (flag == "--graphics") return TakeOnce(flag, inlineValue, options_.graphics);
    if (flag == "--set") return TakeOnce(flag, inlineValue, options_.set);
    if (flag == "-o") {
      std::optional<std::string> output;
      if (outputGiven_) return UsageError("-o given more than once");
      if (auto error = TakeOnce(flag, inlineValue, output)) return error;
      outputGiven_ = true;
      options_.output = *output;
      return std::nullopt;
    }
    if (flag == "--pick") return TakePick(inlineValue);
    if (flag == "--random") {
      std::string part;
      if (auto error = TakeValue(flag, inlineValue, part)) return error;
      options_.randomParts.push_back(std::move(part));
      return std::nullopt;
    }
    if (flag == "--seed") return TakeSeed(inlineValue);
    if (flag == "--count") return TakeCount(inlineValue);
    if (flag == "--blend") return TakeBlend(inlineValue);
    if (!flag.empty() && flag[0] == '-') return UsageError("unknown option " + Quoted(flag));
    return UsageError("unexpected argument " + Quoted(flag));
  }

  std::optional<CliError> NoValueExpected(std::string_view flag,
                                          const std::optional<std::string>& inlineValue) {
    if (inlineValue) return UsageError(std::string(flag) + " takes no value");
    return std::nullopt;
  }

  // A flag's value, from "--flag=value" or from the next argument; never empty.
  std::optional<CliError> TakeValue(std::string_view flag, std::optional<std::string>& inlineValue,
                                    std::string& value) {
    if (inlineValue) {
      value = std::move(*inlineValue);
    } else if (index_ < args_.size()) {
      value = args_[index_++];
    } else {
      return UsageError(std::string(flag) + " needs a value");
    }
    if (value.empty()) return UsageError(std::string(flag) + " needs a non-empty value");
    return std::nullopt;
  }

  std::optional<CliError> TakeOnce(std::string_view flag, std::optional<std::string>& inlineValue,
                                   std::optional<std::string>& target) {
    if (target) return UsageError(std::string(flag) + " given more than once");
    std::string value;
    if (auto error = TakeValue(flag, inlineValue, value)) return error;
    target = std::move(value);
    return std::nullopt;
  }

  std::optional<CliError> TakePick(std::optional<std::string>& inlineValue) {
    std::string value;
    if (auto error = TakeValue("--pick", inlineValue, value)) return error;
    std::size_t equals = value.find('=');
    if (equals == 0 || equals == std::string::npos || equals + 1 == value.size()) {
      return UsageError("--pick expects PART=FILE, got " + Quoted(value));
    }
    options_.picks.push_back({value.substr(0, equals), value.substr(equals + 1)});
    return std::nullopt;
  }

  std::optional<CliError> TakeSeed(std::optional<std::string>& inlineValue) {
    if (options_.seed) return UsageError("--seed given more than once");
    std::string value;
    if (auto error = TakeValue("--seed", inlineValue, value)) return error;
    auto seed = ParseDecimal(value);
    if (!seed || *seed > std::numeric_limits<std::uint32_t>::max()) {
      return UsageError("--seed expects a whole number from 0 to 4294967295, got " + Quoted(value));
    }
    options_.seed = static_cast<std::uint32_t>(*seed);
    return std::nullopt;
  }

  std::optional<CliError> TakeCount(std::optional<std::string>& inlineValue) {
    if (countGiven_) return UsageError("--count given more than once");
    std::string value;
    if (auto error = TakeValue("--count", inlineValue, value)) return error;
    auto count = ParseDecimal(value);
    if (!count || *count < 1 ||
        *count > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) {
      return UsageError("--count expects a whole number of at least 1, got " + Quoted(value));
    }
    countGiven_ = true;
    options_.count = static_cast<int>(*count);
    return std::nullopt;
  }

  std::optional<CliError> TakeBlend(std::optional<std::string>& inlineValue) {
    if (blendGiven_) return UsageError("--blend given more than once");
    std::string value;
    if (auto error = TakeValue("--blend", inlineValue, value)) return error;
    if (value == "classic") {
      options_.blend = BlendRule::Classic;
    } else if (value == "standard") {
      options_.blend = BlendRule::Standard;
    } else {
      return UsageError("--blend expects classic or standard, got " + Quoted(value));
    }
    blendGiven_ = true;
    return std::nullopt;
  }

  std::optional<CliError> CheckCombination() {
    if (listGiven_) {
      options_.mode = ComposeOptions::Mode::List;
      const std::pair<bool, const char*> composeOnly[] = {
          {!options_.picks.empty(), "--pick"},
          {!options_.randomParts.empty(), "--random"},
          {options_.seed.has_value(), "--seed"},
          {countGiven_, "--count"},
          {options_.half, "--half"},
          {blendGiven_, "--blend"},
          {outputGiven_, "-o"}};
      for (const auto& [given, flag] : composeOnly) {
        if (given) return UsageError(std::string("--list cannot be combined with ") + flag);
      }
      return std::nullopt;
    }
    options_.mode = ComposeOptions::Mode::Compose;
    if (options_.json) return UsageError("--json only applies to --list");
    if (!options_.set) return UsageError("--set NAME is required to compose (or use --list)");
    if (!outputGiven_) return UsageError("-o OUT is required to compose");
    if (options_.count > 1 && options_.output.find(kCounterToken) == std::string::npos) {
      return UsageError("--count " + std::to_string(options_.count) + " needs " + kCounterToken +
                        " in the -o name, got " + Quoted(options_.output));
    }
    return std::nullopt;
  }

  const std::vector<std::string>& args_;
  std::size_t index_ = 0;
  ComposeOptions options_;
  bool listGiven_ = false;
  bool outputGiven_ = false;
  bool countGiven_ = false;
  bool blendGiven_ = false;
};

}  // namespace

ParseResult ParseComposeOptions(const std::vector<std::string>& args) {
  return OptionParser(args).Parse();
}

std::string UsageText() {
  return R"(Usage:
  tessarin-compose [--graphics DIR] --list [--set NAME] [--json]
  tessarin-compose [--graphics DIR] --set NAME [--pick PART=FILE]... [--random PART]...
                   [--seed N] [--count N] [--half] [--blend classic|standard] -o OUT

Composes character sheets from the layered part images of a set.

  --graphics DIR   folder holding the sets (default: Graphics beside this program)
  --list           list the sets, or with --set the set's size, parts and layer order
  --json           print the listing as one JSON object
  --set NAME       the set folder, matched without case
  --pick PART=FILE show FILE in PART; FILE is an image of the part or 'none'
  --random PART    give PART a random image; 'all' means every part not picked
  --seed N         seed of the random picks (default: the current time)
  --count N        write N characters; OUT must contain {n}, the character number
  --half           keep only the left half of every layer (8 directions to 4)
  --blend RULE     classic (default, as the sets were tuned) or standard alpha blending
  -o OUT           output image; the format follows the extension

PART is a part index 0-7 or a part name from setting.txt. Parts not picked show nothing.

Exit codes: 0 success, 1 usage error, 2 bad input, 3 output not written.
)";
}

}  // namespace tessarin::cli
