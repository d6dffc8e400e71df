#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <string>
#include <vector>

#include "credits_section.h"
#include "prompts.h"
#include "recipe_section.h"
#include "side_panel.h"
#include "test_window.h"
#include "window_settings.h"
#include "window_test.h"

namespace tessarin::ui_testing {
namespace {

// The sample set with other terms: one hair style attributed, one under either of two
// licences, the upper-body clothes under a third.
const char kMixedCredits[] =
    "filename,notes,authors,licenses,urls\n"
    ".,,Tessarin contributors,CC0-1.0,\n"
    "髪/long.png,,Ann,CC-BY-4.0,https://example.org/ann\n"
    "髪/Pony.png,,Bo,\"CC-BY-4.0, CC0-1.0\",\n"
    "上半身,,Cy,OFL-1.1,\n";

// A copy of the sample set, which tests may change.
std::filesystem::path CopyOfSampleSet(const TestGraphics& graphics, const char* credits) {
  const std::filesystem::path sample = SampleGraphics() / PathFromUtf8("デフォルト");
  const std::filesystem::path copy = graphics.Base() / PathFromUtf8("デフォルト");
  std::filesystem::copy(sample, copy, std::filesystem::copy_options::recursive);
  if (credits) graphics.WriteText("デフォルト/CREDITS.csv", credits);
  return graphics.Base();
}

void TickEveryPart(const TestWindow& window) {
  for (int part = 0; part < kPartCount; ++part) {
    QCheckBox* box = window.Control<QCheckBox>(ids::RandomBox(part));
    if (!box->isChecked()) box->click();
  }
}

// tessarin-compose with these arguments; its error output when it fails, else "".
QString RunCompose(const QStringList& arguments) {
  QProcess compose;
  compose.start(QStringLiteral(TESSARIN_COMPOSE), arguments);
  if (!compose.waitForFinished(60000)) return QStringLiteral("did not finish");
  if (compose.exitCode() != 0) return QString::fromUtf8(compose.readAllStandardError());
  return {};
}

QStringList CreditLines(const TestWindow& window) {
  return window.dialog.Panel().Credits().Lines().toPlainText().split(QLatin1Char('\n'));
}

void SelectFile(const TestWindow& window, int part, const QString& file) {
  QListWidget* list = window.PartList(part);
  const QList<QListWidgetItem*> found = list->findItems(file, Qt::MatchExactly);
  QVERIFY(!found.isEmpty());
  list->setCurrentItem(found.constFirst());
}

}  // namespace

// The page lists every image the character is drawn from, companions too, as the person
// changes it.
void WindowTest::CreditsFollowTheCharacter() {
  TestGraphics graphics;
  const TestWindow window(CopyOfSampleSet(graphics, kMixedCredits));
  for (int part = 0; part < kPartCount; ++part) window.PartList(part)->setCurrentRow(0);
  QCOMPARE(CreditLines(window), QStringList{QString()});

  SelectFile(window, 1, QStringLiteral("long.png"));
  SelectFile(window, 3, QStringLiteral("robe.PNG"));
  QCOMPARE(CreditLines(window),
           (QStringList{"髪/long.png: 作者 Ann、ライセンス CC-BY-4.0 (https://example.org/ann)",
                        "髪/long$.png: 作者 Tessarin contributors、ライセンス CC0-1.0",
                        "上半身/robe.PNG: 作者 Cy、ライセンス OFL-1.1"}));
  window.PartList(1)->setCurrentRow(0);
  QCOMPARE(CreditLines(window), QStringList{"上半身/robe.PNG: 作者 Cy、ライセンス OFL-1.1"});
}

void WindowTest::CreditsSayWhatIsNotRecorded() {
  HeroWindow hero;
  hero.window.PartList(0)->setCurrentRow(1);
  const QStringList lines = CreditLines(hero.window);
  QCOMPARE(lines.size(), 2);
  QVERIFY(lines[0].contains(QStringLiteral("CREDITS.csv")));
  QCOMPARE(lines[1], QStringLiteral("Body/a.png: クレジットの記録なし"));
  // Nothing to filter by.
  QVERIFY(!hero.window.dialog.Panel().Credits().LicenceButton()->isEnabled());
}

// Random composition under chosen licences draws what tessarin-compose --license draws, to the
// byte; a part with no allowed image is left empty.
void WindowTest::LicenceFilterDrawsAsTheCommandLine_data() {
  QTest::addColumn<unsigned>("seed");
  QTest::addColumn<QStringList>("licences");
  QTest::addColumn<QString>("upperBody");
  QTest::newRow("free art only, seed 3") << 3u << QStringList{"CC0-1.0"} << QString();
  QTest::newRow("free or attributed, seed 8")
      << 8u << QStringList{"CC-BY-4.0", "CC0-1.0"} << QString();
  QTest::newRow("only the upper body's licence, seed 5")
      << 5u << QStringList{"OFL-1.1"} << QStringLiteral("any");
  QTest::newRow("no licence chosen takes any image, seed 11") << 11u << QStringList() << "any";
}
void WindowTest::LicenceFilterDrawsAsTheCommandLine() {
  QFETCH(unsigned, seed);
  QFETCH(QStringList, licences);
  QFETCH(QString, upperBody);
  TestGraphics graphics;
  QTemporaryDir out;
  TestWindow window(CopyOfSampleSet(graphics, kMixedCredits));
  CreditsSection& credits = window.dialog.Panel().Credits();
  QCOMPARE(credits.LicenceButton()->menu()->actions().size(), 3);
  std::vector<std::string> allowed;
  for (const QString& licence : licences) allowed.push_back(licence.toStdString());
  credits.SetAllowedLicences(allowed);
  QCOMPARE(credits.LicenceButton()->text(),
           licences.isEmpty() ? QStringLiteral("制限なし") : licences.join(QStringLiteral(", ")));
  // What the upper body shows beforehand must not survive a filter that allows none of it.
  window.PartList(3)->setCurrentRow(1);
  window.dialog.SeedRandom(seed);
  TickEveryPart(window);
  window.Control<QPushButton>(ids::kRandomCompose)->click();
  QCOMPARE(window.SelectedRow(3) > 0, !upperBody.isEmpty());
  window.saveAnswer = out.filePath(QStringLiteral("window.png"));
  window.Control<QPushButton>(ids::kGenerate)->click();
  QCOMPARE(window.texts, QStringList());

  QStringList arguments = {
      QStringLiteral("--graphics"), QString::fromStdString(PathToUtf8(graphics.Base())),
      QStringLiteral("--set"),      QStringLiteral("デフォルト"),
      QStringLiteral("--random"),   QStringLiteral("all"),
      QStringLiteral("--seed"),     QString::number(seed),
      QStringLiteral("-o"),         out.filePath(QStringLiteral("cli.png"))};
  if (!licences.isEmpty()) arguments << QStringLiteral("--license") << licences.join(',');
  QCOMPARE(RunCompose(arguments), QString());
  const QByteArray fromWindow = FileBytes(window.saveAnswer);
  QVERIFY(!fromWindow.isEmpty());
  QVERIFY(fromWindow == FileBytes(out.filePath(QStringLiteral("cli.png"))));
}

// Saved with its metadata, the sheet gets the very JSON and credits files that
// tessarin-compose --metadata writes for its recipe; the choice is offered again next time.
void WindowTest::MetadataIsWrittenAsTheCommandLineWritesIt_data() {
  QTest::addColumn<unsigned>("seed");
  QTest::addColumn<bool>("half");
  QTest::addColumn<bool>("withMetadata");
  QTest::newRow("seed 4") << 4u << false << true;
  QTest::newRow("seed 9, half") << 9u << true << true;
  QTest::newRow("without metadata") << 4u << false << false;
}
void WindowTest::MetadataIsWrittenAsTheCommandLineWritesIt() {
  QFETCH(unsigned, seed);
  QFETCH(bool, half);
  QFETCH(bool, withMetadata);
  RememberSaveMetadata(false);
  TestGraphics graphics;
  QTemporaryDir out;
  QVERIFY(QDir(out.path()).mkpath(QStringLiteral("window")));
  TestWindow window(CopyOfSampleSet(graphics, kMixedCredits));
  window.dialog.SeedRandom(seed);
  TickEveryPart(window);
  if (half) window.Control<QCheckBox>(ids::kHalfBox)->click();
  window.Control<QPushButton>(ids::kRandomCompose)->click();
  window.saveAnswer = out.filePath(QStringLiteral("window/hero.png"));
  window.metadataAnswer = withMetadata;
  window.Control<QPushButton>(ids::kGenerate)->click();
  window.Control<QPushButton>(ids::kGenerate)->click();
  QCOMPARE(window.metadataOffers, (QList<bool>{false, withMetadata}));
  window.recipeAnswer = out.filePath(QStringLiteral("recipe.json"));
  window.dialog.Panel().Recipe().SaveButton()->click();
  QCOMPARE(window.texts, QStringList());

  const QString json = out.filePath(QStringLiteral("window/hero.json"));
  const QString creditsText = out.filePath(QStringLiteral("window/hero.credits.txt"));
  QCOMPARE(QFile::exists(json), withMetadata);
  QCOMPARE(QFile::exists(creditsText), withMetadata);
  if (!withMetadata) return;
  QVERIFY(QDir(out.path()).mkpath(QStringLiteral("cli")));
  QCOMPARE(
      RunCompose({QStringLiteral("--graphics"), QString::fromStdString(PathToUtf8(graphics.Base())),
                  QStringLiteral("--recipe"), window.recipeAnswer, QStringLiteral("--metadata"),
                  QStringLiteral("-o"), out.filePath(QStringLiteral("cli/hero.png"))}),
      QString());
  QVERIFY(FileBytes(json).contains("\"frameTags\""));
  QCOMPARE(FileBytes(json), FileBytes(out.filePath(QStringLiteral("cli/hero.json"))));
  QCOMPARE(FileBytes(creditsText), FileBytes(out.filePath(QStringLiteral("cli/hero.credits.txt"))));
  QVERIFY(FileBytes(creditsText).contains("licensed"));
}

// The save dialog itself shows the box as it was last left, and gives back what the person
// ticks.
void WindowTest::SaveDialogOffersMetadata_data() {
  QTest::addColumn<bool>("offered");
  QTest::addColumn<bool>("ticked");
  QTest::newRow("not ticked, ticked") << false << true;
  QTest::newRow("ticked, left") << true << false;
}
void WindowTest::SaveDialogOffersMetadata() {
  QFETCH(bool, offered);
  QFETCH(bool, ticked);
  QTemporaryDir out;
  const QString target = out.filePath(QStringLiteral("sheet.png"));
  bool shownTicked = !offered;
  bool answered = false;
  QTimer person;
  connect(&person, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("saveOption"));
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    // Answered once: a dialog still open after that is cancelled, and the test fails.
    if (box == nullptr || name == nullptr || answered) {
      dialog->reject();
      return;
    }
    answered = true;
    shownTicked = box->isChecked();
    if (ticked) box->click();
    // Typed, as a person does: selectFile() leaves the name alone while the field has the
    // focus, which it may have by then.
    name->setText(target);
    QMetaObject::invokeMethod(dialog, "accept");
  });
  person.start(10);
  bool withMetadata = offered;
  QCOMPARE(AskImageFileName(nullptr, QString(), &withMetadata), target);
  QCOMPARE(shownTicked, offered);
  QCOMPARE(withMetadata, offered != ticked);
}

}  // namespace tessarin::ui_testing
