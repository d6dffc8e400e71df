#include <QComboBox>
#include <QImage>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <cstdint>
#include <set>

#include "animation_playback.h"
#include "set_extras.h"
#include "walk_cycle_stage.h"
#include "walk_cycle_strip.h"
#include "walk_cycle_view.h"
#include "window_test.h"

namespace tessarin::ui_testing {
namespace {

// A 6 x 4 sheet of 8 x 12 cells. Every pixel of a cell is its own opaque colour, red telling
// the cell, green and blue the place in it; the cells' last column is transparent.
constexpr int kSheetWidth = 48;
constexpr int kSheetHeight = 48;

RasterImage Sheet(int width, int shade = 0) {
  RasterImage sheet;
  sheet.Create(width, kSheetHeight, 32, true);
  for (int y = 0; y < kSheetHeight; ++y) {
    for (int x = 0; x < width; ++x) {
      const int cell = y / 12 * 6 + x / 8;
      if (x % 8 == 7) continue;
      std::uint8_t* pixel = sheet.Row(y) + 4 * x;
      pixel[0] = static_cast<std::uint8_t>(20 * (y % 12) + shade);
      pixel[1] = static_cast<std::uint8_t>(30 * (x % 8));
      pixel[2] = static_cast<std::uint8_t>(10 * cell + 5);
      pixel[3] = 255;
    }
  }
  return sheet;
}

SetExtras Extras(const char* json = "") {
  SetExtras extras;
  ParseSetExtras(json, kSheetWidth, kSheetHeight, extras);
  return extras;
}

// A walk on a clock the test turns by hand, shown on the offscreen screen.
struct Walk {
  explicit Walk(bool half = false) {
    view.SetClock([this] { return now; });
    view.SetComposite(Sheet(half ? kSheetWidth / 2 : kSheetWidth));
    view.SetSheet(Extras(), half);
    view.show();
  }
  // Turns the clock and waits for a tick of the walk's timer to see it.
  bool At(std::int64_t ms) {
    now = ms;
    QSignalSpy tick(Timer(), &QTimer::timeout);
    return tick.wait(2000);
  }
  QTimer* Timer() const { return view.findChild<QTimer*>(); }
  void Choose(QComboBox* list, const QVariant& data) const {
    list->setCurrentIndex(list->findData(data));
  }

