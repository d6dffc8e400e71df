// Input that once took minutes or gigabytes must cost no more than ordinary input: a setting
// file of 50 MiB in one line, a setting file of 1 GiB read from disk (sparse: NUL bytes the disk
// does not hold), and a PNG header that declares 100000 x 100000 pixels. Targets: under 10 s
// for the line (it was 130 s), memory that does not grow with the file for the gigabyte (it was
// read whole, twice its size at the peak), and under 200 ms for the refusal.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image_file.h"
#include "raster_image.h"
#include "set_state.h"
#include "setting_file.h"

namespace {

// First, so that the peak it reports is its own.
void ReadSparseSettingFileOfOneGiB(benchmark::State& state) {
  namespace fs = std::filesystem;
  const fs::path folder =
      fs::temp_directory_path() / ("tessarin-bench-sparse-" + std::to_string(getpid()));
  fs::create_directories(folder);
  std::ofstream(folder / "setting.txt") << "Xsize:16\nYsize:9\na=1\n";
  constexpr std::uint64_t kSize = std::uint64_t{1} << 30;
  fs::resize_file(folder / "setting.txt", kSize);
  for (auto _ : state) {
    tessarin::SetState set;
    set.setFolder = folder;
    tessarin::ReadSettingFile(set);
    benchmark::DoNotOptimize(set.xSize);
  }
  fs::remove_all(folder);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kSize));
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}
BENCHMARK(ReadSparseSettingFileOfOneGiB)->Unit(benchmark::kMillisecond)->Iterations(2);

// One line of 50 MiB that the reader takes in pieces of 255 bytes, with size lines and parts
// in some of the pieces, as the set of a careless export looks.
std::string HugeLine() {
  std::string line(50u << 20, 'x');
  const auto put = [&line](std::size_t at, const std::string& text) {
    line.replace(at, text.size(), text);
  };
  put(0, "Xsize:16");
  put(255 * 2, "a=1");
  put(255 * 100000, "c=3");
  put(255 * 200000 + 10, "Ysize:9");
  return line;
}

void ParseSettingFileOfOneHugeLine(benchmark::State& state) {
  const std::string text = HugeLine();
  for (auto _ : state) {
    tessarin::SetState set;
    tessarin::ParseSettingFile(text, set);
    benchmark::DoNotOptimize(set.xSize);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(ParseSettingFileOfOneHugeLine)->Unit(benchmark::kMillisecond);

void AppendBig32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// Signature and header only; the header's checksum is left wrong on purpose, as a size over
// the limit is refused before anything else is read.
std::vector<std::uint8_t> HeaderOnlyPng(std::uint32_t side) {
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  AppendBig32(png, 13);
  png.insert(png.end(), {'I', 'H', 'D', 'R'});
  AppendBig32(png, side);
  AppendBig32(png, side);
  png.insert(png.end(), {1, 0, 0, 0, 0});
  AppendBig32(png, 0);
  return png;
}

void RefuseHugePngHeader(benchmark::State& state) {
  const std::vector<std::uint8_t> png = HeaderOnlyPng(100000);
  for (auto _ : state) {
    tessarin::RasterImage image;
    const tessarin::Status status = tessarin::DecodeImageBytes(png.data(), png.size(), image);
    if (status) state.SkipWithError("a 100000 x 100000 header was accepted");
  }
}
BENCHMARK(RefuseHugePngHeader)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
