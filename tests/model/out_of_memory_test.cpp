// Running out of memory while decoding is an error that names the image, wherever it happens:
// in our reader, in the toolkit's decoder, or in between.

#include <gtest/gtest.h>

#include <QImage>
#include <QImageWriter>
#include <QString>

#include <cstddef>
#include <filesystem>
#include <ostream>
#include <string>

#include "address_space_limit.h"
#include "image_file.h"
#include "raster_image.h"
#include "temp_folder.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using testing::AddressSpaceLimit;
using testing::TempFolder;

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr int kSide = 4096;
// What 8 and 16 bits a channel of a kSide x kSide picture take.
constexpr std::size_t kPicture8 = std::size_t{kSide} * kSide * 4;
constexpr std::size_t kPicture16 = 2 * kPicture8;
// For everything small a decode allocates, and for the toolkit's threads' stacks; well below
// any picture.
constexpr std::size_t kSlack = 24 * kMiB;

enum class Layer {
  Rgba8,        // read by our reader
  StoredRgba8,  // the same, uncompressed: the file alone is as large as the picture
  Rgba16,       // read by the toolkit into a picture twice the size, then narrowed and copied
};

// A transparent square.
fs::path WriteLayer(Layer layer) {
  // Written once for every test here: a 16-bit square takes seconds to encode.
  static const TempFolder folder;
  static const char* const kNames[] = {"rgba8.png", "stored-rgba8.png", "rgba16.png"};
  const fs::path path = folder.Path(kNames[static_cast<int>(layer)]);
  if (fs::exists(path)) return path;
  if (layer == Layer::Rgba8) {
    RasterImage image;
    image.Create(kSide, kSide, 32, true);
    EXPECT_TRUE(WriteImageFile(image, path));
    return path;
  }
  QImage image(kSide, kSide,
               layer == Layer::Rgba16 ? QImage::Format_RGBA64 : QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QImageWriter writer(QString::fromStdString(path.string()), "png");
  if (layer == Layer::StoredRgba8) writer.setCompression(0);
  EXPECT_TRUE(writer.write(image));
  return path;
}

struct Shortage {
  const char* name;
  Layer layer;
  std::size_t headroom;
};

void PrintTo(const Shortage& row, std::ostream* os) {
  *os << row.name;
}

class DecodeShortOfMemory : public ::testing::TestWithParam<Shortage> {};

TEST_P(DecodeShortOfMemory, NamesTheImage) {
  const fs::path path = WriteLayer(GetParam().layer);
  RasterImage image;
  // Once in full, so that whatever the toolkit sets up on first use is in place.
  ASSERT_TRUE(ReadImageFile(path, image));
  image.Destroy();

  Status read = Status::Ok();
  {
    const AddressSpaceLimit limit(GetParam().headroom);
    if (!limit.Made()) GTEST_SKIP() << limit.Why();
    read = ReadImageFile(path, image);
  }
  ASSERT_FALSE(read);
  EXPECT_TRUE(read.IsOutOfMemory());
  EXPECT_NE(read.Message().find(path.string()), std::string::npos) << read.Message();
  EXPECT_NE(read.Message().find("out of memory"), std::string::npos) << read.Message();
  EXPECT_TRUE(image.IsNull());
}

INSTANTIATE_TEST_SUITE_P(
    Where, DecodeShortOfMemory,
    ::testing::Values(Shortage{"InReadingTheFile", Layer::StoredRgba8, kSlack},
                      Shortage{"InOurReader", Layer::Rgba8, kSlack},
                      Shortage{"InTheToolkitsNarrowing", Layer::Rgba16, kPicture16 + kSlack},
                      Shortage{"InOurCopyOfTheToolkitsPicture", Layer::Rgba16,
                               kPicture16 + kPicture8 + kSlack}),
    [](const ::testing::TestParamInfo<Shortage>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace tessarin
