#include <gtest/gtest.h>

#include <string>

#include "folder_layout.h"
#include "set_additions.h"
#include "set_state.h"
#include "temp_folder.h"

namespace tessarin {
namespace {

const char kGoodJson[] =
    R"({"grid": {"columns": 2, "rows": 1}, "palettes": {"skin": {"source": ["#010203"],
       "variants": {"dark": ["#040506"]}}}})";
const char kGoodCredits[] = "filename,notes,authors,licenses,urls\n.,all,Ann,CC0-1.0,\n";

struct AdditionsCase {
  const char* name;
  std::string json;     // "" for no set.json
  std::string credits;  // "" for no CREDITS.csv
  // After the set folder's path and a slash; "" when the files are read.
  std::string message;
};

void PrintTo(const AdditionsCase& c, std::ostream* os) {
  *os << c.name;
}

class SetAdditionsTest : public ::testing::TestWithParam<AdditionsCase> {};

// A failure names the set's own file, and the set goes on as one without either file: a grid
// read before the credits failed is not kept.
TEST_P(SetAdditionsTest, NamesTheSetsFileOrReadsBoth) {
  const AdditionsCase& c = GetParam();
  testing::TempFolder folder;
  if (!c.json.empty()) folder.WriteFile("Hero/set.json", c.json);
  if (!c.credits.empty()) folder.WriteFile("Hero/CREDITS.csv", c.credits);
  SetState state;
  state.setFolder = folder.Path("Hero");
  // Divides into the default grid as well as the file's, so both can be told apart.
  state.xSize = 96;
  state.ySize = 64;

  SetAdditions additions;
  additions.extras.grid = {1, 1};
  const Status read = ReadSetAdditions(state, additions);
  if (c.message.empty()) {
    ASSERT_TRUE(read) << read.Message();
    EXPECT_EQ(additions.extras.grid, (SheetGrid{2, 1}));
    ASSERT_EQ(additions.extras.materials.size(), 1u);
    EXPECT_EQ(additions.credits.Entries().size(), 1u);
    return;
  }
  ASSERT_FALSE(read);
  EXPECT_EQ(read.Message(), PathForDisplay(state.setFolder) + "/" + c.message);
  EXPECT_EQ(additions.extras.grid, kDefaultGrid);
  EXPECT_TRUE(additions.extras.materials.empty());
  EXPECT_EQ(additions.extras.xSize, 96);
  EXPECT_TRUE(additions.credits.Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, SetAdditionsTest,
    ::testing::Values(AdditionsCase{"BothGood", kGoodJson, kGoodCredits, ""},
                      AdditionsCase{
                          "BadJson", R"({"grid": {"columns": 0, "rows": 1}})", kGoodCredits,
                          "set.json: grid: columns and rows must be whole numbers from 1 to 65535"},
                      AdditionsCase{"BadCreditsAfterGoodJson", kGoodJson, "file,notes\n",
                                    "CREDITS.csv: line 1: the header must be "
                                    "filename,notes,authors,licenses,urls"}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tessarin
