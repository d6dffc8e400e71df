// What an artist's folder can hold that it should not: broken images, setting files that are
// not text, folders that loop or change underfoot. Each is reported or passed over; none
// crashes or hangs.

#include <gtest/gtest.h>

#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <functional>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "address_space_limit.h"
#include "byte_order.h"
#include "folder_layout.h"
#include "image_file.h"
#include "layer_loading.h"
#include "name_case.h"
#include "raster_image.h"
#include "set_state.h"
#include "setting_file.h"
#include "temp_folder.h"
#include "text_encoding.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using testing::AddressSpaceLimit;
using testing::TempFolder;
using namespace std::string_literals;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The bytes of a small image in the given format.
std::string Encoded(const TempFolder& folder, const char* extension) {
  RasterImage image;
  image.Create(16, 8, 32, true);
  for (int y = 0; y < 8; ++y) std::fill_n(image.Row(y), image.Stride(), std::uint8_t{0x7F});
  const fs::path path = folder.Path(std::string("encoded.") + extension);
  EXPECT_TRUE(WriteImageFile(image, path));
  std::string bytes = ReadAll(path);
  fs::remove(path);
  return bytes;
}

std::string Corrupted(std::string png) {
  const std::size_t data = png.find("IDAT") + 4;
  for (std::size_t i = data; i < data + 8; ++i) png[i] = static_cast<char>(png[i] ^ 0x5A);
  return png;
}

std::string HugeHeader(std::string png) {
  const char side[4] = {0x00, 0x01, static_cast<char>(0x86), static_cast<char>(0xA0)};  // 100000
  png.replace(16, 4, side, 4);
  png.replace(20, 4, side, 4);
  return png;
}

TEST(BadImage, FailsWithItsNameOrDecodes) {
  const TempFolder folder;
  const std::string png = Encoded(folder, "png");
  struct Case {
    const char* file;
    std::optional<std::string> bytes;  // none: a folder of that name
    bool decodes;
    const char* says;
    const char* linkTo = nullptr;  // a link to this instead of bytes
  };
  const std::vector<Case> cases = {
      {"zero.png", "", false, ""},
      {"truncated.png", png.substr(0, png.size() / 2), false, "cut short"},
      {"header-only.png", png.substr(0, 33 + 5), false, "ends at byte 33, before its end chunk"},
      {"corrupt.png", Corrupted(png), false, ""},
      {"huge.png", HugeHeader(png), false, "100000 x 100000"},
      {"bmp.png", Encoded(folder, "bmp"), true, ""},
      {"folder.png", std::nullopt, false, ""},
      {"zero-link.png", "", false, "not a regular file", "/dev/zero"},
      {"random-link.png", "", false, "not a regular file", "/dev/urandom"},
  };
  SetState state;
  state.setFolder = folder.Root();
  state.partNames[0] = "Body";
  state.ready = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string relative = std::string("Body/") + c.file;
    fs::path path = folder.Path(relative);
    if (c.linkTo != nullptr) {
      fs::create_symlink(c.linkTo, path);
    } else {
      path = c.bytes ? folder.WriteFile(relative, *c.bytes) : folder.MakeFolder(relative);
    }
    RasterImage image;
    Status status = Status::Ok();
    {
      // Endless bytes must not be read until memory runs out.
      const AddressSpaceLimit limit(std::size_t{512} << 20);
      status = ReadImageFile(path, image);
    }
    EXPECT_EQ(status.IsOk(), c.decodes) << status.Message();
    EXPECT_EQ(image.IsNull(), !c.decodes);
    if (c.decodes) {
      // The BMP keeps its alpha, as the PNG does.
      EXPECT_EQ(image.PixelAt(15, 7), 0x7F7F7F7Fu);
    } else {
      EXPECT_NE(status.Message().find(c.file), std::string::npos) << status.Message();
      EXPECT_NE(status.Message().find(c.says), std::string::npos) << status.Message();
    }
    // As a layer: the slot stays empty and remembers what it was asked for.
    RefreshLayers(state, {c.file});
    EXPECT_EQ(state.layers[MainSlot(0)].IsEmpty(), !c.decodes);
    EXPECT_EQ(state.layers[MainSlot(0)].loadedPath, PathToUtf8(path));
  }
}

std::uint32_t Big32At(const std::string& bytes, std::size_t at) {
  return ReadBig32(reinterpret_cast<const std::uint8_t*>(bytes.data() + at));
}

// zlib's CRC-32, the one PNG chunks carry.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
  return static_cast<std::uint32_t>(crc32(0, data, static_cast<uInt>(size)));
}

