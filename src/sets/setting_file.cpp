#include "setting_file.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "folder_layout.h"
#include "set_state.h"
#include "text_encoding.h"

namespace tessarin {
namespace {

// The file is read in pieces of at most this many bytes, as a 256-byte line buffer holds them.
constexpr std::size_t kPieceBytes = 255;
constexpr char kEndOfFile = '\x1A';  // text-mode end of file
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// What a text-mode read delivers: nothing after the end-of-file byte, CR LF as one LF.
std::string TextModeContent(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find(kEndOfFile));
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += bytes[i];
  }
  return text;
}

void ResetSetting(SetState& state) {
  state.ySize = 0;
  state.xSize = 0;
  state.orderKeys.clear();
  state.drawOrder.clear();
  state.partNames.fill(std::string());
}

// The value after a size key, when the piece has that key.
void ReadSizeKey(std::string_view piece, std::string_view key, std::int32_t& size) {
  const std::size_t at = piece.find(key);
  if (at != std::string_view::npos) size = ParseInt32Wrapping(piece.substr(at + key.size()));
}

}  // namespace

std::int32_t ParseInt32Wrapping(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

void InsertLayerPair(SetState& state, std::int32_t j, std::int32_t v) {
  auto& keys = state.orderKeys;
  auto& slots = state.drawOrder;

  // A main key goes before every equal key already present.
  std::size_t i = 0;
  while (i < keys.size() && keys[i] < v) ++i;
  keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(i), v);
  slots.insert(slots.begin() + static_cast<std::ptrdiff_t>(i), j + kPartCount);

  // The companion key ~v mirrors the main key; it goes after every equal key already present.
  const std::int32_t c = ~v;
  i = keys.size();
  while (i > 0 && keys[i - 1] > c) --i;
  keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(i), c);
  slots.insert(slots.begin() + static_cast<std::ptrdiff_t>(i), j);
}

void ParseSettingFile(std::string_view bytes, SetState& state) {
  ResetSetting(state);

  std::string text = TextModeContent(bytes);
  std::string_view rest = text;
  TextEncoding encoding = TextEncoding::Cp932;
  if (rest.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    rest.remove_prefix(kByteOrderMark.size());
    encoding = TextEncoding::Utf8;
  } else if (IsValidUtf8(rest)) {
    encoding = TextEncoding::Utf8;
  }

  int part = 0;
  while (!rest.empty()) {
    // Looking no further than one piece keeps a file of one huge line linear.
    const std::size_t lineEnd = rest.substr(0, kPieceBytes).find('\n');
    const std::size_t length =
        std::min(kPieceBytes, lineEnd == std::string_view::npos ? rest.size() : lineEnd + 1);
    std::string_view piece = rest.substr(0, length);
    rest.remove_prefix(length);
    if (part == kPartCount) break;

    // The string routines that examine a piece stop at its first NUL byte.
    piece = piece.substr(0, piece.find('\0'));
    if (!piece.empty() && piece.front() == '#') continue;

    const std::size_t equals = piece.find('=');
    if (equals != std::string_view::npos && equals >= 1) {
      state.partNames[static_cast<std::size_t>(part)] = Decode(piece.substr(0, equals), encoding);
      InsertLayerPair(state, part, ParseInt32Wrapping(piece.substr(equals + 1)));
      ++part;
    }
    ReadSizeKey(piece, "Xsize:", state.xSize);
    ReadSizeKey(piece, "Ysize:", state.ySize);
  }
}

SettingFileStatus ReadSettingFile(SetState& state) {
  const std::optional<std::filesystem::path> path = ResolveEntry(state.setFolder, kSettingFileName);
  std::error_code error;
  if (path && std::filesystem::is_regular_file(*path, error)) {
    std::ifstream file(*path, std::ios::binary);
    if (file) {
      const std::string bytes{std::istreambuf_iterator<char>(file),
                              std::istreambuf_iterator<char>()};
      if (!file.bad()) {
        ParseSettingFile(bytes, state);
        return SettingFileStatus::Read;
      }
    }
  }
  ResetSetting(state);
  return SettingFileStatus::Missing;
}

}  // namespace tessarin
