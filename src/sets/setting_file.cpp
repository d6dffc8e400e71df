#include "setting_file.h"

#include <algorithm>
#include <string>

#include "folder_layout.h"
#include "regular_file.h"
#include "set_state.h"
#include "text_encoding.h"

namespace tessarin {
namespace {

// The file is read in pieces of at most this many bytes, as a 256-byte line buffer holds them.
constexpr std::size_t kPieceBytes = 255;
constexpr char kEndOfFile = '\x1A';  // text-mode end of file
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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

// Parses a setting file fed in blocks of any size, holding no more than one piece and a few
// bytes: what a text-mode read of the whole file gives, cut into pieces as a 256-byte line
// buffer holds them. Whether names are UTF-8 depends on every byte up to the end, so they are
// decoded only once all have been seen.
class SettingParser {
 public:
  explicit SettingParser(SetState& state) : state_(state) { ResetSetting(state_); }

  // False once nothing later in the file can change the result.
  bool WantsMore() const { return !ended_ && !(partsDone_ && (utf8Known_ || !utf8_)); }

  void Feed(std::string_view bytes) {
    if (ended_) return;
    const std::size_t end = bytes.find(kEndOfFile);
    if (end != std::string_view::npos) {
      bytes = bytes.substr(0, end);
      ended_ = true;
    }
    if (!pendingCr_ && bytes.find('\r') == std::string_view::npos) {
      FeedText(bytes);
      return;
    }
    // CR LF reads as LF; a CR that ends a block waits for the next one's first byte.
    text_.clear();
    while (!bytes.empty()) {
      if (pendingCr_) {
        pendingCr_ = false;
        if (bytes.front() != '\n') text_ += '\r';
      }
      const std::size_t cr = bytes.find('\r');
      text_.append(bytes.substr(0, cr));
      if (cr == std::string_view::npos) break;
      pendingCr_ = true;
      bytes.remove_prefix(cr + 1);
    }
    if (ended_ && pendingCr_) {
      pendingCr_ = false;
      text_ += '\r';
    }
    FeedText(text_);
  }

  void Finish() {
    if (pendingCr_) {
      pendingCr_ = false;
      const std::string cr = "\r";
      FeedText(cr);
    }
    if (!bomChecked_) {
      bomChecked_ = true;
      const std::string head = std::move(head_);
      FeedLines(head);
    }
    if (!partsDone_ && !piece_.empty()) ParsePiece(piece_);
    // A sequence cut off by the end of the file is not UTF-8.
    if (!tail_.empty()) utf8_ = false;
    const TextEncoding encoding = utf8_ ? TextEncoding::Utf8 : TextEncoding::Cp932;
    for (std::size_t k = 0; k < kPartCount; ++k) {
      state_.partNames[k] = Decode(state_.partNames[k], encoding);
    }
  }

 private:
  void FeedText(std::string_view text) {
    if (!bomChecked_) {
      // The first three bytes decide whether the file begins with a byte order mark.
      const std::size_t take = std::min(text.size(), kByteOrderMark.size() - head_.size());
      head_.append(text.substr(0, take));
      text.remove_prefix(take);
      if (head_.size() < kByteOrderMark.size()) return;
      bomChecked_ = true;
      const std::string head = std::move(head_);
      if (head == kByteOrderMark) {
        utf8Known_ = true;
      } else {
        FeedLines(head);
      }
    }
    FeedLines(text);
  }

  void FeedLines(std::string_view text) {
    if (!utf8Known_ && utf8_) CheckUtf8(text);
    while (!text.empty() && !partsDone_) {
      if (piece_.empty()) {
        // Whole pieces are parsed where they lie.
        const std::size_t lineEnd = text.substr(0, kPieceBytes).find('\n');
        const std::size_t length = lineEnd == std::string_view::npos ? kPieceBytes : lineEnd + 1;
        if (length <= text.size()) {
          ParsePiece(text.substr(0, length));
          text.remove_prefix(length);
          continue;
        }
      }
      // Looking no further than one piece keeps a file of one huge line linear.
      const std::size_t room = kPieceBytes - piece_.size();
      const std::size_t lineEnd = text.substr(0, room).find('\n');
      const std::size_t length =
          std::min(room, lineEnd == std::string_view::npos ? text.size() : lineEnd + 1);
      piece_.append(text.substr(0, length));
      text.remove_prefix(length);
      if (lineEnd != std::string_view::npos || piece_.size() == kPieceBytes) {
        ParsePiece(piece_);
        piece_.clear();
      }
    }
  }

