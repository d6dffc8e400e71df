#pragma once

#include <string>
#include <vector>

#include "layer_loading.h"
#include "set_credits.h"
#include "set_state.h"
#include "sheet_metadata.h"

namespace tessarin {

// A part's image as credits name it: its path from the set folder, separated by "/".
std::string SetImagePath(const SetState& state, int part, const std::string& file);

// The images the state's sheet is drawn from, for these picks, in part order, each main image
// before its companion, with their credits. The layers must be loaded for files.
std::vector<UsedImage> UsedImages(const SetState& state, const SetCredits& credits,
                                  const PartSelection& files);

// The images of part whose every licence is allowed, in their order: what random picks are
// drawn from when licences are chosen.
std::vector<std::string> LicensedImages(const SetState& state, int part,
                                        std::vector<std::string> images, const SetCredits& credits,
                                        const std::vector<std::string>& allowed);

// Every licence the credits name, each once whatever its case, sorted without case.
std::vector<std::string> NamedLicences(const SetCredits& credits);

}  // namespace tessarin
