#pragma once

#include <optional>
#include <string>

namespace tessarin {

// Takes every "--lang VALUE" and "--lang=VALUE" out of argv, so that Qt and the Graphics folder
// argument find the rest where they always have. The last one given counts; a "--lang" at the
// end gives "". Empty when there is none.
std::optional<std::string> TakeLanguageFlag(int& argc, char** argv);

}  // namespace tessarin
