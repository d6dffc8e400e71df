#include "compose_command.h"

#include <ctime>
#include <new>
#include <variant>

#include "batch_runner.h"
#include "character_recipe.h"
#include "compose_options.h"
#include "composition_plan.h"
#include "folder_layout.h"
#include "listing_printer.h"
#include "regular_file.h"
#include "set_additions.h"
#include "set_description.h"
#include "set_opening.h"
#include "shown_name.h"

namespace tessarin::cli {
namespace {

int Fail(std::ostream& err, const CliError& error) {
  err << kProgramName << ": " << TerminalText(error.message) << '\n';
  return error.exitCode;
}

int RunList(const ComposeOptions& options, const std::filesystem::path& base, std::ostream& out,
            std::ostream& err) {
  if (!options.set) {
    PrintSetNames(out, ListSets(base), options.json);
    return kExitOk;
  }
  auto opened = OpenSet(base, *options.set);
  if (auto* error = std::get_if<CliError>(&opened)) return Fail(err, *error);
  const SetState& state = std::get<SetState>(opened);
  SetAdditions additions;
  if (Status read = ReadSetAdditions(state, additions); !read) {
    return Fail(err, InputError(read.Message()));
  }
  PrintSetDescription(out, DescribeSet(state, additions), options.json);
  return kExitOk;
}

// The options a recipe stands for: its set, picks and colours, and its half and blend unless
// a flag gave them.
std::variant<ComposeOptions, CliError> OptionsFromRecipe(const ComposeOptions& given) {
  const std::filesystem::path path = PathFromUtf8(*given.recipe);
  const std::string shown = PathForDisplay(path);
  std::string text;
  if (Status read = ReadWholeFile(path, kMaxRecipeBytes, text); !read) {
    return InputError(read.Message());
  }
  CharacterRecipe recipe;
  if (Status parsed = ParseRecipe(text, recipe); !parsed) {
    return InputError("recipe " + shown + ": " + parsed.Message());
  }
  ComposeOptions options = given;
  options.set = recipe.set;
  for (const auto& [part, file] : recipe.picks)
    options.picks.push_back({part, file.value_or("none")});
  for (const auto& [material, variant] : recipe.colours)
    options.colours.push_back({material, variant});
  options.half = given.half || recipe.half;
  if (!given.blendGiven) options.blend = recipe.blend;
  return options;
}

int RunCompose(const ComposeOptions& given, const std::filesystem::path& base, std::ostream& out,
               std::ostream& err, bool errIsTerminal) {
  ComposeOptions options = given;
  ChoiceSource source;
  if (given.recipe) {
    auto fromRecipe = OptionsFromRecipe(given);
    if (auto* error = std::get_if<CliError>(&fromRecipe)) return Fail(err, *error);
    options = std::get<ComposeOptions>(fromRecipe);
    source.picks = source.colours = "recipe " + PathForDisplay(PathFromUtf8(*given.recipe));
    source.fromFile = true;
  }
  auto opened = OpenSet(base, *options.set);
  if (auto* error = std::get_if<CliError>(&opened)) {
    if (given.recipe) error->message = source.picks + ": " + error->message;
    return Fail(err, *error);
  }
  SetState& state = std::get<SetState>(opened);
  SetAdditions additions;
  if (Status read = ReadSetAdditions(state, additions); !read) {
    return Fail(err, InputError(read.Message()));
  }

  auto planned = PlanComposition(state, additions, options, source);
  if (auto* error = std::get_if<CliError>(&planned)) return Fail(err, *error);
  for (const std::string& warning : std::get<CompositionPlan>(planned).warnings) {
    err << kProgramName << ": " << TerminalText(warning) << '\n';
  }

  std::uint32_t seed = options.seed.value_or(static_cast<std::uint32_t>(std::time(nullptr)));
  std::ostream* progress = errIsTerminal && options.count > 1 ? &err : nullptr;
  auto ran =
      RunBatch(state, additions, std::get<CompositionPlan>(planned), options, seed, progress, &err);
  if (auto* error = std::get_if<CliError>(&ran)) return Fail(err, *error);
  out << TerminalText(SummaryLine(std::get<BatchResult>(ran))) << '\n';
  return kExitOk;
}

int RunCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal) {
  ParseResult parsed = ParseComposeOptions(args);
  if (auto* error = std::get_if<CliError>(&parsed)) return Fail(err, *error);
  const ComposeOptions& options = std::get<ComposeOptions>(parsed);
  if (options.mode == ComposeOptions::Mode::Help) {
    out << UsageText();
    return kExitOk;
  }

  auto base = ResolveGraphicsFolder(options.graphics);
  if (auto* error = std::get_if<CliError>(&base)) return Fail(err, *error);
  const std::filesystem::path& folder = std::get<std::filesystem::path>(base);
  if (options.mode == ComposeOptions::Mode::List) return RunList(options, folder, out, err);
  return RunCompose(options, folder, out, err, errIsTerminal);
}

}  // namespace

int RunComposeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      bool errIsTerminal) {
  // Where memory runs out matters to the user, and is said where it is known; this is for
  // what is left, which would otherwise end the program without a word.
  try {
    return RunCommand(args, out, err, errIsTerminal);
  } catch (const std::bad_alloc&) {
    return Fail(err, InputError("out of memory"));
  }
}

}  // namespace tessarin::cli
