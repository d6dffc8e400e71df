#include "language_flag.h"

#include <cstring>

namespace tessarin {

std::optional<std::string> TakeLanguageFlag(int& argc, char** argv) {
  constexpr const char* kFlag = "--lang";
  const std::size_t flagLength = std::strlen(kFlag);
  std::optional<std::string> value;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (std::strcmp(argument, kFlag) == 0) {
      value = i + 1 < argc ? argv[++i] : "";
    } else if (std::strncmp(argument, kFlag, flagLength) == 0 && argument[flagLength] == '=') {
      value = argument + flagLength + 1;
    } else {
      argv[kept++] = argv[i];
    }
  }
  // Qt expects the array to end as it did.
  if (kept < argc) argv[kept] = nullptr;
  argc = kept;
  return value;
}

}  // namespace tessarin
