#include "text_encoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace tessarin {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

std::size_t Utf8SequenceLength(std::string_view bytes) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (bytes.size() < length) return 0;
  if (byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

namespace {

#ifdef _WIN32
std::string Utf16ToUtf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}
#endif

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  while (!bytes.empty()) {
    // Runs of ASCII, most of any text, are passed over eight bytes at a time.
    std::uint64_t eight = 0;
    while (bytes.size() >= sizeof eight) {
      std::memcpy(&eight, bytes.data(), sizeof eight);
      if ((eight & 0x8080808080808080u) != 0) break;
      bytes.remove_prefix(sizeof eight);
    }
    if (bytes.empty()) break;
    const std::size_t length = Utf8SequenceLength(bytes);
    if (length == 0) return false;
    bytes.remove_prefix(length);
  }
  return true;
}

std::string SanitizeUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const std::size_t length = Utf8SequenceLength(bytes);
    if (length == 0) {
      out += kReplacement;
      bytes.remove_prefix(1);
    } else {
      out.append(bytes.substr(0, length));
      bytes.remove_prefix(length);
    }
  }
  return out;
}

#ifdef _WIN32

std::string DecodeCp932(std::string_view bytes) {
  // MultiByteToWideChar already replaces what code page 932 cannot decode with U+FFFD.
  if (bytes.empty()) return {};
  const int size =
      MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(932, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), size);
  return Utf16ToUtf8(wide);
}

std::optional<std::string> DecodeCp932Exactly(std::string_view bytes) {
  if (bytes.empty()) return std::string();
  const int size = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(),
                                       static_cast<int>(bytes.size()), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                      wide.data(), size);
  return Utf16ToUtf8(wide);
}

std::string EncodeCp932(std::string_view utf8) {
  const std::string valid = SanitizeUtf8(utf8);
  if (valid.empty()) return {};
  const int wideSize =
      MultiByteToWideChar(CP_UTF8, 0, valid.data(), static_cast<int>(valid.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(wideSize), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, valid.data(), static_cast<int>(valid.size()), wide.data(),
                      wideSize);
  const int size = WideCharToMultiByte(932, 0, wide.data(), wideSize, nullptr, 0, "?", nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(932, 0, wide.data(), wideSize, out.data(), size, "?", nullptr);
  return out;
}

#else

namespace {

// Converts with iconv, handing every input byte it refuses to onInvalid.
template <typename OnInvalid>
std::string Convert(const char* to, const char* from, std::string_view bytes, OnInvalid onInvalid) {
  std::string out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // Without a converter every byte is undecodable, which is still not fatal.
    for (std::size_t i = 0; i < bytes.size(); ++i) onInvalid(out, bytes.substr(i, 1));
    return out;
  }
  char buffer[1024];
  std::size_t offset = 0;
  while (offset < bytes.size()) {
    char* in = const_cast<char*>(bytes.data() + offset);
    std::size_t inLeft = bytes.size() - offset;
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t result = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    offset = bytes.size() - inLeft;
    if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // EILSEQ or a truncated sequence at the end: give up one byte and go on after it.
      const std::size_t length =
          (from == std::string_view("UTF-8"))
              ? std::max<std::size_t>(1, Utf8SequenceLength(bytes.substr(offset)))
              : 1;
      onInvalid(out, bytes.substr(offset, length));
      offset += length;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

std::string DecodeCp932(std::string_view bytes) {
  return Convert("UTF-8", "CP932", bytes,
                 [](std::string& out, std::string_view) { out += kReplacement; });
}

std::optional<std::string> DecodeCp932Exactly(std::string_view bytes) {
  bool exact = true;
  std::string decoded =
      Convert("UTF-8", "CP932", bytes, [&](std::string&, std::string_view) { exact = false; });
  if (!exact) return std::nullopt;
  return decoded;
}

std::string EncodeCp932(std::string_view utf8) {
  return Convert("CP932", "UTF-8", SanitizeUtf8(utf8),
                 [](std::string& out, std::string_view) { out += '?'; });
}

#endif

std::string Decode(std::string_view bytes, TextEncoding encoding) {
  return encoding == TextEncoding::Utf8 ? SanitizeUtf8(bytes) : DecodeCp932(bytes);
}

}  // namespace tessarin
