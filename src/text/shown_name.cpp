#include "shown_name.h"

#include <optional>

#include "text_encoding.h"

namespace tessarin {
namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += "\\x";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0xF];
}

// Keeps every well-formed UTF-8 sequence for which keep is true, and escapes the rest.
template <typename Keep>
std::string EscapeBytes(std::string_view bytes, Keep keep) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const std::size_t length = Utf8SequenceLength(bytes);
    if (length == 0 || !keep(bytes.substr(0, length))) {
      AppendEscaped(out, static_cast<unsigned char>(bytes.front()));
      bytes.remove_prefix(1);
    } else {
      out.append(bytes.substr(0, length));
      bytes.remove_prefix(length);
    }
  }
  return out;
}

bool IsControl(std::string_view sequence) {
  const auto lead = static_cast<unsigned char>(sequence.front());
  if (sequence.size() == 1) return lead < 0x20 || lead == 0x7F;
  // U+0080 to U+009F
  return sequence.size() == 2 && lead == 0xC2 && static_cast<unsigned char>(sequence[1]) < 0xA0;
}

}  // namespace

std::string ShownFileName(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  if (std::optional<std::string> decoded = DecodeCp932Exactly(bytes)) return *std::move(decoded);
  return EscapeBytes(bytes, [](std::string_view) { return true; });
}

std::string ShownPath(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  std::string out;
  for (;;) {
    const std::size_t cut = bytes.find('/');
    out += ShownFileName(bytes.substr(0, cut));
    if (cut == std::string_view::npos) return out;
    out += '/';
    bytes.remove_prefix(cut + 1);
  }
}

std::string TerminalText(std::string_view text) {
  return EscapeBytes(text, [](std::string_view sequence) { return !IsControl(sequence); });
}

}  // namespace tessarin
