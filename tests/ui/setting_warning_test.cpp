#include <QComboBox>
#include <QTest>

#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {

void WindowTest::WarnsOncePerSelection_data() {
  QTest::addColumn<bool>("withGood");
  QTest::addColumn<QList<int>>("selections");
  QTest::addColumn<int>("warnings");
  // Sets: "Good" (entry 0, shown at start) when there is one, and "NoSetting".
  QTest::newRow("never selected") << true << QList<int>{} << 0;
  QTest::newRow("selected once") << true << QList<int>{1} << 1;
  QTest::newRow("selected twice") << true << QList<int>{1, 0, 1} << 2;
  QTest::newRow("chosen again while shown") << true << QList<int>{1, 1} << 2;
  QTest::newRow("shown at start") << false << QList<int>{} << 1;
}
void WindowTest::WarnsOncePerSelection() {
  QFETCH(bool, withGood);
  QFETCH(QList<int>, selections);
  QFETCH(int, warnings);
  TestGraphics graphics;
  if (withGood) graphics.WriteText("Good/setting.txt", "Xsize:8\nYsize:8\nBody=1\n");
  graphics.WriteText("NoSetting/Body/a.png", "");
  TestWindow window(graphics.Base());
  for (const int entry : selections) {
    window.ChooseSet(entry);
  }
  QCOMPARE(window.texts.size(), warnings);
  for (int i = 0; i < warnings; ++i) {
    QCOMPARE(window.captions[i], "警告");
    QCOMPARE(window.texts[i],
             "[ NoSetting ] フォルダ内にSetting.txtがありません。\n"
             "まずこのファイルを作成してください。");
  }
  // A set without a setting file has no parts.
  const bool showsNoSetting = !withGood || (!selections.isEmpty() && selections.last() == 1);
  QCOMPARE(window.PartList(0)->isEnabled(), !showsNoSetting);
}

}  // namespace tessarin::ui_testing
