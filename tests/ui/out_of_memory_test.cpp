// The window short of memory: it says what did not fit, instead of showing a preview without
// a layer or without anything, and works on once memory is back.

#include <QTest>

#include <cstddef>

#include "../model/address_space_limit.h"
#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {
namespace {

// A 4096 x 4096 picture takes 64 MiB; this is enough for everything else the window does.
constexpr std::size_t kHeadroom = std::size_t{24} << 20;

int RowOf(const QListWidget& list, const QString& text) {
  const QList<QListWidgetItem*> found = list.findItems(text, Qt::MatchExactly);
  return found.isEmpty() ? -1 : list.row(found.constFirst());
}

}  // namespace

void WindowTest::ShortOfMemorySaysWhat_data() {
  QTest::addColumn<int>("side");        // the set's width and height
  QTest::addColumn<QString>("choice");  // the layer chosen while memory is short
  QTest::addColumn<QString>("says");
  QTest::addColumn<bool>("layerLoaded");
  QTest::addColumn<bool>("composed");
  QTest::newRow("a layer") << 8 << "huge.png"
                           << "huge.png" << false << true;
  QTest::newRow("the sheet") << 4096 << "small.png"
                             << "4096x4096" << true << false;
}
void WindowTest::ShortOfMemorySaysWhat() {
  QFETCH(int, side);
  QFETCH(QString, choice);
  QFETCH(QString, says);
  QFETCH(bool, layerLoaded);
  QFETCH(bool, composed);
  TestGraphics graphics;
  graphics.WriteText("Set/setting.txt", "Xsize:" + std::to_string(side) +
                                            "\nYsize:" + std::to_string(side) + "\nBody=1\n");
  graphics.WritePng("Set/Body/small.png", 8, 4, [](int, int) { return qRgba(10, 20, 30, 255); });
  graphics.WritePng("Set/Body/other.png", 8, 4, [](int, int) { return qRgba(40, 50, 60, 255); });
  graphics.WritePng("Set/Body/huge.png", 4096, 4096, [](int, int) { return 0u; });
  TestWindow window(graphics.Base());
  QListWidget& list = *window.PartList(0);
  list.setCurrentRow(RowOf(list, "other.png"));
  QCOMPARE(window.dialog.Preview().Composite().Width(), side);

  {
    const testing::AddressSpaceLimit limit(kHeadroom);
    if (!limit.Made()) QSKIP(limit.Why().c_str());
    list.setCurrentRow(RowOf(list, choice));
  }
  QCOMPARE(window.texts.size(), 1);
  QVERIFY2(window.texts[0].contains(says), qPrintable(window.texts[0]));
  QVERIFY2(window.texts[0].contains("out of memory"), qPrintable(window.texts[0]));
  QCOMPARE(!window.dialog.State().layers[MainSlot(0)].IsEmpty(), layerLoaded);
  QCOMPARE(!window.dialog.Preview().Composite().IsNull(), composed);

  // Memory is back: the next choice shows.
  list.setCurrentRow(RowOf(list, "other.png"));
  QCOMPARE(window.texts.size(), 1);
  QCOMPARE(window.dialog.Preview().Composite().Width(), side);
}

}  // namespace tessarin::ui_testing
