#pragma once

// libpng itself, as the oracle our PNG reader and writer are held to: it reads a file the way
// the toolkit's decoder calls it (raw samples, no transformations, libpng's error handling,
// matches reaching back the whole 32 KiB whatever window the zlib header names), and says
// whether it read it, with what warnings, and what samples it read.

#include <png.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace tessarin::testing {

struct LibpngReading {
  bool read = false;
  std::string error;
  std::vector<std::string> warnings;
  int width = 0;
  int height = 0;
  int channels = 0;
  // Rows of width * channels samples, top first, as the file holds them.
  std::vector<std::uint8_t> samples;

  bool Warned(const std::string& part) const {
    for (const std::string& warning : warnings) {
      if (warning.find(part) != std::string::npos) return true;
    }
    return false;
  }
};

namespace libpng_reading {

// Kept on the heap, so that nothing libpng's long jump skips over is a local being changed.
struct State {
  const std::uint8_t* bytes = nullptr;
  std::size_t size = 0;
  std::size_t at = 0;
  std::vector<png_bytep> rows;
  LibpngReading reading;
};

inline void Fail(png_structp png, png_const_charp message) {
  static_cast<State*>(png_get_error_ptr(png))->reading.error = message;
  png_longjmp(png, 1);
}

inline void Warn(png_structp png, png_const_charp message) {
  static_cast<State*>(png_get_error_ptr(png))->reading.warnings.emplace_back(message);
}

inline void Read(png_structp png, png_bytep out, png_size_t count) {
  State& state = *static_cast<State*>(png_get_io_ptr(png));
  if (count > state.size - state.at) png_error(png, "read past the end of the file");
  std::memcpy(out, state.bytes + state.at, count);
  state.at += count;
}

// The reading proper; false when libpng gave up.
inline bool ReadInto(png_structp png, png_infop info, png_infop end, State& state) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_option(png, PNG_MAXIMUM_INFLATE_WINDOW, PNG_OPTION_ON);
  png_set_read_fn(png, &state, Read);
  png_read_info(png, info);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  state.reading.width = static_cast<int>(png_get_image_width(png, info));
  state.reading.height = static_cast<int>(png_get_image_height(png, info));
  state.reading.channels = png_get_channels(png, info);
  const std::size_t rowBytes = png_get_rowbytes(png, info);
  state.reading.samples.assign(rowBytes * static_cast<std::size_t>(state.reading.height), 0);
  for (int y = 0; y < state.reading.height; ++y) {
    state.rows.push_back(state.reading.samples.data() + rowBytes * static_cast<std::size_t>(y));
  }
  png_read_image(png, state.rows.data());
  png_read_end(png, end);
  return true;
}

}  // namespace libpng_reading

inline LibpngReading ReadWithLibpng(const std::uint8_t* bytes, std::size_t size) {
  const auto state = std::make_unique<libpng_reading::State>();
  state->bytes = bytes;
  state->size = size;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, state.get(), libpng_reading::Fail,
                                           libpng_reading::Warn);
  png_infop info = png_create_info_struct(png);
  png_infop end = png_create_info_struct(png);
  state->reading.read = libpng_reading::ReadInto(png, info, end, *state);
  png_destroy_read_struct(&png, &info, &end);
  if (!state->reading.read) state->reading.samples.clear();
  return std::move(state->reading);
}

inline LibpngReading ReadWithLibpng(const std::vector<std::uint8_t>& png) {
  return ReadWithLibpng(png.data(), png.size());
}

}  // namespace tessarin::testing
