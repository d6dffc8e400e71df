#include "composition_plan.h"

#include <system_error>

#include "folder_layout.h"
#include "part_reference.h"

namespace tessarin::cli {
namespace {

std::string LeavesSetReason() {
  return " names no folder: its name leaves the set folder";
}

}  // namespace

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
                                                        const ComposeOptions& options) {
  CompositionPlan plan;
  for (int k = 0; k < kPartCount; ++k) {
    if (state.partNames[k].empty()) continue;
    if (const std::optional<std::filesystem::path> folder = PartFolder(state, k)) {
      plan.images[k] = ListPartImages(*folder);
    }
  }
  for (int k = 0; k < kPartCount; ++k) {
    plan.entryCounts[k] = 1 + static_cast<int>(plan.images[k].size());
  }

  std::array<bool, kPartCount> picked{};
  for (const PartPick& pick : options.picks) {
    auto part = ResolvePart(state, pick.part, "--pick");
    if (auto* error = std::get_if<CliError>(&part)) return *error;
    int k = std::get<int>(part);
    if (picked[k]) return UsageError("--pick: part " + DescribePart(state, k) + " picked twice");
    picked[k] = true;
    std::optional<int> entry = FindImageEntry(plan.images[k], pick.file);
    if (!entry) {
      const std::optional<std::filesystem::path> folder = PartFolder(state, k);
      if (!folder) {
        return InputError("--pick: part " + DescribePart(state, k) + LeavesSetReason());
      }
      std::error_code ignored;
      if (!std::filesystem::is_directory(*folder, ignored)) {
        return InputError("--pick: part folder " + PathForDisplay(*folder) + " not found");
      }
      return InputError("--pick: no image '" + pick.file + "' in " + PathForDisplay(*folder));
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
    auto part = ResolvePart(state, text, "--random");
    if (auto* error = std::get_if<CliError>(&part)) return *error;
    int k = std::get<int>(part);
    if (picked[k]) {
      return UsageError("part " + DescribePart(state, k) + " is given to both --pick and --random");
    }
    plan.random[k] = true;
  }
  for (int k = 0; k < kPartCount; ++k) {
    if (plan.random[k] && !state.partNames[k].empty() && !PartFolder(state, k)) {
      plan.warnings.push_back("part " + DescribePart(state, k) + LeavesSetReason() + "; left out");
    }
  }
  return plan;
}

}  // namespace tessarin::cli
