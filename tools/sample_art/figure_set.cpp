#include "dye.h"
#include "sets.h"
#include "setting_text.h"
#include "sheet.h"

namespace tessarin::sample_art {

namespace {

std::string CrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

}  // namespace

SampleSet FigureSet() {
  SampleSet set;
  set.folder = "デフォルト";
  // Part lines are not in priority order, so the layer order has to come from the numbers.
  set.settingText =
      ToCp932(CrLf("# デフォルト素材：８方向歩行キャラクター（１コマ32×48ドット、横６×縦４コマ）\n"
                   "# 部品フォルダ名=優先度　数が大きいほど手前に描かれます\n"
                   "Xsize:192\n"
                   "Ysize:192\n"
                   "体=1\n"
                   "髪=5\n"
                   "頭追加=6\n"
                   "上半身=3\n"
                   "下半身=2\n"
                   "装飾1=4\n"
                   "装飾2=7\n"));
  set.parts = {
      {BodyPart(), "体", 1},      {HairPart(), "髪", 5},      {HeadgearPart(), "頭追加", 6},
      {UpperPart(), "上半身", 3}, {LowerPart(), "下半身", 2}, {WrapPart(), "装飾1", 4},
      {HeldPart(), "装飾2", 7},
  };
  set.drawSheet = DrawFigureSheet;
  // The head is drawn with the body, so the skin is the body's alone.
  set.palettes = {
      {"skin", SkinVariants(), {BodyPart}},
      {"hair", HairVariants(), {HairPart}},
      {"cloth", ClothDyes(), {UpperPart, LowerPart, WrapPart, HeadgearPart}},
  };
  set.creditsText = CrLf(
      "filename,notes,authors,licenses,urls\n"
      ".,\"Drawn from code by tools/sample_art, every pixel our own\",Tessarin contributors,"
      "CC0-1.0,tools/sample_art/README.md\n"
      "体/light.png,\"One body; the skin palette gives the other skins, with their eyes and "
      "undergarments\",Tessarin contributors,CC0-1.0,\n"
      "髪,\"Five styles, each in its own colour; the hair palette gives them one colour\","
      "Tessarin contributors,CC0-1.0,\n");
  return set;
}

}  // namespace tessarin::sample_art
