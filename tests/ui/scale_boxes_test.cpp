#include <QCheckBox>
#include <QTest>

#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {

void WindowTest::ScaleBoxesExcludeEachOther_data() {
  QTest::addColumn<QList<int>>("clicks");
  QTest::addColumn<bool>("doubleTicked");
  QTest::addColumn<bool>("threeQuarterTicked");
  // Hero starts with the double box ticked.
  const int doubleBox = ids::kDoubleBox;
  const int threeQuarterBox = ids::kThreeQuarterBox;
  QTest::newRow("three-quarter clears double") << QList<int>{threeQuarterBox} << false << true;
  QTest::newRow("double clears three-quarter")
      << QList<int>{threeQuarterBox, doubleBox} << true << false;
  QTest::newRow("double clicked off") << QList<int>{doubleBox} << false << false;
  QTest::newRow("half box leaves both") << QList<int>{int(ids::kHalfBox)} << true << false;
}
void WindowTest::ScaleBoxesExcludeEachOther() {
  QFETCH(QList<int>, clicks);
  QFETCH(bool, doubleTicked);
  QFETCH(bool, threeQuarterTicked);
  HeroWindow hero;
  for (const int id : clicks) hero.window.Control<QCheckBox>(id)->click();
  QCOMPARE(hero.window.Control<QCheckBox>(ids::kDoubleBox)->isChecked(), doubleTicked);
  QCOMPARE(hero.window.Control<QCheckBox>(ids::kThreeQuarterBox)->isChecked(), threeQuarterTicked);
}

}  // namespace tessarin::ui_testing
