#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QImage>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <vector>

#include "sheet_view.h"
#include "sheet_view_geometry.h"
#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {
namespace {

// Every pixel its own colour, with a translucency that runs through every value.
QRgb TranslucentAt(int x, int y) {
  return qRgba((5 * x) & 0xFF, (3 * y) & 0xFF, (x ^ y) & 0x7F, (7 * x + 11 * y) % 256);
}

// A window on the set "Sheet" of the given size, its one image chosen, on screen.
struct SheetWindow {
  explicit SheetWindow(QSize size) : window(WithSheet(graphics, size)) {
    window.PartList(0)->setCurrentRow(1);
    view = window.dialog.findChild<SheetView*>(QStringLiteral("sheetView"));
    zoom = window.dialog.findChild<QComboBox*>(QStringLiteral("sheetZoom"));
    window.dialog.show();
    ready = view != nullptr && zoom != nullptr && QTest::qWaitForWindowExposed(&window.dialog);
  }
  static const std::filesystem::path& WithSheet(const TestGraphics& graphics, QSize size) {
    graphics.WriteText("Sheet/setting.txt", QStringLiteral("Xsize:%1\nYsize:%2\nBody=1\n")
                                                .arg(size.width())
                                                .arg(size.height())
                                                .toStdString());
    graphics.WritePng("Sheet/Body/a.png", size.width(), size.height(), TranslucentAt);
    return graphics.Base();
  }

  // The scroll bars come and go once the view has laid itself out again.
  void Zoom(int factor) const {
    zoom->setCurrentIndex(zoom->findData(factor));
    QApplication::processEvents();
  }
  void Scroll(QPoint to) const {
    view->horizontalScrollBar()->setValue(to.x());
    view->verticalScrollBar()->setValue(to.y());
    QApplication::processEvents();
  }
  // The view counts device pixels: on a scaled screen there are more of them than logical ones.
  double Ratio() const { return view->viewport()->devicePixelRatioF(); }
  QSize Viewport() const {
    const QSize logical = view->viewport()->size();
    return {static_cast<int>(std::ceil(logical.width() * Ratio())),
            static_cast<int>(std::ceil(logical.height() * Ratio()))};
  }
  int Tile() const { return static_cast<int>(std::lround(8 * Ratio())); }
  QImage Shown() const {
    return view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
  const RasterImage& Sheet() const { return window.dialog.Preview().Composite(); }

  TestGraphics graphics;
  TestWindow window;
  SheetView* view = nullptr;
  QComboBox* zoom = nullptr;
  bool ready = false;
};

// What lies behind the sheet: a checkerboard of square tiles from its corner, or a colour.
struct Backdrop {
  int tile = 0;  // device pixels; 0 for the colour
  QRgb colour = 0;
};

// The view worked out here: the sheet by nearest neighbour into target, over the backdrop,
// the grid's lines (offsets from the target's corner) over it, and the panel's dark colour
// around it.
QImage ExpectedView(QSize viewport, const QRect& target, const RasterImage& sheet,
                    const Backdrop& backdrop, QRgb outside,
                    const std::vector<int>& columnLines = {},
                    const std::vector<int>& rowLines = {}) {
  QImage expected(viewport, QImage::Format_RGB32);
  expected.fill(outside);
  const auto mix = [](int top, int bottom, int alpha) {
    return (top * alpha + bottom * (255 - alpha) + 127) / 255;
  };
  for (int y = 0; y < viewport.height(); ++y) {
    for (int x = 0; x < viewport.width(); ++x) {
      if (!target.contains(x, y)) continue;
      const int dx = x - target.x();
      const int dy = y - target.y();
      const QRgb source =
          sheet.PixelAt(dx * sheet.Width() / target.width(), dy * sheet.Height() / target.height());
      QRgb under = backdrop.colour;
      if (backdrop.tile > 0) {
        under = (dx / backdrop.tile + dy / backdrop.tile) % 2 == 0 ? kCheckerLight : kCheckerDark;
      }
      const int alpha = qAlpha(source);
      expected.setPixel(
          x, y,
          qRgb(mix(qRed(source), qRed(under), alpha), mix(qGreen(source), qGreen(under), alpha),
               mix(qBlue(source), qBlue(under), alpha)));
    }
  }
  const QRect visible = target.intersected(expected.rect());
  for (const int line : columnLines) {
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
      if (visible.contains(target.x() + line, y)) {
        expected.setPixel(target.x() + line, y, SheetView::kGridColour);
      }
    }
  }
  for (const int line : rowLines) {
    for (int x = visible.left(); x <= visible.right(); ++x) {
      if (visible.contains(x, target.y() + line)) {
        expected.setPixel(x, target.y() + line, SheetView::kGridColour);
      }
    }
  }
  return expected;
}

// The first pixel that differs, named, or nothing.
QString FirstDifference(const QImage& shown, const QImage& expected) {
  if (shown.size() != expected.size()) return QStringLiteral("sizes differ");
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x) {
      if (shown.pixel(x, y) != expected.pixel(x, y)) {
        return QStringLiteral("(%1, %2): #%3, expected #%4")
            .arg(x)
            .arg(y)
            .arg(shown.pixel(x, y), 8, 16, QLatin1Char('0'))
            .arg(expected.pixel(x, y), 8, 16, QLatin1Char('0'));
      }
    }
  }
  return {};
}

