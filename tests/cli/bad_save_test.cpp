// tessarin-compose writing where it cannot, or killed while it writes: exit code 3 and one
// line naming the target and the reason, and never a lost or half-written file.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "../model/faulty_targets.h"
#include "cli_error.h"
#include "compose_process.h"
#include "raster_image.h"
#include "test_graphics_folder.h"
#include "image_file.h"

namespace tessarin::cli {
namespace {

namespace fs = std::filesystem;
using end_to_end::ProcessResult;
using end_to_end::ReadWholeFile;
using tessarin::testing::FaultyTarget;
using tessarin::testing::SaveFault;

class ComposeSave : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("tessarin-cli-save-" + std::to_string(getpid()));
    fs::remove_all(root_);
    graphics_ = end_to_end::BuildTestGraphics(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path root_;
  fs::path graphics_;
};

class ComposeSaveFailure : public ComposeSave, public ::testing::WithParamInterface<SaveFault> {};

TEST_P(ComposeSaveFailure, ExitsThreeAndTouchesNothing) {
  const FaultyTarget target(GetParam(), root_ / "out");
  if (!target.Skip().empty()) GTEST_SKIP() << target.Skip();
  const auto before = target.Snapshot();
  const ProcessResult result =
      end_to_end::RunCompose({"--graphics", graphics_.string(), "--set", "Hero", "--pick",
                              "Body=body_a.png", "-o", target.Path().string()},
                             root_);
  EXPECT_EQ(result.exitCode, kExitWriteFailed) << result.err;
  EXPECT_EQ(result.err.rfind("tessarin-compose: ", 0), 0u) << result.err;
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
  EXPECT_NE(result.err.find(target.Path().string()), std::string::npos) << result.err;
  EXPECT_NE(result.err.find(target.Reason()), std::string::npos) << result.err;
  EXPECT_EQ(target.Snapshot(), before);
}

INSTANTIATE_TEST_SUITE_P(Targets, ComposeSaveFailure,
                         ::testing::ValuesIn(tessarin::testing::kSaveFaults),
                         [](const ::testing::TestParamInfo<SaveFault>& row) {
                           return std::string(tessarin::testing::SaveFaultName(row.param));
                         });

// True once the process holds a file in folder open: its save has begun.
bool IsWritingInto(pid_t pid, const fs::path& folder) {
  std::error_code error;
  const std::string prefix = folder.string() + "/";
  for (fs::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", error);
       !error && it != fs::directory_iterator(); it.increment(error)) {
    std::error_code unreadable;
    if (fs::read_symlink(it->path(), unreadable).string().rfind(prefix, 0) == 0) return true;
  }
  return false;
}

TEST_F(ComposeSave, KilledMidSaveLeavesTheOldFileOrTheNewOne) {
  // Noise compresses badly: a 2048 x 2048 sheet takes long enough to write to be caught at it.
  constexpr int kSide = 2048;
  const fs::path set = graphics_ / "Big";
  end_to_end::WriteText(set / "setting.txt", "Xsize:2048\nYsize:2048\nBody=1\n");
  RasterImage noise;
  ASSERT_TRUE(noise.Create(kSide, kSide, 32, true));
  std::mt19937 random(9);
  for (int y = 0; y < kSide; ++y) {
    for (std::size_t i = 0; i < noise.Stride(); ++i) {
      noise.Row(y)[i] = static_cast<std::uint8_t>(random());
    }
  }
  fs::create_directories(set / "Body");
  ASSERT_TRUE(WriteImageFile(noise, set / "Body" / "noise.png"));

  const fs::path out = root_ / "out";
  const fs::path sheet = out / "sheet.png";
  end_to_end::WriteText(sheet, "the old sheet");
  const std::vector<std::string> args = {"--graphics", graphics_.string(), "--set", "Big",
                                         "--pick",     "Body=noise.png",   "-o",    sheet.string()};

  const pid_t pid = end_to_end::StartCompose(args, "/dev/null", root_ / "stderr.txt");
  ASSERT_NE(pid, 0);

  bool caught = false;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (IsWritingInto(pid, out)) {
      // The file is open for the new sheet, and at most part of it written.
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      // A process that had just ended takes the signal without dying of it.
      caught = WIFSIGNALED(status);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!caught) GTEST_SKIP() << "the save ended before it could be killed";

  const auto check = [&](bool leftoverAllowed) {
    int others = 0;
    for (const auto& entry : fs::directory_iterator(out)) {
      if (entry.path() != sheet) ++others;
    }
    EXPECT_LE(others, leftoverAllowed ? 1 : 0) << "files beside the sheet";
    if (ReadWholeFile(sheet) == "the old sheet") return;
    RasterImage written;
    ASSERT_TRUE(ReadImageFile(sheet, written)) << "neither the old sheet nor a complete new one";
    EXPECT_EQ(written.Width(), kSide);
    EXPECT_EQ(written.PixelAt(kSide - 1, kSide - 1), noise.PixelAt(kSide - 1, kSide - 1));
  };
  check(true);
  const ProcessResult again = end_to_end::RunCompose(args, root_);
  ASSERT_EQ(again.exitCode, kExitOk) << again.err;
  check(false);
  EXPECT_NE(ReadWholeFile(sheet), "the old sheet");
}

}  // namespace
}  // namespace tessarin::cli
