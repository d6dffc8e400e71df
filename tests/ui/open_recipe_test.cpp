#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>

#include "choice_history.h"
#include "colour_section.h"
#include "recipe_section.h"
#include "side_panel.h"
#include "test_window.h"
#include "window_choices.h"
#include "window_test.h"

namespace tessarin::ui_testing {
namespace {

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  QCOMPARE(file.write(bytes), bytes.size());
}

// The composite the window shows: its size and the bytes of its rows.
QByteArray Shown(const TestWindow& window) {
  const RasterImage& image = window.dialog.Preview().Composite();
  QByteArray bytes = QByteArray::number(image.Width()) + 'x' + QByteArray::number(image.Height());
  const auto rowBytes = static_cast<qsizetype>(image.Width()) * image.BitsPerPixel() / 8;
  for (int y = 0; y < image.Height(); ++y) {
    bytes.append(reinterpret_cast<const char*>(image.Row(y)), rowBytes);
  }
  return bytes;
}

WindowChoices Now(const TestWindow& window) {
  return CaptureChoices(window.dialog.Choices());
}

// As a person picks an entry of a list.
void Choose(QComboBox* list, int entry) {
  list->setCurrentIndex(entry);
  emit list->activated(entry);
}

void OpenRecipe(TestWindow& window, const QString& file) {
  window.openAnswer = file;
  window.dialog.Panel().Recipe().OpenButton()->click();
}

// Runs tessarin-compose; its exit code, and its error output in a failed check.
int Compose(const QStringList& args) {
  QProcess compose;
  compose.start(QStringLiteral(TESSARIN_COMPOSE), args);
  if (!compose.waitForFinished(60000)) return -1;
  if (compose.exitCode() != 0) qWarning("%s", compose.readAllStandardError().constData());
  return compose.exitCode();
}

}  // namespace

// A recipe the window saves brings another window to the same character.
void WindowTest::OpenedRecipeGivesTheSavedChoices_data() {
  QTest::addColumn<int>("set");
  QTest::addColumn<QList<int>>("rows");
  QTest::addColumn<int>("colour");
  QTest::addColumn<bool>("half");
  QTest::addColumn<bool>("standard");
  QTest::newRow("picks") << 0 << QList<int>{2, 0, 2} << 0 << false << false;
  QTest::newRow("a colour variant, half, standard rule")
      << 0 << QList<int>{1, 0, 1} << 2 << true << true;
  QTest::newRow("nothing picked, a variant") << 0 << QList<int>{0, 0, 0} << 1 << false << false;
  QTest::newRow("the other set") << 1 << QList<int>{1} << -1 << true << false;
}
void WindowTest::OpenedRecipeGivesTheSavedChoices() {
  QFETCH(int, set);
  QFETCH(QList<int>, rows);
  QFETCH(int, colour);
  QFETCH(bool, half);
  QFETCH(bool, standard);
  TwoSetWindow saved;
  TestWindow& from = saved.window;
  from.ChooseSet(set);
  for (int part = 0; part < rows.size(); ++part) {
    if (from.PartList(part)->isEnabled()) from.PartList(part)->setCurrentRow(rows[part]);
  }
  ColourSection& colours = from.dialog.Panel().Colours();
  if (colour >= 0) Choose(colours.ChoiceList(0), colour);
  if (half) from.Control<QCheckBox>(ids::kHalfBox)->click();
  if (standard) Choose(colours.RuleList(), 1);
  QTemporaryDir out;
  from.recipeAnswer = out.filePath(QStringLiteral("saved.json"));
  from.dialog.Panel().Recipe().SaveButton()->click();
  QCOMPARE(from.texts, QStringList());

  // Showing the set the recipe does not name, with something picked.
  TestWindow to(saved.graphics.Base());
  to.ChooseSet(1 - set);
  to.PartList(0)->setCurrentRow(1);
  OpenRecipe(to, from.recipeAnswer);
  QCOMPARE(to.texts, QStringList());
  QCOMPARE(to.openQuestions, 1);
  const WindowChoices want = Now(from);
  const WindowChoices got = Now(to);
  QCOMPARE(got.setName, want.setName);
  QCOMPARE(got.files, want.files);
  QCOMPARE(got.colours, want.colours);
  QCOMPARE(got.half, want.half);
  QCOMPARE(got.blend, want.blend);
  QCOMPARE(to.dialog.State().setName, want.setName);
  // The window composes what it shows.
  QVERIFY(Shown(to) == Shown(from));
}

