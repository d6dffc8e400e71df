#include "set_credits.h"

#include <algorithm>
#include <optional>

#include "csv_records.h"
#include "extras_file.h"
#include "folder_layout.h"
#include "name_case.h"
#include "shown_name.h"

namespace tessarin {
namespace {

// Far more than a set has files: the bound keeps a hostile file from filling memory.
constexpr std::size_t kMaxCredits = 65536;

constexpr std::string_view kHeader[] = {"filename", "notes", "authors", "licenses", "urls"};

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> ListOf(std::string_view text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    const std::string_view item = Trimmed(text.substr(start, comma - start));
    if (!item.empty()) items.emplace_back(item);
    if (comma == std::string_view::npos) return items;
    start = comma + 1;
  }
}

// The names of a relative path, lower-cased and joined with "/"; "." and empty names dropped.
// ends, when given, gets the key's length after each name, 0 first: the keys of the folders
// that hold the path.
std::string KeyOf(std::string_view path, std::vector<std::size_t>* ends = nullptr) {
  std::string key;
  if (ends) ends->assign(1, 0);
  std::size_t start = 0;
  for (;;) {
    const std::size_t cut = path.find_first_of("/\\", start);
    const std::string_view name = path.substr(start, cut - start);
    if (!name.empty() && name != ".") {
      if (!key.empty()) key += '/';
      key += ToLowerCp932(name);
      if (ends) ends->push_back(key.size());
    }
    if (cut == std::string_view::npos) return key;
    start = cut + 1;
  }
}

// Without the file's name, which the caller puts before every failure.
Status Refused(int line, const std::string& why) {
  return Status::Error("line " + std::to_string(line) + ": " + why);
}

}  // namespace

Status SetCredits::Parse(std::string_view text) {
  entries_.clear();
  keys_.clear();
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<Credit> entries;
  std::unordered_map<std::string, std::size_t> keys;
  bool headerSeen = false;
  Status read = ReadCsv(text, [&](const CsvRecord& record) {
    if (!headerSeen) {
      headerSeen = true;
      bool right = record.fields.size() == std::size(kHeader);
      for (std::size_t k = 0; right && k < record.fields.size(); ++k) {
        right = EqualsIgnoringCase(Trimmed(record.fields[k]), kHeader[k]);
      }
      return right
                 ? Status::Ok()
                 : Refused(record.line, "the header must be filename,notes,authors,licenses,urls");
    }
    // Blank lines carry nothing.
    if (record.fields.size() == 1 && Trimmed(record.fields[0]).empty()) return Status::Ok();
    if (record.fields.size() != std::size(kHeader)) {
      return Refused(record.line,
                     "5 fields expected, found " + std::to_string(record.fields.size()));
    }
    const std::string_view filename = Trimmed(record.fields[0]);
    if (filename.empty()) return Refused(record.line, "the filename is empty");
    if (LeavesFolder(filename)) {
      return Refused(record.line, "\"" + std::string(filename) + "\" leads out of the set folder");
    }
    if (entries.size() == kMaxCredits) {
      return Refused(record.line, "more than " + std::to_string(kMaxCredits) + " credits");
    }
    // A path given twice keeps its first credit.
    keys.emplace(KeyOf(filename), entries.size());
    entries.push_back({std::string(filename), record.fields[1], ListOf(record.fields[2]),
                       ListOf(record.fields[3]), ListOf(record.fields[4])});
    return Status::Ok();
  });
  if (read && !headerSeen) {
    read = Refused(1, "the header filename,notes,authors,licenses,urls is missing");
  }
  // A quoted filename may hold a line break: escaped, the failure stays one line.
  if (!read)
    return Status::Error(TerminalText(std::string(kCreditsFileName) + ": " + read.Message()));
  entries_ = std::move(entries);
  keys_ = std::move(keys);
  return Status::Ok();
}

bool LicencesAllowed(const Credit* credit, const std::vector<std::string>& allowed) {
  if (!credit || credit->licenses.empty()) return false;
  return std::all_of(
      credit->licenses.begin(), credit->licenses.end(), [&](const std::string& licence) {
        return std::any_of(allowed.begin(), allowed.end(), [&](const std::string& name) {
          return EqualsIgnoringCase(Trimmed(licence), Trimmed(name));
        });
      });
}

Status SetCredits::Read(const std::filesystem::path& setFolder) {
  entries_.clear();
  keys_.clear();
  std::optional<std::string> text;
  if (Status read = ReadExtrasFile(setFolder, kCreditsFileName, text); !read) return read;
  return text ? Parse(*text) : Status::Ok();
}

const Credit* SetCredits::For(std::string_view imagePath) const {
  if (keys_.empty()) return nullptr;
  std::vector<std::size_t> ends;
  const std::string image = KeyOf(imagePath, &ends);
  for (auto end = ends.rbegin(); end != ends.rend(); ++end) {
    const auto found = keys_.find(image.substr(0, *end));
    if (found != keys_.end()) return &entries_[found->second];
  }
  return nullptr;
}

}  // namespace tessarin
