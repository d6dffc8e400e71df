// The parts of a zlib stream compressed on several threads, joined, are one stream that zlib
// inflates back to exactly the bytes, and nothing after them.

#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "zlib_stream_parts.h"

namespace tessarin {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct PartsCase {
  const char* name;
  std::size_t size;
  unsigned threads;
  bool noisy;
  std::size_t parts;
};

void PrintTo(const PartsCase& row, std::ostream* os) {
  *os << row.name;
}

// Runs of a byte now and then broken, as filtered sprite rows are; or noise with a little
// repetition, as filtered painting is.
Bytes Content(std::size_t size, bool noisy) {
  std::mt19937 random(static_cast<unsigned>(size));
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = noisy ? static_cast<std::uint8_t>(random() % 3 == 0 ? i % 7 : random())
                     : static_cast<std::uint8_t>(random() % 97 == 0 ? random() : i / 5000);
  }
  return bytes;
}

class ZlibStreamParts : public ::testing::TestWithParam<PartsCase> {};

TEST_P(ZlibStreamParts, JoinIntoOneStreamThatZlibInflatesExactly) {
  const PartsCase& c = GetParam();
  const Bytes data = Content(c.size, c.noisy);
  const std::vector<Bytes> parts = ZlibStreamInParts(data.data(), data.size(), c.threads, 2);
  EXPECT_EQ(parts.size(), c.parts);
  Bytes stream;
  for (const Bytes& part : parts) stream.insert(stream.end(), part.begin(), part.end());
  Bytes inflated(data.size() + 1);
  z_stream z{};
  ASSERT_EQ(inflateInit(&z), Z_OK);
  z.next_in = stream.data();
  z.avail_in = static_cast<uInt>(stream.size());
  z.next_out = inflated.data();
  z.avail_out = static_cast<uInt>(inflated.size());
  EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END) << (z.msg != nullptr ? z.msg : "");
  EXPECT_EQ(z.avail_in, 0u) << "bytes after the stream";
  inflated.resize(z.total_out);
  inflateEnd(&z);
  EXPECT_EQ(inflated, data);
}

// Past 512 KiB the data is compressed in as many parts as there are threads.
INSTANTIATE_TEST_SUITE_P(
    SizesAndThreads, ZlibStreamParts,
    ::testing::Values(PartsCase{"OneByte", 1, 4, false, 1},
                      PartsCase{"JustTooSmallForParts", 512 * 1024 - 1, 2, true, 1},
                      PartsCase{"SoftInTwo", 512 * 1024, 2, false, 2},
                      PartsCase{"NoisyInTwo", 1500000, 2, true, 2},
                      PartsCase{"SoftInThree", 1500000, 3, false, 3},
                      PartsCase{"NoisyInFour", 2000000, 4, true, 4},
                      PartsCase{"OneThread", 2000000, 1, true, 1}),
    [](const ::testing::TestParamInfo<PartsCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tessarin
