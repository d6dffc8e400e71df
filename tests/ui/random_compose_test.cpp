#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {

void WindowTest::RandomComposePicksTheGeneratorsEntries_data() {
  QTest::addColumn<unsigned>("seed");
  QTest::addColumn<QList<int>>("ticked");
  QTest::addColumn<int>("body");
  QTest::addColumn<int>("hair");
  // Body and Hair hold three entries; Hat and the undefined parts draw nothing. Seed 1 draws
  // 41, 18467; seed 5 draws 54, 28693; seed 20 draws 103, 26079.
  const QList<int> all = {0, 1, 2, 3, 4, 5, 6, 7};
  QTest::newRow("every box, seed 1") << 1u << all << 2 << 2;
  QTest::newRow("every box, seed 5: entry 0 drawn takes 1") << 5u << all << 1 << 1;
  QTest::newRow("every box, seed 20") << 20u << all << 1 << 1;
  QTest::newRow("hair only takes the first draw") << 1u << QList<int>{2} << 0 << 2;
  QTest::newRow("no box keeps the selection") << 1u << QList<int>{} << 0 << 0;
}
void WindowTest::RandomComposePicksTheGeneratorsEntries() {
  QFETCH(unsigned, seed);
  QFETCH(QList<int>, ticked);
  QFETCH(int, body);
  QFETCH(int, hair);
  HeroWindow hero;
  hero.window.dialog.SeedRandom(seed);
  for (const int part : ticked) hero.window.Control<QCheckBox>(ids::RandomBox(part))->click();
  QSignalSpy notifications(hero.window.PartList(0), &QListWidget::itemSelectionChanged);
  hero.window.Control<QPushButton>(ids::kRandomCompose)->click();

  const QList<int> expected = {body, 0, hair, -1, -1, -1, -1, -1};
  for (int part = 0; part < kPartCount; ++part) {
    QCOMPARE(hero.window.SelectedRow(part), expected[part]);
    QCOMPARE(hero.window.dialog.State().layers[MainSlot(part)].IsEmpty(), expected[part] <= 0);
  }
  QCOMPARE(notifications.count(), 0);
}

}  // namespace tessarin::ui_testing