// The window makes of a recipe the sheet tessarin-compose --recipe makes, byte for byte.
void WindowTest::OpenedRecipeMakesTheCommandLinesSheet_data() {
  QTest::addColumn<QByteArray>("recipe");
  QTest::newRow("picks by name and index, files without case")
      << QByteArray(R"({"set": "デフォルト", "picks": {"体": "light.png", "髪": "PONY.PNG",
                    "3": "tunic.png", "下半身": "skirt.png", "装飾1": "cloak.png"}})");
  QTest::newRow("colour variants, half, standard rule")
      << QByteArray(R"({"set": "デフォルト", "picks": {"体": "light.png", "髪": "long.png",
                    "上半身": "robe.PNG", "装飾1": "cape_red.png", "装飾2": null},
                    "colors": {"skin": "dark", "HAIR": "silver", "cloth": "source"},
                    "half": true, "blend": "standard"})");
  QTest::newRow("set, parts and files without case")
      << QByteArray(R"({"set": "SLIME", "picks": {"body": "GREEN.png", "eyes": "angry.PNG",
                    "3": "glow.png", "Hat": "none"}, "blend": "classic"})");
  // Written by tessarin-compose --metadata for the row.
  QTest::newRow("a sheet's metadata") << QByteArray();
}
void WindowTest::OpenedRecipeMakesTheCommandLinesSheet() {
  QFETCH(QByteArray, recipe);
  QTemporaryDir out;
  const QString graphics = QString::fromStdString(PathToUtf8(SampleGraphics()));
  QString file = out.filePath(QStringLiteral("recipe.json"));
  if (recipe.isEmpty()) {
    QCOMPARE(
        Compose({QStringLiteral("--graphics"), graphics, QStringLiteral("--set"),
                 QStringLiteral("デフォルト"), QStringLiteral("--random"), QStringLiteral("all"),
                 QStringLiteral("--seed"), QStringLiteral("11"), QStringLiteral("--blend"),
                 QStringLiteral("standard"), QStringLiteral("--metadata"), QStringLiteral("-o"),
                 out.filePath(QStringLiteral("metadata.png"))}),
        0);
    file = out.filePath(QStringLiteral("metadata.json"));
  } else {
    WriteBytes(file, recipe);
  }

  TestWindow window(SampleGraphics());
  OpenRecipe(window, file);
  QCOMPARE(window.texts, QStringList());
  window.saveAnswer = out.filePath(QStringLiteral("window.png"));
  window.Control<QPushButton>(ids::kGenerate)->click();
  QCOMPARE(window.texts, QStringList());
  QCOMPARE(Compose({QStringLiteral("--graphics"), graphics, QStringLiteral("--recipe"), file,
                    QStringLiteral("-o"), out.filePath(QStringLiteral("cli.png"))}),
           0);
  const QByteArray fromWindow = FileBytes(window.saveAnswer);
  QVERIFY(!fromWindow.isEmpty());
  QVERIFY(fromWindow == FileBytes(out.filePath(QStringLiteral("cli.png"))));
  if (recipe.isEmpty())
    QVERIFY(fromWindow == FileBytes(out.filePath(QStringLiteral("metadata.png"))));
}

