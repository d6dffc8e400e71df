// tessarin-compose on folders that hold what they should not: each run ends with the exit
// code for bad input and one line naming what is wrong, or copes and succeeds.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <algorithm>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include "batch_runner.h"
#include "compose_process.h"
#include "composition_plan.h"
#include "image_file.h"
#include "raster_image.h"
#include "set_opening.h"
#include "test_graphics_folder.h"

namespace tessarin::cli {
namespace {

namespace fs = std::filesystem;
using end_to_end::ProcessResult;
using end_to_end::ReadWholeFile;
using end_to_end::WriteText;

fs::path PngSuiteFolder() {
  return fs::path(TESSARIN_SOURCE_DIR) / ".." / "shared" / "pngsuite" / "png";
}

std::string LastLine(const std::string& text) {
  const std::size_t end = text.find_last_not_of('\n');
  if (end == std::string::npos) return "";
  const std::size_t begin = text.rfind('\n', end);
  return text.substr(begin == std::string::npos ? 0 : begin + 1, end - begin);
}

// png with the data of its one IDAT chunk (at byte 33) changed, the chunk's checksum made right.
std::string WithImageData(const std::string& png, void (*change)(std::string&)) {
  const auto big32 = [](const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
      value = value << 8 | static_cast<std::uint8_t>(bytes[at + i]);
    return value;
  };
  const std::size_t size = big32(png, 33);
  std::string data = png.substr(41, size);
  change(data);
  std::string out = png.substr(0, 41) + data;
  const auto checksum = static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(out.data() + 37), static_cast<uInt>(size + 4)));
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>(checksum >> shift);
  return out + png.substr(41 + size + 4);
}

class ComposeBadInput : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = fs::temp_directory_path() / ("tessarin-cli-bad-" + std::to_string(getpid()));
    fs::remove_all(root_);
    graphics_ = end_to_end::BuildTestGraphics(root_);
    const fs::path body = graphics_ / "Images" / "Body";
    WriteText(graphics_ / "Images" / "setting.txt", "Xsize:8\nYsize:4\nBody=1\n");
    end_to_end::WritePng(body / "good.png", end_to_end::TopRow(end_to_end::kRed));
    const std::string png = ReadWholeFile(body / "good.png");
    WriteText(body / "zero.png", "");
    WriteText(body / "truncated.png", png.substr(0, png.size() / 2));
    WriteText(body / "signature.png", png.substr(0, 8));
    WriteText(body / "signature16.png", png.substr(0, 16));
    WriteText(body / "zlibheader.png", WithImageData(png, [](std::string& data) { data[1] = 0; }));
    WriteText(body / "adler.png", WithImageData(png, [](std::string& data) {
                data.back() = static_cast<char>(~data.back());
              }));
    std::string huge = png;
    huge.replace(16, 8, std::string("\0\x01\x86\xA0\0\x01\x86\xA0", 8));  // 100000 x 100000
    WriteText(body / "huge.png", huge);
    fs::create_directories(body / "x.png");
    RasterImage bmp;
    ASSERT_TRUE(ReadImageFile(body / "good.png", bmp));
    ASSERT_TRUE(WriteImageFile(bmp, root_ / "good.bmp"));
    fs::rename(root_ / "good.bmp", body / "bmp.png");
    // Companions that cannot be read: a FIFO that no one writes to, endless bytes, garbage.
    for (const char* main : {"hasfifo.png", "haszero.png", "hasbad.png"}) {
      fs::copy_file(body / "good.png", body / main);
    }
    ASSERT_EQ(mkfifo((body / "hasfifo$.png").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", body / "haszero$.png");
    WriteText(body / "hasbad$.png", "not a png");
    WriteText(graphics_ / "Cape" / "setting.txt", "Xsize:8\nYsize:4\nBody=1\n");
    fs::create_directories(graphics_ / "Cape" / "Body");
    fs::copy_file(body / "good.png", graphics_ / "Cape" / "Body" / "a.png");
    WriteText(graphics_ / "Cape" / "Body" / "a$.png", "not a png");

    WriteText(graphics_ / "Nul" / "setting.txt",
              std::string("Xsize:8\0junk\nYsize:4\nab=1\0cd=2\n", 31));
    WriteText(graphics_ / "NotCp932" / "setting.txt", "Xsize:8\nYsize:4\n\x82\xA0\x80=1\n");
    std::mt19937 random(4);
    std::string garbage(1 << 16, '\0');
    for (char& byte : garbage) byte = static_cast<char>(random());
    WriteText(graphics_ / "Garbage" / "setting.txt", garbage);
    // Every 255-byte piece of the long line begins with "=": no part has a name.
    WriteText(graphics_ / "Long" / "setting.txt",
              "Xsize:8\nYsize:4\n" + std::string(50u << 20, '='));
    std::string many = "Xsize:8\nYsize:4\n";
    for (int i = 0; i < 1000; ++i) many += "p" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    WriteText(graphics_ / "Many" / "setting.txt", many);
    // Sparse: a gigabyte of NUL bytes that takes no disk space.
    WriteText(graphics_ / "Sparse" / "setting.txt", "");
    fs::resize_file(graphics_ / "Sparse" / "setting.txt", std::uintmax_t{1} << 30);
    fs::create_directories(graphics_ / "FolderSetting" / "setting.txt");
    fs::create_directory_symlink(".", graphics_ / "Loop");
    WriteText(graphics_ / "Crowd" / "setting.txt", "Xsize:8\nYsize:4\nBody=1\n");
    for (int i = 0; i < 10000; ++i)
      WriteText(graphics_ / "Crowd" / "Body" / (std::to_string(i) + ".png"), "");
  }
  static void TearDownTestSuite() { fs::remove_all(root_); }

  void SetUp() override {
    scratch_ = root_ / testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(scratch_);
  }

  // With less address space than the largest input takes, so that no input is read whole;
  // the sanitizers' shadow memory cannot live under such a limit, so they run without.
  ProcessResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--graphics", graphics_.string()});
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return end_to_end::RunCompose(args, scratch_);
#else
    return end_to_end::RunCompose(args, scratch_, {{RLIMIT_AS, rlim_t{1} << 30}});
#endif
  }

  static inline fs::path root_;
  static inline fs::path graphics_;
  fs::path scratch_;
};

