#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QScreen>
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

void WindowTest::PreviewChangesLeaveNothingBehind_data() {
  QTest::addColumn<QString>("start");
  // "double", "three-quarter" and "half" click their boxes, "set NAME" chooses a set and its
  // first image, "none" takes the image away.
  QTest::addColumn<QStringList>("steps");
  QTest::newRow("2x to 1x") << "Hero" << QStringList{"double"};
  QTest::newRow("1x to 0.75x to 2x") << "Hero" << QStringList{"double", "three-quarter", "double"};
  QTest::newRow("half on and off") << "Hero" << QStringList{"half", "half"};
  QTest::newRow("large set to small") << "Big" << QStringList{"set Hero"};
  QTest::newRow("small set to large") << "Hero" << QStringList{"set Big"};
  QTest::newRow("large set at 1x to 0.75x and half")
      << "Big" << QStringList{"three-quarter", "half"};
  QTest::newRow("picture to none") << "Big" << QStringList{"none"};
}
void WindowTest::PreviewChangesLeaveNothingBehind() {
  QFETCH(QString, start);
  QFETCH(QStringList, steps);
  TestGraphics graphics;
  graphics.WithHeroSet();
  graphics.WriteText("Big/setting.txt", "Xsize:300\nYsize:200\nBody=1\n");
  graphics.WritePng("Big/Body/a.png", 300, 200, [](int x, int y) { return qRgb(x, y, 90); });
  TestWindow window(graphics.Base());
  QComboBox* sets = window.Control<QComboBox>(ids::kSetList);
  const auto choose = [&](const QString& set) {
    window.ChooseSet(sets->findData(set));
    window.PartList(0)->setCurrentRow(1);
  };
  choose(start);
  window.dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window.dialog));

  const QHash<QString, int> boxes = {{"double", ids::kDoubleBox},
                                     {"three-quarter", ids::kThreeQuarterBox},
                                     {"half", ids::kHalfBox}};
  for (const QString& step : steps) {
    if (boxes.contains(step)) {
      window.Control<QCheckBox>(boxes[step])->click();
    } else if (step == "none") {
      window.PartList(0)->setCurrentRow(0);
    } else {
      choose(step.mid(4));
    }
    // What the window's repaints leave on screen, against the window drawn afresh; item
    // views lay out their lists a little later, so the screen is given time to settle.
    QTRY_COMPARE(ScreenShot(window.dialog),
                 window.dialog.grab().toImage().convertToFormat(QImage::Format_RGB32));
  }
}

}  // namespace tessarin::ui_testing
