// A save whose sync fails must not pass for a save that reached the disk.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

#include "atomic_save.h"
#include "failing_sync.h"
#include "image_file.h"
#include "raster_image.h"
#include "temp_folder.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using testing::FailingSync;
using testing::SyncTarget;
using testing::TempFolder;

constexpr const char* kOldBytes = "old bytes";

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct SyncFailure {
  const char* name;
  SyncTarget target;
  // A failed sync of the file comes before the rename, which then never happens; a failed
  // sync of the folder comes after it.
  bool oldFileStays;
};

void PrintTo(const SyncFailure& row, std::ostream* os) {
  *os << row.name;
}

class FailedSync : public ::testing::TestWithParam<SyncFailure> {};

TEST_P(FailedSync, FailsTheSaveWithTheReasonAndLeavesNoPartialFile) {
  const TempFolder folder;
  const fs::path target = folder.WriteFile("sheet.png", kOldBytes);
  RasterImage sheet;
  ASSERT_TRUE(sheet.Create(32, 16, 32, true));

  const int failuresBefore = FailingSync::Failures();
  Status saved = Status::Ok();
  {
    const FailingSync failing(GetParam().target, EIO);
    saved = WriteImageFile(sheet, target);
  }
  EXPECT_EQ(FailingSync::Failures(), failuresBefore + 1);
  ASSERT_FALSE(saved);
  EXPECT_NE(saved.Message().find(target.string()), std::string::npos) << saved.Message();
  EXPECT_NE(saved.Message().find(std::strerror(EIO)), std::string::npos) << saved.Message();
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Root()), fs::directory_iterator()), 1);
  if (GetParam().oldFileStays) {
    EXPECT_EQ(ReadAll(target), kOldBytes);
  } else {
    RasterImage written;
    ASSERT_TRUE(ReadImageFile(target, written));
    EXPECT_EQ(written.Width(), 32);
  }
}

INSTANTIATE_TEST_SUITE_P(Syncs, FailedSync,
                         ::testing::Values(SyncFailure{"FileData", SyncTarget::FileData, true},
                                           SyncFailure{"Folder", SyncTarget::Folder, false}),
                         [](const ::testing::TestParamInfo<SyncFailure>& row) {
                           return std::string(row.param.name);
                         });

// A batch's new files wait for one sync at its end: with every file sync failing, a new file
// still saves and the sync at the end fails with the reason; a file replaced is synced at once.
TEST(DeferredSync, NewFilesWaitForTheEndReplacedOnesDoNot) {
  const TempFolder folder;
  const fs::path replaced = folder.WriteFile("old.png", kOldBytes);
  RasterImage sheet;
  ASSERT_TRUE(sheet.Create(8, 8, 32, true));
  const FailingSync files(SyncTarget::FileData, EIO);
  const FailingSync folders(SyncTarget::Folder, EIO);
  EXPECT_TRUE(WriteImageFile(sheet, folder.Root() / "new.png", Durability::NewFilesAtEnd));
  EXPECT_FALSE(WriteImageFile(sheet, replaced, Durability::NewFilesAtEnd));
  EXPECT_EQ(ReadAll(replaced), kOldBytes);
  EXPECT_TRUE(SyncFileSystemOf(folder.Root()));
  const FailingSync fileSystem(SyncTarget::FileSystem, EIO);
  const Status synced = SyncFileSystemOf(folder.Root());
  ASSERT_FALSE(synced);
  EXPECT_NE(synced.Message().find(std::strerror(EIO)), std::string::npos) << synced.Message();
}

}  // namespace
}  // namespace tessarin
