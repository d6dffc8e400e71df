#include <QTest>

#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {

void WindowTest::SelectionLoadsImages_data() {
  QTest::addColumn<int>("part");
  QTest::addColumn<QList<int>>("rows");
  QTest::addColumn<QString>("main");
  QTest::addColumn<QString>("companion");
  QTest::newRow("image with companion") << 2 << QList<int>{1} << "Hair/long.png"
                                        << "Hair/long$.png";
  QTest::newRow("image without companion file") << 0 << QList<int>{2} << "Body/b.png"
                                                << "";
  QTest::newRow("another image replaces both") << 2 << QList<int>{1, 2} << "Hair/Short.PNG"
                                               << "";
  QTest::newRow("[ なし ] empties both") << 2 << QList<int>{1, 0} << ""
                                         << "";
}
void WindowTest::SelectionLoadsImages() {
  QFETCH(int, part);
  QFETCH(QList<int>, rows);
  QFETCH(QString, main);
  QFETCH(QString, companion);
  HeroWindow hero;
  for (const int row : rows) hero.window.PartList(part)->setCurrentRow(row);

  const SetState& state = hero.window.dialog.State();
  const std::filesystem::path set = hero.graphics.Base() / "Hero";
  QCOMPARE(state.layers[MainSlot(part)].IsEmpty(), main.isEmpty());
  QCOMPARE(state.layers[CompanionSlot(part)].IsEmpty(), companion.isEmpty());
  if (!main.isEmpty()) {
    QCOMPARE(state.layers[MainSlot(part)].loadedPath, PathToUtf8(set / main.toStdString()));
  }
  if (!companion.isEmpty()) {
    QCOMPARE(state.layers[CompanionSlot(part)].loadedPath,
             PathToUtf8(set / companion.toStdString()));
  }
  QVERIFY(state.layers[MainSlot(2 - part)].IsEmpty());
}

}  // namespace tessarin::ui_testing
