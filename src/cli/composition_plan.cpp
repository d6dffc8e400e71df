#include "composition_plan.h"

#include <algorithm>
#include <string_view>
#include <system_error>

#include "character_credits.h"
#include "character_recipe.h"
#include "folder_layout.h"
#include "name_case.h"
#include "part_reference.h"

namespace tessarin::cli {
namespace {

// The part text names, or bad input naming where the text came from.
std::variant<int, CliError> PartNamed(const SetState& state, std::string_view text,
                                      const std::string& from) {
  std::variant<int, std::string> part = ResolvePart(state, text);
  if (const auto* why = std::get_if<std::string>(&part)) return InputError(from + ": " + *why);
  return std::get<int>(part);
}

CliError Clash(const ChoiceSource& source, const std::string& message) {
  return source.fromFile ? InputError(message) : UsageError(message);
}

std::optional<CliError> PlanColours(const SetExtras& extras, const ComposeOptions& options,
                                    const ChoiceSource& source, CompositionPlan& plan) {
  const std::size_t count = extras.materials.size();
  plan.colourPicks.assign(count, 0);
  plan.colourCounts.assign(count, 1);
  plan.randomColours.assign(count, false);
  for (const Material& material : extras.materials) {
    std::vector<std::string> names = material.ChoiceNames();
    plan.colourCounts[plan.colourNames.size()] = static_cast<int>(names.size());
    plan.colourNames.push_back(std::move(names));
    plan.materials.push_back(material.name);
  }
  std::vector<bool> named(count, false);
  for (const ColourPick& pick : options.colours) {
    const std::variant<std::size_t, std::string> m = FindMaterial(extras.materials, pick.material);
    if (const auto* why = std::get_if<std::string>(&m)) {
      return InputError(source.colours + ": " + *why);
    }
    const std::size_t material = std::get<std::size_t>(m);
    if (named[material]) {
      return Clash(source,
                   source.colours + ": palette '" + plan.materials[material] + "' given twice");
    }
    named[material] = true;
    const std::variant<int, std::string> choice =
        FindColourChoice(extras.materials[material], pick.variant);
    if (const auto* why = std::get_if<std::string>(&choice)) {
      return InputError(source.colours + ": " + *why);
    }
    plan.colourPicks[material] = std::get<int>(choice);
  }
  const bool all = std::find(options.randomParts.begin(), options.randomParts.end(), kAllParts) !=
                   options.randomParts.end();
  for (std::size_t m = 0; m < count; ++m) plan.randomColours[m] = all && !named[m];
  return std::nullopt;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> CompositionPlan::Colours(
    const std::vector<int>& choices) const {
  std::vector<std::pair<std::string, std::string>> colours;
  for (std::size_t m = 0; m < colourNames.size() && m < choices.size(); ++m) {
    const auto choice = static_cast<std::size_t>(choices[m]);
    colours.emplace_back(materials[m], colourNames[m][choice < colourNames[m].size() ? choice : 0]);
  }
  return colours;
}

PartSelection CompositionPlan::Files(const std::array<int, kPartCount>& entries) const {
  PartSelection files;
  for (int k = 0; k < kPartCount; ++k) {
    int entry = entries[k];
    if (entry > 0 && static_cast<std::size_t>(entry) <= images[k].size()) {
      files[k] = images[k][static_cast<std::size_t>(entry - 1)];
    }
  }
  return files;
}

std::variant<CompositionPlan, CliError> PlanComposition(const SetState& state,
                                                        const SetAdditions& additions,
                                                        const ComposeOptions& options,
                                                        const ChoiceSource& source) {
  CompositionPlan plan;
  for (int k = 0; k < kPartCount; ++k) {
    if (state.partNames[k].empty()) continue;
    if (const std::optional<std::filesystem::path> folder = PartFolder(state, k)) {
      plan.images[k] = ListPartImages(*folder);
    }
  }

  std::array<bool, kPartCount> picked{};
  for (const PartPick& pick : options.picks) {
    auto part = PartNamed(state, pick.part, source.picks);
    if (auto* error = std::get_if<CliError>(&part)) return *error;
    int k = std::get<int>(part);
    if (picked[k]) {
      return Clash(source, source.picks + ": part " + DescribePart(state, k) + " picked twice");
    }
    picked[k] = true;
    const std::variant<int, std::string> found =
        FindPickedImage(state, k, plan.images[k], pick.file);
    if (const auto* why = std::get_if<std::string>(&found)) {
      return InputError(source.picks + ": " + *why);
    }
    const std::optional<int> entry = std::get<int>(found);
    if (options.licences && *entry > 0) {
      const std::string file = SetImagePath(state, k, plan.images[k][std::size_t(*entry - 1)]);
      const Credit* credit = additions.credits.For(file);
      if (!LicencesAllowed(credit, *options.licences)) {
        return InputError(source.picks + ": " + file + " is licensed " +
                          (credit && !credit->licenses.empty() ? Listed(credit->licenses)
                                                               : "under no recorded licence") +
                          ", which --license does not allow");
      }
    }
    plan.picks[k] = *entry;
  }

  for (const std::string& text : options.randomParts) {
    if (text == kAllParts) {
      for (int k = 0; k < kPartCount; ++k) {
        if (!state.partNames[k].empty() && !picked[k]) plan.random[k] = true;
      }
      continue;
    }
    auto part = PartNamed(state, text, "--random");
    if (auto* error = std::get_if<CliError>(&part)) return *error;
    int k = std::get<int>(part);
    if (picked[k]) {
      return UsageError("part " + DescribePart(state, k) + " is given to both --pick and --random");
    }
    plan.random[k] = true;
  }
  for (int k = 0; k < kPartCount; ++k) {
    if (plan.random[k] && !state.partNames[k].empty() && !PartFolder(state, k)) {
      plan.warnings.push_back(PartWithoutFolder(state, k) + "; left out");
    }
    // Chance picks only among images whose terms are all allowed; picked parts were checked.
    if (plan.random[k] && options.licences) {
      std::vector<std::string>& images = plan.images[k];
      images = LicensedImages(state, k, std::move(images), additions.credits, *options.licences);
      if (images.empty() && PartFolder(state, k)) {
        plan.warnings.push_back("part " + DescribePart(state, k) +
                                ": no image has only licences --license allows; left empty");
      }
    }
  }
  for (int k = 0; k < kPartCount; ++k) {
    plan.entryCounts[k] = 1 + static_cast<int>(plan.images[k].size());
  }
  if (auto error = PlanColours(additions.extras, options, source, plan)) return *error;
  return plan;
}

}  // namespace tessarin::cli
