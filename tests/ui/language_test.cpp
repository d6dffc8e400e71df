#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <vector>

#include "about_dialog.h"
#include "language_choice.h"
#include "language_flag.h"
#include "language_translators.h"
#include "prompts.h"
#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {
namespace {

// The two languages a test row may expect; "refused" for a --lang value that is neither.
QString LanguageName(const std::optional<Language>& language) {
  if (!language) return QStringLiteral("refused");
  return *language == Language::English ? QStringLiteral("en") : QStringLiteral("ja");
}

std::optional<std::string> FlagOf(const QVariant& flag) {
  if (flag.isNull()) return std::nullopt;
  return flag.toString().toStdString();
}

// What a person sees of the window, its menu and its About box, in the order of Japanese().
QStringList WhatTheWindowShows(TestWindow& window) {
  QStringList shown;
  for (const int id : {int(ids::kRandomCompose), int(ids::kGenerate), int(ids::kQuit)}) {
    shown << window.Control<QPushButton>(id)->text();
  }
  for (const int id : {int(ids::kHalfBox), int(ids::kDoubleBox), int(ids::RandomBox(0))}) {
    shown << window.Control<QCheckBox>(id)->text();
  }
  shown << window.dialog.findChild<QGroupBox*>()->title();
  shown << window.PartList(0)->item(0)->text();

  // Takes the menu's About item by its key, as the about box test does, and reads the box.
  window.dialog.show();
  if (!QTest::qWaitForWindowActive(&window.dialog)) return {};
  // A menu the key does not close is closed next time round, so the test ends either way.
  QTimer person;
  bool keyPressed = false;
  QObject::connect(&person, &QTimer::timeout, [&] {
    if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      if (keyPressed) {
        popup->close();
        return;
      }
      for (const QAction* action : popup->actions()) shown << action->text();
      QTest::keyClick(popup, Qt::Key_A);
      keyPressed = true;
    } else if (auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget())) {
      shown << about->windowTitle();
      for (const QLabel* label : about->findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) shown << label->text();
      }
      QTest::keyClick(about, Qt::Key_Escape);
    }
  });
  person.start(10);
  const QPoint at = window.dialog.rect().center();
  QContextMenuEvent click(QContextMenuEvent::Mouse, at, window.dialog.mapToGlobal(at));
  QApplication::sendEvent(&window.dialog, &click);
  return shown;
}

const QStringList& Japanese() {
  static const QStringList kTexts = {"ランダム合成",
                                     "画像生成",
                                     "終了",
                                     "左半分だけ出力(8方向→4方向化）",
                                     "2倍表示",
                                     "ﾗﾝﾀﾞﾑ",
                                     "画像セット",
                                     "[ なし ]",
                                     "バージョン情報 Tessarin(&A)...",
                                     "サイドパネル(&P)",
                                     "バージョン情報 Tessarin",
                                     "Tessarin Version 1.1"};
  return kTexts;
}
const QStringList& English() {
  static const QStringList kTexts = {"Random",
                                     "Save image...",
                                     "Quit",
                                     "Left half only (8 → 4 directions)",
                                     "2x",
                                     "Rand",
                                     "Image set",
                                     "[ none ]",
                                     "&About Tessarin...",
                                     "Side &panel",
                                     "About Tessarin",
                                     "Tessarin Version 1.1"};
  return kTexts;
}

}  // namespace

