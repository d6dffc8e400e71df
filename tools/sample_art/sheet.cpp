#include "sheet.h"

namespace tessarin::sample_art {

QImage DrawGridSheet(const CellArt& art, int cellW, int cellH) {
  QImage sheet(cellW * kFrames * 2, cellH * 4, QImage::Format_ARGB32);
  sheet.fill(0);
  for (Facing facing : kFacings) {
    const int x0 = FacingInRightHalf(facing) ? kFrames * cellW : 0;
    const int y0 = FacingRow(facing) * cellH;
    for (int frame = 0; frame < kFrames; ++frame) {
      const Pose pose = MakePose(facing, frame);
      Sketch sketch(cellW, cellH, pose.mirror);
      if (art) art(sketch, pose);
      const QImage cell = sketch.Render();
      // Cells never overlap, so plain copying keeps every alpha value exact.
      for (int y = 0; y < cellH; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(cell.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(sheet.scanLine(y0 + y));
        for (int x = 0; x < cellW; ++x) dst[x0 + frame * cellW + x] = src[x];
      }
    }
  }
  return sheet;
}

QImage DrawFigureSheet(const CellArt& art) {
  return DrawGridSheet(art, kFigureCellW, kFigureCellH);
}

}  // namespace tessarin::sample_art
