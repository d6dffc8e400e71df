#include "output_pattern.h"

#include <cstddef>
#include <optional>

namespace tessarin::cli {
namespace {

constexpr std::string_view kWidthOpening = "{n:";
constexpr std::size_t kWidthTokenSize = 5;  // "{n:W}"

// A token at the start of text: its size, and its width if it gives one (0 when it does not).
struct Token {
  std::size_t size = 0;
  std::size_t width = 0;
};

std::optional<Token> TokenAt(std::string_view text) {
  if (text.substr(0, 3) == kCounterToken) return Token{3, 0};
  if (text.size() < kWidthTokenSize || text.substr(0, 3) != kWidthOpening) return std::nullopt;
  if (text[3] < '1' || text[3] > '9' || text[4] != '}') return std::nullopt;
  return Token{kWidthTokenSize, static_cast<std::size_t>(text[3] - '0')};
}

std::string Padded(int number, std::size_t width) {
  std::string digits = std::to_string(number);
  if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

}  // namespace

std::string CharacterOutputName(std::string_view pattern, int number, int last) {
  const std::size_t batchWidth = std::to_string(last).size();
  std::string name;
  std::size_t copied = 0;
  std::size_t found = pattern.find('{');
  while (found != std::string_view::npos) {
    const std::optional<Token> token = TokenAt(pattern.substr(found));
    if (!token) {
      found = pattern.find('{', found + 1);
      continue;
    }
    name.append(pattern.substr(copied, found - copied));
    name += Padded(number, token->width == 0 ? batchWidth : token->width);
    copied = found + token->size;
    found = pattern.find('{', copied);
  }
  name.append(pattern.substr(copied));
  return name;
}

bool PlacesNumber(std::string_view pattern) {
  for (std::size_t found = pattern.find('{'); found != std::string_view::npos;
       found = pattern.find('{', found + 1)) {
    if (TokenAt(pattern.substr(found))) return true;
  }
  return false;
}

bool WidthsWellFormed(std::string_view pattern) {
  for (std::size_t found = pattern.find(kWidthOpening); found != std::string_view::npos;
       found = pattern.find(kWidthOpening, found + 1)) {
    if (!TokenAt(pattern.substr(found))) return false;
  }
  return true;
}

}  // namespace tessarin::cli
