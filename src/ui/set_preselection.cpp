#include "set_preselection.h"

#include "name_case.h"
#include "ui_strings.h"

namespace tessarin {

int PreselectedSet(const std::vector<std::string>& setNames) {
  const int count = static_cast<int>(setNames.size());
  for (int step = 1; step <= count; ++step) {
    const int index = step % count;
    if (StartsWithIgnoringCase(setNames[static_cast<std::size_t>(index)],
                               strings::kDefaultSetPrefix)) {
      return index;
    }
  }
  return 0;
}

}  // namespace tessarin
