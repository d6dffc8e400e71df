#include <QTest>
#include <cmath>
#include <vector>

#include "sheet_view_geometry.h"
#include "window_test.h"

namespace tessarin::ui_testing {

void WindowTest::FitScaleShowsTheWholeSheet_data() {
  QTest::addColumn<QSize>("sheet");
  QTest::addColumn<QSize>("viewport");
  QTest::addColumn<QSize>("scaled");  // as drawn, in whole device pixels
  QTest::newRow("wide sheet fills the width")
      << QSize(240, 40) << QSize(500, 400) << QSize(500, 83);
  QTest::newRow("tall sheet fills the height")
      << QSize(40, 240) << QSize(500, 400) << QSize(66, 400);
  QTest::newRow("large sheet shrinks") << QSize(1024, 1024) << QSize(520, 390) << QSize(390, 390);
  QTest::newRow("small sheet grows past 8x") << QSize(12, 8) << QSize(500, 400) << QSize(500, 333);
  QTest::newRow("exact fit") << QSize(250, 200) << QSize(500, 400) << QSize(500, 400);
  QTest::newRow("no sheet") << QSize(0, 0) << QSize(500, 400) << QSize(0, 0);
  QTest::newRow("no room") << QSize(48, 32) << QSize(0, 400) << QSize(0, 0);
}
void WindowTest::FitScaleShowsTheWholeSheet() {
  QFETCH(QSize, sheet);
  QFETCH(QSize, viewport);
  QFETCH(QSize, scaled);
  const double scale = ZoomScale(kFitSheetZoom, sheet, viewport);
  QCOMPARE(ScaledSheetSize(sheet, scale), scaled);
  if (scaled.isEmpty()) return;
  // Fits, and a device pixel more each way would not.
  QVERIFY(viewport.width() >= scaled.width() && viewport.height() >= scaled.height());
  QVERIFY(sheet.width() * scale * 1.001 > viewport.width() ||
          sheet.height() * scale * 1.001 > viewport.height());
  // Grown, every sheet pixel is shown: the last device pixel shows the last sheet pixel.
  if (scale < 1) return;
  QCOMPARE(SheetPixelAt(scaled.width() - 1, scaled.width(), sheet.width()), sheet.width() - 1);
  QCOMPARE(SheetPixelAt(scaled.height() - 1, scaled.height(), sheet.height()), sheet.height() - 1);
}

void WindowTest::SheetTargetCentresOrScrolls_data() {
  QTest::addColumn<QSize>("scaled");
  QTest::addColumn<QPoint>("scroll");
  QTest::addColumn<QRect>("target");  // in a 400 x 300 viewport
  QTest::newRow("smaller: centred, scroll ignored")
      << QSize(100, 50) << QPoint(30, 30) << QRect(150, 125, 100, 50);
  QTest::newRow("odd margin rounds down") << QSize(101, 51) << QPoint() << QRect(149, 124, 101, 51);
  QTest::newRow("wider: scrolled across, centred down")
      << QSize(1000, 100) << QPoint(250, 40) << QRect(-250, 100, 1000, 100);
  QTest::newRow("scroll past the end stops at it")
      << QSize(1000, 800) << QPoint(5000, 5000) << QRect(-600, -500, 1000, 800);
  QTest::newRow("scroll before the start stops at it")
      << QSize(1000, 800) << QPoint(-20, -20) << QRect(0, 0, 1000, 800);
  QTest::newRow("nothing to show") << QSize() << QPoint() << QRect();
}
void WindowTest::SheetTargetCentresOrScrolls() {
  QFETCH(QSize, scaled);
  QFETCH(QPoint, scroll);
  QFETCH(QRect, target);
  const QSize viewport(400, 300);
  QCOMPARE(SheetTarget(scaled, viewport, scroll), target);
  const QSize range = ScrollRange(scaled, viewport);
  QCOMPARE(range, QSize(std::max(0, scaled.width() - 400), std::max(0, scaled.height() - 300)));
}

void WindowTest::GridLinesStartEachCell_data() {
  QTest::addColumn<int>("targetLength");
  QTest::addColumn<int>("sheetLength");
  QTest::addColumn<int>("cells");
  QTest::addColumn<std::vector<int>>("lines");
  QTest::newRow("1x") << 48 << 48 << 6 << std::vector<int>{0, 8, 16, 24, 32, 40, 47};
  QTest::newRow("4x") << 192 << 48 << 6 << std::vector<int>{0, 32, 64, 96, 128, 160, 191};
  QTest::newRow("fit at 0.625") << 30 << 48 << 6 << std::vector<int>{0, 5, 10, 15, 20, 25, 29};
  QTest::newRow("fit at 2.5") << 80 << 32 << 4 << std::vector<int>{0, 20, 40, 60, 79};
  QTest::newRow("cells that do not divide") << 50 << 50 << 3 << std::vector<int>{0, 16, 33, 49};
  QTest::newRow("no cells") << 192 << 48 << 0 << std::vector<int>{};
}
void WindowTest::GridLinesStartEachCell() {
  QFETCH(int, targetLength);
  QFETCH(int, sheetLength);
  QFETCH(int, cells);
  QFETCH(std::vector<int>, lines);
  const std::vector<int> drawn = GridLines(targetLength, sheetLength, cells);
  QCOMPARE(drawn, lines);
  // Each line but the closing one lies on its cell's first sheet pixel, and the device pixel
  // before it on the cell before.
  for (int cell = 0; cell < cells; ++cell) {
    const int line = drawn[static_cast<std::size_t>(cell)];
    const int first = cell * sheetLength / cells;
    QCOMPARE(SheetPixelAt(line, targetLength, sheetLength), first);
    if (line > 0) QVERIFY(SheetPixelAt(line - 1, targetLength, sheetLength) < first);
  }
}

void WindowTest::ZoomKeepsTheAnchoredPoint_data() {
  QTest::addColumn<QRect>("before");
  QTest::addColumn<int>("zoom");
  QTest::addColumn<QPoint>("anchor");
  // A 100 x 80 sheet in a 400 x 300 viewport.
  QTest::newRow("fit to 8x at the middle") << QRect(12, 0, 375, 300) << 8 << QPoint(200, 150);
  QTest::newRow("4x to 8x near a corner") << QRect(-37, -53, 400, 320) << 8 << QPoint(10, 20);
  QTest::newRow("8x to 5x off centre") << QRect(-300, -200, 800, 640) << 5 << QPoint(350, 150);
}
void WindowTest::ZoomKeepsTheAnchoredPoint() {
  QFETCH(QRect, before);
  QFETCH(int, zoom);
  QFETCH(QPoint, anchor);
  const QSize sheet(100, 80);
  const QSize viewport(400, 300);
  const QSize after = ScaledSheetSize(sheet, zoom);
  const QPoint scroll = ScrollKeeping(anchor, before, after, viewport);
  const QRect target = SheetTarget(after, viewport, scroll);
  QCOMPARE(target.topLeft(), -scroll);  // larger than the viewport: scrolled, not clamped
  // The sheet point under the anchor stays under it, to within a device pixel.
  const double beforeX = (anchor.x() - before.x()) * double(sheet.width()) / before.width();
  const double afterX = (anchor.x() - target.x()) * double(sheet.width()) / target.width();
  const double beforeY = (anchor.y() - before.y()) * double(sheet.height()) / before.height();
  const double afterY = (anchor.y() - target.y()) * double(sheet.height()) / target.height();
  QVERIFY2(std::abs(afterX - beforeX) <= 1.0 / zoom, qPrintable(QString::number(afterX - beforeX)));
  QVERIFY2(std::abs(afterY - beforeY) <= 1.0 / zoom, qPrintable(QString::number(afterY - beforeY)));
}

void WindowTest::CheckerTilesAlternate() {
  const int tile = CheckerTileSize(1.0);
  QCOMPARE(tile, 8);
  QCOMPARE(CheckerTileSize(2.0), 16);
  QCOMPARE(CheckerTileSize(1.25), 10);
  // Each tile one colour, and its neighbours across and down the other, on both sides of the
  // sheet's corner.
  for (const QPoint corner : {QPoint(0, 0), QPoint(-8, -8), QPoint(16, -24)}) {
    const QRgb colour = CheckerColourAt(corner.x(), corner.y(), tile);
    QCOMPARE(CheckerColourAt(corner.x() + 7, corner.y() + 7, tile), colour);
    QVERIFY(CheckerColourAt(corner.x() + 8, corner.y(), tile) != colour);
    QVERIFY(CheckerColourAt(corner.x(), corner.y() + 8, tile) != colour);
    QCOMPARE(CheckerColourAt(corner.x() + 8, corner.y() + 8, tile), colour);
  }
  QCOMPARE(CheckerColourAt(0, 0, tile), kCheckerLight);
  QCOMPARE(CheckerColourAt(-1, 0, tile), kCheckerDark);
}

}  // namespace tessarin::ui_testing