void WindowTest::LanguageFollowsLocaleAndFlag_data() {
  QTest::addColumn<QString>("locale");
  QTest::addColumn<QVariant>("flag");  // null: no --lang
  QTest::addColumn<QString>("expected");
  const QVariant none;
  QTest::newRow("en_US") << "en_US" << none << "en";
  QTest::newRow("en_GB") << "en_GB" << none << "en";
  QTest::newRow("en alone") << "en" << none << "en";
  QTest::newRow("ja_JP") << "ja_JP" << none << "ja";
  QTest::newRow("de_DE") << "de_DE" << none << "ja";
  QTest::newRow("C") << "C" << none << "ja";
  QTest::newRow("no locale name") << "" << none << "ja";
  QTest::newRow("en under ja_JP") << "ja_JP" << QVariant("en") << "en";
  QTest::newRow("ja under en_US") << "en_US" << QVariant("ja") << "ja";
  QTest::newRow("unknown language") << "en_US" << QVariant("fr") << "refused";
  QTest::newRow("capitals") << "en_US" << QVariant("EN") << "refused";
  QTest::newRow("a locale name") << "ja_JP" << QVariant("en_US") << "refused";
  QTest::newRow("no value") << "en_US" << QVariant("") << "refused";
}
void WindowTest::LanguageFollowsLocaleAndFlag() {
  QFETCH(QString, locale);
  QFETCH(QVariant, flag);
  QFETCH(QString, expected);
  QCOMPARE(LanguageName(ChooseLanguage(locale, FlagOf(flag))), expected);
  if (expected != "refused") return;
  const QString line = QString::fromStdString(LanguageFlagError(*FlagOf(flag)));
  QVERIFY(!line.contains('\n'));
  for (const QString& word :
       {QStringLiteral("--lang"), QStringLiteral("ja"), QStringLiteral("en"), flag.toString()}) {
    QVERIFY2(line.contains(word), qPrintable(line));
  }
}

void WindowTest::LanguageFlagLeavesTheRest_data() {
  QTest::addColumn<QByteArrayList>("arguments");  // after the program's name
  QTest::addColumn<QByteArrayList>("rest");
  QTest::addColumn<QVariant>("flag");  // null: none
  const QVariant none;
  QTest::newRow("nothing") << QByteArrayList{} << QByteArrayList{} << none;
  QTest::newRow("folder alone") << QByteArrayList{"G"} << QByteArrayList{"G"} << none;
  QTest::newRow("flag before the folder")
      << QByteArrayList{"--lang", "en", "G"} << QByteArrayList{"G"} << QVariant("en");
  QTest::newRow("flag after the folder")
      << QByteArrayList{"G", "--lang", "ja"} << QByteArrayList{"G"} << QVariant("ja");
  QTest::newRow("with =") << QByteArrayList{"--lang=en", "G"} << QByteArrayList{"G"}
                          << QVariant("en");
  QTest::newRow("the last one counts")
      << QByteArrayList{"--lang", "ja", "--lang=en"} << QByteArrayList{} << QVariant("en");
  QTest::newRow("no value at the end")
      << QByteArrayList{"G", "--lang"} << QByteArrayList{"G"} << QVariant("");
  QTest::newRow("bad values are taken too")
      << QByteArrayList{"--lang=fr", "G"} << QByteArrayList{"G"} << QVariant("fr");
  QTest::newRow("Qt's options stay")
      << QByteArrayList{"-platform", "offscreen", "--lang", "en", "G"}
      << QByteArrayList{"-platform", "offscreen", "G"} << QVariant("en");
  QTest::newRow("folder bytes that are not UTF-8")
      << QByteArrayList{"--lang", "en", "\xff\xfe\x82\xa0"} << QByteArrayList{"\xff\xfe\x82\xa0"}
      << QVariant("en");
  QTest::newRow("look-alikes are not the flag")
      << QByteArrayList{"--language=en", "--langen", "-lang"}
      << QByteArrayList{"--language=en", "--langen", "-lang"} << none;
}
void WindowTest::LanguageFlagLeavesTheRest() {
  QFETCH(QByteArrayList, arguments);
  QFETCH(QByteArrayList, rest);
  QFETCH(QVariant, flag);
  QByteArrayList storage = QByteArrayList{"tessarin"} + arguments;
  std::vector<char*> argv;
  for (QByteArray& argument : storage) argv.push_back(argument.data());
  argv.push_back(nullptr);
  int argc = static_cast<int>(storage.size());

  const std::optional<std::string> taken = TakeLanguageFlag(argc, argv.data());
  QCOMPARE(taken.has_value(), !flag.isNull());
  if (taken) QCOMPARE(QByteArray::fromStdString(*taken), flag.toString().toUtf8());
  QByteArrayList left;
  for (int i = 1; i < argc; ++i) left << QByteArray(argv[static_cast<std::size_t>(i)]);
  QCOMPARE(left, rest);
  QCOMPARE(QByteArray(argv[0]), QByteArray("tessarin"));
  QCOMPARE(argv[static_cast<std::size_t>(argc)], nullptr);
}

