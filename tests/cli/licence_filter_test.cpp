#include <gtest/gtest.h>
#include <unistd.h>

#include <QJsonObject>
#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "compose_process.h"
#include "dressed_set.h"

namespace tessarin::cli {
namespace {

namespace fs = std::filesystem;
using end_to_end::ProcessResult;

class LicenceFilter : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = fs::temp_directory_path() / ("tessarin-licences-" + std::to_string(getpid()));
    fs::remove_all(root_);
    const fs::path set = root_ / "Graphics" / "Licensed";
    end_to_end::WriteText(set / "setting.txt", "Xsize:8\nYsize:4\nBody=1\nHat=2\n");
    for (const char* image : {"cc0.png", "mit.png", "both.png", "gpl.png", "mixed.png",
                              "uncredited.png", "unlicensed.png"}) {
      end_to_end::WritePng(set / "Body" / image, end_to_end::TopRow(end_to_end::kRed));
    }
    end_to_end::WritePng(set / "Hat" / "h.png", end_to_end::TopRow(end_to_end::kBlue));
    end_to_end::WriteText(set / "CREDITS.csv",
                          "filename,notes,authors,licenses,urls\n"
                          "Body/cc0.png,,Ann,CC0-1.0,\n"
                          "Body/mit.png,,Ann,MIT,\n"
                          "Body/both.png,,Ann,\"CC0-1.0, MIT\",\n"
                          "Body/gpl.png,,Ann,GPL-3.0,\n"
                          "Body/mixed.png,,Ann,\"MIT, GPL-3.0\",\n"
                          "Body/unlicensed.png,,Ann,,\n"
                          "Hat,,Ann,GPL-3.0,\n");
  }
  static void TearDownTestSuite() { fs::remove_all(root_); }

  static ProcessResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), {"--graphics", (root_ / "Graphics").string(), "--set", "Licensed"});
    return end_to_end::RunCompose(args, root_);
  }

  // The Body images a batch of the seed drew, and whether any drew a hat.
  static std::set<std::string> BodiesDrawn(const std::string& seed,
                                           const std::vector<std::string>& licence,
                                           bool& hatDrawn) {
    const fs::path folder = root_ / ("seed " + seed + (licence.empty() ? " free" : ""));
    fs::create_directories(folder);
    std::vector<std::string> args = {"--random",   "all",     "--seed",
                                     seed,         "--count", "30",
                                     "--metadata", "-o",      (folder / "{n}.png").string()};
    args.insert(args.end(), licence.begin(), licence.end());
    const ProcessResult result = Run(args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::set<std::string> bodies;
    for (int n = 1; n <= 30; ++n) {
      const std::string name = (n < 10 ? "0" : "") + std::to_string(n) + ".json";
      const QJsonObject picks =
          end_to_end::JsonFile(folder / name)["meta"]["tessarin"]["picks"].toObject();
      bodies.insert(picks["Body"].toString().toStdString());
      hatDrawn = hatDrawn || !picks["Hat"].isNull();
    }
    return bodies;
  }

  static inline fs::path root_;
};

TEST_F(LicenceFilter, RandomPicksStayWithinTheList) {
  const std::set<std::string> allowed = {"cc0.png", "mit.png", "both.png"};
  std::set<std::string> drawn;
  for (const std::string seed : {"1", "2", "3"}) {
    bool hatDrawn = false;
    for (const std::string& body : BodiesDrawn(seed, {"--license", "mit, cc0-1.0"}, hatDrawn)) {
      EXPECT_EQ(allowed.count(body), 1u) << body << ", seed " << seed;
      drawn.insert(body);
    }
    EXPECT_FALSE(hatDrawn) << "every hat is GPL-3.0, seed " << seed;
  }
  EXPECT_EQ(drawn, allowed);
  // Without the list, the same draws reach the other images too.
  bool hatDrawn = false;
  const std::set<std::string> free = BodiesDrawn("1", {}, hatDrawn);
  EXPECT_TRUE(hatDrawn);
  EXPECT_TRUE(std::any_of(free.begin(), free.end(),
                          [&](const std::string& body) { return allowed.count(body) == 0; }));
}

TEST_F(LicenceFilter, APickOutsideTheListIsNamedWithItsLicences) {
  struct Case {
    const char* pick;
    int exitCode;
    const char* said;
  };
  const std::vector<Case> cases = {
      {"Body=both.png", 0, ""},
      {"Body=gpl.png", 2, "Body/gpl.png is licensed GPL-3.0, which --license does not allow"},
      {"Body=mixed.png", 2, "Body/mixed.png is licensed MIT, GPL-3.0, which"},
      {"Body=uncredited.png", 2, "Body/uncredited.png is licensed under no recorded licence"},
      {"Body=unlicensed.png", 2, "Body/unlicensed.png is licensed under no recorded licence"},
      {"Hat=h.png", 2, "Hat/h.png is licensed GPL-3.0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pick);
    const ProcessResult result =
        Run({"--pick", c.pick, "--license", "CC0-1.0,MIT", "-o", (root_ / "pick.png").string()});
    EXPECT_EQ(result.exitCode, c.exitCode) << result.err;
    if (c.exitCode == 0) continue;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_NE(result.err.find(c.said), std::string::npos) << result.err;
  }
}

}  // namespace
}  // namespace tessarin::cli
