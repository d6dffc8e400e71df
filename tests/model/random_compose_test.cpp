#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "crt_random.h"
#include "random_compose.h"

namespace tessarin {
namespace {

TEST(CrtRandom, ReproducesTheRuntimeSequence) {
  // The well-known first values of that runtime's rand() after srand(1).
  CrtRandom random(1);
  const std::vector<int> expected = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
  for (const int value : expected) EXPECT_EQ(random.Next(), value);
}

struct Skip {
  const char* name;
  std::uint32_t seed;
  std::uint64_t n;
};

void PrintTo(const Skip& row, std::ostream* os) {
  *os << row.name;
}

class CrtRandomDiscard : public testing::TestWithParam<Skip> {};

TEST_P(CrtRandomDiscard, LandsWhereDrawingOneByOneDoes) {
  const Skip& skip = GetParam();
  CrtRandom jumped(skip.seed);
  jumped.Discard(skip.n);
  // The generator's period is 2^32, so the slow way need not walk further.
  CrtRandom stepped(skip.seed);
  for (std::uint64_t i = 0; i < skip.n % (std::uint64_t{1} << 32); ++i) stepped.Next();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(jumped.Next(), stepped.Next()) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CrtRandomDiscard,
    testing::Values(Skip{"None", 1, 0}, Skip{"One", 1, 1}, Skip{"Two", 7, 2},
                    Skip{"PowerOfTwo", 0, 1024}, Skip{"AllBitsLow", 4294967295u, 65535},
                    Skip{"Large", 3, 3000017}, Skip{"WholePeriod", 12345, std::uint64_t{1} << 32},
                    Skip{"BeyondThePeriod", 99, (std::uint64_t{1} << 40) + 12345}),
    [](const testing::TestParamInfo<Skip>& row) { return row.param.name; });

TEST(RandomCompose, DrawsOnceForEachTickedPartWithChoicesInPartOrder) {
  CrtRandom random(1);
  const std::array<bool, kPartCount> ticked = {true, true, false, true, true, true, true, true};
  // Part 1 has nothing but entry 0, part 3 a single image, part 2 is not ticked.
  const std::array<int, kPartCount> counts = {4, 1, 9, 2, 5, 3, 7, 41};
  std::array<int, kPartCount> selection = {0, 0, 6, 0, 0, 0, 0, 0};
  RandomCompose(random, ticked, counts, selection);
  // Draws 41, 18467, 6334, 26500, 19169, 15724 go to parts 0, 3, 4, 5, 6, 7, taken modulo
  // each part's entry count; part 3's draw lands on entry 1, part 5's lands on 1 too.
  const std::array<int, kPartCount> expected = {1, 0, 6, 1, 4, 1, 3, 21};
  EXPECT_EQ(selection, expected);
  EXPECT_EQ(RandomDrawCount(ticked, counts), 6);
}

TEST(RandomCompose, TurnsADrawOfEntryZeroIntoEntryOne) {
  // With two entries every draw picks entry 1, whatever the number.
  CrtRandom random(12345);
  for (int i = 0; i < 100; ++i) {
    std::array<int, kPartCount> selection{};
    std::array<bool, kPartCount> ticked{};
    std::array<int, kPartCount> counts{};
    ticked[0] = true;
    counts[0] = 2;
    RandomCompose(random, ticked, counts, selection);
    EXPECT_EQ(selection[0], 1);
  }
}

}  // namespace
}  // namespace tessarin
