#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

#include "choice_history.h"
#include "colour_section.h"
#include "credits_section.h"
#include "side_panel.h"
#include "test_window.h"
#include "window_choices.h"
#include "window_test.h"

namespace tessarin::ui_testing {
namespace {

const QUndoStack& StackOf(const TestWindow& window) {
  return window.dialog.History().Stack();
}

WindowChoices Now(const TestWindow& window) {
  return CaptureChoices(window.dialog.Choices());
}

// The picks as the window holds them in its layers, not only in its lists.
void VerifyLayersFollowPicks(const TestWindow& window) {
  for (int part = 0; part < kPartCount; ++part) {
    QCOMPARE(window.dialog.State().layers[MainSlot(part)].IsEmpty(), window.SelectedRow(part) <= 0);
  }
}

void Press(TestWindow& window, QKeyCombination keys) {
  QTest::keyClick(&window.dialog, keys.key(), keys.keyboardModifiers());
}

}  // namespace

void WindowTest::UndoAndRedoEachChange_data() {
  QTest::addColumn<QString>("change");
  QTest::addColumn<QKeyCombination>("redo");
  const QKeyCombination ctrlY = Qt::CTRL | Qt::Key_Y;
  const QKeyCombination ctrlShiftZ = Qt::CTRL | Qt::SHIFT | Qt::Key_Z;
  QTest::newRow("random composition, Ctrl+Y") << "random" << ctrlY;
  QTest::newRow("random composition, Ctrl+Shift+Z") << "random" << ctrlShiftZ;
  QTest::newRow("a pick") << "pick" << ctrlY;
  QTest::newRow("half box") << "half" << ctrlShiftZ;
  QTest::newRow("0.75x box unticks 2x") << "threeQuarter" << ctrlY;
  QTest::newRow("a random box") << "randomBox" << ctrlY;
  QTest::newRow("another set") << "set" << ctrlY;
  QTest::newRow("a colour") << "colour" << ctrlY;
  QTest::newRow("a colour's random box") << "colourBox" << ctrlShiftZ;
  QTest::newRow("the blend rule") << "rule" << ctrlY;
  QTest::newRow("a licence for random composition") << "licence" << ctrlShiftZ;
}
void WindowTest::UndoAndRedoEachChange() {
  QFETCH(QString, change);
  QFETCH(QKeyCombination, redo);
  TwoSetWindow two;
  TestWindow& window = two.window;
  window.dialog.show();
  QVERIFY(QTest::qWaitForWindowActive(&window.dialog));
  window.dialog.SeedRandom(1);
  // Something picked already, which the change then moves away from.
  window.PartList(0)->setCurrentRow(1);
  for (int part = 0; part < kPartCount; ++part) {
    if (change == "random") window.Control<QCheckBox>(ids::RandomBox(part))->click();
  }
  const WindowChoices before = Now(window);
  const int steps = StackOf(window).count();

  if (change == "random") {
    window.Control<QPushButton>(ids::kRandomCompose)->click();
  } else if (change == "pick") {
    window.PartList(2)->setCurrentRow(2);
  } else if (change == "half") {
    window.Control<QCheckBox>(ids::kHalfBox)->click();
  } else if (change == "threeQuarter") {
    window.Control<QCheckBox>(ids::kDoubleBox)->click();
    window.Control<QCheckBox>(ids::kThreeQuarterBox)->click();
  } else if (change == "randomBox") {
    window.Control<QCheckBox>(ids::RandomBox(3))->click();
  } else if (change == "set") {
    window.ChooseSet(1);
  } else if (change == "colour" || change == "rule") {
    ColourSection& colours = window.dialog.findChild<SidePanel*>()->Colours();
    QComboBox* list = change == "colour" ? colours.ChoiceList(0) : colours.RuleList();
    list->setCurrentIndex(1);
    emit list->activated(1);
  } else if (change == "colourBox") {
    window.dialog.findChild<SidePanel*>()->Colours().RandomBox(0)->click();
  } else if (change == "licence") {
    window.dialog.Panel().Credits().LicenceButton()->menu()->actions().constFirst()->trigger();
  }
  const WindowChoices after = Now(window);
  QVERIFY(after != before);
  // The two boxes are two clicks; everything else is one step, a whole composition included.
  QCOMPARE(StackOf(window).count(), steps + (change == "threeQuarter" ? 2 : 1));
  const int afterSteps = StackOf(window).count();

  for (int i = afterSteps; i > steps; --i) Press(window, Qt::CTRL | Qt::Key_Z);
  QVERIFY(Now(window) == before);
  VerifyLayersFollowPicks(window);
  QCOMPARE(window.Control<QComboBox>(ids::kSetList)->currentText(), "[Hero]");
  QCOMPARE(window.dialog.State().setName, "Hero");
  QCOMPARE(window.dialog.Preview().Composite().Width(),
           window.Control<QCheckBox>(ids::kHalfBox)->isChecked() ? 20 : 40);

  for (int i = steps; i < afterSteps; ++i) Press(window, redo);
  QVERIFY(Now(window) == after);
  VerifyLayersFollowPicks(window);
  QCOMPARE(window.dialog.State().setName, change == "set" ? "Tiny" : "Hero");
  // Stepping through the history adds nothing to it.
  QCOMPARE(StackOf(window).count(), afterSteps);
}

void WindowTest::ApplyingChoicesRecordsNothing() {
  TwoSetWindow two;
  TestWindow& window = two.window;
  QSignalSpy lists(window.PartList(0), &QListWidget::itemSelectionChanged);
  QSignalSpy sets(window.Control<QComboBox>(ids::kSetList), &QComboBox::currentIndexChanged);
  WindowChoices choices = Now(window);
  choices.files[0] = "b.png";
  choices.files[2] = "Short.PNG";
  choices.half = true;
  choices.random[5] = true;
  int loads = 0;
  ApplyChoices(choices, window.dialog.Choices(), [&] { ++loads; });
  QVERIFY(Now(window) == choices);
  QCOMPARE(loads, 0);  // the same set
  QCOMPARE(lists.count(), 0);
  QCOMPARE(sets.count(), 0);
  QCOMPARE(StackOf(window).count(), 0);

  choices.setName = "Tiny";
  choices.files = {"f.png"};
  ApplyChoices(choices, window.dialog.Choices(), [&] { ++loads; });
  QCOMPARE(loads, 1);
  QCOMPARE(sets.count(), 0);
  QCOMPARE(StackOf(window).count(), 0);
}

void WindowTest::UndoSkipsFilesGoneFromDisk() {
  HeroWindow hero;
  TestWindow& window = hero.window;
  window.PartList(0)->setCurrentRow(2);
  window.PartList(0)->setCurrentRow(1);
  std::filesystem::remove(hero.graphics.Base() / "Hero/Body/b.png");
  window.ChooseSet(0);  // reloads the set: b.png is no longer listed
  QAction* undo = window.dialog.History().UndoAction();
  undo->trigger();  // back to a.png
  QCOMPARE(window.SelectedRow(0), 1);
  undo->trigger();  // b.png is gone: nothing
  QCOMPARE(window.SelectedRow(0), 0);
  VerifyLayersFollowPicks(window);
  QVERIFY(window.texts.isEmpty());
}

}  // namespace tessarin::ui_testing
