#include <gtest/gtest.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "compose_process.h"
#include "dressed_set.h"
#include "image_file.h"
#include "raster_image.h"

namespace tessarin::cli {
namespace {

namespace fs = std::filesystem;
using end_to_end::ProcessResult;

// The keys of the object that opens at `open`, in the order the file gives them: a parsed
// QJsonObject would hand them back sorted.
std::vector<std::string> KeysInFileOrder(const std::string& text, std::size_t open) {
  std::vector<std::string> keys;
  int depth = 0;
  for (std::size_t i = open; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      std::size_t end = i + 1;
      while (end < text.size() && text[end] != '"') end += text[end] == '\\' ? 2 : 1;
      const std::size_t after = text.find_first_not_of(" \t\r\n", end + 1);
      if (depth == 1 && after != std::string::npos && text[after] == ':') {
        keys.push_back(text.substr(i + 1, end - i - 1));
      }
      i = end;
    } else if (c == '{' || c == '[') {
      ++depth;
    } else if ((c == '}' || c == ']') && --depth == 0) {
      break;
    }
  }
  return keys;
}

bool IsRectangle(const QJsonValue& value, bool withPlace) {
  const QJsonObject rectangle = value.toObject();
  std::vector<const char*> keys{"w", "h"};
  if (withPlace) keys.insert(keys.end(), {"x", "y"});
  for (const char* key : keys) {
    if (!rectangle.value(key).isDouble() || rectangle.value(key).toInt() < 0) return false;
  }
  return value.isObject() && rectangle.size() == static_cast<qsizetype>(keys.size());
}

bool IsTextList(const QJsonValue& value) {
  if (!value.isArray()) return false;
  for (const QJsonValue& item : value.toArray()) {
    if (!item.isString()) return false;
  }
  return true;
}

// Holds the document to the sprite-sheet hash form for a sheet of the given size, and returns
// each frame's duration in order.
std::vector<int> CheckSchema(const std::string& text, const std::string& imageName, int width,
                             int height) {
  const QJsonObject document = QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
  EXPECT_TRUE(document.value("frames").isObject()) << text;
  const QJsonObject frames = document.value("frames").toObject();
  const std::vector<std::string> order =
      KeysInFileOrder(text, text.find('{', text.find("\"frames\"")));
  EXPECT_EQ(order.size(), static_cast<std::size_t>(frames.size()));
  std::vector<int> durations;
  long long area = 0;
  int lastX = -1, lastY = 0, lastH = 0;
  for (std::size_t n = 0; n < order.size(); ++n) {
    SCOPED_TRACE("frame " + order[n]);
    EXPECT_EQ(order[n], std::to_string(n));
    const QJsonObject frame = frames.value(QString::fromStdString(order[n])).toObject();
    EXPECT_TRUE(IsRectangle(frame.value("frame"), true));
    EXPECT_TRUE(IsRectangle(frame.value("spriteSourceSize"), true));
    EXPECT_TRUE(IsRectangle(frame.value("sourceSize"), false));
    EXPECT_EQ(frame.value("rotated"), QJsonValue(false));
    EXPECT_EQ(frame.value("trimmed"), QJsonValue(false));
    EXPECT_TRUE(frame.value("duration").isDouble() && frame.value("duration").toInt() > 0);
    durations.push_back(frame.value("duration").toInt());
    const QJsonObject cell = frame.value("frame").toObject();
    const int x = cell["x"].toInt(), y = cell["y"].toInt();
    const int w = cell["w"].toInt(), h = cell["h"].toInt();
    EXPECT_EQ(frame.value("spriteSourceSize").toObject(),
              (QJsonObject{{"x", 0}, {"y", 0}, {"w", w}, {"h", h}}));
    EXPECT_EQ(frame.value("sourceSize").toObject(), (QJsonObject{{"w", w}, {"h", h}}));
    // Row by row: the next cell on the right, or the first of the row below.
    EXPECT_TRUE((y == lastY && x > lastX) || (x == 0 && y == lastY + lastH)) << x << "," << y;
    EXPECT_TRUE(x >= 0 && y >= 0 && x + w <= width && y + h <= height) << x << "," << y;
    area += static_cast<long long>(w) * h;
    lastX = x;
    lastY = y;
    lastH = h;
  }
  // Cells in bounds, in order and not overlapping, cover the sheet when their areas add up.
  if (!order.empty()) {
    EXPECT_EQ(area, static_cast<long long>(width) * height);
  }

  const QJsonObject meta = document.value("meta").toObject();
  EXPECT_TRUE(meta.value("app").isString() && meta.value("version").isString()) << text;
  EXPECT_EQ(meta.value("image").toString().toStdString(), imageName);
  EXPECT_EQ(meta.value("format"), QJsonValue("RGBA8888"));
  EXPECT_EQ(meta.value("size").toObject(), (QJsonObject{{"w", width}, {"h", height}}));
  EXPECT_EQ(meta.value("scale"), QJsonValue("1"));
  EXPECT_EQ(meta.value("layers"), QJsonValue(QJsonArray()));
  EXPECT_EQ(meta.value("slices"), QJsonValue(QJsonArray()));
  EXPECT_TRUE(meta.value("tessarin").isObject());
  EXPECT_TRUE(meta.value("frameTags").isArray());
  for (const QJsonValue& tag : meta.value("frameTags").toArray()) {
    const QJsonObject t = tag.toObject();
    EXPECT_TRUE(t.value("name").isString());
    EXPECT_TRUE(t.value("from").isDouble() && t.value("to").isDouble());
    EXPECT_LE(0, t["from"].toInt());
    EXPECT_LE(t["from"].toInt(), t["to"].toInt());
    EXPECT_LT(t["to"].toInt(), static_cast<int>(order.size()));
    const std::string direction = t.value("direction").toString().toStdString();
    EXPECT_TRUE(direction == "forward" || direction == "reverse" || direction == "pingpong")
        << direction;
  }
  EXPECT_TRUE(meta.value("credits").isArray());
  for (const QJsonValue& credit : meta.value("credits").toArray()) {
    const QJsonObject c = credit.toObject();
    EXPECT_TRUE(c.value("file").isString());
    for (const char* key : {"authors", "licenses", "urls"}) EXPECT_TRUE(IsTextList(c.value(key)));
  }
  return durations;
}

struct MetadataCase {
  const char* name;
  std::string set;
  std::vector<std::string> args;
  int width;
  std::vector<int> durations;
  const char* frameTags;
  std::string recipe;
  std::vector<std::string> creditLines;  // also the credited files, in order
};

TEST(SheetMetadata, HashFormTilesTheSheetAndCreditsEveryImage) {
  const fs::path root =
      fs::temp_directory_path() / ("tessarin-sheet-metadata-" + std::to_string(getpid()));
  fs::remove_all(root);
  const fs::path base = root / "Graphics";
  end_to_end::BuildDressedSet(base / "Dressed", end_to_end::Extras::Everything);
  end_to_end::BuildDressedSet(base / "Plain", end_to_end::Extras::None);
  // 12 x 4 takes the default grid of 6 x 4 cells and its animations: more than ten frames,
  // so that keys sorted as text ("10" before "2") would show.
  end_to_end::BuildDressedSet(base / "Wide", end_to_end::Extras::None);
  end_to_end::WriteText(base / "Wide" / "setting.txt",
                        "Xsize:12\nYsize:4\nBody=1\nHair=2\nHat=3\nCape=4\n");

  const std::vector<std::string> picks = {"--pick",        "Body=a.png", "--pick",
                                          "Hair=long.png", "--pick",     "Cape=c1.png"};
  const std::vector<std::string> dressedCredits = {
      R"("Body/a.png" by Ann, licensed CC0-1.0: https://example.org/body)",
      R"("Body/a$.png" by Ann, licensed CC0-1.0: https://example.org/body)",
      R"("Hair/long.png" by Bo, Cy, licensed CC-BY-4.0, MIT)",
      R"("Cape/c1.png": no credit recorded)"};
  const std::vector<std::string> uncredited = {
      R"("Body/a.png": no credit recorded)", R"("Body/a$.png": no credit recorded)",
      R"("Hair/long.png": no credit recorded)", R"("Cape/c1.png": no credit recorded)"};
  const std::string wideRecipe =
      R"({"set":"Wide","picks":{"Body":"a.png","Hair":"long.png","Hat":null,"Cape":"c1.png"},
          "colors":{},"blend":"classic","half":)";
  const std::vector<MetadataCase> cases = {
      {"whole sheet",
       "Dressed",
       {"--color", "skin=tan"},
       8,
       {100, 100, 250, 250, 200, 200, 150, 300},
       R"([{"name":"look","from":0,"to":1,"direction":"forward"},
           {"name":"spin","from":2,"to":3,"direction":"forward"},
           {"name":"back","from":4,"to":5,"direction":"reverse"},
           {"name":"idle","from":7,"to":7,"direction":"pingpong"}])",
       R"({"set":"Dressed","picks":{"Body":"a.png","Hair":"long.png","Hat":null,"Cape":"c1.png"},
           "colors":{"skin":"tan","hair":"source"},"half":false,"blend":"classic"})",
       dressedCredits},
      {"left half renumbered",
       "Dressed",
       {"--half", "--blend", "standard"},
       4,
       {100, 100, 200, 200},
       R"([{"name":"look","from":0,"to":1,"direction":"forward"},
           {"name":"back","from":2,"to":3,"direction":"reverse"}])",
       R"({"set":"Dressed","picks":{"Body":"a.png","Hair":"long.png","Hat":null,"Cape":"c1.png"},
           "colors":{"skin":"source","hair":"source"},"half":true,"blend":"standard"})",
       dressedCredits},
      {"no grid",
       "Plain",
       {},
       8,
       {},
       "[]",
       R"({"set":"Plain","picks":{"Body":"a.png","Hair":"long.png","Hat":null,"Cape":"c1.png"},
           "colors":{},"half":false,"blend":"classic"})",
       uncredited},
      {"default grid",
       "Wide",
       {},
       12,
       std::vector<int>(24, 150),
       R"([{"name":"down","from":0,"to":2,"direction":"pingpong"},
           {"name":"left","from":6,"to":8,"direction":"pingpong"},
           {"name":"right","from":12,"to":14,"direction":"pingpong"},
           {"name":"up","from":18,"to":20,"direction":"pingpong"},
           {"name":"down_left","from":3,"to":5,"direction":"pingpong"},
           {"name":"down_right","from":9,"to":11,"direction":"pingpong"},
           {"name":"up_left","from":15,"to":17,"direction":"pingpong"},
           {"name":"up_right","from":21,"to":23,"direction":"pingpong"}])",
       wideRecipe + "false}",
       uncredited},
      {"default grid, left half",
       "Wide",
       {"--half"},
       6,
       std::vector<int>(12, 150),
       R"([{"name":"down","from":0,"to":2,"direction":"pingpong"},
           {"name":"left","from":3,"to":5,"direction":"pingpong"},
           {"name":"right","from":6,"to":8,"direction":"pingpong"},
           {"name":"up","from":9,"to":11,"direction":"pingpong"}])",
       wideRecipe + "true}",
       uncredited},
  };
  for (const MetadataCase& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path scratch = root / c.name;
    fs::create_directories(scratch);
    std::vector<std::string> args = {"--graphics",
                                     base.string(),
                                     "--set",
                                     c.set,
                                     "--metadata",
                                     "-o",
                                     (scratch / "hero.png").string()};
    args.insert(args.end(), picks.begin(), picks.end());
    args.insert(args.end(), c.args.begin(), c.args.end());
    const ProcessResult result = end_to_end::RunCompose(args, scratch);
    ASSERT_EQ(result.exitCode, 0) << result.err;

    RasterImage sheet;
    ASSERT_TRUE(ReadImageFile(scratch / "hero.png", sheet).IsOk());
    ASSERT_EQ(sheet.Width(), c.width);
    const std::string text = end_to_end::ReadWholeFile(scratch / "hero.json");
    EXPECT_EQ(CheckSchema(text, "hero.png", sheet.Width(), sheet.Height()), c.durations);

    const QJsonObject meta = end_to_end::JsonFile(scratch / "hero.json")["meta"].toObject();
    EXPECT_EQ(meta["frameTags"], QJsonValue(QJsonDocument::fromJson(c.frameTags).array()));
    EXPECT_EQ(meta["tessarin"],
              QJsonValue(QJsonDocument::fromJson(QByteArray::fromStdString(c.recipe)).object()));
    std::string lines;
    std::vector<std::string> files;
    for (const std::string& line : c.creditLines) {
      lines += line + "\n";
      files.push_back(line.substr(1, line.find('"', 1) - 1));
    }
    EXPECT_EQ(end_to_end::ReadWholeFile(scratch / "hero.credits.txt"), lines);
    std::vector<std::string> credited;
    for (const QJsonValue& credit : meta["credits"].toArray()) {
      credited.push_back(credit["file"].toString().toStdString());
    }
    EXPECT_EQ(credited, files);
  }
  const QJsonObject whole =
      end_to_end::JsonFile(root / "whole sheet" / "hero.json")["meta"]["credits"][2].toObject();
  EXPECT_EQ(whole, (QJsonObject{{"file", "Hair/long.png"},
                                {"authors", QJsonArray{"Bo", "Cy"}},
                                {"licenses", QJsonArray{"CC-BY-4.0", "MIT"}},
                                {"urls", QJsonArray()}}));
  fs::remove_all(root);
}

}  // namespace
}  // namespace tessarin::cli
