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
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "../model/faulty_targets.h"
#include "cli_error.h"
#include "compose_process.h"
#include "image_file.h"
#include "raster_image.h"
#include "test_graphics_folder.h"

namespace tessarin::cli {
namespace {

namespace fs = std::filesystem;
using end_to_end::ProcessResult;
using end_to_end::ReadWholeFile;
using tessarin::testing::FaultyTarget;
using tessarin::testing::SaveFault;

// A set of one part whose single image is side x side of noise, which compresses badly.
RasterImage AddNoiseSet(const fs::path& graphics, const std::string& name, int side) {
  end_to_end::WriteText(
      graphics / name / "setting.txt",
      "Xsize:" + std::to_string(side) + "\nYsize:" + std::to_string(side) + "\nBody=1\n");
  RasterImage noise;
  noise.Create(side, side, 32, true);
  std::mt19937 random(9);
  for (int y = 0; y < side; ++y) {
    for (std::size_t i = 0; i < noise.Stride(); ++i) {
      noise.Row(y)[i] = static_cast<std::uint8_t>(random());
    }
  }
  fs::create_directories(graphics / name / "Body");
  EXPECT_TRUE(WriteImageFile(noise, graphics / name / "Body" / "noise.png"));
  return noise;
}

class ComposeSave : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("tessarin-cli-save-" + std::to_string(getpid()));
    fs::remove_all(root_);
    graphics_ = end_to_end::BuildTestGraphics(root_);
    // Larger than the room a disk that fills midway has left.
    AddNoiseSet(graphics_, "Noise", 128);
  }
  void TearDown() override { fs::remove_all(root_); }

  // One line, naming what and why, and exit code 3.
  static void ExpectWriteFailure(const ProcessResult& result, const std::string& what,
                                 const std::string& why) {
    EXPECT_EQ(result.exitCode, kExitWriteFailed) << result.err;
    EXPECT_EQ(result.err.rfind("tessarin-compose: ", 0), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_NE(result.err.find(what), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(why), std::string::npos) << result.err;
  }

  fs::path root_;
  fs::path graphics_;
};

class ComposeSaveFailure : public ComposeSave, public ::testing::WithParamInterface<SaveFault> {};

TEST_P(ComposeSaveFailure, ExitsThreeAndTouchesNothing) {
  const FaultyTarget target(GetParam(), root_ / "out");
  if (!target.Skip().empty()) GTEST_SKIP() << target.Skip();
  const auto before = target.Snapshot();
  const ProcessResult result =
      end_to_end::RunCompose({"--graphics", graphics_.string(), "--set", "Noise", "--pick",
                              "Body=noise.png", "-o", target.Path().string()},
                             root_);
  ExpectWriteFailure(result, target.Path().string(), target.Reason());
  EXPECT_EQ(target.Snapshot(), before);
}

struct GoodOutput {
  const char* name;
  std::size_t nameBytes;  // of the file's own name
  bool linked;            // given as a relative link to the file
  bool plantedLink;       // a link beside the file, under the name saves once wrote to
};

void PrintTo(const GoodOutput& row, std::ostream* os) {
  *os << row.name;
}

std::set<std::string> Entries(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().string());
  return names;
}

class ComposeSaveTarget : public ComposeSave, public ::testing::WithParamInterface<GoodOutput> {};

TEST_P(ComposeSaveTarget, WritesTheSheetAndNothingElse) {
  const GoodOutput& row = GetParam();
  const fs::path out = root_ / "out";
  const fs::path file = out / (std::string(row.nameBytes - 4, 'a') + ".png");
  end_to_end::WriteText(file, "old");
  const fs::path victim = root_ / "victim.txt";
  end_to_end::WriteText(victim, "not for saves");
  const fs::path given = row.linked ? out / "link.png" : file;
  if (row.linked) fs::create_symlink(file.filename(), given);
  if (row.plantedLink) fs::create_symlink(victim, file.string() + ".tessarin-partial");
  const auto before = Entries(out);

  const ProcessResult result =
      end_to_end::RunCompose({"--graphics", graphics_.string(), "--set", "Hero", "--pick",
                              "Body=body_a.png", "-o", given.string()},
                             root_);
  ASSERT_EQ(result.exitCode, kExitOk) << result.err;
  EXPECT_TRUE(ReadWholeFile(victim) == "not for saves") << "the planted link was followed";
  EXPECT_EQ(fs::is_symlink(given), row.linked);
  EXPECT_FALSE(fs::is_symlink(file));
  RasterImage written;
  ASSERT_TRUE(ReadImageFile(file, written));
  EXPECT_EQ(written.Width(), end_to_end::kSheetWidth);
  EXPECT_EQ(Entries(out), before);
}

INSTANTIATE_TEST_SUITE_P(Outputs, ComposeSaveTarget,
                         ::testing::Values(GoodOutput{"LinkPlantedBeside", 9, false, true},
                                           GoodOutput{"NameOf250Bytes", 250, false, false},
                                           GoodOutput{"LinkToAFile", 9, true, true}),
                         [](const ::testing::TestParamInfo<GoodOutput>& row) {
                           return std::string(row.param.name);
                         });

// Saved on the pool's threads, a batch's sheets must fail with the same reason.
TEST_F(ComposeSave, BatchOnADiskThatFillsSaysWhy) {
  const FaultyTarget target(SaveFault::DiskFillsMidway, root_ / "out");
  if (!target.Skip().empty()) GTEST_SKIP() << target.Skip();
  const auto before = target.Snapshot();
  const fs::path pattern = target.Path().parent_path() / "{n}.png";
  const ProcessResult result =
      end_to_end::RunCompose({"--graphics", graphics_.string(), "--set", "Noise", "--pick",
                              "Body=noise.png", "--count", "4", "-o", pattern.string()},
                             root_);
  ExpectWriteFailure(result, target.Path().parent_path().string(), target.Reason());
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

class ComposeKilled : public ComposeSave, public ::testing::WithParamInterface<int> {};

// SIGKILL leaves whatever was written; Ctrl-C and a polite kill leave nothing behind.
TEST_P(ComposeKilled, MidSaveLeavesTheOldFileOrTheNewOne) {
  // A 2048 x 2048 sheet of noise takes long enough to write to be caught at it.
  constexpr int kSide = 2048;
  const RasterImage noise = AddNoiseSet(graphics_, "Big", kSide);

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
      kill(pid, GetParam());
      waitpid(pid, &status, 0);
      // A process that had just ended takes the signal without dying of it.
      caught = WIFSIGNALED(status);
      if (caught) {
        EXPECT_EQ(WTERMSIG(status), GetParam());
      }
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
  check(GetParam() == SIGKILL);
  const ProcessResult again = end_to_end::RunCompose(args, root_);
  ASSERT_EQ(again.exitCode, kExitOk) << again.err;
  check(false);
  EXPECT_NE(ReadWholeFile(sheet), "the old sheet");
}

INSTANTIATE_TEST_SUITE_P(Signals, ComposeKilled, ::testing::Values(SIGKILL, SIGINT, SIGTERM),
                         [](const ::testing::TestParamInfo<int>& row) {
                           return std::string(row.param == SIGKILL  ? "Kill"
                                              : row.param == SIGINT ? "Interrupt"
                                                                    : "Terminate");
                         });

}  // namespace
}  // namespace tessarin::cli
