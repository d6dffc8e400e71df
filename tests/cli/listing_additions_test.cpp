#include <gtest/gtest.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "compose_process.h"
#include "test_graphics_folder.h"

namespace tessarin::cli {
namespace {

namespace fs = std::filesystem;
using end_to_end::ProcessResult;
using end_to_end::WriteText;

struct SetCase {
  const char* name;
  const char* setting;
  std::vector<const char*> images;  // relative to the set folder
  const char* setJson;              // nullptr for none
  const char* credits;              // nullptr for none
  int exitCode;
  // With exit 0: the listing's keys to compare, "credits" holding each part's. Otherwise the
  // error line's telling part.
  const char* json;
  std::vector<const char*> textLines;
};

QJsonObject Parsed(const std::string& text) {
  return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

TEST(ListingAdditions, GridAnimationsPalettesAndCreditsOfEachSet) {
  const char* const header = "filename,notes,authors,licenses,urls\n";
  const std::vector<SetCase> cases = {
      {"Defaults",
       "Xsize:12\nYsize:8\nHair=1\n",
       {"Hair/long.png"},
       nullptr,
       nullptr,
       0,
       R"({"grid":{"columns":6,"rows":4},"palettes":{},"credits":[{}]})",
       {"grid: 6x4 cells", "animation down: cells 0-2, pingpong, 150 ms",
        "animation up_right: cells 21-23, pingpong, 150 ms", "       long.png"}},
      {"NoGrid",
       "Xsize:8\nYsize:4\nHair=1\n",
       {"Hair/long.png"},
       nullptr,
       nullptr,
       0,
       R"({"grid":null,"animations":[],"palettes":{},"credits":[{}]})",
       {"grid: none", "draw order: 0 8"}},
      {"Written",
       "Xsize:8\nYsize:4\nHair=1\n",
       {},
       R"({"grid":{"columns":2,"rows":2},
           "animations":[{"name":"walk","from":0,"to":3,"direction":"forward"},
                         {"name":"idle","from":2,"to":2,"ms":500}],
           "palettes":{"skin":{"source":["#101010"],"variants":{"pale":["#f0f0f0"]}},
                       "hair":{"source":["#000000"],"variants":{"red":["#ff0000"],
                                                                "blue":["#0000ff"]}}}})",
       nullptr,
       0,
       R"({"grid":{"columns":2,"rows":2},
           "animations":[{"name":"walk","from":0,"to":3,"direction":"forward","ms":150},
                         {"name":"idle","from":2,"to":2,"direction":"pingpong","ms":500}],
           "palettes":{"hair":["source","blue","red"],"skin":["source","pale"]}})",
       {"grid: 2x2 cells", "animation walk: cells 0-3, forward, 150 ms",
        "animation idle: cells 2-2, pingpong, 500 ms", "palette hair: source, blue, red",
        "palette skin: source, pale"}},
      // The longest path wins; a row for a path below the image is no credit of it.
      {"Credited",
       "Xsize:8\nYsize:4\nBody=1\nhair=2\n",
       {"Body/a.png", "Hair/Long.png", "Hair/short.png"},
       nullptr,
       "Hair,,Ann,CC0,\n"
       "hair\\long.png,,\"Bo, Cy\",\"CC-BY-4.0, OFL\",\n"
       "Body/a.png/deeper,,Dee,MIT,\n"
       "Body/a.pn,,Dee,MIT,\n",
       0,
       R"({"credits":[{},
                      {"Long.png":{"authors":["Bo","Cy"],"licenses":["CC-BY-4.0","OFL"]},
                       "short.png":{"authors":["Ann"],"licenses":["CC0"]}}]})",
       {"       a.png", "       Long.png [CC-BY-4.0, OFL]", "       short.png [CC0]"}},
      // The part folder in code page 932 bytes, credited by its name as read.
      {"Cp932",
       "Xsize:8\nYsize:4\n頭=1\n",
       {"\x93\xaa/\x90\xD4.png"},
       nullptr,
       "頭/赤.png,,Eve,,\n",
       0,
       R"({"credits":[{"赤.png":{"authors":["Eve"],"licenses":[]}}]})",
       {"       赤.png [no licence given]"}},
      {"BadJson",
       "Xsize:8\nYsize:4\nHair=1\n",
       {},
       R"({"grid":{"columns":3,"rows":1}})",
       nullptr,
       2,
       "BadJson/set.json: grid:",
       {}},
      {"BadCredits",
       "Xsize:8\nYsize:4\nHair=1\n",
       {},
       nullptr,
       "Hair,,Ann,CC0\n",
       2,
       "BadCredits/CREDITS.csv: line 2:",
       {}},
  };

  const fs::path root =
      fs::temp_directory_path() / ("tessarin-listing-additions-" + std::to_string(getpid()));
  fs::remove_all(root);
  const fs::path base = root / "Graphics";
  for (const SetCase& c : cases) {
    const fs::path set = base / c.name;
    WriteText(set / "setting.txt", c.setting);
    for (const char* image : c.images) WriteText(set / image, "");
    if (c.setJson) WriteText(set / "set.json", c.setJson);
    if (c.credits) WriteText(set / "CREDITS.csv", std::string(header) + c.credits);
  }
  const auto run = [&](std::vector<std::string> args) {
    args.insert(args.begin(), {"--graphics", base.string(), "--list"});
    return end_to_end::RunCompose(args, root);
  };
  EXPECT_EQ(run({}).exitCode, 0) << "bad files matter only to the set they are in";

  for (const SetCase& c : cases) {
    SCOPED_TRACE(c.name);
    const ProcessResult json = run({"--set", c.name, "--json"});
    const ProcessResult text = run({"--set", c.name});
    ASSERT_EQ(json.exitCode, c.exitCode) << json.err;
    ASSERT_EQ(text.exitCode, c.exitCode) << text.err;
    if (c.exitCode != 0) {
      for (const ProcessResult& result : {json, text}) {
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        EXPECT_NE(result.err.find(c.json), std::string::npos) << result.err;
      }
      continue;
    }
    const QJsonObject listing = Parsed(json.out);
    const QJsonObject expected = Parsed(c.json);
    ASSERT_FALSE(expected.isEmpty()) << c.json;
    for (auto it = expected.begin(); it != expected.end(); ++it) {
      if (it.key() != "credits") {
        EXPECT_EQ(listing[it.key()], it.value()) << it.key().toStdString() << "\n" << json.out;
        continue;
      }
      const QJsonArray parts = listing["parts"].toArray();
      ASSERT_EQ(parts.size(), it.value().toArray().size()) << json.out;
      for (qsizetype k = 0; k < parts.size(); ++k) {
        EXPECT_EQ(parts[k]["credits"], it.value()[k]) << json.out;
      }
    }
    for (const char* line : c.textLines) {
      EXPECT_NE(text.out.find("\n" + std::string(line) + "\n"), std::string::npos) << line << "\n"
                                                                                   << text.out;
    }
  }
  fs::remove_all(root);
}

}  // namespace
}  // namespace tessarin::cli
