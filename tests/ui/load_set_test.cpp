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

void WindowTest::LoadSetOpensNamesFromOtherSystems_data() {
  QTest::addColumn<QByteArray>("set");
  QTest::addColumn<QByteArray>("setting");
  QTest::addColumn<QByteArray>("image");  // within the set folder
  QTest::addColumn<QString>("shownSet");
  QTest::addColumn<QString>("shownImage");
  QTest::addColumn<QStringList>("warnings");
  const QByteArray setting = "Xsize:8\nYsize:8\n";
  QTest::newRow("code page 932") << QByteArray("\x83\x66\x83\x74\x83\x48\x83\x8b\x83\x67")
                                 << setting + "\x93\xaa=1\n"
                                 << QByteArray("\x93\xaa/\x90\xD4.png") << "[デフォルト]"
                                 << "赤.png" << QStringList{};
  QTest::newRow("neither UTF-8 nor code page 932") << QByteArray("caf\xE9") << setting + "Body=1\n"
                                                   << QByteArray("body/x\xFE.png") << "[caf\\xE9]"
                                                   << "x\\xFE.png" << QStringList{};
  QTest::newRow("part leaving the set")
      << QByteArray("Escape") << setting + "../Escape/Body=1\n"
      << QByteArray("Body/a.png") << "[Escape]"
      << ""
      << QStringList{
             "[ ../Escape/Body ] "
             "はセットのフォルダの外を指す名前なので、このパーツの画像は読み込みません。"};
}
void WindowTest::LoadSetOpensNamesFromOtherSystems() {
  QFETCH(QByteArray, set);
  QFETCH(QByteArray, setting);
  QFETCH(QByteArray, image);
  QFETCH(QString, shownSet);
  QFETCH(QString, shownImage);
  QFETCH(QStringList, warnings);
  TestGraphics graphics;
  graphics.WriteText((set + "/setting.txt").toStdString(), setting.toStdString());
  graphics.WritePng((set + "/" + image).toStdString(), 8, 8,
                    [](int, int) { return qRgb(200, 0, 0); });
  TestWindow window(graphics.Base());
  QCOMPARE(window.Control<QComboBox>(ids::kSetList)->currentText(), shownSet);
  QCOMPARE(window.texts, warnings);
  QStringList shown;
  for (int row = 1; row < window.PartList(0)->count(); ++row) {
    shown << window.PartList(0)->item(row)->text();
  }
  QCOMPARE(shown.join(QLatin1Char(',')), shownImage);
  if (shownImage.isEmpty()) return;
  window.PartList(0)->setCurrentRow(1);
  QCOMPARE(window.dialog.Preview().Composite().PixelAt(0, 0), 0xFFC80000u);
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
