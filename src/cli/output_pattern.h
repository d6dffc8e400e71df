#pragma once

#include <string>
#include <string_view>

namespace tessarin::cli {

// The output name of character number (1-based) of count: every "{n}" becomes the number,
// zero-padded to as many digits as count has.
std::string CharacterOutputName(std::string_view pattern, int number, int count);

}  // namespace tessarin::cli
