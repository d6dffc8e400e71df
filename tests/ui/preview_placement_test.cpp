#include <QCheckBox>
#include <QImage>
#include <QTest>
#include <cmath>

#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {
namespace {

// An opaque colour of its own for every pixel of sheets up to 1024 x 1024.
QRgb PatternAt(int x, int y) {
  return qRgb(x & 0xFF, y & 0xFF, 0x80 + ((x >> 8) << 2) + (y >> 8));
}

constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);

// Where the preview goes, worked out here: centred on client pixel (440, 140), truncated.
QRect Destination(QSize sheet, double scale, bool half) {
  const int halves = half ? 2 : 1;
  const double width = sheet.width() * scale;
  const double height = sheet.height() * scale;
  return QRect(static_cast<int>(440 - width / 2 / halves), static_cast<int>(140 - height / 2),
               static_cast<int>(width / halves), static_cast<int>(height));
}

QString Describe(const char* what, QPoint at, QRgb shown, QRgb expected) {
  return QStringLiteral("%1 at (%2, %3): #%4, expected #%5")
      .arg(what)
      .arg(at.x())
      .arg(at.y())
      .arg(shown, 8, 16, QLatin1Char('0'))
      .arg(expected, 8, 16, QLatin1Char('0'));
}

}  // namespace

void WindowTest::PreviewLandsWhereItAlwaysHas_data() {
  QTest::addColumn<QSize>("sheet");
  QTest::addColumn<double>("scale");
  QTest::addColumn<bool>("half");
  // Small sheets sit inside the frame; 300 x 200 runs past it at 2x and 1x, 1000 x 700 past
  // the window at every scale, covered by the controls drawn over it.
  const QList<QSize> sheets = {{40, 24}, {41, 25}, {300, 200}, {1000, 700}};
  for (const QSize& sheet : sheets) {
    for (const double scale : {2.0, 1.0, 0.75}) {
      for (const bool half : {false, true}) {
        const QString name = QStringLiteral("%1x%2 at %3x%4")
                                 .arg(sheet.width())
                                 .arg(sheet.height())
                                 .arg(scale)
                                 .arg(half ? QStringLiteral(", half") : QString());
        QTest::newRow(qPrintable(name)) << sheet << scale << half;
      }
    }
  }
}
void WindowTest::PreviewLandsWhereItAlwaysHas() {
  QFETCH(QSize, sheet);
  QFETCH(double, scale);
  QFETCH(bool, half);
  // The same set twice: once with the sheet's size, once with none, which shows no preview
  // but the very same controls.
  TestGraphics graphics;
  TestGraphics bareGraphics;
  for (const TestGraphics* folder : {&graphics, &bareGraphics}) {
    WriteSheetSet(*folder, folder == &graphics ? sheet : QSize(0, 0), sheet, PatternAt);
    folder->WritePng("Sheet/Body/red.png", sheet.width(), sheet.height(),
                     [](int, int) { return kRed; });
    folder->WritePng("Sheet/Body/blue.png", sheet.width(), sheet.height(),
                     [](int, int) { return kBlue; });
  }
  TestWindow window(graphics.Base());
  TestWindow bareWindow(bareGraphics.Base());
  for (const TestWindow* shown : {&window, &bareWindow}) {
    auto* doubleBox = shown->Control<QCheckBox>(ids::kDoubleBox);
    if (doubleBox->isChecked() != (scale == 2.0)) doubleBox->click();
    if (scale == 0.75) shown->Control<QCheckBox>(ids::kThreeQuarterBox)->click();
    if (half) shown->Control<QCheckBox>(ids::kHalfBox)->click();
  }
  QListWidget& list = *window.PartList(0);
  const auto shownWith = [&](const QString& file) {
    list.setCurrentItem(list.findItems(file, Qt::MatchExactly)[0]);
    return window.dialog.grab(window.dialog.ClassicArea())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
  };
  const QImage red = shownWith(QStringLiteral("red.png"));
  const QImage blue = shownWith(QStringLiteral("blue.png"));
  const QImage pattern = shownWith(QStringLiteral("pattern.png"));
  const QImage none = bareWindow.dialog.grab(bareWindow.dialog.ClassicArea())
                          .toImage()
                          .convertToFormat(QImage::Format_RGB32);

  const QRect destination = Destination(sheet, scale, half);
  const QSize source(sheet.width() / (half ? 2 : 1), sheet.height());
  const QRgb background = window.dialog.palette().color(QPalette::Window).rgb();
  const QRect frameInside = FrameInside(window.dialog);
  QVERIFY(frameInside.contains(QPoint(440, 140)));
  // The list the sheets are chosen in shows each choice; it hides the preview in any case.
  const QRect chooser = list.geometry();
  for (int y = 0; y < pattern.height(); ++y) {
    for (int x = 0; x < pattern.width(); ++x) {
      const QPoint at(x, y);
      if (chooser.contains(at)) continue;
      if (!destination.contains(at)) {
        if (red.pixel(at) != none.pixel(at)) {
          QFAIL(qPrintable(Describe("outside", at, red.pixel(at), none.pixel(at))));
        }
        continue;
      }
      // Drawn under every control: it shows only where the window is bare without it, and
      // throughout the frame around it.
      const bool showsThrough = red.pixel(at) == kRed && blue.pixel(at) == kBlue;
      if (showsThrough && none.pixel(at) != background) {
        QFAIL(qPrintable(Describe("over a control", at, red.pixel(at), none.pixel(at))));
      }
      if (!showsThrough && frameInside.contains(at)) {
        QFAIL(qPrintable(Describe("hidden in the frame", at, red.pixel(at), kRed)));
      }
      if (showsThrough) {
        // Nearest neighbour: every preview pixel shows the sheet pixel it starts in.
        const QPoint offset = at - destination.topLeft();
        const QRgb expected = PatternAt(offset.x() * source.width() / destination.width(),
                                        offset.y() * source.height() / destination.height());
        if (pattern.pixel(at) != expected) {
          QFAIL(qPrintable(Describe("inside", at, pattern.pixel(at), expected)));
        }
      } else if (red.pixel(at) == blue.pixel(at) && pattern.pixel(at) != red.pixel(at)) {
        // Under a control that hides the preview, the sheet makes no difference.
        QFAIL(qPrintable(Describe("under a control", at, pattern.pixel(at), red.pixel(at))));
      }
    }
  }
}

}  // namespace tessarin::ui_testing
