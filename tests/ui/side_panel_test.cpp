#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <memory>

#include "dialog_templates.h"
#include "side_panel.h"
#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {
namespace {

const SidePanel& PanelOf(const TestWindow& window) {
  return window.dialog.Panel();
}

// The panel as a person sees it: shown or not, with the window sized to match.
void VerifyPanel(const TestWindow& window, bool shown) {
  const CompositorDialog& dialog = window.dialog;
  const QSize classic = dialog.ClassicArea().size();
  QCOMPARE(dialog.SidePanelShown(), shown);
  QCOMPARE(PanelOf(window).isHidden(), !shown);
  if (shown) {
    QVERIFY(dialog.width() > classic.width());
    QVERIFY(dialog.maximumWidth() > dialog.minimumWidth());  // it can be widened
    QCOMPARE(PanelOf(window).geometry(),
             QRect(classic.width(), 0, dialog.width() - classic.width(), dialog.height()));
  } else {
    QCOMPARE(dialog.size(), classic);
    QCOMPARE(dialog.minimumSize(), classic);
    QCOMPARE(dialog.maximumSize(), classic);
  }
}

// Plays the person who takes the side panel's item from the window's menu.
void ToggleByMenu(TestWindow& window) {
  QStringList items;
  QTimer person;
  QObject::connect(&person, &QTimer::timeout, [&] {
    if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      for (const QAction* action : popup->actions()) items << action->text();
      // A menu without the item is closed, not left waiting.
      QTest::keyClick(
          popup, items.contains(QStringLiteral("サイドパネル(&P)")) ? Qt::Key_P : Qt::Key_Escape);
    }
  });
  person.start(10);
  const QPoint at = window.Control(ids::PartLabel(0))->geometry().center();
  QContextMenuEvent click(QContextMenuEvent::Mouse, at, window.dialog.mapToGlobal(at));
  QApplication::sendEvent(&window.dialog, &click);
  QVERIFY(items.contains(QStringLiteral("サイドパネル(&P)")));
}

void Toggle(TestWindow& window, const QString& how) {
  if (how == "F9") {
    window.dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&window.dialog));
    QTest::keyClick(&window.dialog, Qt::Key_F9);
  } else if (how == "menu") {
    window.dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&window.dialog));
    ToggleByMenu(window);
  } else {
    window.dialog.SetSidePanelShown(!window.dialog.SidePanelShown());
  }
}

}  // namespace

void WindowTest::SidePanelTogglesAndIsRemembered_data() {
  QTest::addColumn<QString>("how");
  QTest::newRow("F9") << "F9";
  QTest::newRow("window menu") << "menu";
  QTest::newRow("from code") << "call";
}
void WindowTest::SidePanelTogglesAndIsRemembered() {
  QFETCH(QString, how);
  TestGraphics graphics;
  graphics.WithHeroSet();
  {
    TestWindow first(graphics.Base());
    VerifyPanel(first, true);  // shown until someone hides it
    QCOMPARE(first.dialog.width(), first.dialog.ClassicArea().width() + 560);
    Toggle(first, how);
    VerifyPanel(first, false);
  }
  {
    TestWindow second(graphics.Base());
    VerifyPanel(second, false);
    Toggle(second, how);
    VerifyPanel(second, true);
  }
  TestWindow third(graphics.Base());
  VerifyPanel(third, true);
}

