#include <gtest/gtest.h>

#include <QImage>

#include <atomic>
#include <chrono>
#include <mutex>
#include <ostream>
#include <set>
#include <thread>
#include <vector>

#include "composition.h"
#include "folder_layout.h"
#include "image_file.h"
#include "layer_loading.h"
#include "raster_image.h"
#include "setting_file.h"
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
    return [this](const fs::path& path, KeptCorner) -> std::shared_ptr<const RasterImage> {
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

  // Kept only as large as the sheet, the images are loaded again for a sheet of another size.
  state_.xSize = 64;
  EXPECT_TRUE(RefreshLayers(state_, selection, recorder_.Loader()));
  EXPECT_EQ(recorder_.loads, (std::multiset<std::string>{"Body.png", "body$.png"}));
  recorder_.loads.clear();

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
  ImageCache cache([&](const fs::path&, RasterImage& image, KeptCorner) {
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
  ImageCache cache([&](const fs::path& path, RasterImage& image, KeptCorner) {
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

// Layers are kept only as large as the sheet they are drawn into, whoever decodes them, and
// compose exactly as the whole pictures would.
struct LayerFile {
  const char* name;
  QImage::Format format;
  const char* extension;
};

struct LayerSize {
  const char* name;
  int width;
  int height;
};

void PrintTo(const LayerFile& file, std::ostream* os) {
  *os << file.name;
}

void PrintTo(const LayerSize& size, std::ostream* os) {
  *os << size.width << "x" << size.height;
}

constexpr int kSheetWidth = 6;
constexpr int kSheetHeight = 5;

class LayersKeptToTheSheet : public ::testing::TestWithParam<std::tuple<LayerFile, LayerSize>> {};

// Every pixel different, and the alpha varied, so that a misplaced row or column shows.
void WriteLayer(const fs::path& path, const LayerFile& file, const LayerSize& size, int seed) {
  QImage picture(size.width, size.height, QImage::Format_ARGB32);
  for (int y = 0; y < size.height; ++y) {
    for (int x = 0; x < size.width; ++x) {
      picture.setPixel(x, y,
                       qRgba((x * 37 + seed) & 255, (y * 53 + seed) & 255, (x * y) & 255,
                             (x * 19 + y * 7 + seed) & 255));
    }
  }
  picture = picture.convertToFormat(file.format);
  ASSERT_TRUE(picture.save(QString::fromStdString(PathToUtf8(path)), file.extension));
}

TEST_P(LayersKeptToTheSheet, ComposeAsTheWholePicturesWould) {
  const auto& [file, size] = GetParam();
  testing::TempFolder folder;
  const std::string name = std::string("a.") + file.extension;
  const std::string companion = std::string("a$.") + file.extension;
  folder.MakeFolder("S/body");
  WriteLayer(folder.Path("S/body/" + name), file, size, 1);
  WriteLayer(folder.Path("S/body/" + companion), file, size, 2);

  SetState whole;
  whole.baseFolder = folder.Root();
  SelectSet(whole, "S");
  whole.partNames[0] = "body";
  InsertLayerPair(whole, 0, 1);
  whole.xSize = kSheetWidth;
  whole.ySize = kSheetHeight;
  for (const auto& [slot, fileName] :
       {std::pair{MainSlot(0), name}, {CompanionSlot(0), companion}}) {
    auto image = std::make_shared<RasterImage>();
    ASSERT_TRUE(ReadImageFile(folder.Path("S/body/" + fileName), *image));
    whole.layers[static_cast<std::size_t>(slot)].image = std::move(image);
  }
  whole.ready = true;

  ImageCache cache;
  for (const bool cached : {false, true}) {
    SCOPED_TRACE(cached ? "through the cache" : "straight from disk");
    SetState kept = whole;
    kept.layers = {};
    if (cached) {
      RefreshLayers(kept, {name}, cache.Loader());
    } else {
      RefreshLayers(kept, {name});
    }
    for (const int slot : {MainSlot(0), CompanionSlot(0)}) {
      const RasterImage& full = *whole.layers[static_cast<std::size_t>(slot)].image;
      const auto& image = kept.layers[static_cast<std::size_t>(slot)].image;
      ASSERT_NE(image, nullptr);
      EXPECT_EQ(image->Width(), std::min(size.width, kSheetWidth));
      EXPECT_EQ(image->Height(), std::min(size.height, kSheetHeight));
      EXPECT_EQ(image->BitsPerPixel(), full.BitsPerPixel());
    }
    for (const bool half : {false, true}) {
      for (const BlendRule rule : {BlendRule::Classic, BlendRule::Standard}) {
        SCOPED_TRACE(std::string(half ? "half, " : "") +
                     (rule == BlendRule::Classic ? "classic" : "standard"));
        RasterImage expected;
        RasterImage composed;
        ASSERT_TRUE(ComposeLayers(whole, half, rule, expected));
        ASSERT_TRUE(ComposeLayers(kept, half, rule, composed));
        ASSERT_EQ(composed.Width(), expected.Width());
        for (int y = 0; y < expected.Height(); ++y) {
          EXPECT_TRUE(
              std::equal(expected.Row(y), expected.Row(y) + expected.Stride(), composed.Row(y)))
              << "row " << y;
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    FormatsAndSizes, LayersKeptToTheSheet,
    ::testing::Combine(::testing::Values(LayerFile{"Rgba", QImage::Format_ARGB32, "png"},
                                         LayerFile{"Rgb", QImage::Format_RGB32, "png"},
                                         LayerFile{"Palette", QImage::Format_Indexed8, "png"},
                                         LayerFile{"TwoColours", QImage::Format_Mono, "png"},
                                         LayerFile{"SixteenBitRgba", QImage::Format_RGBA64, "png"}),
                       ::testing::Values(LayerSize{"Smaller", 4, 3}, LayerSize{"Equal", 6, 5},
                                         LayerSize{"Wider", 13, 5}, LayerSize{"Taller", 6, 9},
                                         LayerSize{"Larger", 37, 21})),
    [](const ::testing::TestParamInfo<std::tuple<LayerFile, LayerSize>>& row) {
      return std::string(std::get<0>(row.param).name) + std::get<1>(row.param).name;
    });

}  // namespace
}  // namespace tessarin