  std::int64_t now = 0;
  WalkCycleView view;
};

QList<int> Shown(const WalkCycleView& view) {
  return QList<int>(view.ShownCells().begin(), view.ShownCells().end());
}

// What is wrong with frame k as painted in shown, or "" when it holds its cell enlarged by
// nearest neighbour: the opaque pixels exactly, the transparent ones over a grey checkerboard.
QString FrameFault(const QImage& shown, const WalkCycleStage& stage, const RasterImage& sheet,
                   const SheetCells& cells, int k) {
  const QRect area = stage.FrameArea(k);
  const int zoom = stage.Zoom();
  const CellArea cell = CellAreaOf(cells, stage.ShownCells()[static_cast<std::size_t>(k)]);
  if (area.size() != QSize(cell.width * zoom, cell.height * zoom)) {
    return QStringLiteral("frame %1 is %2 x %3").arg(k).arg(area.width()).arg(area.height());
  }
  if (!shown.rect().contains(area)) return QStringLiteral("frame %1 runs off the stage").arg(k);
  std::set<QRgb> checker;
  for (int y = 0; y < area.height(); ++y) {
    for (int x = 0; x < area.width(); ++x) {
      const QRgb source = sheet.PixelAt(cell.x + x / zoom, cell.y + y / zoom);
      const QRgb painted = shown.pixel(area.topLeft() + QPoint(x, y));
      if (qAlpha(source) == 255
              ? painted != (source | 0xFF000000u)
              : qRed(painted) != qGreen(painted) || qGreen(painted) != qBlue(painted)) {
        return QStringLiteral("frame %1 pixel (%2, %3) is %4 for %5")
            .arg(k)
            .arg(x)
            .arg(y)
            .arg(painted, 8, 16)
            .arg(source, 8, 16);
      }
      if (qAlpha(source) == 0) checker.insert(painted);
    }
  }
  if (checker.size() != 2) return QStringLiteral("frame %1 shows no checkerboard").arg(k);
  return {};
}

}  // namespace

void WindowTest::WalkPlaysFramesInTime_data() {
  QTest::addColumn<bool>("half");
  QTest::addColumn<int>("direction");
  QTest::addColumn<double>("speed");
  // Each step: the clock's milliseconds, then the cells shown then.
  QTest::addColumn<QList<QList<int>>>("steps");
  const int all = WalkCycleView::kAllDirections;
  QTest::newRow("down at 1x") << false << 0 << 1.0
                              << QList<QList<int>>{{0, 0},   {149, 0}, {150, 1}, {300, 2},
                                                   {450, 1}, {600, 0}, {750, 1}};
  QTest::newRow("down at 2x") << false << 0 << 2.0
                              << QList<QList<int>>{{74, 0}, {75, 1}, {150, 2}, {225, 1}, {300, 0}};
  QTest::newRow("down at 4x") << false << 0 << 4.0 << QList<QList<int>>{{37, 0}, {38, 1}};
  QTest::newRow("down at 0.25x") << false << 0 << 0.25
                                 << QList<QList<int>>{{599, 0}, {600, 1}, {1200, 2}};
  QTest::newRow("right") << false << 2 << 1.0
                         << QList<QList<int>>{{0, 12}, {150, 13}, {300, 14}, {450, 13}};
  QTest::newRow("up_right") << false << 7 << 1.0 << QList<QList<int>>{{0, 21}, {300, 23}};
  QTest::newRow("all directions") << false << all << 1.0
                                  << QList<QList<int>>{{0, 0, 6, 12, 18, 3, 9, 15, 21},
                                                       {150, 1, 7, 13, 19, 4, 10, 16, 22},
                                                       {450, 1, 7, 13, 19, 4, 10, 16, 22},
                                                       {600, 0, 6, 12, 18, 3, 9, 15, 21}};
  QTest::newRow("all directions at 2x")
      << false << all << 2.0 << QList<QList<int>>{{150, 2, 8, 14, 20, 5, 11, 17, 23}};
  QTest::newRow("half sheet left") << true << 1 << 1.0 << QList<QList<int>>{{0, 3}, {300, 5}};
  QTest::newRow("half sheet all directions")
      << true << all << 1.0 << QList<QList<int>>{{0, 0, 3, 6, 9}, {300, 2, 5, 8, 11}};
}
void WindowTest::WalkPlaysFramesInTime() {
  QFETCH(bool, half);
  QFETCH(int, direction);
  QFETCH(double, speed);
  QFETCH(QList<QList<int>>, steps);
  Walk walk(half);
  walk.view.ChooseDirection(direction);
  walk.view.SetSpeed(speed);
  for (const QList<int>& step : steps) {
    QVERIFY(walk.At(step.front()));
    QCOMPARE(Shown(walk.view), step.mid(1));
  }
}

// The clock of the wall, not one turned by hand: the frames come round in order.
void WindowTest::WalkRunsOnTheRealClock() {
  WalkCycleView view;
  view.SetComposite(Sheet(kSheetWidth));
  view.SetCells(CellsFor(Extras(), false));
  view.SetAnimations({{"step", 0, 2, Playback::Forward, 40}});
  view.show();
  QList<int> seen;
  QTimer* timer = view.findChild<QTimer*>();
  QObject::connect(timer, &QTimer::timeout, &view, [&] {
    const int cell = view.ShownCells().front();
    if (seen.isEmpty() || seen.back() != cell) seen.append(cell);
  });
  QTRY_VERIFY_WITH_TIMEOUT(seen.size() >= 5, 5000);
  for (int k = 1; k < seen.size(); ++k) QCOMPARE(seen[k], (seen[k - 1] + 1) % 3);
}

void WindowTest::WalkFollowsItsControls_data() {
  // "at MS" turns the clock and waits for a tick; "idle MS" turns it and lets time pass;
  // "pause" and "play" press the button; "speed S" and "direction D" choose from the lists
  // ("direction -1" is every direction); "hide" and "show" the walk; "expect C,C…" the cells.
  QTest::addColumn<QStringList>("steps");
  QTest::addColumn<QString>("button");
  QTest::addColumn<bool>("ticking");
  const QString pause = QString::fromUtf8("一時停止");
  const QString play = QString::fromUtf8("再生");
  QTest::newRow("pause holds the frame")
      << QStringList{"at 150", "pause", "idle 1000", "expect 1"} << play << false;
  QTest::newRow("play goes on from the pause")
      << QStringList{"at 150", "pause", "idle 1000", "play", "at 1150", "expect 2"} << pause
      << true;
  QTest::newRow("faster from the moment chosen")
      << QStringList{"at 150", "speed 2", "expect 1", "at 224", "expect 1", "at 225", "expect 2"}
      << pause << true;
  QTest::newRow("slower from the moment chosen")
      << QStringList{"at 150", "speed 0.25", "at 749", "expect 1", "at 750", "expect 2"} << pause
      << true;
  QTest::newRow("speed while paused")
      << QStringList{"pause", "speed 4", "idle 500", "expect 0", "play", "at 538", "expect 1"}
      << pause << true;
  QTest::newRow("direction chosen from the list")
      << QStringList{"direction 2", "expect 12", "at 150", "expect 13"} << pause << true;
  QTest::newRow("every direction from the list")
      << QStringList{"direction -1", "expect 0,6,12,18,3,9,15,21", "direction 3", "expect 18"}
      << pause << true;
  QTest::newRow("hidden walk rests") << QStringList{"hide"} << pause << false;
  QTest::newRow("shown again walks on")
      << QStringList{"hide", "show", "at 150", "expect 1"} << pause << true;
}
void WindowTest::WalkFollowsItsControls() {
  QFETCH(QStringList, steps);
  QFETCH(QString, button);
  QFETCH(bool, ticking);
  Walk walk;
  WalkCycleStrip* strip = walk.view.Strip();
  for (const QString& step : steps) {
    const QString word = step.section(' ', 0, 0);
    const QString value = step.section(' ', 1);
    if (word == "at") {
      QVERIFY2(walk.At(value.toLongLong()), qPrintable(step));
    } else if (word == "idle") {
      walk.now = value.toLongLong();
      QTest::qWait(50);
    } else if (word == "pause" || word == "play") {
      QCOMPARE(walk.view.IsPlaying(), word == "pause");
      strip->PlayButton()->click();
    } else if (word == "speed") {
      walk.Choose(strip->SpeedList(), value.toDouble());
    } else if (word == "direction") {
      walk.Choose(strip->DirectionList(), value.toInt());
    } else if (word == "hide") {
      walk.view.hide();
    } else if (word == "show") {
      walk.view.show();
    } else {
      QList<int> cells;
      for (const QString& cell : value.split(',')) cells.append(cell.toInt());
      QVERIFY2(Shown(walk.view) == cells, qPrintable(step));
    }
  }
  QCOMPARE(strip->PlayButton()->text(), button);
  QCOMPARE(walk.Timer()->isActive(), ticking);
}

void WindowTest::WalkPaintsTheCompositesCells_data() {
  QTest::addColumn<bool>("half");
  QTest::addColumn<int>("direction");
  QTest::addColumn<int>("zoom");
  QTest::addColumn<int>("ms");
  QTest::addColumn<int>("width");  // of the walk; 0 for as wide as it asks
  // Made once the first frames are painted: "composite" gives a new one, "zoom N" a new zoom.
  QTest::addColumn<QString>("change");
  const int all = WalkCycleView::kAllDirections;
  QTest::newRow("down at 2x") << false << 0 << 2 << 0 << 0 << "";
  QTest::newRow("down at 1x") << false << 0 << 1 << 0 << 0 << "";
  QTest::newRow("down at 3x, a step on") << false << 0 << 3 << 300 << 0 << "";
  QTest::newRow("up_left at 2x") << false << 6 << 2 << 150 << 0 << "";
  QTest::newRow("all directions at 2x") << false << all << 2 << 150 << 0 << "";
  QTest::newRow("all directions, narrow") << false << all << 4 << 300 << 60 << "";
  QTest::newRow("half sheet all directions") << true << all << 2 << 150 << 0 << "";
  QTest::newRow("new composite") << false << all << 2 << 150 << 0 << "composite";
  QTest::newRow("new zoom") << false << 0 << 2 << 150 << 0 << "zoom 3";
}
void WindowTest::WalkPaintsTheCompositesCells() {
  QFETCH(bool, half);
  QFETCH(int, direction);
  QFETCH(int, zoom);
  QFETCH(int, ms);
  QFETCH(int, width);
  QFETCH(QString, change);
  Walk walk(half);
  walk.view.ChooseDirection(direction);
  walk.view.SetZoom(zoom);
  // Tall enough for the frames to wrap into: the offscreen screen does not grow a window to
  // the height its width asks for.
  if (width > 0) walk.view.resize(width, 1000);
  if (width > 0) QTRY_VERIFY(walk.view.Stage()->width() < walk.view.Stage()->sizeHint().width());
  QVERIFY(walk.At(ms));
  const WalkCycleStage& stage = *walk.view.Stage();
  RasterImage sheet = Sheet(half ? kSheetWidth / 2 : kSheetWidth);
  const SheetCells cells = CellsFor(Extras(), half);
  const auto check = [&] {
    QTRY_VERIFY(stage.height() >= stage.heightForWidth(stage.width()));
    const QImage shown = walk.view.Stage()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int frames = static_cast<int>(stage.ShownCells().size());
    QCOMPARE(frames, direction == WalkCycleView::kAllDirections ? (half ? 4 : 8) : 1);
    for (int k = 0; k < frames; ++k) {
      const QString fault = FrameFault(shown, stage, sheet, cells, k);
      QVERIFY2(fault.isEmpty(), qPrintable(fault));
      for (int other = 0; other < k; ++other) {
        QVERIFY(!stage.FrameArea(k).intersects(stage.FrameArea(other)));
      }
    }
  };
  check();
  if (QTest::currentTestFailed() || change.isEmpty()) return;
  if (change == "composite") {
    sheet = Sheet(kSheetWidth, 7);
    walk.view.SetComposite(sheet);
  } else {
    walk.view.SetZoom(change.section(' ', 1).toInt());
  }
  check();
}

void WindowTest::WalkSaysWhyItIsEmpty_data() {
  QTest::addColumn<QString>("json");
  QTest::addColumn<int>("sheetWidth");  // 0 for no composite
  QTest::addColumn<QString>("message");
  QTest::newRow("no grid") << QString() << 50
                           << QString::fromUtf8("このシートはセルに区切られていません");
  QTest::newRow("no character") << QString() << 0 << QString::fromUtf8("キャラクターがありません");
  QTest::newRow("no animations") << QString("{\"animations\": []}") << kSheetWidth
                                 << QString::fromUtf8("アニメーションがありません");
}
void WindowTest::WalkSaysWhyItIsEmpty() {
  QFETCH(QString, json);
  QFETCH(int, sheetWidth);
  QFETCH(QString, message);
  WalkCycleView view;
  SetExtras extras;
  ParseSetExtras(json.toStdString(), sheetWidth > 0 ? sheetWidth : kSheetWidth, kSheetHeight,
                 extras);
  if (sheetWidth > 0) view.SetComposite(Sheet(sheetWidth));
  view.SetSheet(extras, false);
  view.show();
  QCOMPARE(view.Stage()->Message(), message);
  QVERIFY(!message.contains('\n'));
  QVERIFY(!view.Strip()->PlayButton()->isEnabled());
  QVERIFY(!view.findChild<QTimer*>()->isActive());
  // The line is painted: the stage is not one flat colour.
  const QImage shown = view.Stage()->grab().toImage();
  bool marked = false;
  for (int y = 0; y < shown.height() && !marked; ++y) {
    for (int x = 0; x < shown.width() && !marked; ++x)
      marked = shown.pixel(x, y) != shown.pixel(0, 0);
  }
  QVERIFY(marked);

  // Given what it lacked, it walks.
  view.SetComposite(Sheet(kSheetWidth));
  view.SetSheet(Extras(), false);
  QVERIFY(view.Stage()->Message().isEmpty());
  QVERIFY(view.Strip()->PlayButton()->isEnabled());
  QTRY_VERIFY(view.findChild<QTimer*>()->isActive());
}

}  // namespace tessarin::ui_testing
