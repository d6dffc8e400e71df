#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <algorithm>

#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {

void WindowTest::PreselectsTheDefaultSet_data() {
  QTest::addColumn<QStringList>("sets");
  QTest::addColumn<QString>("expected");
  QTest::newRow("デフォルト after another set") << QStringList{"Boy", "デフォルト"} << "デフォルト";
  QTest::newRow("no デフォルト: entry 0") << QStringList{"Girl", "Boy"} << "Boy";
  QTest::newRow("entry 0 searched last")
      << QStringList{"デフォルトA", "デフォルトB"} << "デフォルトB";
  QTest::newRow("only entry 0 matches") << QStringList{"デフォルト", "ヒーロー"} << "デフォルト";
  QTest::newRow("a prefix, not anywhere") << QStringList{"Boy", "新デフォルト"} << "Boy";
}
void WindowTest::PreselectsTheDefaultSet() {
  QFETCH(QStringList, sets);
  QFETCH(QString, expected);
  TestGraphics graphics;
  for (const QString& set : sets) graphics.WriteText(set.toStdString() + "/setting.txt", "");
  TestWindow window(graphics.Base());
  QCOMPARE(window.Control<QComboBox>(ids::kSetList)->currentText(), "[" + expected + "]");
}

void WindowTest::OpensWithoutSets_data() {
  QTest::addColumn<bool>("folderExists");
  QTest::newRow("Graphics folder missing") << false;
  QTest::newRow("Graphics folder empty") << true;
}
void WindowTest::OpensWithoutSets() {
  QFETCH(bool, folderExists);
  TestGraphics graphics;
  const std::filesystem::path base = folderExists ? graphics.Base() : graphics.Base() / "none";
  TestWindow window(base);
  QCOMPARE(window.Control<QComboBox>(ids::kSetList)->count(), 0);
  QCOMPARE(window.texts.size(), 1);
  QVERIFY(window.texts[0].contains(QString::fromStdString(base.string())));
  for (int part = 0; part < kPartCount; ++part) {
    QVERIFY(!window.PartList(part)->isEnabled());
    QCOMPARE(window.PartList(part)->count(), 1);
    QCOMPARE(window.PartList(part)->item(0)->text(), "[ なし ]");
    QCOMPARE(window.Control<QLabel>(ids::PartLabel(part))->text(), "---");
  }
}

// The icon files are built into the program; without them the window would have no icon.
void WindowTest::WindowCarriesTheIconInEverySize() {
  TestGraphics graphics;
  TestWindow window(graphics.Base());
  QList<QSize> sizes = window.dialog.windowIcon().availableSizes();
  std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() < b.width(); });
  QCOMPARE(sizes, (QList<QSize>{
                      {16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}}));
}

}  // namespace tessarin::ui_testing