// A recipe that cannot be shown whole is told in one line naming its file, and nothing of
// the window changes; a cancelled question says nothing.
void WindowTest::BadRecipesChangeNothing_data() {
  QTest::addColumn<QByteArray>("recipe");
  QTest::addColumn<QString>("said");
  QTest::newRow("cancelled") << QByteArray() << QString();
  QTest::newRow("no such file") << QByteArray() << "No such file";
  QTest::newRow("not JSON") << QByteArray(R"({"set": "Hero",)") << "not JSON at byte";
  QTest::newRow("not a recipe") << QByteArray("[1]") << "must hold a JSON object";
  QTest::newRow("unknown set") << QByteArray(R"({"set": "Villain", "picks": {}})")
                               << "no set 'Villain' in ";
  QTest::newRow("unknown part") << QByteArray(R"({"set": "Hero", "picks": {"Hat2": null}})")
                                << "no part 'Hat2' in set 'Hero' (parts: 0 'Body', 1 'Hat', "
                                   "2 'Hair')";
  QTest::newRow("a part twice")
      << QByteArray(R"({"set": "Hero", "picks": {"Body": "a.png", "0": "b.png"}})")
      << "part 0 'Body' picked twice";
  QTest::newRow("missing image")
      << QByteArray(R"({"set": "Hero", "picks": {"Hair": "long.png", "Body": "c.png"}})")
      << "no image 'c.png' in ";
  QTest::newRow("image of a part without its folder")
      << QByteArray(R"({"set": "Hero", "picks": {"Hat": "cap.png"}})") << "Hat not found";
  QTest::newRow("unknown palette")
      << QByteArray(R"({"set": "Hero", "picks": {"Body": "a.png"}, "colors": {"eyes": "red"}})")
      << "no palette 'eyes' in set.json (skin)";
  QTest::newRow("unknown variant, after good picks")
      << QByteArray(R"({"set": "Hero", "picks": {"Body": "a.png", "Hair": "long.png"},
                    "colors": {"skin": "green"}})")
      << "palette 'skin' has no variant 'green' (source, dark, pale)";
}
void WindowTest::BadRecipesChangeNothing() {
  QFETCH(QByteArray, recipe);
  QFETCH(QString, said);
  TwoSetWindow tiny;
  TestWindow& window = tiny.window;
  window.ChooseSet(1);
  window.PartList(0)->setCurrentRow(1);
  window.Control<QCheckBox>(ids::kHalfBox)->click();
  const WindowChoices before = Now(window);
  const int steps = window.dialog.History().Stack().count();
  const QByteArray composite = Shown(window);

  QTemporaryDir out;
  const QString file = out.filePath(QStringLiteral("bad.json"));
  if (!recipe.isEmpty()) WriteBytes(file, recipe);
  OpenRecipe(window, said.isEmpty() ? QString() : file);
  QCOMPARE(window.openQuestions, 1);
  if (said.isEmpty()) {
    QCOMPARE(window.texts, QStringList());
  } else {
    QCOMPARE(window.texts.size(), 1);
    const QString& text = window.texts.constFirst();
    QVERIFY2(text.contains(file) && text.contains(said), qPrintable(text));
    QVERIFY2(!text.contains(QLatin1Char('\n')), qPrintable(text));
  }
  QVERIFY(Now(window) == before);
  QCOMPARE(window.dialog.State().setName, std::string("Tiny"));
  QCOMPARE(window.dialog.History().Stack().count(), steps);
  QVERIFY(Shown(window) == composite);
}

// Opening a recipe is one step: undo shows the character before it again, redo the recipe's.
void WindowTest::UndoTakesBackAnOpenedRecipe_data() {
  QTest::addColumn<int>("startSet");
  QTest::newRow("from the other set") << 1;
  QTest::newRow("from the same set") << 0;
}
void WindowTest::UndoTakesBackAnOpenedRecipe() {
  QFETCH(int, startSet);
  TwoSetWindow hero;
  TestWindow& window = hero.window;
  window.ChooseSet(startSet);
  window.PartList(0)->setCurrentRow(1);
  if (startSet == 0) {
    window.PartList(2)->setCurrentRow(1);
    Choose(window.dialog.Panel().Colours().ChoiceList(0), 2);
  }
  const WindowChoices before = Now(window);
  const QByteArray composite = Shown(window);
  const int steps = window.dialog.History().Stack().count();

  QTemporaryDir out;
  const QString file = out.filePath(QStringLiteral("hero.json"));
  WriteBytes(file, R"({"set": "Hero", "picks": {"Body": "b.png", "Hair": "Short.PNG"},
                       "colors": {"skin": "dark"}, "half": true, "blend": "standard"})");
  OpenRecipe(window, file);
  QCOMPARE(window.texts, QStringList());
  const WindowChoices after = Now(window);
  QCOMPARE(after.files[0], std::string("b.png"));
  QCOMPARE(after.files[2], std::string("Short.PNG"));
  QCOMPARE(after.colours, std::vector<int>{1});
  QVERIFY(after.half);
  QCOMPARE(after.blend, BlendRule::Standard);
  QCOMPARE(window.dialog.History().Stack().count(), steps + 1);

  window.dialog.History().UndoAction()->trigger();
  QVERIFY(Now(window) == before);
  QCOMPARE(window.dialog.State().setName, before.setName);
  QVERIFY(Shown(window) == composite);
  window.dialog.History().RedoAction()->trigger();
  QVERIFY(Now(window) == after);
  QCOMPARE(window.dialog.State().setName, std::string("Hero"));
}

}  // namespace tessarin::ui_testing
