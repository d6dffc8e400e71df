#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <variant>

#include "cli_error.h"
#include "compose_options.h"
#include "composition_plan.h"
#include "set_additions.h"
#include "set_state.h"

namespace tessarin::cli {

struct BatchResult {
  int written = 0;
  int width = 0;
  int height = 0;
  // The file written when there was one character, else the -o pattern.
  std::string output;
  double seconds = 0;
};

// Composes and saves options.count characters, from options.first on, of one random stream
// seeded with seed, decoding each image once; with options.metadata, each sheet's JSON and
// credits beside it and a CREDITS.txt in each output folder. A companion that is there but
// cannot be loaded is told on warnings, once. progress and warnings may be null.
std::variant<BatchResult, CliError> RunBatch(SetState& state, const SetAdditions& additions,
                                             const CompositionPlan& plan,
                                             const ComposeOptions& options, std::uint32_t seed,
                                             std::ostream* progress,
                                             std::ostream* warnings = nullptr);

// "wrote OUT (WxH)", or for a batch "wrote N characters to OUT (WxH) in S s".
std::string SummaryLine(const BatchResult& result);

}  // namespace tessarin::cli
