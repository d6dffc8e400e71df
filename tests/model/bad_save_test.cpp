#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "faulty_targets.h"
#include "image_file.h"
#include "partial_files.h"
#include "raster_image.h"
#include "temp_folder.h"
#include "unnamed_files_refused.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using testing::FaultyTarget;
using testing::SaveFault;
using testing::TempFolder;

// Noise, which compresses badly: its file outgrows the room a nearly full disk has left.
RasterImage Sheet() {
  RasterImage image;
  image.Create(128, 96, 32, true);
  std::mt19937 random(3);
  for (int y = 0; y < image.Height(); ++y) {
    for (std::size_t i = 0; i < image.Stride(); ++i) {
      image.Row(y)[i] = static_cast<std::uint8_t>(random());
    }
  }
  return image;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> Entries(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().string());
  return names;
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

// Targets a save must write, whatever stands beside them or however they are reached: the
// file at the end of any links is replaced, keeping its owner and mode; the links stay.
struct GoodTarget {
  const char* name;
  std::size_t nameBytes;  // of the file's own name
  int links;              // a relative link, then an absolute one, in front of the file
  bool plantedLink;       // a link beside the target, under the name saves once wrote to
  bool unnamedRefused;    // the file system cannot make a file without a name
};

void PrintTo(const GoodTarget& row, std::ostream* os) {
  *os << row.name;
}

class SaveTarget : public ::testing::TestWithParam<GoodTarget> {};

TEST_P(SaveTarget, ReplacesTheFileAtTheEndAndNothingElse) {
  const GoodTarget& row = GetParam();
  const TempFolder folder;
  const std::string fileName = std::string(row.nameBytes - 4, 'a') + ".png";
  const fs::path file = folder.WriteFile("sheets/" + fileName, "old");
  const fs::path victim = folder.WriteFile("victim.txt", "not for saves");
  fs::path given = file;
  if (row.links >= 2) {
    fs::create_symlink(given, folder.Path("absolute.png"));
    given = folder.Path("absolute.png");
  }
  if (row.links >= 1) {
    fs::create_symlink(given.lexically_relative(folder.Root()), folder.Path("relative.png"));
    given = folder.Path("relative.png");
  }
  if (row.plantedLink) fs::create_symlink(victim, fs::path(file.string() + ".tessarin-partial"));
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  // Another owner can be kept only by root.
  const uid_t owner = geteuid() == 0 ? 4321 : geteuid();
  const gid_t group = geteuid() == 0 ? 4321 : getegid();
  ASSERT_EQ(chown(file.c_str(), owner, group), 0);
  const auto entriesBefore = Entries(folder.Root());
  const auto besideBefore = Entries(file.parent_path());

  const int refusalsBefore = testing::UnnamedFilesRefused::Refusals();
  Status saved = Status::Ok();
  if (row.unnamedRefused) {
    const testing::UnnamedFilesRefused refused;
    saved = WriteImageFile(Sheet(), given);
    EXPECT_EQ(testing::UnnamedFilesRefused::Refusals(), refusalsBefore + 1);
  } else {
    saved = WriteImageFile(Sheet(), given);
  }
  ASSERT_TRUE(saved) << saved.Message();
  RasterImage written;
  ASSERT_TRUE(ReadImageFile(file, written));
  EXPECT_EQ(written.Width(), 128);
  EXPECT_EQ(row.links > 0, fs::is_symlink(given));
  EXPECT_TRUE(ReadAll(victim) == "not for saves") << "the planted link was followed";
  struct stat facts {};
  ASSERT_EQ(lstat(file.c_str(), &facts), 0);
  EXPECT_TRUE(S_ISREG(facts.st_mode));
  EXPECT_EQ(facts.st_mode & 07777, 0640u);
  EXPECT_EQ(facts.st_uid, owner);
  EXPECT_EQ(facts.st_gid, group);
  EXPECT_EQ(Entries(folder.Root()), entriesBefore);
  EXPECT_EQ(Entries(file.parent_path()), besideBefore);
}

INSTANTIATE_TEST_SUITE_P(Targets, SaveTarget,
                         ::testing::Values(GoodTarget{"PlainFile", 9, 0, false, false},
                                           GoodTarget{"LinkPlantedBeside", 9, 0, true, false},
                                           GoodTarget{"NameOf239Bytes", 239, 0, false, false},
                                           GoodTarget{"NameOf255Bytes", 255, 0, false, false},
                                           GoodTarget{"RelativeLink", 9, 1, false, false},
                                           GoodTarget{"ChainOfLinks", 9, 2, false, false},
                                           GoodTarget{"LinkPlantedBesideALink", 9, 1, true, false},
                                           GoodTarget{"NamedPlainFile", 9, 0, false, true},
                                           GoodTarget{"NamedLinkPlantedBeside", 9, 0, true, true},
                                           GoodTarget{"NamedNameOf255Bytes", 255, 0, false, true},
                                           GoodTarget{"NamedChainOfLinks", 9, 2, false, true}),
                         [](const ::testing::TestParamInfo<GoodTarget>& row) {
                           return std::string(row.param.name);
                         });

// A save stopped by Ctrl-C or a polite kill takes its partial file with it, and the program
// still ends by the signal.
class SaveStopped : public ::testing::TestWithParam<int> {};

TEST_P(SaveStopped, TakesItsPartialFileWithIt) {
  const TempFolder folder;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    RemovePartialFilesOnTermination();
    const int folderFd = open(folder.Root().c_str(), O_RDONLY | O_DIRECTORY);
    const int fd = openat(folderFd, "partial", O_WRONLY | O_CREAT | O_EXCL, 0644);
    const ListedPartialFile listed(folderFd, "partial");
    if (fd >= 0) raise(GetParam());
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << status;
  EXPECT_EQ(WTERMSIG(status), GetParam());
  EXPECT_TRUE(fs::is_empty(folder.Root()));
}

INSTANTIATE_TEST_SUITE_P(Signals, SaveStopped, ::testing::Values(SIGINT, SIGTERM),
                         [](const ::testing::TestParamInfo<int>& row) {
                           return std::string(row.param == SIGINT ? "Interrupt" : "Terminate");
                         });

// Two saves of one target at once, as two pipelines writing the same file would: each must
// succeed, and the file must end up whole, as one of them wrote it.
class SavesAtOnce : public ::testing::TestWithParam<bool> {};

TEST_P(SavesAtOnce, LeaveOneWholeFile) {
  const TempFolder folder;
  std::optional<testing::UnnamedFilesRefused> refused;
  if (GetParam()) refused.emplace();
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
  EXPECT_TRUE(saved.Width() == 200 || saved.Width() == 128) << saved.Width();
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Root()), fs::directory_iterator()), 1);
}

INSTANTIATE_TEST_SUITE_P(PartialFiles, SavesAtOnce, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& row) {
                           return std::string(row.param ? "Named" : "Unnamed");
                         });

}  // namespace
}  // namespace tessarin
