#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <new>
#include <ostream>
#include <stdexcept>
#include <string>

#include "parallel_saver.h"
#include "raster_image.h"

namespace tessarin::cli {
namespace {

namespace fs = std::filesystem;

struct FailedSave {
  const char* name;
  std::function<Status()> fail;
  const char* says;
};

void PrintTo(const FailedSave& row, std::ostream* os) {
  *os << row.name;
}

class SaverWithAFailedSave : public ::testing::TestWithParam<FailedSave> {};

// However a save fails, the batch hears of it, stops queueing, and the program goes on.
TEST_P(SaverWithAFailedSave, ReportsItAndGoesOn) {
  auto image = std::make_shared<RasterImage>();
  image->Create(1, 1, 32, true);
  const auto save = [](const RasterImage&, const fs::path& path) {
    return path.filename() == "3.png" ? GetParam().fail() : Status::Ok();
  };
  {
    ParallelSaver saver(4, save);
    int submitted = 0;
    while (submitted < 1000 && saver.Submit(image, std::to_string(submitted) + ".png")) {
      ++submitted;
    }
    saver.Finish();
    EXPECT_LT(submitted, 1000);
    EXPECT_FALSE(saver.Submit(image, "late.png"));
    const auto failure = saver.Failure();
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->first, "3.png");
    EXPECT_NE(failure->second.find(GetParam().says), std::string::npos) << failure->second;
    // Queued before the failure, and never failing.
    EXPECT_GE(saver.Completed(), 3);
  }
  ParallelSaver next(4, [](const RasterImage&, const fs::path&) { return Status::Ok(); });
  for (int i = 0; i < 20; ++i) EXPECT_TRUE(next.Submit(image, std::to_string(i) + ".png"));
  next.Finish();
  EXPECT_EQ(next.Completed(), 20);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, SaverWithAFailedSave,
    ::testing::Values(
        FailedSave{"Refused", [] { return Status::Error("the disk says no"); }, "the disk says no"},
        FailedSave{"Throws", []() -> Status { throw std::runtime_error("the encoder broke"); },
                   "the encoder broke"},
        FailedSave{"RunsOutOfMemory", []() -> Status { throw std::bad_alloc(); }, "out of memory"}),
    [](const ::testing::TestParamInfo<FailedSave>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tessarin::cli
