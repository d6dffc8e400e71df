#include "json_text.h"

#include <cstdio>

#include "text_encoding.h"

namespace tessarin::cli {

std::string JsonString(std::string_view text) {
  std::string sanitized;
  if (!IsValidUtf8(text)) {
    sanitized = SanitizeUtf8(text);
    text = sanitized;
  }
  std::string json;
  json.reserve(text.size() + 2);
  json += '"';
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(byte));
      json += escaped;
    } else {
      json += c;
    }
  }
  json += '"';
  return json;
}

std::string JsonArray(const std::vector<std::string>& texts) {
  std::string json = "[";
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) json += ',';
    json += JsonString(texts[i]);
  }
  return json + "]";
}

std::string JsonArray(const std::vector<std::int32_t>& numbers) {
  std::string json = "[";
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    if (i > 0) json += ',';
    json += std::to_string(numbers[i]);
  }
  return json + "]";
}

}  // namespace tessarin::cli