TEST_F(ComposeBadInput, EndsWithAReasonOrCopes) {
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char* says;             // on stderr's last line for a failure, on stdout otherwise
    const char* warns = nullptr;  // the one line on stderr of a success, if any
  };
  const std::string out = (scratch_ / "out.png").string();
  const auto pick = [&out](const std::string& file) {
    return std::vector<std::string>{"--set", "Images", "--pick", "Body=" + file, "-o", out};
  };
  const auto list = [](const std::string& set) {
    return std::vector<std::string>{"--list", "--set", set};
  };
  const std::vector<Case> cases = {
      {pick("zero.png"), kExitBadInput, "zero.png"},
      {pick("truncated.png"), kExitBadInput, "truncated.png"},
      {pick("huge.png"), kExitBadInput, "100000 x 100000"},
      {pick("signature.png"), kExitBadInput, "it ends at byte 8"},
      {pick("signature16.png"), kExitBadInput, "it ends at byte 16"},
      {pick("zlibheader.png"), kExitBadInput, "not start with a valid zlib header"},
      {pick("adler.png"), kExitBadInput, "its image data fails its checksum"},
      {pick("x.png"), kExitBadInput, "no image 'x.png'"},
      {pick("bmp.png"), kExitOk, "wrote"},
      {list("Nul"), kExitOk, "0: ab (priority 1"},
      {list("NotCp932"), kExitOk, "0: あ\uFFFD (priority 1"},
      {list("Long"), kExitOk, "size: 8x4\nparts: 0\n"},
      {list("Many"), kExitOk, "parts: 8\n"},
      {list("FolderSetting"), kExitBadInput, "missing setting file"},
      {{"--list"}, kExitOk, "Loop\n"},
      {list("Loop"), kExitBadInput, "missing setting file"},
      {list("Crowd"), kExitOk, " 10000 images)"},
      {list("Sparse"), kExitOk, "size: 0x0\nparts: 0\n"},
      {pick("hasfifo.png"), kExitOk, "wrote", "hasfifo$.png\": not a regular file"},
      {pick("haszero.png"), kExitOk, "wrote", "haszero$.png\": not a regular file"},
      {pick("hasbad.png"), kExitOk, "wrote", "hasbad$.png\""},
      // Said once for the batch, not once a character.
      {{"--set", "Cape", "--pick", "Body=a.png", "--count", "3", "-o",
        (scratch_ / "{n}.png").string()},
       kExitOk,
       "wrote 3 characters",
       "a$.png\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const ProcessResult result = Run(c.args);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    if (c.exitCode == kExitOk) {
      EXPECT_NE(result.out.find(c.says), std::string::npos) << result.out.substr(0, 500);
      if (c.warns == nullptr) {
        EXPECT_EQ(result.err, "");
        continue;
      }
      EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
      EXPECT_EQ(result.err.rfind("tessarin-compose: warning: ", 0), 0u) << result.err;
      EXPECT_NE(result.err.find(c.warns), std::string::npos) << result.err;
      continue;
    }
    // One line, ours: these files are refused before a decoder could add its own.
    const std::string line = LastLine(result.err);
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_EQ(line.rfind("tessarin-compose: ", 0), 0u) << result.err;
    EXPECT_NE(line.find(c.says), std::string::npos) << result.err;
  }
}

