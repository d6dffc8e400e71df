#include <QCheckBox>
#include <QImage>
#include <QTest>
#include <algorithm>
#include <cmath>

#include "composition.h"
#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {

void WindowTest::PreviewPixels_data() {
  QTest::addColumn<int>("box");  // clicked after loading, 0 for none; Hero starts at 2x
  QTest::addColumn<bool>("half");
  QTest::addColumn<QRect>("destination");
  QTest::newRow("2x") << 0 << false << QRect(400, 116, 80, 48);
  QTest::newRow("1x") << int(ids::kDoubleBox) << false << QRect(420, 128, 40, 24);
  QTest::newRow("0.75x") << int(ids::kThreeQuarterBox) << false << QRect(425, 131, 30, 18);
  QTest::newRow("half at 2x") << 0 << true << QRect(420, 116, 40, 48);
  QTest::newRow("half at 0.75x") << int(ids::kThreeQuarterBox) << true << QRect(432, 131, 15, 18);
}
void WindowTest::PreviewPixels() {
  QFETCH(int, box);
  QFETCH(bool, half);
  QFETCH(QRect, destination);
  HeroWindow hero;
  hero.window.PartList(0)->setCurrentRow(1);
  hero.window.PartList(2)->setCurrentRow(1);
  if (box != 0) hero.window.Control<QCheckBox>(box)->click();
  if (half) hero.window.Control<QCheckBox>(ids::kHalfBox)->click();

  const QImage shown = hero.window.dialog.grab().toImage();
  RasterImage composite;
  QVERIFY(ComposeLayers(hero.window.dialog.State(), half, BlendRule::Classic, composite).IsOk());
  const QRgb background = shown.pixel(destination.topLeft() - QPoint(1, 0));
  QCOMPARE(shown.pixel(destination.bottomRight() + QPoint(1, 0)), background);
  QCOMPARE(shown.pixel(destination.bottomRight() + QPoint(0, 1)), background);
  // Nearest neighbour, then the classic rule over the background, worked out here.
  auto over = [](int colour, int alpha, int under) {
    return std::min(255, colour + static_cast<int>(std::lround((255 - alpha) * under / 255.0)));
  };
  for (int y = 0; y < destination.height(); ++y) {
    for (int x = 0; x < destination.width(); ++x) {
      const QRgb source = composite.PixelAt(x * composite.Width() / destination.width(),
                                            y * composite.Height() / destination.height());
      const int alpha = qAlpha(source);
      const QRgb expected = qRgb(over(qRed(source), alpha, qRed(background)),
                                 over(qGreen(source), alpha, qGreen(background)),
                                 over(qBlue(source), alpha, qBlue(background)));
      if (shown.pixel(destination.topLeft() + QPoint(x, y)) != expected) {
        QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) differs").arg(x).arg(y)));
      }
    }
  }
}

void WindowTest::PreviewRepaintDoesNotBlendAgain() {
  HeroWindow hero;
  hero.window.PartList(0)->setCurrentRow(1);
  const QImage first = hero.window.dialog.grab().toImage();
  const int blends = hero.window.dialog.Preview().BlendCount();
  QCOMPARE(hero.window.dialog.grab().toImage(), first);
  QCOMPARE(hero.window.dialog.Preview().BlendCount(), blends);
  hero.window.PartList(0)->setCurrentRow(2);
  hero.window.dialog.grab();
  QCOMPARE(hero.window.dialog.Preview().BlendCount(), blends + 1);
}

}  // namespace tessarin::ui_testing
