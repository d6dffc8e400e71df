#include <QTest>

#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {

void WindowTest::KeysCloseTheWindow_data() {
  QTest::addColumn<int>("focus");
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("result");  // -1: the window stays open
  const int enter = Qt::Key_Return;
  QTest::newRow("Enter on the set list") << int(ids::kSetList) << enter << int(QDialog::Accepted);
  QTest::newRow("Enter on a part list") << ids::PartList(0) << enter << int(QDialog::Accepted);
  QTest::newRow("keypad Enter on a part list")
      << ids::PartList(2) << int(Qt::Key_Enter) << int(QDialog::Accepted);
  QTest::newRow("Enter on a check box") << int(ids::kHalfBox) << enter << int(QDialog::Accepted);
  QTest::newRow("Enter on a push button is its own") << int(ids::kGenerate) << enter << -1;
  QTest::newRow("Esc on a part list")
      << ids::PartList(0) << int(Qt::Key_Escape) << int(QDialog::Rejected);
  QTest::newRow("Esc on a push button")
      << int(ids::kRandomCompose) << int(Qt::Key_Escape) << int(QDialog::Rejected);
}
void WindowTest::KeysCloseTheWindow() {
  QFETCH(int, focus);
  QFETCH(int, key);
  QFETCH(int, result);
  HeroWindow hero;
  hero.window.dialog.show();
  QVERIFY(QTest::qWaitForWindowActive(&hero.window.dialog));
  QWidget* target = hero.window.Control(focus);
  target->setFocus();
  const Qt::KeyboardModifiers modifiers =
      key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
  QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
  QCOMPARE(hero.window.dialog.isVisible(), result < 0);
  if (result < 0) {
    QCOMPARE(hero.window.saveQuestions, 1);  // the button did its own work
  } else {
    QCOMPARE(hero.window.dialog.result(), result);
  }
}

}  // namespace tessarin::ui_testing
