#include <gtest/gtest.h>

#include <vector>

#include "set_state.h"
#include "setting_file.h"

namespace tessarin {
namespace {

struct OrderCase {
  const char* name;
  std::vector<std::int32_t> priorities;  // of parts 0, 1, ...
  std::vector<std::int32_t> keys;
  std::vector<std::int32_t> slots;
};

// Test names, not bytes, in listings.
void PrintTo(const OrderCase& row, std::ostream* os) {
  *os << row.name;
}

class InsertLayerPairTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(InsertLayerPairTest, KeepsKeysSortedWithTheirSlots) {
  const OrderCase& c = GetParam();
  SetState state;
  for (std::size_t part = 0; part < c.priorities.size(); ++part) {
    InsertLayerPair(state, static_cast<std::int32_t>(part), c.priorities[part]);
  }
  EXPECT_EQ(state.orderKeys, c.keys);
  EXPECT_EQ(state.drawOrder, c.slots);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, InsertLayerPairTest,
    ::testing::Values(
        // Equal priorities: companions in part order at the back, mains in reverse part order.
        OrderCase{"EqualPriorities", {2, 2}, {-3, -3, 2, 2}, {0, 1, 9, 8}},
        OrderCase{"HigherPriorityInFront", {5, 3}, {-6, -4, 3, 5}, {0, 1, 9, 8}},
        // A companion of priority -1 has key 0 and sorts after negative mains.
        OrderCase{"NegativePriority", {-1, 2}, {-3, -1, 0, 2}, {1, 8, 0, 9}},
        OrderCase{"ThreeEqualZero", {0, 0, 0}, {-1, -1, -1, 0, 0, 0}, {0, 1, 2, 10, 9, 8}},
        OrderCase{"ExtremeKeysCompareSigned",
                  {INT32_MAX, INT32_MIN},
                  {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
                  {9, 0, 8, 1}},
        OrderCase{"EightParts",
                  {1, 2, 3, 4, 5, 6, 7, 8},
                  {-9, -8, -7, -6, -5, -4, -3, -2, 1, 2, 3, 4, 5, 6, 7, 8},
                  {7, 6, 5, 4, 3, 2, 1, 0, 8, 9, 10, 11, 12, 13, 14, 15}}),
    [](const ::testing::TestParamInfo<OrderCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tessarin
