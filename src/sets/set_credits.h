#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "status.h"

namespace tessarin {

inline constexpr char kCreditsFileName[] = "CREDITS.csv";

// Who made a file or folder of a set, and under which terms.
struct Credit {
  // Relative to the set folder, as written in the file.
  std::string filename;
  std::string notes;
  std::vector<std::string> authors;
  std::vector<std::string> licenses;
  std::vector<std::string> urls;
};

// Whether every licence the credit names is in allowed, compared without case. An image
// without a credit, or whose credit names no licence, is not allowed: its terms are unknown.
bool LicencesAllowed(const Credit* credit, const std::vector<std::string>& allowed);

class SetCredits {
 public:
  // Reads the comma-separated text of a credits file: the header
  // "filename,notes,authors,licenses,urls", then one row per file or folder. A failure is one
  // line naming the file and the line.
  Status Parse(std::string_view text);
  // The set folder's credits file; none at all is no failure.
  Status Read(const std::filesystem::path& setFolder);

  // The credit of the longest path that is the image's path or a folder holding it, compared
  // without case and with either separator; nothing when none is.
  const Credit* For(std::string_view imagePath) const;

  const std::vector<Credit>& Entries() const { return entries_; }

 private:
  std::vector<Credit> entries_;
  // The first entry of each path, by its names lower-cased and joined with "/": a lookup
  // tries the image's few folders, not every entry.
  std::unordered_map<std::string, std::size_t> keys_;
};

}  // namespace tessarin
