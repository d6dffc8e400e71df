#include <QCheckBox>
#include <QImage>
#include <QTest>

#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {
namespace {

// An opaque colour of its own for every pixel of sheets up to 1024 x 1024.
QRgb PatternAt(int x, int y) {
  return qRgb(x & 0xFF, y & 0xFF, 0x80 + ((x >> 8) << 2) + (y >> 8));
}

}  // namespace

void WindowTest::PreviewStaysInsideItsFrame_data() {
  QTest::addColumn<QSize>("sheet");
  QTest::addColumn<double>("scale");
  QTest::addColumn<bool>("half");
  QTest::newRow("small sheet inside the frame") << QSize(40, 24) << 2.0 << false;
  QTest::newRow("300x200 at 2x runs past the frame") << QSize(300, 200) << 2.0 << false;
  QTest::newRow("300x200 at 1x, half") << QSize(300, 200) << 1.0 << true;
  QTest::newRow("1000x700 at 0.75x") << QSize(1000, 700) << 0.75 << false;
  QTest::newRow("1000x700 at 2x, past the window") << QSize(1000, 700) << 2.0 << false;
}
void WindowTest::PreviewStaysInsideItsFrame() {
  QFETCH(QSize, sheet);
  QFETCH(double, scale);
  QFETCH(bool, half);
  // The same files twice: a set with the sheet's size, and one without a size, which shows
  // the very same controls and no preview.
  TestGraphics graphics;
  TestGraphics bareGraphics;
  for (const TestGraphics* folder : {&graphics, &bareGraphics}) {
    WriteSheetSet(*folder, folder == &graphics ? sheet : QSize(0, 0), sheet, PatternAt);
  }
  TestWindow window(graphics.Base());
  TestWindow bareWindow(bareGraphics.Base());
  for (const TestWindow* shown : {&window, &bareWindow}) {
    shown->PartList(0)->setCurrentRow(1);
    auto* doubleBox = shown->Control<QCheckBox>(ids::kDoubleBox);
    if (doubleBox->isChecked() != (scale == 2.0)) doubleBox->click();
    if (scale == 0.75) shown->Control<QCheckBox>(ids::kThreeQuarterBox)->click();
    if (half) shown->Control<QCheckBox>(ids::kHalfBox)->click();
  }
  const QImage shown = window.dialog.grab(window.dialog.ClassicArea())
                           .toImage()
                           .convertToFormat(QImage::Format_RGB32);
  const QImage bare = bareWindow.dialog.grab(bareWindow.dialog.ClassicArea())
                          .toImage()
                          .convertToFormat(QImage::Format_RGB32);
  QCOMPARE(shown.size(), bare.size());

  // Where the preview has always gone: centred on client pixel (440, 140), truncated.
  const int halves = half ? 2 : 1;
  const QRect destination(static_cast<int>(440 - sheet.width() * scale / 2 / halves),
                          static_cast<int>(140 - sheet.height() * scale / 2),
                          static_cast<int>(sheet.width() * scale / halves),
                          static_cast<int>(sheet.height() * scale));
  const QRect frame = FrameInside(window.dialog);
  QVERIFY(frame.contains(QPoint(440, 140)));
  const QRect visible = destination.intersected(frame);
  QVERIFY(!visible.isEmpty());
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x) {
      const QPoint at(x, y);
      QRgb expected = bare.pixel(at);
      if (visible.contains(at)) {
        // Nearest neighbour: every preview pixel shows the sheet pixel it starts in.
        const QPoint offset = at - destination.topLeft();
        expected = PatternAt(offset.x() * (sheet.width() / halves) / destination.width(),
                             offset.y() * sheet.height() / destination.height());
      }
      if (shown.pixel(at) != expected) {
        QFAIL(qPrintable(QStringLiteral("(%1, %2)%3: #%4, expected #%5")
                             .arg(x)
                             .arg(y)
                             .arg(visible.contains(at) ? QString() : QStringLiteral(" outside"))
                             .arg(shown.pixel(at), 8, 16, QLatin1Char('0'))
                             .arg(expected, 8, 16, QLatin1Char('0'))));
      }
    }
  }
}

}  // namespace tessarin::ui_testing
