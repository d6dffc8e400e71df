#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "character_credits.h"
#include "set_credits.h"
#include "set_state.h"

namespace tessarin {
namespace {

// The hair folder is free; one style is free and attributed too, one only attributed, one
// names no licence at all.
const char kCredits[] =
    "filename,notes,authors,licenses,urls\n"
    "髪,,Ann,CC0-1.0,\n"
    "髪/both.png,,Bo,\"CC-BY-4.0, cc0-1.0\",\n"
    "髪/by.png,,Cy,cc-by-4.0,\n"
    "髪/unknown.png,,Di,,\n";

struct LicenceCase {
  const char* name;
  std::vector<std::string> allowed;
  std::vector<std::string> kept;
};

void PrintTo(const LicenceCase& c, std::ostream* os) {
  *os << c.name;
}

class LicensedImagesTest : public ::testing::TestWithParam<LicenceCase> {};

TEST_P(LicensedImagesTest, KeepsImagesWhoseEveryLicenceIsAllowed) {
  const LicenceCase& c = GetParam();
  SetCredits credits;
  ASSERT_TRUE(credits.Parse(kCredits));
  SetState state;
  state.partNames[1] = "髪";
  // "Loose.png" has the folder's credit; the case of a name does not matter to credits.
  const std::vector<std::string> images = {"Loose.png", "both.png", "BY.png", "unknown.png"};
  EXPECT_EQ(LicensedImages(state, 1, images, credits, c.allowed), c.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LicensedImagesTest,
    ::testing::Values(LicenceCase{"free_only", {"CC0-1.0"}, {"Loose.png"}},
                      LicenceCase{"free_and_attributed",
                                  {"cc0-1.0", "CC-BY-4.0"},
                                  {"Loose.png", "both.png", "BY.png"}},
                      LicenceCase{"attributed_only", {"CC-BY-4.0"}, {"BY.png"}},
                      LicenceCase{"names_nothing_in_the_file", {"MIT"}, {}},
                      LicenceCase{"nothing_allowed", {}, {}}),
    [](const ::testing::TestParamInfo<LicenceCase>& row) { return row.param.name; });

TEST(NamedLicencesTest, ListsEachLicenceOnceSortedWithoutCase) {
  SetCredits credits;
  ASSERT_TRUE(credits.Parse(kCredits));
  EXPECT_EQ(NamedLicences(credits), (std::vector<std::string>{"CC-BY-4.0", "CC0-1.0"}));
  EXPECT_TRUE(NamedLicences(SetCredits()).empty());
}

}  // namespace
}  // namespace tessarin
