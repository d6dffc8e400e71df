#pragma once

#include <map>
#include <string>
#include <vector>

namespace tessarin {

struct SetState;

// The images of the current character that are there and could not be decoded, with why, for
// as long as their slots hold them: a slot loads once, and stays empty after.
class UndecodedImages {
 public:
  void Clear() { reasons_.clear(); }
  // failures maps the paths the last refresh failed to load to why; a missing companion is
  // the usual case, and no fault.
  void Update(const SetState& state, const std::map<std::string, std::string>& failures);
  // One line each, by path.
  std::vector<std::string> Reasons() const;

 private:
  std::map<std::string, std::string> reasons_;
};

}  // namespace tessarin