void PutBig32At(std::string& bytes, std::size_t at, std::uint32_t v) {
  WriteBig32(reinterpret_cast<std::uint8_t*>(bytes.data() + at), v);
}

// A chunk to insert, checksum included; a wrong one when asked.
std::string Chunk(const std::string& type, const std::string& data, bool rightChecksum = true) {
  std::string chunk(4, '\0');
  PutBig32At(chunk, 0, static_cast<std::uint32_t>(data.size()));
  chunk += type + data;
  const std::uint32_t checksum =
      Crc32(reinterpret_cast<const std::uint8_t*>(chunk.data() + 4), 4 + data.size());
  chunk += std::string(4, '\0');
  PutBig32At(chunk, chunk.size() - 4, checksum ^ (rightChecksum ? 0 : 1));
  return chunk;
}

void FixHeaderChecksum(std::string& png) {
  PutBig32At(png, 29, Crc32(reinterpret_cast<const std::uint8_t*>(png.data() + 12), 17));
}

// The header with one byte changed and its checksum made right again.
std::string WithHeaderByte(std::string png, std::size_t at, char value) {
  png[at] = value;
  FixHeaderChecksum(png);
  return png;
}

// What run prints on standard error, by any means.
template <typename Run>
std::string StandardErrorOf(const Run& run) {
  std::fflush(stderr);
  std::FILE* capture = std::tmpfile();
  const int saved = dup(STDERR_FILENO);
  dup2(fileno(capture), STDERR_FILENO);
  run();
  std::fflush(stderr);
  dup2(saved, STDERR_FILENO);
  close(saved);
  std::rewind(capture);
  std::string text;
  for (int c = std::fgetc(capture); c != EOF; c = std::fgetc(capture)) text += static_cast<char>(c);
  std::fclose(capture);
  return text;
}

