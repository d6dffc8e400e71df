#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>

#include "choice_history.h"
#include "folder_layout.h"
#include "start_folder.h"
#include "test_window.h"
#include "window_settings.h"
#include "window_test.h"

namespace tessarin::ui_testing {

void WindowTest::ShortcutsReachTheirActions_data() {
  QTest::addColumn<QKeyCombination>("keys");
  QTest::newRow("Ctrl+S saves") << (Qt::CTRL | Qt::Key_S);
  QTest::newRow("Ctrl+R composes at random") << (Qt::CTRL | Qt::Key_R);
  QTest::newRow("Ctrl+O opens another folder") << (Qt::CTRL | Qt::Key_O);
}
void WindowTest::ShortcutsReachTheirActions() {
  QFETCH(QKeyCombination, keys);
  HeroWindow hero;
  TestWindow& window = hero.window;
  TestGraphics other;
  other.WriteText("Other/setting.txt", "Xsize:8\nYsize:8\nArm=1\n");
  other.WriteText("Another/setting.txt", "Xsize:8\nYsize:8\n");
  window.folderAnswer = QString::fromStdString(other.Base().string());
  QTemporaryDir output;
  window.saveAnswer = output.filePath("saved.png");
  window.dialog.SeedRandom(1);
  window.Control<QCheckBox>(ids::RandomBox(0))->click();
  window.dialog.show();
  QVERIFY(QTest::qWaitForWindowActive(&window.dialog));
  // Wherever the focus is.
  window.PartList(2)->setFocus();
  QTest::keyClick(window.PartList(2), keys.key(), keys.keyboardModifiers());

  const bool save = keys.key() == Qt::Key_S;
  const bool random = keys.key() == Qt::Key_R;
  const bool folder = keys.key() == Qt::Key_O;
  QCOMPARE(window.saveQuestions, save ? 1 : 0);
  QCOMPARE(QFile::exists(window.saveAnswer), save);
  QCOMPARE(window.folderQuestions, folder ? 1 : 0);
  // Seed 1 draws entry 2 of Body; the other folder's set has no parts.
  QCOMPARE(window.SelectedRow(0), random ? 2 : folder ? -1 : 0);
  auto* sets = window.Control<QComboBox>(ids::kSetList);
  QCOMPARE(sets->count(), folder ? 2 : 1);
  QCOMPARE(sets->currentText(), folder ? "[Another]" : "[Hero]");
  QCOMPARE(window.dialog.State().setName, folder ? "Another" : "Hero");
  QCOMPARE(RememberedGraphicsFolder().has_value(), folder);
  if (folder) {
    QCOMPARE(*RememberedGraphicsFolder(), other.Base());
    // Steps of the other folder are gone.
    QCOMPARE(window.dialog.History().Stack().count(), 0);
  }
  QVERIFY(window.texts.isEmpty());
}

void WindowTest::CancelledFolderChangesNothing() {
  HeroWindow hero;
  TestWindow& window = hero.window;
  window.PartList(0)->setCurrentRow(1);
  window.dialog.show();
  QVERIFY(QTest::qWaitForWindowActive(&window.dialog));
  QTest::keyClick(&window.dialog, Qt::Key_O, Qt::ControlModifier);
  QCOMPARE(window.folderQuestions, 1);
  QCOMPARE(window.dialog.State().baseFolder, hero.graphics.Base());
  QCOMPARE(window.SelectedRow(0), 1);
  QVERIFY(!RememberedGraphicsFolder());
}

void WindowTest::StartFolderFollowsTheLastChoice_data() {
  QTest::addColumn<bool>("remember");
  QTest::addColumn<bool>("stillThere");
  QTest::addColumn<bool>("argument");
  QTest::addColumn<QString>("expected");  // "remembered", "argument" or "default"
  QTest::newRow("nothing remembered") << false << false << false << "default";
  QTest::newRow("remembered") << true << true << false << "remembered";
  QTest::newRow("remembered, a folder given") << true << true << true << "argument";
  QTest::newRow("remembered folder gone") << true << false << false << "default";
  QTest::newRow("gone, a folder given") << true << false << true << "argument";
}
void WindowTest::StartFolderFollowsTheLastChoice() {
  QFETCH(bool, remember);
  QFETCH(bool, stillThere);
  QFETCH(bool, argument);
  QFETCH(QString, expected);
  TestGraphics chosen;
  chosen.WriteText("Set/setting.txt", "");
  if (remember) {
    // As a person chooses it in a window.
    TestGraphics start;
    TestWindow window(start.Base());
    window.folderAnswer = QString::fromStdString(chosen.Base().string());
    window.dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&window.dialog));
    QTest::keyClick(&window.dialog, Qt::Key_O, Qt::ControlModifier);
  }
  if (!stillThere) std::filesystem::remove_all(chosen.Base());
  const std::string given = "/given/Graphics";
  const std::filesystem::path start =
      GraphicsFolderAtStart(argument ? std::optional<std::string>(given) : std::nullopt);
  const std::filesystem::path wanted = expected == "argument"     ? std::filesystem::path(given)
                                       : expected == "remembered" ? chosen.Base()
                                                                  : DefaultBaseFolder();
  QCOMPARE(start, wanted);
}

void WindowTest::NothingToSaveIsToldFirst() {
  TestGraphics graphics;  // no set at all
  TestWindow window(graphics.Base());
  window.texts.clear();
  window.captions.clear();
  window.saveAnswer = QDir::temp().filePath("never.png");
  window.dialog.show();
  QVERIFY(QTest::qWaitForWindowActive(&window.dialog));
  QTest::keyClick(&window.dialog, Qt::Key_S, Qt::ControlModifier);
  QCOMPARE(window.saveQuestions, 0);
  QCOMPARE(window.captions, QStringList{"画像生成"});
  QCOMPARE(
      window.texts,
      QStringList{"保存する画像がありません。\n画像セットを読み込んでから画像生成してください。"});
}

void WindowTest::SaveProposesTheSetInTheLastFolder() {
  HeroWindow hero;
  TestWindow& window = hero.window;
  QTemporaryDir output;
  window.saveAnswer = output.filePath("first.png");
  window.Control<QPushButton>(ids::kGenerate)->click();
  // A failed save is not where the person saves.
  window.saveAnswer = output.filePath("missing/second.png");
  window.Control<QPushButton>(ids::kGenerate)->click();
  window.Control<QPushButton>(ids::kGenerate)->click();
  QCOMPARE(window.saveProposals,
           (QStringList{"Hero.png", output.filePath("Hero.png"), output.filePath("Hero.png")}));
}

}  // namespace tessarin::ui_testing
