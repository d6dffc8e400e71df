#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include "colour_section.h"
#include "compose_command_line.h"
#include "recipe_section.h"
#include "side_panel.h"
#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {
namespace {

// Runs a command line in a shell, in folder, with this build's tessarin-compose first on the
// path; its standard output.
QByteArray RunInShell(const QString& command, const QString& folder) {
  QProcess shell;
  shell.setWorkingDirectory(folder);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("PATH"),
                     QFileInfo(QStringLiteral(TESSARIN_COMPOSE)).absolutePath() + QLatin1Char(':') +
                         environment.value(QStringLiteral("PATH")));
  shell.setProcessEnvironment(environment);
  shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
  if (!shell.waitForFinished(60000) || shell.exitCode() != 0) {
    qWarning("%s", shell.readAllStandardError().constData());
    return "failed";
  }
  return shell.readAllStandardOutput();
}

}  // namespace

void WindowTest::ShellTakesQuotedArgumentsBack_data() {
  QTest::addColumn<QString>("argument");
  QTest::newRow("plain") << "--pick";
  QTest::newRow("path") << "/tmp/a-b_c.d/e=f";
  QTest::newRow("space") << "two words";
  QTest::newRow("quote") << "it's";
  QTest::newRow("quotes of both kinds") << "'\"'";
  QTest::newRow("shell characters") << "$HOME `id` *.png; a|b && c\\d";
  QTest::newRow("Japanese") << "体=light.png";
  QTest::newRow("empty") << "";
  QTest::newRow("line break") << "a\nb";
}
void WindowTest::ShellTakesQuotedArgumentsBack() {
  QFETCH(QString, argument);
  const QString quoted = ShellQuoted(argument);
  QCOMPARE(RunInShell(QStringLiteral("printf '%s|' ") + quoted, QDir::tempPath()),
           (argument + QLatin1Char('|')).toUtf8());
}

// The recipe saved and the command copied both make, through tessarin-compose, the very file
// the window saves.
void WindowTest::RecipeAndCommandMakeTheWindowsSheet_data() {
  QTest::addColumn<unsigned>("seed");
  QTest::addColumn<bool>("half");
  QTest::addColumn<bool>("standard");
  QTest::newRow("seed 2") << 2u << false << false;
  QTest::newRow("seed 5, half, standard rule") << 5u << true << true;
}
void WindowTest::RecipeAndCommandMakeTheWindowsSheet() {
  QFETCH(unsigned, seed);
  QFETCH(bool, half);
  QFETCH(bool, standard);
  QTemporaryDir out;
  TestWindow window(SampleGraphics());
  QCOMPARE(window.dialog.State().setName, std::string("デフォルト"));
  window.dialog.SeedRandom(seed);
  for (int part = 0; part < kPartCount; ++part) {
    QCheckBox* box = window.Control<QCheckBox>(ids::RandomBox(part));
    if (!box->isChecked()) box->click();
  }
  if (half) window.Control<QCheckBox>(ids::kHalfBox)->click();
  ColourSection& colours = window.dialog.Panel().Colours();
  if (standard) colours.RuleList()->setCurrentIndex(1);
  window.Control<QPushButton>(ids::kRandomCompose)->click();

  window.saveAnswer = out.filePath(QStringLiteral("window.png"));
  window.Control<QPushButton>(ids::kGenerate)->click();
  window.recipeAnswer = out.filePath(QStringLiteral("hero.json"));
  window.dialog.Panel().Recipe().SaveButton()->click();
  QCOMPARE(window.texts, QStringList());
  // Beside the sheet just saved, named after the set.
  QCOMPARE(window.recipeProposals, QStringList{out.filePath(QStringLiteral("デフォルト.json"))});
  const QString graphics = QString::fromStdString(PathToUtf8(window.dialog.State().baseFolder));
  QVERIFY(RunInShell(QStringLiteral("tessarin-compose --graphics ") + ShellQuoted(graphics) +
                         QStringLiteral(" --recipe hero.json -o recipe.png"),
                     out.path())
              .startsWith("wrote "));

  window.dialog.Panel().Recipe().CopyButton()->click();
  const QString command = QGuiApplication::clipboard()->text();
  QVERIFY(command.startsWith(QStringLiteral("tessarin-compose --graphics ")));
  QVERIFY(RunInShell(command, out.path()).startsWith("wrote "));

  const QByteArray fromWindow = FileBytes(window.saveAnswer);
  QVERIFY(!fromWindow.isEmpty());
  QVERIFY(fromWindow == FileBytes(out.filePath(QStringLiteral("recipe.png"))));
  QVERIFY(fromWindow == FileBytes(out.filePath(QStringLiteral("デフォルト.png"))));
}

}  // namespace tessarin::ui_testing