  // Checks text as the continuation of what came before; a sequence split between blocks
  // is held back until its end arrives.
  void CheckUtf8(std::string_view text) {
    if (!tail_.empty()) {
      const auto lead = static_cast<unsigned char>(tail_.front());
      const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
      const std::size_t take = std::min(length - tail_.size(), text.size());
      tail_.append(text.substr(0, take));
      text.remove_prefix(take);
      if (tail_.size() < length) return;
      if (!IsValidUtf8(tail_)) {
        utf8_ = false;
        return;
      }
      tail_.clear();
    }
    const std::size_t complete = CompleteLength(text);
    if (!IsValidUtf8(text.substr(0, complete))) {
      utf8_ = false;
      return;
    }
    tail_.assign(text.substr(complete));
  }

  // How much of bytes to check now: all of it, less a sequence that its last bytes begin and
  // that they cannot yet finish.
  static std::size_t CompleteLength(std::string_view bytes) {
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
      const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
      if ((byte & 0xC0) == 0x80) continue;  // a continuation byte
      const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
      return length > back ? bytes.size() - back : bytes.size();
    }
    return bytes.size();
  }

  void ParsePiece(std::string_view piece) {
    if (part_ == kPartCount) {
      // The piece after the eighth part's is read, and neither it nor any later one is used.
      partsDone_ = true;
      return;
    }
    // The string routines that examine a piece stop at its first NUL byte.
    piece = piece.substr(0, piece.find('\0'));
    if (!piece.empty() && piece.front() == '#') return;

    const std::size_t equals = piece.find('=');
    if (equals != std::string_view::npos && equals >= 1) {
      // Kept raw until the encoding is known.
      state_.partNames[static_cast<std::size_t>(part_)] = std::string(piece.substr(0, equals));
      InsertLayerPair(state_, part_, ParseInt32Wrapping(piece.substr(equals + 1)));
      ++part_;
    }
    ReadSizeKey(piece, "Xsize:", state_.xSize);
    ReadSizeKey(piece, "Ysize:", state_.ySize);
  }

  SetState& state_;
  int part_ = 0;
  bool partsDone_ = false;
  bool ended_ = false;
  bool pendingCr_ = false;
  bool bomChecked_ = false;
  std::string head_;
  // A byte order mark settles the encoding; otherwise it is UTF-8 while every byte is.
  bool utf8Known_ = false;
  bool utf8_ = true;
  std::string tail_;
  std::string piece_;
  std::string text_;
};

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
  SettingParser parser(state);
  parser.Feed(bytes);
  parser.Finish();
}

SettingFileStatus ReadSettingFile(SetState& state) {
  const std::optional<std::filesystem::path> path = ResolveEntry(state.setFolder, kSettingFileName);
  RegularFile file;
  if (path && file.Open(*path)) {
    // Read as a stream: memory stays bounded however large the file is.
    constexpr std::size_t kBlockBytes = 1024 * 1024;
    std::string block(kBlockBytes, '\0');
    SettingParser parser(state);
    std::size_t got = 0;
    bool failed = false;
    while (parser.WantsMore()) {
      if (!file.Read(block.data(), block.size(), got)) {
        failed = true;
        break;
      }
      if (got == 0) break;
      parser.Feed(std::string_view(block).substr(0, got));
    }
    if (!failed) {
      parser.Finish();
      return SettingFileStatus::Read;
    }
  }
  ResetSetting(state);
  return SettingFileStatus::Missing;
}

}  // namespace tessarin
