#pragma once

#include <string>
#include <string_view>

namespace tessarin::cli {

// The token that places the character number in the output name.
inline constexpr const char* kCounterToken = "{n}";

// The output name of character number (1-based) of a batch whose last number is last: every
// "{n}" becomes the number, zero-padded to as many digits as last has, and every "{n:W}" the
// number zero-padded to W digits. Anything else is kept as it is.
std::string CharacterOutputName(std::string_view pattern, int number, int last);

// Whether the pattern places the number, as "{n}" or "{n:W}".
bool PlacesNumber(std::string_view pattern);

// Whether every "{n:" in the pattern begins a width "{n:W}" with W from 1 to 9.
bool WidthsWellFormed(std::string_view pattern);

}  // namespace tessarin::cli
