#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "folder_layout.h"
#include "image_file.h"
#include "layer_loading.h"
#include "raster_image.h"
#include "temp_folder.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;

// Records every load; every path that exists on disk "decodes" to a 1x1 image. Loads run on
// several threads, so they are kept in name order rather than the order they happened in.
struct RecordingLoader {
  std::multiset<std::string> loads;
  std::mutex mutex;
  ImageLoader Loader() {
    return [this](const fs::path& path) -> std::shared_ptr<const RasterImage> {
      {
        const std::lock_guard<std::mutex> lock(mutex);
        loads.insert(PathToUtf8(path.filename()));
      }
      if (!fs::exists(path)) return nullptr;
      auto image = std::make_shared<RasterImage>();
      image->Create(1, 1, 32, true);
      return image;
    };
  }
};

class RefreshLayersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.WriteFile("S/body/Body.png");
    folder_.WriteFile("S/body/body$.png");
    folder_.WriteFile("S/body/Other.png");
    folder_.WriteFile("S/hair/long.png");
    state_.baseFolder = folder_.Root();
    SelectSet(state_, "S");
    state_.partNames[0] = "hair";
    state_.partNames[2] = "body";
    state_.ready = true;
  }

  testing::TempFolder folder_;
  SetState state_;
  RecordingLoader recorder_;
};

TEST_F(RefreshLayersTest, LoadsTheMainImageAndItsCompanion) {
  PartSelection selection;
  selection[2] = "Body.png";
  EXPECT_TRUE(RefreshLayers(state_, selection, recorder_.Loader()));
  EXPECT_EQ(recorder_.loads, (std::multiset<std::string>{"Body.png", "body$.png"}));
  EXPECT_FALSE(state_.layers[10].IsEmpty());
  EXPECT_FALSE(state_.layers[2].IsEmpty());
  EXPECT_EQ(state_.layers[10].loadedPath, PathToUtf8(folder_.Path("S/body/Body.png")));
  EXPECT_EQ(state_.layers[2].loadedPath, PathToUtf8(folder_.Path("S/body/body$.png")));
}

TEST_F(RefreshLayersTest, AMissingCompanionLeavesItsSlotEmpty) {
  PartSelection selection;
  selection[0] = "long.png";
  RefreshLayers(state_, selection, recorder_.Loader());
  EXPECT_FALSE(state_.layers[8].IsEmpty());
  EXPECT_TRUE(state_.layers[0].IsEmpty());
  EXPECT_EQ(state_.layers[0].loadedPath, PathToUtf8(folder_.Path("S/hair/long$.png")));
}

TEST_F(RefreshLayersTest, ReloadsOnlyWhenTheSelectionChanges) {
  PartSelection selection;
  selection[2] = "Body.png";
  RefreshLayers(state_, selection, recorder_.Loader());
  recorder_.loads.clear();
  EXPECT_FALSE(RefreshLayers(state_, selection, recorder_.Loader()));
  EXPECT_TRUE(recorder_.loads.empty());

  selection[2] = "Other.png";
  EXPECT_TRUE(RefreshLayers(state_, selection, recorder_.Loader()));
  EXPECT_EQ(recorder_.loads, (std::multiset<std::string>{"Other.png", "other$.png"}));
  EXPECT_TRUE(state_.layers[2].IsEmpty()) << "the old companion must not survive";
}

TEST_F(RefreshLayersTest, ChoosingNothingEmptiesBothSlots) {
  PartSelection selection;
  selection[2] = "Body.png";
  RefreshLayers(state_, selection, recorder_.Loader());
  selection[2] = "";
  EXPECT_TRUE(RefreshLayers(state_, selection, recorder_.Loader()));
  EXPECT_TRUE(state_.layers[10].IsEmpty());
  EXPECT_TRUE(state_.layers[2].IsEmpty());
  EXPECT_EQ(state_.layers[10].loadedPath, "");
  EXPECT_EQ(state_.layers[2].loadedPath, "");
}

TEST_F(RefreshLayersTest, AFailedMainLoadIsNotRetriedForTheSamePath) {
  PartSelection selection;
  selection[2] = "gone.png";
  EXPECT_TRUE(RefreshLayers(state_, selection, recorder_.Loader()));
  EXPECT_TRUE(state_.layers[10].IsEmpty());
  recorder_.loads.clear();
  EXPECT_FALSE(RefreshLayers(state_, selection, recorder_.Loader()));
  EXPECT_TRUE(recorder_.loads.empty());
}

TEST_F(RefreshLayersTest, LeavesUndefinedPartsAndWaitsUntilReady) {
  PartSelection selection;
  selection[5] = "Body.png";  // part 5 is not defined
  EXPECT_FALSE(RefreshLayers(state_, selection, recorder_.Loader()));
  EXPECT_TRUE(recorder_.loads.empty());

  state_.ready = false;
  selection[2] = "Body.png";
  EXPECT_FALSE(RefreshLayers(state_, selection, recorder_.Loader()));
  EXPECT_TRUE(recorder_.loads.empty());
}

TEST(ImageCache, DecodesEachPathOnce) {
  testing::TempFolder folder;
  RasterImage pixel;
  pixel.Create(1, 1, 32, true);
  ASSERT_TRUE(WriteImageFile(pixel, folder.Path("a.png")));
  ImageCache cache;
  const auto first = cache.Get(folder.Path("a.png"));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(cache.Get(folder.Path("a.png")), first);
  EXPECT_EQ(cache.Get(folder.Path("missing.png")), nullptr);
  EXPECT_EQ(cache.Get(folder.Path("missing.png")), nullptr);
  EXPECT_EQ(cache.Size(), 2u);
}

// Threads of a batch's refresh can ask for one path at once, a companion two parts share, say:
// the first decodes it, and the others wait for that image rather than decode it again.
TEST(ImageCache, DecodesAPathManyThreadsAskForAtOnceOnlyOnce) {
  constexpr int kThreads = 8;
  std::atomic<int> asking{0};
  std::atomic<int> reads{0};
  ImageCache cache([&](const fs::path&, RasterImage& image) {
    ++reads;
    // Every thread is about to ask before this read ends; a little longer, and they all have.
    while (asking.load() < kThreads) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    image.Create(1, 1, 32, true);
    return Status::Ok();
  });
  std::vector<std::shared_ptr<const RasterImage>> got(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      ++asking;
      got[static_cast<std::size_t>(t)] = cache.Get("shared.png");
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(reads, 1);
  ASSERT_NE(got[0], nullptr);
  for (const auto& image : got) EXPECT_EQ(image, got[0]);
}

// Other paths decode meanwhile: a slow image holds up no one else.
TEST(ImageCache, DecodesOtherPathsWhileOneIsDecoding) {
  std::atomic<bool> slowStarted{false};
  std::atomic<bool> fastDone{false};
  ImageCache cache([&](const fs::path& path, RasterImage& image) {
    if (path == "slow.png") {
      slowStarted = true;
      while (!fastDone.load()) std::this_thread::yield();
    }
    image.Create(1, 1, 32, true);
    return Status::Ok();
  });
  std::thread slow([&] { EXPECT_NE(cache.Get("slow.png"), nullptr); });
  while (!slowStarted.load()) std::this_thread::yield();
  EXPECT_NE(cache.Get("fast.png"), nullptr);
  fastDone = true;
  slow.join();
}

}  // namespace
}  // namespace tessarin
