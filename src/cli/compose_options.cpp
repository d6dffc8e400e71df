#include "compose_options.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <charconv>
#include <cstddef>
#include <limits>
#include <string_view>
#include <system_error>
#include <utility>

#include "output_pattern.h"

namespace tessarin::cli {
namespace {

// Arguments are bytes. Latin-1 gives each byte a character of its own, so names that are not
// UTF-8 come out of the parser as they went in.
QString FromBytes(std::string_view bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToBytes(const QString& text) {
  return text.toLatin1().toStdString();
}

// Names of one letter are written with one dash, the others with two.
const QList<QCommandLineOption>& Flags() {
  static const QList<QCommandLineOption> flags = {
      QCommandLineOption({QStringLiteral("help"), QStringLiteral("h")}, QString()),
      QCommandLineOption(QStringLiteral("list"), QString()),
      QCommandLineOption(QStringLiteral("json"), QString()),
      QCommandLineOption(QStringLiteral("half"), QString()),
      QCommandLineOption(QStringLiteral("metadata"), QString()),
      QCommandLineOption(QStringLiteral("graphics"), QString(), QStringLiteral("DIR")),
      QCommandLineOption(QStringLiteral("set"), QString(), QStringLiteral("NAME")),
      QCommandLineOption(QStringLiteral("o"), QString(), QStringLiteral("OUT")),
      QCommandLineOption(QStringLiteral("pick"), QString(), QStringLiteral("PART=FILE")),
      QCommandLineOption(QStringLiteral("random"), QString(), QStringLiteral("PART")),
      QCommandLineOption(QStringLiteral("seed"), QString(), QStringLiteral("N")),
      QCommandLineOption(QStringLiteral("count"), QString(), QStringLiteral("N")),
      QCommandLineOption(QStringLiteral("first"), QString(), QStringLiteral("K")),
      QCommandLineOption(QStringLiteral("blend"), QString(), QStringLiteral("RULE")),
      QCommandLineOption(QStringLiteral("color"), QString(), QStringLiteral("MATERIAL=VARIANT")),
      QCommandLineOption(QStringLiteral("license"), QString(), QStringLiteral("LIST")),
      QCommandLineOption(QStringLiteral("recipe"), QString(), QStringLiteral("FILE")),
  };
  return flags;
}

std::string Spelling(const QString& name) {
  return (name.size() == 1 ? "-" : "--") + ToBytes(name);
}

// The flag spelled exactly so, or nullptr.
const QCommandLineOption* SpelledFlag(std::string_view spelling) {
  for (const QCommandLineOption& flag : Flags()) {
    for (const QString& name : flag.names()) {
      if (Spelling(name) == spelling) return &flag;
    }
  }
  return nullptr;
}

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

bool EndsWithJson(std::string_view name) {
  constexpr std::string_view kJson = ".json";
  if (name.size() < kJson.size()) return false;
  std::string ending(name.substr(name.size() - kJson.size()));
  for (char& c : ending) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
  return ending == kJson;
}

// An argument in a flag's place that is none of our flags as we spell them.
struct Misspelling {
  std::size_t index = 0;
  CliError error;
};

// QCommandLineParser also takes "-set", "--o" and "-o=x" for flags and "--" for the end of the
// flags, and does not say which switch was given a value; we never accepted any of those. So
// the arguments are walked first, as the parser walks them, to the first such one. The parser
// reads only the arguments before it, and it is reported when nothing there is wrong.
std::optional<Misspelling> FindMisspelling(const std::vector<std::string>& args) {
  for (std::size_t index = 0; index < args.size(); ++index) {
    std::string_view flag = args[index];
    bool inlineValue = false;
    // "--flag=value" is accepted for every long flag that takes a value.
    if (flag.size() > 2 && flag.substr(0, 2) == "--") {
      const std::size_t equals = flag.find('=');
      if (equals != std::string_view::npos) {
        inlineValue = true;
        flag = flag.substr(0, equals);
      }
    }
    const QCommandLineOption* option = SpelledFlag(flag);
    if (option == nullptr) {
      if (!flag.empty() && flag[0] == '-') {
        return Misspelling{index, UsageError("unknown option " + Quoted(flag))};
      }
      return Misspelling{index, UsageError("unexpected argument " + Quoted(flag))};
    }
    const bool takesValue = !option->valueName().isEmpty();
    if (inlineValue && !takesValue) {
      return Misspelling{index, UsageError(std::string(flag) + " takes no value")};
    }
    if (takesValue && !inlineValue) ++index;  // its value, whatever it looks like
  }
  return std::nullopt;
}

// Takes the flags the parser found one by one, in the order given, checking each on the way.
class OptionReader {
 public:
  explicit OptionReader(const QCommandLineParser& parser) : parser_(parser) {}

  std::optional<CliError> Take(const QString& name) {
    const std::string flag = Spelling(name);
    if (flag == "--help" || flag == "-h") {
      options_.mode = ComposeOptions::Mode::Help;
      return std::nullopt;
    }
    if (flag == "--list") {
      listGiven_ = true;
      return std::nullopt;
    }
    if (flag == "--json") {
      options_.json = true;
      return std::nullopt;
    }
    if (flag == "--half") {
      options_.half = true;
      return std::nullopt;
    }
    if (flag == "--metadata") {
      options_.metadata = true;
      return std::nullopt;
    }
    if (flag == "--graphics") return TakeOnce(name, options_.graphics);
    if (flag == "--recipe") return TakeOnce(name, options_.recipe);
    if (flag == "--color") return TakeColour(name);
    if (flag == "--license") return TakeLicences(name);
    if (flag == "--set") return TakeOnce(name, options_.set);
    if (flag == "-o") {
      std::optional<std::string> output;
      if (outputGiven_) return UsageError("-o given more than once");
      if (auto error = TakeOnce(name, output)) return error;
      outputGiven_ = true;
      options_.output = *output;
      return std::nullopt;
    }
    if (flag == "--pick") return TakePick(name);
    if (flag == "--random") {
      std::string part;
      if (auto error = TakeValue(name, part)) return error;
      options_.randomParts.push_back(std::move(part));
      return std::nullopt;
    }
    if (flag == "--seed") return TakeSeed(name);
    if (flag == "--count") return TakeCount(name);
    if (flag == "--first") return TakeFirst(name);
    return TakeBlend(name);
  }

  bool HelpWanted() const { return options_.mode == ComposeOptions::Mode::Help; }
  const ComposeOptions& Options() const { return options_; }

  std::optional<CliError> CheckCombination() {
    if (listGiven_) {
      options_.mode = ComposeOptions::Mode::List;
      const std::pair<bool, const char*> composeOnly[] = {
          {!options_.picks.empty(), "--pick"},
          {!options_.randomParts.empty(), "--random"},
          {options_.seed.has_value(), "--seed"},
          {countGiven_, "--count"},
          {firstGiven_, "--first"},
          {options_.half, "--half"},
          {options_.blendGiven, "--blend"},
          {!options_.colours.empty(), "--color"},
          {options_.licences.has_value(), "--license"},
          {options_.metadata, "--metadata"},
          {options_.recipe.has_value(), "--recipe"},
          {outputGiven_, "-o"}};
      for (const auto& [given, flag] : composeOnly) {
        if (given) return UsageError(std::string("--list cannot be combined with ") + flag);
      }
      return std::nullopt;
    }
    options_.mode = ComposeOptions::Mode::Compose;
    if (options_.json) return UsageError("--json only applies to --list");
    if (options_.recipe) {
      // The recipe names the set and every choice; only the output and its form are left.
      const std::pair<bool, const char*> chosenByRecipe[] = {
          {options_.set.has_value(), "--set"},
          {!options_.picks.empty(), "--pick"},
          {!options_.randomParts.empty(), "--random"},
          {!options_.colours.empty(), "--color"},
          {options_.licences.has_value(), "--license"},
          {options_.seed.has_value(), "--seed"},
          {countGiven_, "--count"},
          {firstGiven_, "--first"}};
      for (const auto& [given, flag] : chosenByRecipe) {
        if (given) return UsageError(std::string("--recipe cannot be combined with ") + flag);
      }
    } else if (!options_.set) {
      return UsageError("--set NAME is required to compose (or use --list or --recipe)");
    }
    if (!outputGiven_) return UsageError("-o OUT is required to compose");
    if (options_.metadata && EndsWithJson(options_.output)) {
      return UsageError("--metadata writes OUT's name ending in .json beside it; -o " +
                        Quoted(options_.output) + " would be overwritten");
    }
    if (firstGiven_ && !countGiven_) return UsageError("--first only applies with --count");
    if (!WidthsWellFormed(options_.output)) {
      return UsageError("-o expects {n:W} with a width W from 1 to 9, got " +
                        Quoted(options_.output));
    }
    if (options_.count > 1 && !PlacesNumber(options_.output)) {
      return UsageError("--count " + std::to_string(options_.count) + " needs " + kCounterToken +
                        " in the -o name, got " + Quoted(options_.output));
    }
    // Every number of the batch must fit where --count alone may reach.
    if (options_.first - 1 > std::numeric_limits<int>::max() - options_.count) {
      return UsageError("--first " + std::to_string(options_.first) + " with --count " +
                        std::to_string(options_.count) + " goes beyond character " +
                        std::to_string(std::numeric_limits<int>::max()));
    }
    return std::nullopt;
  }

 private:
  // The flag's next value, never empty. Only the last flag can lack one: the parser stops
  // there.
  std::optional<CliError> TakeValue(const QString& name, std::string& value) {
    const QStringList values = parser_.values(name);
    qsizetype& taken = valuesTaken_[name];
    if (taken >= values.size()) return UsageError(Spelling(name) + " needs a value");
    value = ToBytes(values[taken++]);
    if (value.empty()) return UsageError(Spelling(name) + " needs a non-empty value");
    return std::nullopt;
  }

  std::optional<CliError> TakeOnce(const QString& name, std::optional<std::string>& target) {
    if (target) return UsageError(Spelling(name) + " given more than once");
    std::string value;
    if (auto error = TakeValue(name, value)) return error;
    target = std::move(value);
    return std::nullopt;
  }

  // A value LEFT=RIGHT, both sides given; form names them in the error.
  std::optional<CliError> TakeAssignment(const QString& name, const char* form,
                                         std::pair<std::string, std::string>& sides) {
    std::string value;
    if (auto error = TakeValue(name, value)) return error;
    const std::size_t equals = value.find('=');
    if (equals == 0 || equals == std::string::npos || equals + 1 == value.size()) {
      return UsageError(Spelling(name) + " expects " + form + ", got " + Quoted(value));
    }
    sides = {value.substr(0, equals), value.substr(equals + 1)};
    return std::nullopt;
  }

  std::optional<CliError> TakePick(const QString& name) {
    std::pair<std::string, std::string> sides;
    if (auto error = TakeAssignment(name, "PART=FILE", sides)) return error;
    options_.picks.push_back({std::move(sides.first), std::move(sides.second)});
    return std::nullopt;
  }

  std::optional<CliError> TakeColour(const QString& name) {
    std::pair<std::string, std::string> sides;
    if (auto error = TakeAssignment(name, "MATERIAL=VARIANT", sides)) return error;
    options_.colours.push_back({std::move(sides.first), std::move(sides.second)});
    return std::nullopt;
  }

  std::optional<CliError> TakeLicences(const QString& name) {
    if (options_.licences) return UsageError("--license given more than once");
    std::string value;
    if (auto error = TakeValue(name, value)) return error;
    std::vector<std::string> licences;
    std::size_t start = 0;
    for (;;) {
      const std::size_t comma = value.find(',', start);
      std::string item = value.substr(start, comma == std::string::npos ? comma : comma - start);
      const std::size_t first = item.find_first_not_of(' ');
      item = first == std::string::npos
                 ? ""
                 : item.substr(first, item.find_last_not_of(' ') - first + 1);
      if (item.empty()) {
        return UsageError("--license expects licence names separated by commas, got " +
                          Quoted(value));
      }
      licences.push_back(std::move(item));
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
    options_.licences = std::move(licences);
    return std::nullopt;
  }

  std::optional<CliError> TakeSeed(const QString& name) {
    if (options_.seed) return UsageError("--seed given more than once");
    std::string value;
    if (auto error = TakeValue(name, value)) return error;
    auto seed = ParseDecimal(value);
    if (!seed || *seed > std::numeric_limits<std::uint32_t>::max()) {
      return UsageError("--seed expects a whole number from 0 to 4294967295, got " + Quoted(value));
    }
    options_.seed = static_cast<std::uint32_t>(*seed);
    return std::nullopt;
  }

  std::optional<CliError> TakeCount(const QString& name) {
    return TakePositive(name, "--count", countGiven_, options_.count);
  }

  std::optional<CliError> TakeFirst(const QString& name) {
    return TakePositive(name, "--first", firstGiven_, options_.first);
  }

  // A whole number from 1 to the largest int, given once.
  std::optional<CliError> TakePositive(const QString& name, const std::string& flag, bool& given,
                                       int& into) {
    if (given) return UsageError(flag + " given more than once");
    std::string value;
    if (auto error = TakeValue(name, value)) return error;
    auto number = ParseDecimal(value);
    if (!number || *number < 1 ||
        *number > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) {
      return UsageError(flag + " expects a whole number of at least 1, got " + Quoted(value));
    }
    given = true;
    into = static_cast<int>(*number);
    return std::nullopt;
  }

  std::optional<CliError> TakeBlend(const QString& name) {
    if (options_.blendGiven) return UsageError("--blend given more than once");
    std::string value;
    if (auto error = TakeValue(name, value)) return error;
    if (value == "classic") {
      options_.blend = BlendRule::Classic;
    } else if (value == "standard") {
      options_.blend = BlendRule::Standard;
    } else {
      return UsageError("--blend expects classic or standard, got " + Quoted(value));
    }
    options_.blendGiven = true;
    return std::nullopt;
  }

  const QCommandLineParser& parser_;
  // How many of each flag's values have been taken.
  QHash<QString, qsizetype> valuesTaken_;
  ComposeOptions options_;
  bool listGiven_ = false;
  bool outputGiven_ = false;
  bool countGiven_ = false;
  bool firstGiven_ = false;
};

}  // namespace

ParseResult ParseComposeOptions(const std::vector<std::string>& args) {
  const std::optional<Misspelling> misspelling = FindMisspelling(args);
  const std::size_t readable = misspelling ? misspelling->index : args.size();
  QStringList arguments{QStringLiteral("tessarin-compose")};
  for (std::size_t i = 0; i < readable; ++i) arguments.append(FromBytes(args[i]));

  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.addOptions(Flags());
  // All it can still refuse is a value missing at the end, which the reader reports.
  parser.parse(arguments);

  OptionReader reader(parser);
  for (const QString& name : parser.optionNames()) {
    if (auto error = reader.Take(name)) return *error;
    if (reader.HelpWanted()) return reader.Options();
  }
  if (misspelling) return misspelling->error;
  if (auto error = reader.CheckCombination()) return *error;
  return reader.Options();
}

std::string UsageText() {
  return R"(Usage:
  tessarin-compose [--graphics DIR] --list [--set NAME] [--json]
  tessarin-compose [--graphics DIR] --set NAME [--pick PART=FILE]... [--random PART|all]...
                   [--color MATERIAL=VARIANT]... [--license LIST] [--seed N]
                   [--count N [--first K]] [--half] [--blend classic|standard]
                   [--metadata] -o OUT
  tessarin-compose [--graphics DIR] --recipe FILE [--half] [--blend classic|standard]
                   [--metadata] -o OUT

Composes character sheets from the layered part images of a set.

  --graphics DIR   folder holding the sets (default: Graphics beside this program)
  --list           list the sets, or with --set the set's size, parts, layer order,
                   grid, animations, palettes and credits
  --json           print the listing as one JSON object
  --set NAME       the set folder, matched without case
  --pick PART=FILE show FILE in PART; FILE is an image of the part or 'none'
  --random PART    give PART a random image; 'all' means every part not picked, and
                   a random colour for every palette not given by --color
  --color M=V      recolour palette M of the set's set.json with its variant V, or
                   'source' for the colours as drawn
  --license LIST   random picks only among images whose licences (CREDITS.csv) are all
                   in the comma-separated LIST
  --seed N         seed of the random picks (default: the current time)
  --count N        write N characters; OUT must contain {n}, the character number,
                   padded to the digits of the last one, or {n:W}, padded to W digits
  --first K        start the batch at character K of the seeded stream (default 1),
                   so that batches split over machines make the same characters
  --half           keep only the left half of every layer (8 directions to 4)
  --blend RULE     classic (default, as the sets were tuned) or standard alpha blending
  --metadata       also write OUT's frames, animations, recipe and credits as
                   sprite-sheet JSON (OUT with .json) and OUT with .credits.txt; a
                   batch also writes CREDITS.txt in each output folder
  --recipe FILE    make the character a recipe or a --metadata JSON file describes
  -o OUT           output image; the format follows the extension

PART is a part index 0-7 or a part name from setting.txt. Parts not picked show nothing.

Exit codes: 0 success, 1 usage error, 2 bad input, 3 output not written.
)";
}

}  // namespace tessarin::cli
