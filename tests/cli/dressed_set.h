#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdint>
#include <filesystem>
#include <string>

#include "compose_process.h"
#include "test_graphics_folder.h"

namespace tessarin::cli::end_to_end {

// Half-transparent, so that the two blend rules give different sheets.
inline constexpr std::uint32_t kSoftYellow = 0x80FFFF00u;
inline constexpr std::uint32_t kSoftWhite = 0x80FFFFFFu;

// A 4 x 2 grid of 2 x 2 cells: "look" forward over 0-1, "spin" written backwards from 3 to 2
// and reversed, "back" written backwards from 5 to 4, "idle" on 7 alone; cell 6 shows in none.
inline constexpr char kDressedGridAndAnimations[] =
    R"("grid":{"columns":4,"rows":2},
       "animations":[{"name":"look","from":0,"to":1,"direction":"forward","ms":100},
                     {"name":"spin","from":3,"to":2,"direction":"reverse","ms":250},
                     {"name":"back","from":5,"to":4,"direction":"forward","ms":200},
                     {"name":"idle","from":7,"to":7,"ms":300}])";

inline constexpr char kDressedPalettes[] =
    R"("palettes":{"skin":{"source":["#ff0000"],
                           "variants":{"tan":["#a0522d"],"pale":["#ffe0e0"]},"parts":["Body"]},
                   "hair":{"source":["#ffff00","#ffffff"],
                           "variants":{"red":["#ff2000","#ff8080"],"black":["#101010","#303030"]},
                           "parts":["Hair"]}})";

enum class Extras { None, GridOnly, Everything };

// An 8x4 set: Body (1: a.png red with a hole over its blue companion, b.png green), Hair (2:
// soft top rows), Hat (3, no folder), Cape (4: c1.png, c2.png on the bottom row, no credit).
// With extras, a set.json (the grid and animations above, and with Everything the palettes)
// and a CREDITS.csv crediting the Body folder and Hair/long.png.
inline void BuildDressedSet(const std::filesystem::path& set, Extras extras) {
  WriteText(set / "setting.txt", "Xsize:8\nYsize:4\nBody=1\nHair=2\nHat=3\nCape=4\n");
  WritePng(set / "Body" / "a.png", [](int x, int y) { return x == 7 && y == 3 ? kClear : kRed; });
  WritePng(set / "Body" / "a$.png", [](int, int) { return kBlue; });
  WritePng(set / "Body" / "b.png", [](int, int) { return kGreen; });
  WritePng(set / "Hair" / "long.png", TopRow(kSoftYellow));
  WritePng(set / "Hair" / "short.png", TopRow(kSoftWhite));
  WritePng(set / "Cape" / "c1.png", [](int, int y) { return y == 3 ? 0xFF203040u : kClear; });
  WritePng(set / "Cape" / "c2.png", [](int, int y) { return y == 3 ? 0xFF405060u : kClear; });
  if (extras == Extras::None) return;
  const std::string palettes =
      extras == Extras::Everything ? std::string(",") + kDressedPalettes : "";
  WriteText(set / "set.json", std::string("{") + kDressedGridAndAnimations + palettes + "}");
  WriteText(set / "CREDITS.csv",
            "filename,notes,authors,licenses,urls\n"
            "Body,,Ann,CC0-1.0,https://example.org/body\n"
            "Hair/long.png,,\"Bo, Cy\",\"CC-BY-4.0, MIT\",\n");
}

// Const, so that indexing reads and never inserts.
inline const QJsonObject JsonFile(const std::filesystem::path& path) {
  return QJsonDocument::fromJson(QByteArray::fromStdString(ReadWholeFile(path))).object();
}

}  // namespace tessarin::cli::end_to_end
