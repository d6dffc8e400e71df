#pragma once

#include <filesystem>
#include <set>
#include <string>

#include "durability.h"
#include "status.h"

namespace tessarin::cli {

// The file in each output folder of a batch that credits every image its sheets were drawn
// from.
inline constexpr char kBatchCreditsName[] = "CREDITS.txt";

// Adds credit lines to the folder's CREDITS.txt and keeps the lines already there: the parts
// of one batch, run apart, write to one folder and together must credit every image. The
// lines stay sorted, each once. Runs that merge into one folder at once take turns.
Status MergeCreditsFile(const std::filesystem::path& folder, const std::set<std::string>& lines,
                        Durability durability = Durability::EachFile);

}  // namespace tessarin::cli