// Part names made of random bytes still make a listing a JSON reader takes.
TEST_F(ComposeBadInput, GarbageSettingListsAsJson) {
  const ProcessResult result = Run({"--list", "--set", "Garbage", "--json"});
  EXPECT_EQ(result.exitCode, kExitOk) << result.err;
  QJsonParseError error{};
  const QJsonDocument listing =
      QJsonDocument::fromJson(QByteArray::fromStdString(result.out), &error);
  EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
  EXPECT_EQ(listing.object().value("set").toString().toStdString(), "Garbage");
}

TEST_F(ComposeBadInput, PngSuiteBrokenFilesEndWithTheirNames) {
  if (!fs::is_directory(PngSuiteFolder())) GTEST_SKIP() << "no PngSuite at " << PngSuiteFolder();
  const fs::path body = graphics_ / "Suite" / "Body";
  WriteText(graphics_ / "Suite" / "setting.txt", "Xsize:32\nYsize:32\nBody=1\n");
  fs::create_directories(body);
  std::vector<std::string> broken;
  for (const auto& entry : fs::directory_iterator(PngSuiteFolder())) {
    const std::string name = entry.path().filename().string();
    if (name[0] != 'x' || entry.path().extension() != ".png") continue;
    fs::copy_file(entry.path(), body / name);
    broken.push_back(name);
  }
  ASSERT_FALSE(broken.empty());
  for (const std::string& name : broken) {
    SCOPED_TRACE(name);
    const ProcessResult result =
        Run({"--set", "Suite", "--pick", "Body=" + name, "-o", (scratch_ / "out.png").string()});
    EXPECT_EQ(result.exitCode, kExitBadInput) << result.err;
    EXPECT_NE(LastLine(result.err).find(name), std::string::npos) << result.err;
    // Said once, by us, and not also by the decoder underneath.
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_NE(result.err.find("damaged"), std::string::npos) << result.err;
  }
  EXPECT_FALSE(fs::exists(scratch_ / "out.png"));
}

// Listing and loading happen at different times; an image can go in between.
TEST_F(ComposeBadInput, AnImageDeletedAfterListingIsNamed) {
  const fs::path set = graphics_ / "Vanishing";
  WriteText(set / "setting.txt", "Xsize:8\nYsize:4\nBody=1\n");
  end_to_end::WritePng(set / "Body" / "gone.png", end_to_end::TopRow(end_to_end::kRed));
  auto opened = OpenSet(graphics_, "Vanishing");
  ASSERT_TRUE(std::holds_alternative<SetState>(opened));
  SetState& state = std::get<SetState>(opened);
  ComposeOptions options;
  options.picks = {{"Body", "gone.png"}};
  options.output = (scratch_ / "out.png").string();
  const SetAdditions additions;
  auto planned = PlanComposition(state, additions, options);
  ASSERT_TRUE(std::holds_alternative<CompositionPlan>(planned));

  fs::remove(set / "Body" / "gone.png");
  const auto ran =
      RunBatch(state, additions, std::get<CompositionPlan>(planned), options, 1, nullptr);
  ASSERT_TRUE(std::holds_alternative<CliError>(ran));
  const CliError& error = std::get<CliError>(ran);
  EXPECT_EQ(error.exitCode, kExitBadInput);
  EXPECT_NE(error.message.find("gone.png"), std::string::npos) << error.message;
  EXPECT_NE(error.message.find(std::strerror(ENOENT)), std::string::npos) << error.message;
  EXPECT_FALSE(fs::exists(options.output));
}

}  // namespace
}  // namespace tessarin::cli
