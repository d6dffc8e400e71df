#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {

void WindowTest::LoadSetFillsListsAndLabels() {
  TestGraphics graphics;
  graphics.WriteText("Three/setting.txt", "Xsize:8\nYsize:8\nArms=1\nLegs=2\nEmpty=3\n");
  for (const char* file : {"Three/Arms/b.png", "Three/Arms/a$.png", "Three/Arms/a.png"}) {
    graphics.WritePng(file, 8, 8, [](int, int) { return qRgb(0, 0, 0); });
  }
  graphics.WriteText("Three/Arms/notes.txt", "");
  graphics.WriteText("Three/Empty/notes.txt", "");
  TestWindow window(graphics.Base());

  const QList<QStringList> entries = {{"[ なし ]", "a.png", "b.png"}, {"[ なし ]"}, {"[ なし ]"}};
  const QStringList labels = {"Arms", "Legs", "Empty"};
  for (int part = 0; part < kPartCount; ++part) {
    const bool defined = part < 3;
    QStringList shown;
    for (int row = 0; row < window.PartList(part)->count(); ++row) {
      shown << window.PartList(part)->item(row)->text();
    }
    QCOMPARE(shown, defined ? entries[part] : QStringList{"[ なし ]"});
    QCOMPARE(window.PartList(part)->isEnabled(), defined);
    QCOMPARE(window.SelectedRow(part), defined ? 0 : -1);
    QCOMPARE(window.Control<QLabel>(ids::PartLabel(part))->text(), defined ? labels[part] : "---");
  }
}

void WindowTest::LoadSetSetsTheDoubleBox_data() {
  QTest::addColumn<QString>("sizes");
  QTest::addColumn<bool>("ticked");
  QTest::newRow("96 x 96 ticks") << "Xsize:96\nYsize:96\n" << true;
  QTest::newRow("96 x 128 clears") << "Xsize:96\nYsize:128\n" << false;
  QTest::newRow("128 x 96 clears") << "Xsize:128\nYsize:96\n" << false;
}
void WindowTest::LoadSetSetsTheDoubleBox() {
  QFETCH(QString, sizes);
  QFETCH(bool, ticked);
  TestGraphics graphics;
  graphics.WriteText("A/setting.txt", "Xsize:200\nYsize:200\nBody=1\n");
  graphics.WriteText("B/setting.txt", sizes.toStdString());
  TestWindow window(graphics.Base());
  QVERIFY(!window.Control<QCheckBox>(ids::kDoubleBox)->isChecked());
  window.ChooseSet(1);
  QCOMPARE(window.Control<QCheckBox>(ids::kDoubleBox)->isChecked(), ticked);
}

void WindowTest::LoadSetDropsPartsTheNewSetLacks() {
  TestGraphics graphics;
  graphics.WriteText("Plain/setting.txt", "Xsize:40\nYsize:24\nBody=1\n");
  TestWindow window(graphics.WithHeroSet());
  window.PartList(2)->setCurrentRow(1);  // Hero's hair: Plain has no part 2
  QVERIFY(window.dialog.Preview().Composite().PixelAt(0, 0) != 0u);
  window.ChooseSet(1);
  QCOMPARE(window.dialog.Preview().Composite().PixelAt(0, 0), 0u);
}

void WindowTest::LoadSetFollowsTheKeyboard() {
  TestGraphics graphics;
  graphics.WriteText("A/setting.txt", "Xsize:200\nYsize:200\nBody=1\n");
  graphics.WriteText("B/setting.txt", "Xsize:16\nYsize:16\nBody=1\n");
  TestWindow window(graphics.Base());
  QTest::keyClick(window.Control<QComboBox>(ids::kSetList), Qt::Key_Down);
  QCOMPARE(window.dialog.State().setName, "B");
  QVERIFY(window.Control<QCheckBox>(ids::kDoubleBox)->isChecked());
}

}  // namespace tessarin::ui_testing
