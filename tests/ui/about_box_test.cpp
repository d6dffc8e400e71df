#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "about_dialog.h"
#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {

void WindowTest::AboutBoxOpens_data() {
  QTest::addColumn<int>("target");  // control id; 0: the window itself; -1: F1 instead
  QTest::addColumn<bool>("menu");
  QTest::addColumn<bool>("opens");
  QTest::newRow("right click on the window") << 0 << true << true;
  QTest::newRow("right click on a part label") << ids::PartLabel(1) << true << true;
  QTest::newRow("right click on a check box") << int(ids::kHalfBox) << true << true;
  QTest::newRow("right click on a part list") << ids::PartList(0) << false << false;
  QTest::newRow("F1") << -1 << false << true;
}
void WindowTest::AboutBoxOpens() {
  QFETCH(int, target);
  QFETCH(bool, menu);
  QFETCH(bool, opens);
  HeroWindow hero;
  hero.window.dialog.show();
  QVERIFY(QTest::qWaitForWindowActive(&hero.window.dialog));

  // Plays the person: takes the menu's About item by its key, then closes the box.
  QStringList menuItems;
  QStringList aboutTitles;
  QTimer person;
  connect(&person, &QTimer::timeout, [&] {
    if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      for (const QAction* action : popup->actions()) menuItems << action->text();
      QTest::keyClick(popup, Qt::Key_A);
    } else if (auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget())) {
      aboutTitles << about->windowTitle();
      QTest::keyClick(about, Qt::Key_Escape);
    }
  });
  person.start(10);

  if (target < 0) {
    QTest::keyClick(&hero.window.dialog, Qt::Key_F1);
  } else {
    QWidget* widget = target == 0 ? &hero.window.dialog : hero.window.Control(target);
    // A right click lands on a list's viewport, not on the list.
    if (auto* list = qobject_cast<QListWidget*>(widget)) widget = list->viewport();
    const QPoint at = widget->rect().center();
    QContextMenuEvent click(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &click);
  }
  const QStringList items = {"バージョン情報 Tessarin(&A)...", "サイドパネル(&P)"};
  QCOMPARE(menuItems, menu ? items : QStringList{});
  QCOMPARE(aboutTitles, opens ? QStringList{"バージョン情報 Tessarin"} : QStringList{});
}

}  // namespace tessarin::ui_testing