void WindowTest::ClassicAreaIsTheSameBesideThePanel_data() {
  QTest::addColumn<QString>("set");
  QTest::addColumn<int>("box");  // clicked after loading, 0 for none
  QTest::addColumn<bool>("half");
  QTest::addColumn<bool>("onScreen");
  QTest::newRow("Hero at 2x") << "Hero" << 0 << false << false;
  QTest::newRow("Hero at 0.75x, half") << "Hero" << int(ids::kThreeQuarterBox) << true << false;
  QTest::newRow("large sheet at 1x") << "Big" << 0 << false << false;
  QTest::newRow("large sheet at 2x, on screen") << "Big" << int(ids::kDoubleBox) << false << true;
}
void WindowTest::ClassicAreaIsTheSameBesideThePanel() {
  QFETCH(QString, set);
  QFETCH(int, box);
  QFETCH(bool, half);
  QFETCH(bool, onScreen);
  TestGraphics graphics;
  graphics.WithHeroSet();
  graphics.WriteText("Big/setting.txt", "Xsize:300\nYsize:200\nBody=1\n");
  graphics.WritePng("Big/Body/a.png", 300, 200, [](int x, int y) { return qRgb(x, y, 90); });
  TestWindow beside(graphics.Base());
  TestWindow classic(graphics.Base());
  classic.dialog.SetSidePanelShown(false);
  VerifyPanel(beside, true);
  for (TestWindow* window : {&beside, &classic}) {
    window->ChooseSet(window->Control<QComboBox>(ids::kSetList)->findData(set));
    window->PartList(0)->setCurrentRow(1);
    if (set == "Hero") window->PartList(2)->setCurrentRow(1);
    if (box != 0) window->Control<QCheckBox>(box)->click();
    if (half) window->Control<QCheckBox>(ids::kHalfBox)->click();
  }
  const QRect area = beside.dialog.ClassicArea();
  if (onScreen) {
    beside.dialog.show();
    classic.dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&beside.dialog));
    QVERIFY(QTest::qWaitForWindowExposed(&classic.dialog));
    QTRY_COMPARE(ScreenShot(beside.dialog).copy(area), ScreenShot(classic.dialog));
    return;
  }
  QCOMPARE(beside.dialog.grab(area).toImage().convertToFormat(QImage::Format_RGB32),
           classic.dialog.grab().toImage().convertToFormat(QImage::Format_RGB32));
}

void WindowTest::ResizingWidensThePanelAlone() {
  HeroWindow hero;
  CompositorDialog& dialog = hero.window.dialog;
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  const QRect area = dialog.ClassicArea();
  const QImage before = dialog.grab(area).toImage();
  const auto* view = dialog.findChild<QAbstractScrollArea*>(QStringLiteral("sheetView"));
  const QSize viewBefore = view->size();
  const QSize wide = dialog.size() + QSize(300, 200);
  dialog.resize(wide);
  QTRY_COMPARE(dialog.size(), wide);
  VerifyPanel(hero.window, true);
  QCOMPARE(dialog.grab(area).toImage(), before);
  // The sheet's view takes all the room added.
  QCOMPARE(view->size(), viewBefore + QSize(300, 200));

  // The panel keeps room for its options; the classic area keeps its height.
  dialog.resize(100, 100);
  QTRY_COMPARE(dialog.size(), dialog.minimumSize());
  QVERIFY(dialog.width() >= area.width() + 360);
  QCOMPARE(dialog.height(), area.height());
  QVERIFY(PanelOf(hero.window).width() >= PanelOf(hero.window).minimumSizeHint().width());

  // Shown again, the panel comes back at the size it had.
  dialog.resize(wide);
  QTRY_COMPARE(dialog.size(), wide);
  dialog.SetSidePanelShown(false);
  VerifyPanel(hero.window, false);
  dialog.SetSidePanelShown(true);
  QTRY_COMPARE(dialog.size(), wide);
}

void WindowTest::PanelFollowsTheClassicControlsInTabOrder() {
  HeroWindow hero;
  const CompositorDialog& dialog = hero.window.dialog;
  QList<const QWidget*> classic;
  for (const ControlTemplate& control : MainDialogTemplate().controls) {
    const QWidget* widget = dialog.Control(control.id);
    if (control.id >= 0 && (widget->focusPolicy() & Qt::TabFocus)) classic << widget;
  }
  QList<const QWidget*> chain;
  for (const QWidget* widget = dialog.nextInFocusChain(); widget != &dialog;
       widget = widget->nextInFocusChain()) {
    if (widget->focusPolicy() & Qt::TabFocus) chain << widget;
  }
  QVERIFY(chain.size() > classic.size());
  QCOMPARE(chain.mid(0, classic.size()), classic);
  for (const QWidget* widget : chain.mid(classic.size())) {
    QVERIFY2(PanelOf(hero.window).isAncestorOf(widget), qPrintable(widget->objectName()));
  }
  QCOMPARE(chain.at(classic.size())->objectName(), QStringLiteral("sheetZoom"));
}

}  // namespace tessarin::ui_testing