// Along one axis at an integer zoom: centred when it fits, else scrolled.
int TargetStart(int scaled, int viewport, int scroll) {
  return scaled <= viewport ? (viewport - scaled) / 2 : -scroll;
}

QRgb OutsideOf(const SheetView& view) {
  return view.palette().color(QPalette::Dark).rgb();
}

}  // namespace

void WindowTest::SheetViewShowsTheWindowsComposite() {
  HeroWindow hero;
  const auto* view = hero.window.dialog.findChild<SheetView*>(QStringLiteral("sheetView"));
  QVERIFY(view != nullptr);
  // The very picture the preview shows, after every change that composes again.
  const QList<std::function<void()>> steps = {
      [] {},
      [&] { hero.window.PartList(0)->setCurrentRow(1); },
      [&] { hero.window.PartList(2)->setCurrentRow(1); },
      [&] { hero.window.Control<QCheckBox>(ids::kHalfBox)->click(); },
      [&] { hero.window.ChooseSet(0); },
  };
  for (const auto& step : steps) {
    step();
    QVERIFY(view->Sheet() != nullptr);
    QCOMPARE(view->Sheet().get(), hero.window.dialog.Preview().SharedComposite().get());
  }
}

void WindowTest::SheetViewPixels_data() {
  QTest::addColumn<QSize>("sheet");
  QTest::addColumn<int>("zoom");
  QTest::addColumn<QPoint>("scroll");
  QTest::addColumn<bool>("checkerboard");
  QTest::newRow("1x over the checkerboard") << QSize(48, 32) << 1 << QPoint() << true;
  QTest::newRow("4x over the checkerboard") << QSize(48, 32) << 4 << QPoint() << true;
  QTest::newRow("4x over a colour") << QSize(48, 32) << 4 << QPoint() << false;
  QTest::newRow("4x scrolled") << QSize(240, 160) << 4 << QPoint(37, 53) << true;
  QTest::newRow("1x of a sheet larger than the view, scrolled")
      << QSize(700, 600) << 1 << QPoint(101, 67) << true;
  QTest::newRow("8x scrolled to the far corner")
      << QSize(120, 90) << 8 << QPoint(9999, 9999) << false;
}
void WindowTest::SheetViewPixels() {
  QFETCH(QSize, sheet);
  QFETCH(int, zoom);
  QFETCH(QPoint, scroll);
  QFETCH(bool, checkerboard);
  SheetWindow window(sheet);
  QVERIFY(window.ready);
  const QRgb colour = qRgb(10, 200, 30);
  if (!checkerboard) {
    window.view->SetBackgroundColour(QColor(colour));
    window.window.dialog.findChild<QCheckBox*>(QStringLiteral("sheetCheckerboard"))->click();
  }
  window.Zoom(zoom);
  window.Scroll(scroll);
  const QSize viewport = window.Viewport();
  const QSize scaled = sheet * zoom;
  // Scrolled as far as asked, or to the end.
  const QPoint scrolled(
      std::clamp(scroll.x(), 0, std::max(0, scaled.width() - viewport.width())),
      std::clamp(scroll.y(), 0, std::max(0, scaled.height() - viewport.height())));
  const QRect target(TargetStart(scaled.width(), viewport.width(), scrolled.x()),
                     TargetStart(scaled.height(), viewport.height(), scrolled.y()), scaled.width(),
                     scaled.height());
  QCOMPARE(window.view->SheetTargetRect(), target);
  QCOMPARE(window.view->horizontalScrollBar()->isVisible(), scaled.width() > viewport.width());
  QCOMPARE(window.view->verticalScrollBar()->isVisible(), scaled.height() > viewport.height());
  const QString difference =
      FirstDifference(window.Shown(), ExpectedView(viewport, target, window.Sheet(),
                                                   {checkerboard ? window.Tile() : 0, colour},
                                                   OutsideOf(*window.view)));
  QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void WindowTest::SheetViewFits_data() {
  QTest::addColumn<QSize>("sheet");
  QTest::newRow("wide sheet") << QSize(240, 24);
  QTest::newRow("tall sheet") << QSize(24, 240);
  QTest::newRow("tiny sheet, far past 8x") << QSize(12, 8);
  QTest::newRow("large sheet, shrunk") << QSize(900, 600);
}
void WindowTest::SheetViewFits() {
  QFETCH(QSize, sheet);
  SheetWindow window(sheet);
  QVERIFY(window.ready);
  // Fitted until a person zooms.
  QCOMPARE(window.zoom->currentData().toInt(), 0);
  QCOMPARE(window.zoom->currentText(), QStringLiteral("全体"));
  window.Zoom(3);
  window.Zoom(0);
  const QSize viewport = window.Viewport();
  QVERIFY(!window.view->horizontalScrollBar()->isVisible());
  QVERIFY(!window.view->verticalScrollBar()->isVisible());
  const double scale = std::min(double(viewport.width()) / sheet.width(),
                                double(viewport.height()) / sheet.height());
  const QSize scaled(static_cast<int>(std::floor(sheet.width() * scale + 1e-6)),
                     static_cast<int>(std::floor(sheet.height() * scale + 1e-6)));
  // Fills the viewport one way, and is centred the other.
  QVERIFY(scaled.width() == viewport.width() || scaled.height() == viewport.height());
  const QRect target(
      QPoint((viewport.width() - scaled.width()) / 2, (viewport.height() - scaled.height()) / 2),
      scaled);
  QCOMPARE(window.view->SheetTargetRect(), target);
  const QString difference = FirstDifference(
      window.Shown(),
      ExpectedView(viewport, target, window.Sheet(), {window.Tile()}, OutsideOf(*window.view)));
  QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void WindowTest::SheetViewDrawsTheCells_data() {
  QTest::addColumn<QSize>("sheet");
  QTest::addColumn<bool>("half");
  QTest::addColumn<int>("zoom");
  QTest::addColumn<std::vector<int>>("columnLines");
  QTest::addColumn<std::vector<int>>("rowLines");
  // The default grid: 6 by 4 cells of 8 x 8 pixels.
  QTest::newRow("6 by 4 at 4x") << QSize(48, 32) << false << 4
                                << std::vector<int>{0, 32, 64, 96, 128, 160, 191}
                                << std::vector<int>{0, 32, 64, 96, 127};
  QTest::newRow("6 by 4 at 1x") << QSize(48, 32) << false << 1
                                << std::vector<int>{0, 8, 16, 24, 32, 40, 47}
                                << std::vector<int>{0, 8, 16, 24, 31};
  QTest::newRow("the half sheet's 3 by 4 at 4x")
      << QSize(48, 32) << true << 4 << std::vector<int>{0, 32, 64, 95}
      << std::vector<int>{0, 32, 64, 96, 127};
  QTest::newRow("a size 6 by 4 does not divide: no cells")
      << QSize(50, 30) << false << 4 << std::vector<int>{} << std::vector<int>{};
}
void WindowTest::SheetViewDrawsTheCells() {
  QFETCH(QSize, sheet);
  QFETCH(bool, half);
  QFETCH(int, zoom);
  QFETCH(std::vector<int>, columnLines);
  QFETCH(std::vector<int>, rowLines);
  SheetWindow window(sheet);
  QVERIFY(window.ready);
  if (half) window.window.Control<QCheckBox>(ids::kHalfBox)->click();
  window.Zoom(zoom);
  auto* grid = window.window.dialog.findChild<QCheckBox*>(QStringLiteral("sheetGrid"));
  QVERIFY(!grid->isChecked());
  const QRect target = window.view->SheetTargetRect();
  QCOMPARE(target.size(), QSize(window.Sheet().Width(), window.Sheet().Height()) * zoom);
  const QRgb outside = OutsideOf(*window.view);
  // Off until asked for, then over the sheet, then off again.
  for (const bool shown : {false, true, false}) {
    if (grid->isChecked() != shown) grid->click();
    const QImage expected = ExpectedView(window.Viewport(), target, window.Sheet(), {window.Tile()},
                                         outside, shown ? columnLines : std::vector<int>{},
                                         shown ? rowLines : std::vector<int>{});
    const QString difference = FirstDifference(window.Shown(), expected);
    QVERIFY2(difference.isEmpty(), qPrintable((shown ? "on: " : "off: ") + difference));
  }
}

void WindowTest::SheetViewTakesAChosenBackground() {
  SheetWindow window(QSize(48, 32));
  QVERIFY(window.ready);
  window.window.PartList(0)->setCurrentRow(0);  // nothing: the sheet is all transparent
  auto* checkerboard =
      window.window.dialog.findChild<QCheckBox*>(QStringLiteral("sheetCheckerboard"));
  auto* button = window.window.dialog.findChild<QPushButton*>(QStringLiteral("sheetBackground"));
  QVERIFY(checkerboard->isChecked());
  // Plays the person in the colour dialog: the first time picks a colour, the second cancels.
  const QColor chosen(10, 200, 30);
  int dialogs = 0;
  QTimer person;
  connect(&person, &QTimer::timeout, [&] {
    if (auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget())) {
      ++dialogs;
      if (dialogs == 1) {
        dialog->setCurrentColor(chosen);
        dialog->accept();
      } else {
        dialog->setCurrentColor(Qt::red);
        dialog->reject();
      }
    }
  });
  person.start(10);
  const QRect target = window.view->SheetTargetRect();
  for (int round = 1; round <= 2; ++round) {
    button->click();
    QCOMPARE(dialogs, round);
    QVERIFY(!checkerboard->isChecked());
    QCOMPARE(window.view->BackgroundColour(), chosen);
    const QImage shown = window.Shown();
    QCOMPARE(shown.pixel(target.topLeft()), chosen.rgb());
    QCOMPARE(shown.pixel(target.center()), chosen.rgb());
    QCOMPARE(shown.pixel(target.bottomRight()), chosen.rgb());
  }
  // The checkerboard comes back over the colour.
  checkerboard->click();
  QCOMPARE(window.Shown().pixel(target.topLeft() + QPoint(window.Tile(), 0)), kCheckerDark);
}

void WindowTest::CtrlWheelZoomsAroundThePointer_data() {
  QTest::addColumn<int>("start");    // 0: fitted
  QTest::addColumn<int>("notches");  // up, toward the sheet, is positive
  QTest::addColumn<bool>("control");
  QTest::addColumn<int>("expected");  // -1: the integer zoom on that side of the fitted scale
  // The pointer stays over the same sheet point: the sheet overhangs the view before and after.
  QTest::addColumn<bool>("anchored");
  QTest::newRow("fitted, one notch in") << 0 << 1 << true << -1 << false;
  QTest::newRow("fitted, one notch out") << 0 << -1 << true << -1 << false;
  QTest::newRow("2x, three notches in") << 2 << 3 << true << 5 << true;
  QTest::newRow("6x, two notches out") << 6 << -2 << true << 4 << true;
  QTest::newRow("8x stays the largest") << 8 << 2 << true << 8 << true;
  QTest::newRow("1x stays the smallest") << 1 << -1 << true << 1 << false;
  QTest::newRow("without Ctrl the wheel scrolls") << 4 << -1 << false << 4 << false;
}
void WindowTest::CtrlWheelZoomsAroundThePointer() {
  QFETCH(int, start);
  QFETCH(int, notches);
  QFETCH(bool, control);
  QFETCH(int, expected);
  QFETCH(bool, anchored);
  // Overhangs the view at 2x even on a screen of twice the pixels.
  const QSize sheet(600, 400);
  SheetWindow window(sheet);
  QVERIFY(window.ready);
  window.Zoom(start);
  // Halfway, so that zooming out leaves room to keep the pointer's point in place.
  for (QScrollBar* bar : {window.view->horizontalScrollBar(), window.view->verticalScrollBar()}) {
    bar->setValue(bar->maximum() / 2);
  }
  const QRect before = window.view->SheetTargetRect();
  if (expected < 0) {
    const double fit = std::min(double(window.Viewport().width()) / sheet.width(),
                                double(window.Viewport().height()) / sheet.height());
    const int next = notches > 0 ? static_cast<int>(std::floor(fit)) + notches
                                 : static_cast<int>(std::ceil(fit)) + notches;
    // Out from a sheet fitted below 1x, it stays fitted.
    expected = next < 1 ? 0 : next;
  }
  const int scrolledBefore = window.view->verticalScrollBar()->value();

  const QPoint pointer(window.view->viewport()->width() / 3, window.view->viewport()->height() / 4);
  QWheelEvent wheel(pointer, window.view->viewport()->mapToGlobal(pointer), QPoint(),
                    QPoint(0, notches * QWheelEvent::DefaultDeltasPerStep), Qt::NoButton,
                    control ? Qt::ControlModifier : Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(window.view->viewport(), &wheel);
  QApplication::processEvents();

  QCOMPARE(window.zoom->currentData().toInt(), expected);
  const QRect after = window.view->SheetTargetRect();
  if (expected == 0) {
    QCOMPARE(after, before);
  } else {
    QCOMPARE(after.size(), sheet * expected);
  }
  if (!control) QVERIFY(window.view->verticalScrollBar()->value() > scrolledBefore);
  if (!anchored) return;
  const QSize viewport = window.Viewport();
  for (const QRect& target : {before, after}) {
    QVERIFY(target.width() > viewport.width() && target.height() > viewport.height());
  }
  const auto sheetPoint = [&](const QRect& target) {
    const QPointF device = QPointF(pointer) * window.Ratio();
    return QPointF((device.x() - target.x()) * sheet.width() / target.width(),
                   (device.y() - target.y()) * sheet.height() / target.height());
  };
  const QPointF moved = sheetPoint(after) - sheetPoint(before);
  QVERIFY2(std::abs(moved.x()) <= 1 && std::abs(moved.y()) <= 1,
           qPrintable(QStringLiteral("moved by %1, %2").arg(moved.x()).arg(moved.y())));
}

}  // namespace tessarin::ui_testing
