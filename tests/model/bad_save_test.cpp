#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "faulty_targets.h"
#include "raster_image.h"
#include "temp_folder.h"
#include "image_file.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using testing::FaultyTarget;
using testing::SaveFault;
using testing::TempFolder;

RasterImage Sheet() {
  RasterImage image;
  image.Create(64, 48, 32, true);
  for (int y = 0; y < image.Height(); ++y) {
    for (std::size_t i = 0; i < image.Stride(); ++i) {
      image.Row(y)[i] = static_cast<std::uint8_t>(i * 7 + static_cast<std::size_t>(y));
    }
  }
  return image;
}

class SaveFailure : public ::testing::TestWithParam<SaveFault> {};

TEST_P(SaveFailure, SaysWhyAndTouchesNothing) {
  const TempFolder folder;
  const FaultyTarget target(GetParam(), folder.Root());
  if (!target.Skip().empty()) GTEST_SKIP() << target.Skip();
  const auto before = target.Snapshot();

  const Status status = WriteImageFile(Sheet(), target.Path());
  ASSERT_FALSE(status);
  EXPECT_NE(status.Message().find(target.Path().string()), std::string::npos) << status.Message();
  EXPECT_NE(status.Message().find(target.Reason()), std::string::npos) << status.Message();
  EXPECT_EQ(target.Snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(Targets, SaveFailure, ::testing::ValuesIn(testing::kSaveFaults),
                         [](const ::testing::TestParamInfo<SaveFault>& row) {
                           return std::string(testing::SaveFaultName(row.param));
                         });

// A save killed midway leaves its partly written file beside the target.
TEST(SaveLeftover, TheNextSaveOfTheTargetTakesItsPlace) {
  const TempFolder folder;
  const fs::path target = folder.WriteFile("sheet.png", "old");
  folder.WriteFile("sheet.png.tessarin-partial", "\x89PNG cut off by a kill");
  ASSERT_TRUE(WriteImageFile(Sheet(), target));
  RasterImage saved;
  ASSERT_TRUE(ReadImageFile(target, saved));
  EXPECT_EQ(saved.Width(), 64);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Root()), fs::directory_iterator()), 1);
}

// Two saves of one target at once, as two pipelines writing the same file would: each must
// succeed, and the file must end up whole, as one of them wrote it.
TEST(SaveLeftover, SavesOfOneTargetAtOnceLeaveOneWholeFile) {
  const TempFolder folder;
  const fs::path target = folder.Root() / "sheet.png";
  RasterImage plain;
  plain.Create(200, 150, 32, true);
  const RasterImage patterned = Sheet();
  auto saveRepeatedly = [&target](const RasterImage& image, int* failures) {
    for (int i = 0; i < 25; ++i) *failures += WriteImageFile(image, target) ? 0 : 1;
  };
  int plainFailures = 0;
  int patternedFailures = 0;
  std::thread other(saveRepeatedly, std::cref(plain), &plainFailures);
  saveRepeatedly(patterned, &patternedFailures);
  other.join();
  EXPECT_EQ(plainFailures + patternedFailures, 0);
  RasterImage saved;
  ASSERT_TRUE(ReadImageFile(target, saved));
  EXPECT_TRUE(saved.Width() == 200 || saved.Width() == 64) << saved.Width();
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Root()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace tessarin