// Each damage is told in one clause of our own, before the decoder sees the file (it would
// print its own line besides). An ancillary chunk's checksum only costs that chunk. Nothing
// else is printed, whether the file decodes or not.
TEST(BadImage, DamagedPngsAreRefusedWithWhatIsWrong) {
  const TempFolder folder;
  const std::string png = Encoded(folder, "png");
  ASSERT_EQ(png.compare(37, 4, "IDAT"), 0);
  const std::size_t idatEnd = 33 + 12 + Big32At(png, 33);
  std::string wide = png;
  PutBig32At(wide, 16, 1000001);
  PutBig32At(wide, 20, 1);
  FixHeaderChecksum(wide);
  struct Case {
    const char* name;
    std::string bytes;
    const char* says;  // nullptr: it decodes
  };
  // The image data rebuilt: changed by change, and split before its last split bytes.
  const auto withData = [&](const std::function<void(std::string&)>& change, std::size_t split) {
    std::string data = png.substr(41, Big32At(png, 33));
    change(data);
    std::string chunks = Chunk("IDAT", data.substr(0, data.size() - split));
    if (split != 0) chunks += Chunk("IDAT", data.substr(data.size() - split));
    return png.substr(0, 33) + chunks + png.substr(idatEnd);
  };
  const auto badZlibHeader = [](std::string& data) { data[1] = 0; };
  const auto badAdler = [](std::string& data) { data.back() = static_cast<char>(~data.back()); };
  const auto flipped = [&png](std::size_t at) {
    std::string bytes = png;
    bytes[at] = static_cast<char>(bytes[at] ^ 1);
    return bytes;
  };
  const std::vector<Case> cases = {
      {"image data", flipped(41), "its IDAT chunk at byte 33 fails its checksum"},
      {"end chunk", flipped(png.size() - 1), "its IEND chunk"},
      {"end chunk holding data, no checksum",
       png.substr(0, png.size() - 12) + std::string("\0\0\0\4IEND\xAE\x42\x60\x82", 12),
       "its IEND chunk at byte"},
      {"end chunk without checksum", png.substr(0, png.size() - 4), nullptr},
      {"header", flipped(29), "its header chunk fails its checksum"},
      {"colour type", WithHeaderByte(png, 25, 1), "colour type 1, which does not exist"},
      {"bit depth", WithHeaderByte(png, 24, 3), "3 bits a sample, which colour type 6"},
      {"interlace", WithHeaderByte(png, 28, 2), "interlace method"},
      {"too wide", wide, "more than decoders read"},
      {"line ends", png.substr(0, 4) + "\n\n" + png.substr(6), "PNG signature, are altered"},
      {"chunk type", png.substr(0, 33) + Chunk("gA1A", "") + png.substr(33),
       "the chunk at byte 33 has no valid type"},
      {"no image data", png.substr(0, 33) + png.substr(idatEnd), "ends before any image data"},
      {"unknown critical chunk", png.substr(0, 33) + Chunk("QUUX", "") + png.substr(33),
       "QUUX, is one decoders must understand"},
      {"ancillary", png.substr(0, 33) + Chunk("tEXt", "a\0b", false) + png.substr(33), nullptr},
      {"signature only", png.substr(0, 8), "it ends at byte 8"},
      {"signature and a chunk's start", png.substr(0, 16), "it ends at byte 16"},
      {"zlib header", withData(badZlibHeader, 0), "does not start with a valid zlib header"},
      {"zlib checksum", withData(badAdler, 0), "its image data fails its checksum"},
      // Met by the decoder only after the last row: it warns and reads the rows.
      {"zlib checksum in a chunk of its own", withData(badAdler, 4), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RasterImage image;
    Status status = Status::Ok();
    EXPECT_EQ(
        StandardErrorOf([&] { status = DecodeImageBytes(c.bytes.data(), c.bytes.size(), image); }),
        "");
    if (c.says == nullptr) {
      EXPECT_TRUE(status) << status.Message();
      continue;
    }
    EXPECT_FALSE(status);
    EXPECT_NE(status.Message().find("the PNG is "), std::string::npos) << status.Message();
    EXPECT_NE(status.Message().find(c.says), std::string::npos) << status.Message();
  }
}

using Parts = std::vector<std::pair<std::string, std::int32_t>>;

// One line of 50 MiB with no newline: only what each 255-byte piece holds on its own counts.
std::string HugeLine() {
  std::string line(50u << 20, 'x');
  const auto put = [&line](std::size_t at, std::string_view text) {
    line.replace(at, text.size(), text);
  };
  put(0, "Xsize:16");
  put(255 * 2, "a=1");
  put(255 * 5 - 1, "b=2");  // split across two pieces: neither defines a part
  put(255 * 100000, "c=3");
  put(255 * 200000 + 10, "Ysize:9");
  return line;
}

std::string ManyPartLines() {
  std::string text = "Xsize:8\n";
  for (int i = 0; i < 1000; ++i) {
    text += "p" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    if (i == 500) text += "Ysize:9\n";  // after the eighth part: never read
  }
  return text;
}

std::string Garbage() {
  std::mt19937 random(4);
  std::string bytes(1 << 16, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

TEST(BadSettingFile, ReadsWhatItCanAndNoMore) {
  struct Case {
    const char* name;
    std::string bytes;
    SettingFileStatus status;
    std::optional<Parts> parts;  // unknown for garbage, of which only the shape is checked
    std::int32_t xSize;
    std::int32_t ySize;
    std::uintmax_t sparseSize = 0;  // the file made this long with NUL bytes it does not store
  };
  constexpr auto kRead = SettingFileStatus::Read;
  const std::vector<Case> cases = {
      {"binary garbage", Garbage(), kRead, std::nullopt, 0, 0},
      {"NUL bytes", "Xsize:8\0junk\nYsize:9\n\0=1\nab\0=2\ncd=3\0ef=4\n"s, kRead, Parts{{"cd", 3}},
       8, 9},
      {"not code page 932", "\x81\x39=1\n\x82\xA0\x80=2\n\x85\x40=3\n", kRead,
       Parts{{"\uFFFD9", 1}, {"あ\uFFFD", 2}, {"\uFFFD@", 3}}, 0, 0},
      {"50 MiB in one line", HugeLine(), kRead, Parts{{"a", 1}, {"c", 3}}, 16, 9},
      {"1000 part lines", ManyPartLines(), kRead,
       Parts{
           {"p0", 0}, {"p1", 1}, {"p2", 2}, {"p3", 3}, {"p4", 4}, {"p5", 5}, {"p6", 6}, {"p7", 7}},
       8, 0},
      {"a folder", "", SettingFileStatus::Missing, Parts{}, 0, 0},
      {"1 GiB, sparse", "Xsize:8\nYsize:9\na=1\n", kRead, Parts{{"a", 1}}, 8, 9, 1u << 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TempFolder folder;
    if (c.status == SettingFileStatus::Missing) {
      folder.MakeFolder("setting.txt");
    } else {
      const fs::path path = folder.WriteFile("setting.txt", c.bytes);
      if (c.sparseSize != 0) fs::resize_file(path, c.sparseSize);
    }
    SetState state;
    state.setFolder = folder.Root();
    {
      // Less than the largest file: none is read whole.
      const AddressSpaceLimit limit(std::size_t{512} << 20);
      EXPECT_EQ(ReadSettingFile(state), c.status);
    }

    int defined = 0;
    for (int k = 0; k < kPartCount; ++k) {
      const std::string& name = state.partNames[k];
      EXPECT_TRUE(IsValidUtf8(name)) << name;
      if (!name.empty()) ++defined;
      if (c.parts) {
        const bool expected = static_cast<std::size_t>(k) < c.parts->size();
        EXPECT_EQ(name, expected ? (*c.parts)[k].first : "") << "part " << k;
      }
    }
    ASSERT_EQ(state.drawOrder.size(), 2u * static_cast<std::size_t>(defined));
    EXPECT_TRUE(std::is_sorted(state.orderKeys.begin(), state.orderKeys.end()));
    if (!c.parts) continue;
    for (std::size_t k = 0; k < c.parts->size(); ++k) {
      const auto slot =
          std::find(state.drawOrder.begin(), state.drawOrder.end(), MainSlot(static_cast<int>(k)));
      ASSERT_NE(slot, state.drawOrder.end());
      EXPECT_EQ(state.orderKeys[static_cast<std::size_t>(slot - state.drawOrder.begin())],
                (*c.parts)[k].second);
    }
    EXPECT_EQ(state.xSize, c.xSize);
    EXPECT_EQ(state.ySize, c.ySize);
  }
}

std::string Repeated(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(BadFolder, SymlinkLoopsEndTheListing) {
  const TempFolder folder;
  folder.WriteFile("Set/Body/a.png");
  fs::create_directory_symlink(".", folder.Path("Loop"));
  fs::create_directory_symlink("..", folder.Path("Set/Body/Up"));
  fs::create_symlink("Self.png", folder.Path("Set/Body/Self.png"));

  EXPECT_EQ(ListSets(folder.Root()), (std::vector<std::string>{"Loop", "Set"}));
  EXPECT_EQ(ListPartImages(folder.Path("Set/Body")), std::vector<std::string>{"a.png"});
  // Each step through a loop is one more folder to resolve; past the system's limit on links
  // in one path, the name is not found.
  EXPECT_EQ(ResolveEntry(folder.Root(), Repeated("loop/", 10) + "set/body/up/BODY/up/body/A.PNG"),
            folder.Path(Repeated("Loop/", 10) + "Set/Body/Up/Body/Up/Body/a.png"));
  EXPECT_EQ(ResolveEntry(folder.Root(), Repeated("loop/", 50) + "set"), std::nullopt);
}

TEST(BadFolder, TenThousandImagesAreAllListedInOrder) {
  const TempFolder folder;
  for (int i = 0; i < 10000; ++i) {
    const std::string stem = (i % 2 ? "髪_" : "Hair_") + std::to_string((i * 7919) % 10000);
    folder.WriteFile(stem + (i % 3 ? ".png" : ".PNG"));
    if (i % 10 == 0) folder.WriteFile(stem + "$.png");
  }
  const std::vector<std::string> images = ListPartImages(folder.Root());
  EXPECT_EQ(images.size(), 10000u);
  EXPECT_TRUE(std::is_sorted(images.begin(), images.end(), NameLess));
  EXPECT_TRUE(std::none_of(images.begin(), images.end(), [](const std::string& name) {
    return name.find('$') != std::string::npos;
  }));
}

TEST(BadFolder, AnImageDeletedAfterListingLeavesItsSlotEmpty) {
  const TempFolder folder;
  RasterImage image;
  image.Create(4, 4, 32, true);
  folder.MakeFolder("Set/Body");
  ASSERT_TRUE(WriteImageFile(image, folder.Path("Set/Body/a.png")));
  ASSERT_TRUE(WriteImageFile(image, folder.Path("Set/Body/a$.png")));
  SetState state;
  state.setFolder = folder.Path("Set");
  state.partNames[0] = "Body";
  state.ready = true;
  ASSERT_EQ(ListPartImages(folder.Path("Set/Body")), std::vector<std::string>{"a.png"});

  fs::remove(folder.Path("Set/Body/a.png"));
  EXPECT_TRUE(RefreshLayers(state, {"a.png"}));
  EXPECT_TRUE(state.layers[MainSlot(0)].IsEmpty());
  EXPECT_EQ(state.layers[MainSlot(0)].loadedPath, PathToUtf8(folder.Path("Set/Body/a.png")));
}

}  // namespace
}  // namespace tessarin