void WindowTest::WindowSpeaksTheChosenLanguage_data() {
  QTest::addColumn<QString>("locale");
  QTest::addColumn<QVariant>("flag");
  QTest::addColumn<bool>("english");
  QTest::newRow("--lang en") << "ja_JP" << QVariant("en") << true;
  QTest::newRow("English locale") << "en_US" << QVariant() << true;
  QTest::newRow("--lang ja") << "en_US" << QVariant("ja") << false;
  QTest::newRow("non-English locale") << "fr_FR" << QVariant() << false;
}
void WindowTest::WindowSpeaksTheChosenLanguage() {
  QFETCH(QString, locale);
  QFETCH(QVariant, flag);
  QFETCH(bool, english);
  const std::optional<Language> language = ChooseLanguage(locale, FlagOf(flag));
  QVERIFY(language);
  const LanguageTranslators translators(*language);
  TestGraphics graphics;
  graphics.WriteText("Good/setting.txt", "Xsize:8\nYsize:8\nBody=1\n");
  graphics.WriteText("NoSetting/Body/a.png", "");
  TestWindow window(graphics.Base());
  window.ChooseSet(1);
  window.ChooseSet(0);

  QCOMPARE(WhatTheWindowShows(window), english ? English() : Japanese());
  QCOMPARE(window.captions, QStringList{english ? "Warning" : "警告"});
  QCOMPARE(window.texts,
           QStringList{english ? "There is no Setting.txt in the [ NoSetting ] folder.\n"
                                 "Please create this file first."
                               : "[ NoSetting ] フォルダ内にSetting.txtがありません。\n"
                                 "まずこのファイルを作成してください。"});
}

void WindowTest::SaveDialogSpeaksTheChosenLanguage_data() {
  QTest::addColumn<bool>("english");
  QTest::newRow("English") << true;
  QTest::newRow("Japanese") << false;
}
void WindowTest::SaveDialogSpeaksTheChosenLanguage() {
  QFETCH(bool, english);
  const LanguageTranslators translators(english ? Language::English : Language::Japanese);
  // Qt's own texts turn Japanese where the system has their translation.
  const bool qtJapanese =
      !english && QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                                QStringLiteral("/qtbase_ja.qm"));
  QCOMPARE(translators.Count(), english || qtJapanese ? 1 : 0);

  QString title;
  QStringList filters;
  QString cancel;
  QTimer person;
  connect(&person, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    title = dialog->windowTitle();
    filters = dialog->nameFilters();
    if (auto* buttons = dialog->findChild<QDialogButtonBox*>()) {
      cancel = buttons->button(QDialogButtonBox::Cancel)->text();
    }
    dialog->reject();
  });
  person.start(10);
  QCOMPARE(AskImageFileName(nullptr), QString());

  QCOMPARE(title, english ? "Save image" : "画像生成");
  const QStringList expectedFilters = english
                                          ? QStringList{"PNG files (*.png)", "All files (*.*)"}
                                          : QStringList{"PNGファイル (*.png)", "All files(*.*)"};
  QCOMPARE(filters, expectedFilters);
  QCOMPARE(cancel, qtJapanese ? "キャンセル" : "Cancel");
}

void WindowTest::BadLanguageFlagStopsBeforeAnyWindow_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::newRow("unknown value") << QStringList{"--lang", "fr"};
  QTest::newRow("unknown value with =") << QStringList{"--lang=EN"};
  QTest::newRow("no value") << QStringList{"--lang"};
  QTest::newRow("after a folder") << QStringList{"Graphics", "--lang", "de"};
}
void WindowTest::BadLanguageFlagStopsBeforeAnyWindow() {
  QFETCH(QStringList, arguments);
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  // A platform Qt cannot start on: only a program that stops before Qt starts ends well.
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
  program.setProcessEnvironment(environment);
  program.start(QStringLiteral(TESSARIN_PROGRAM), arguments);
  QVERIFY(program.waitForStarted());
  if (!program.waitForFinished(20000)) {
    program.kill();
    program.waitForFinished();
    QFAIL("the program did not end");
  }
  QCOMPARE(program.exitStatus(), QProcess::NormalExit);
  QCOMPARE(program.exitCode(), 2);
  QCOMPARE(program.readAllStandardOutput(), QByteArray());
  const QByteArray told = program.readAllStandardError();
  QCOMPARE(told.count('\n'), 1);
  QVERIFY2(told.startsWith("tessarin: --lang takes ja or en"), told.constData());
}

}  // namespace tessarin::ui_testing
