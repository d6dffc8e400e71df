// A batch that runs out of memory ends with the exit code for bad input and one line that says
// what did not fit, instead of a crash or an empty sheet.

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <ostream>
#include <string>
#include <variant>

#include "../model/address_space_limit.h"
#include "../model/temp_folder.h"
#include "batch_runner.h"
#include "composition_plan.h"
#include "image_file.h"
#include "raster_image.h"
#include "set_opening.h"
#include "test_graphics_folder.h"

namespace tessarin::cli {
namespace {

namespace fs = std::filesystem;
using end_to_end::WriteText;

// A 4096 x 4096 picture takes 64 MiB; this is enough for everything else a batch allocates.
constexpr std::size_t kHeadroom = std::size_t{24} << 20;

struct Shortage {
  const char* name;
  const char* set;
  const char* layer;
  const char* says;
};

void PrintTo(const Shortage& row, std::ostream* os) {
  *os << row.name;
}

class BatchShortOfMemory : public ::testing::TestWithParam<Shortage> {
 protected:
  void SetUp() override {
    const fs::path graphics = folder_.Path("Graphics");
    // A small set with a huge layer, and a huge set with small layers.
    WriteText(graphics / "Small" / "setting.txt", "Xsize:8\nYsize:4\nBody=1\n");
    WriteText(graphics / "Huge" / "setting.txt", "Xsize:4096\nYsize:4096\nBody=1\n");
    for (const char* set : {"Small", "Huge"}) {
      end_to_end::WritePng(graphics / set / "Body" / "small.png",
                           end_to_end::TopRow(end_to_end::kRed));
    }
    RasterImage huge;
    huge.Create(4096, 4096, 32, true);
    ASSERT_TRUE(WriteImageFile(huge, graphics / "Small" / "Body" / "huge.png"));
    graphics_ = graphics;
  }

  std::variant<BatchResult, CliError> Run(const std::string& set, const std::string& layer,
                                          const fs::path& output) {
    auto opened = OpenSet(graphics_, set);
    if (auto* error = std::get_if<CliError>(&opened)) return *error;
    SetState& state = std::get<SetState>(opened);
    ComposeOptions options;
    options.set = set;
    options.picks = {{"Body", layer}};
    options.output = output.string();
    const SetAdditions additions;
    auto planned = PlanComposition(state, additions, options);
    if (auto* error = std::get_if<CliError>(&planned)) return *error;
    return RunBatch(state, additions, std::get<CompositionPlan>(planned), options, 1, nullptr);
  }

  testing::TempFolder folder_;
  fs::path graphics_;
};

TEST_P(BatchShortOfMemory, EndsWithBadInputSayingWhat) {
  const Shortage& row = GetParam();
  // In full first, so that the threads and whatever the toolkit sets up are in place.
  ASSERT_TRUE(
      std::holds_alternative<BatchResult>(Run("Huge", "small.png", folder_.Path("warm-up.png"))));

  const fs::path output = folder_.Path("out.png");
  std::variant<BatchResult, CliError> ran = BatchResult{};
  {
    const testing::AddressSpaceLimit limit(kHeadroom);
    if (!limit.Made()) GTEST_SKIP() << limit.Why();
    ran = Run(row.set, row.layer, output);
  }
  ASSERT_TRUE(std::holds_alternative<CliError>(ran));
  const CliError& error = std::get<CliError>(ran);
  EXPECT_EQ(error.exitCode, kExitBadInput);
  EXPECT_NE(error.message.find(row.says), std::string::npos) << error.message;
  EXPECT_NE(error.message.find("out of memory"), std::string::npos) << error.message;
  EXPECT_EQ(error.message.find('\n'), std::string::npos) << error.message;
  EXPECT_FALSE(fs::exists(output));
}

INSTANTIATE_TEST_SUITE_P(What, BatchShortOfMemory,
                         ::testing::Values(Shortage{"ALayer", "Small", "huge.png", "huge.png"},
                                           Shortage{"TheSheet", "Huge", "small.png", "4096x4096"}),
                         [](const ::testing::TestParamInfo<Shortage>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace
}  // namespace tessarin::cli
