#include "output_pattern.h"

#include "compose_options.h"

namespace tessarin::cli {

std::string CharacterOutputName(std::string_view pattern, int number, int count) {
  std::string digits = std::to_string(number);
  std::size_t width = std::to_string(count).size();
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');

  const std::string_view token = kCounterToken;
  std::string name;
  std::size_t start = 0;
  for (std::size_t found = pattern.find(token); found != std::string_view::npos;
       found = pattern.find(token, start)) {
    name.append(pattern.substr(start, found - start));
    name += digits;
    start = found + token.size();
  }
  name.append(pattern.substr(start));
  return name;
}

}  // namespace tessarin::cli
