#pragma once

#include "sets.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tessarin::sample_art {

// Composes random picks of a set (backs first, then fronts, by priority), enlarged three
// times on a plain backdrop, for checking the art by eye.
void WritePreviews(const SampleSet& set, const std::filesystem::path& outDir, unsigned seed,
                   int count);

// The same for the images named (by file name, any part).
void WriteCombo(const SampleSet& set, const std::vector<std::string>& files,
                const std::filesystem::path& out);

}  // namespace tessarin::sample_art
