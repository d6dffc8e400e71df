#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstring>
#include <filesystem>

#include "colour_section.h"
#include "composition.h"
#include "set_extras.h"
#include "sheet_section.h"
#include "sheet_view.h"
#include "side_panel.h"
#include "test_window.h"
#include "walk_cycle_stage.h"
#include "walk_cycle_strip.h"
#include "walk_cycle_view.h"
#include "window_test.h"

namespace tessarin::ui_testing {
namespace {

const SidePanel& PanelOf(const TestWindow& window) {
  return window.dialog.Panel();
}

ColourSection& ColoursOf(const TestWindow& window) {
  return window.dialog.Panel().Colours();
}

// As a person picks an entry of a list.
void Choose(QComboBox* list, int entry) {
  list->setCurrentIndex(entry);
  emit list->activated(entry);
}

void TickEveryPart(const TestWindow& window) {
  for (int part = 0; part < kPartCount; ++part) {
    QCheckBox* box = window.Control<QCheckBox>(ids::RandomBox(part));
    if (!box->isChecked()) box->click();
  }
}

QStringList DirectionNames(const TestWindow& window) {
  const QComboBox* list = PanelOf(window).Walk().Strip()->DirectionList();
  QStringList names;
  // The last entry stands for every direction.
  for (int k = 0; k + 1 < list->count(); ++k) names << list->itemText(k);
  return names;
}

// The same size and the same bytes in every row, padding aside.
bool SamePixels(const RasterImage& a, const RasterImage& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.BitsPerPixel() != b.BitsPerPixel()) {
    return false;
  }
  const auto rowBytes = static_cast<std::size_t>(a.Width()) * std::size_t(a.BitsPerPixel() / 8);
  for (int y = 0; y < a.Height(); ++y) {
    if (std::memcmp(a.Row(y), b.Row(y), rowBytes) != 0) return false;
  }
  return true;
}

}  // namespace

void WindowTest::ColoursMatchTheCommandLine_data() {
  QTest::addColumn<unsigned>("seed");
  QTest::addColumn<QString>("fixedMaterial");
  QTest::addColumn<QString>("fixedVariant");
  QTest::addColumn<QString>("blend");
  QTest::newRow("seed 1, every material drawn") << 1u << QString() << QString() << "classic";
  QTest::newRow("seed 4, every material drawn") << 4u << QString() << QString() << "classic";
  QTest::newRow("seed 7, hair chosen, not drawn") << 7u << "hair"
                                                  << "red"
                                                  << "classic";
  QTest::newRow("seed 3, standard rule") << 3u << QString() << QString() << "standard";
}
void WindowTest::ColoursMatchTheCommandLine() {
  QFETCH(unsigned, seed);
  QFETCH(QString, fixedMaterial);
  QFETCH(QString, fixedVariant);
  QFETCH(QString, blend);
  QTemporaryDir out;
  TestWindow window(SampleGraphics());
  QCOMPARE(window.dialog.State().setName, std::string("デフォルト"));
  ColourSection& colours = ColoursOf(window);
  QCOMPARE(colours.MaterialCount(), 3);

  SetExtras extras;
  QVERIFY(ReadSetExtras(window.dialog.State().setFolder, 192, 192, extras));
  QStringList args = {
      QStringLiteral("--graphics"), QString::fromStdString(PathToUtf8(SampleGraphics())),
      QStringLiteral("--set"),      QStringLiteral("デフォルト"),
      QStringLiteral("--random"),   QStringLiteral("all"),
      QStringLiteral("--seed"),     QString::number(seed),
      QStringLiteral("--blend"),    blend,
      QStringLiteral("-o"),         out.filePath(QStringLiteral("cli.png"))};
  if (!fixedMaterial.isEmpty()) {
    int material = -1;
    for (std::size_t m = 0; m < extras.materials.size(); ++m) {
      if (QString::fromStdString(extras.materials[m].name) == fixedMaterial) material = int(m);
    }
    QVERIFY(material >= 0);
    colours.RandomBox(material)->click();
    const int entry = colours.ChoiceList(material)->findText(fixedVariant);
    QVERIFY(entry > 0);
    Choose(colours.ChoiceList(material), entry);
    args << QStringLiteral("--color") << fixedMaterial + QLatin1Char('=') + fixedVariant;
  }
  QComboBox* rule = colours.RuleList();
  rule->setCurrentIndex(rule->findData(static_cast<int>(
      blend == QLatin1String("standard") ? BlendRule::Standard : BlendRule::Classic)));

  window.dialog.SeedRandom(seed);
  TickEveryPart(window);
  window.Control<QPushButton>(ids::kRandomCompose)->click();
  const std::vector<int> choices = colours.Choices();
  QVERIFY2(std::any_of(choices.begin(), choices.end(), [](int choice) { return choice > 0; }),
           "the seed should draw some variant, or the row tests no recolouring");
  window.saveAnswer = out.filePath(QStringLiteral("window.png"));
  window.Control<QPushButton>(ids::kGenerate)->click();
  QCOMPARE(window.texts, QStringList());

  QProcess compose;
  compose.start(QStringLiteral(TESSARIN_COMPOSE), args);
  QVERIFY(compose.waitForFinished(60000));
  QVERIFY2(compose.exitCode() == 0, compose.readAllStandardError().constData());
  const QByteArray fromWindow = FileBytes(window.saveAnswer);
  QVERIFY(!fromWindow.isEmpty());
  QVERIFY(fromWindow == FileBytes(out.filePath(QStringLiteral("cli.png"))));
}

void WindowTest::StatusLineSaysWhatCouldNotBeRead_data() {
  QTest::addColumn<QByteArray>("setJson");
  QTest::addColumn<QByteArray>("credits");
  QTest::addColumn<bool>("damagedBody");
  QTest::addColumn<QStringList>("said");
  QTest::newRow("nothing wrong") << QByteArray() << QByteArray() << false << QStringList();
  QTest::newRow("grid that does not divide")
      << QByteArray(R"({"grid": {"columns": 7, "rows": 4}})") << QByteArray() << false
      << QStringList{"Hero/set.json: grid: the sheet's 40 x 24 does not divide"};
  QTest::newRow("credits without their header")
      << QByteArray() << QByteArray("file,notes\n") << false
      << QStringList{"Hero/CREDITS.csv: line 1: the header must be"};
  QTest::newRow("body image that cannot be decoded")
      << QByteArray() << QByteArray() << true << QStringList{"c.png"};
  QTest::newRow("both files and an image")
      << QByteArray("[1]") << QByteArray("x") << true
      << QStringList{"Hero/set.json: must hold a JSON object", "c.png"};
}
void WindowTest::StatusLineSaysWhatCouldNotBeRead() {
  QFETCH(QByteArray, setJson);
  QFETCH(QByteArray, credits);
  QFETCH(bool, damagedBody);
  QFETCH(QStringList, said);
  HeroWindow hero;
  if (!setJson.isEmpty()) hero.graphics.WriteText("Hero/set.json", setJson.toStdString());
  if (!credits.isEmpty()) hero.graphics.WriteText("Hero/CREDITS.csv", credits.toStdString());
  hero.graphics.WriteText("Hero/Body/c.png", "\x89PNG\r\n\x1a\n not a picture");
  hero.window.ChooseSet(0);
  if (damagedBody) hero.window.PartList(0)->setCurrentRow(3);
  QCOMPARE(hero.window.PartList(0)->count(), 4);

  const QLabel& status = PanelOf(hero.window).StatusLine();
  QCOMPARE(status.isVisibleTo(&hero.window.dialog), !said.isEmpty());
  QCOMPARE(status.text().count(QLatin1Char('\n')), std::max(0, int(said.size()) - 1));
  for (const QString& words : said)
    QVERIFY2(status.text().contains(words), qPrintable(status.text()));
  // The window goes on as for a set without the files, and no box interrupts it.
  QCOMPARE(PanelOf(hero.window).Sheet().View().Grid(), QSize(0, 0));
  QCOMPARE(hero.window.texts, QStringList());

  // Mended, and chosen again: the line goes.
  std::filesystem::remove(hero.graphics.Base() / "Hero" / "set.json");
  std::filesystem::remove(hero.graphics.Base() / "Hero" / "CREDITS.csv");
  hero.window.ChooseSet(0);
  QCOMPARE(status.text(), QString());
  QVERIFY(status.isHidden());
}

void WindowTest::WalkAndSheetFollowTheSetsExtras_data() {
  QTest::addColumn<bool>("half");
  QTest::addColumn<QSize>("grid");
  QTest::addColumn<QStringList>("directions");
  // 40 x 24 in 4 x 2 cells of 10 x 12; the half sheet keeps columns 0 and 1.
  QTest::newRow("whole sheet") << false << QSize(4, 2) << QStringList{"stride", "wave", "blink"};
  QTest::newRow("half sheet") << true << QSize(2, 2) << QStringList{"stride", "blink"};
}
void WindowTest::WalkAndSheetFollowTheSetsExtras() {
  QFETCH(bool, half);
  QFETCH(QSize, grid);
  QFETCH(QStringList, directions);
  HeroWindow hero;
  hero.graphics.WriteText("Hero/set.json", R"({"grid": {"columns": 4, "rows": 2},
    "animations": [{"name": "stride", "from": 0, "to": 1}, {"name": "wave", "from": 2, "to": 3},
                   {"name": "blink", "from": 4, "to": 5, "direction": "forward", "ms": 90}]})");
  hero.window.ChooseSet(0);
  if (half) hero.window.Control<QCheckBox>(ids::kHalfBox)->click();
  hero.window.PartList(0)->setCurrentRow(2);

  QCOMPARE(PanelOf(hero.window).Sheet().View().Grid(), grid);
  QCOMPARE(DirectionNames(hero.window), directions);
  // The walk has the composite to cut its frames from.
  const WalkCycleView& walk = PanelOf(hero.window).Walk();
  QVERIFY(walk.Stage()->HasFrames());
  QCOMPARE(PanelOf(hero.window).Sheet().View().Sheet().get(),
           &hero.window.dialog.Preview().Composite());
  QCOMPARE(hero.window.dialog.Preview().Composite().Width(), half ? 20 : 40);
}

void WindowTest::BlendRuleChangesTheComposite() {
  HeroWindow hero;
  QTemporaryDir out;
  hero.window.PartList(0)->setCurrentRow(1);  // a.png: every alpha
  hero.window.PartList(2)->setCurrentRow(1);  // long.png: translucent yellow over it
  const SetState& state = hero.window.dialog.State();
  RasterImage classic;
  RasterImage standard;
  QVERIFY(ComposeLayers(state, false, BlendRule::Classic, classic));
  QVERIFY(ComposeLayers(state, false, BlendRule::Standard, standard));
  QVERIFY(!SamePixels(classic, standard));

  QComboBox* rule = ColoursOf(hero.window).RuleList();
  QCOMPARE(rule->currentData().toInt(), static_cast<int>(BlendRule::Classic));
  QVERIFY(rule->toolTip().contains(QStringLiteral("PNG")));
  QVERIFY(SamePixels(hero.window.dialog.Preview().Composite(), classic));
  rule->setCurrentIndex(rule->findData(static_cast<int>(BlendRule::Standard)));
  QVERIFY(SamePixels(hero.window.dialog.Preview().Composite(), standard));

  // What is saved is what is shown.
  hero.window.saveAnswer = out.filePath(QStringLiteral("standard.png"));
  hero.window.Control<QPushButton>(ids::kGenerate)->click();
  RasterImage saved;
  QVERIFY(ReadImageFile(PathFromUtf8(hero.window.saveAnswer.toStdString()), saved));
  QVERIFY(SamePixels(saved, standard));
}

void WindowTest::MaterialRowsFollowTheSet_data() {
  QTest::addColumn<QByteArray>("setJson");
  QTest::addColumn<QList<QStringList>>("rows");
  QTest::newRow("no set.json") << QByteArray() << QList<QStringList>();
  QTest::newRow("set.json without palettes")
      << QByteArray(R"({"grid": {"columns": 4, "rows": 2}})") << QList<QStringList>();
  QTest::newRow("two materials") << QByteArray(R"({"palettes": {
           "skin": {"source": ["#010203"], "variants": {"Tan": ["#040506"], "dark": ["#070809"]}},
           "cloth": {"source": ["#0a0b0c"], "variants": {"blue": ["#0d0e0f"]}, "parts": ["Hair"]}}})")
                                 << QList<QStringList>{{"元の色", "blue"},
                                                       {"元の色", "Tan", "dark"}};
}
void WindowTest::MaterialRowsFollowTheSet() {
  QFETCH(QByteArray, setJson);
  QFETCH(QList<QStringList>, rows);
  HeroWindow hero;
  // Rows of a set before stay behind on none.
  hero.graphics.WriteText("Hero/set.json", R"({"palettes": {"old": {"source": ["#010203"]}}})");
  hero.window.ChooseSet(0);
  QCOMPARE(ColoursOf(hero.window).MaterialCount(), 1);
  std::filesystem::remove(hero.graphics.Base() / "Hero" / "set.json");
  if (!setJson.isEmpty()) hero.graphics.WriteText("Hero/set.json", setJson.toStdString());
  hero.window.ChooseSet(0);

  const ColourSection& colours = ColoursOf(hero.window);
  QCOMPARE(colours.MaterialCount(), int(rows.size()));
  // The blend rule's list is the section's only other one.
  QCOMPARE(colours.findChildren<QComboBox*>().size(), rows.size() + 1);
  QCOMPARE(colours.findChildren<QCheckBox*>().size(), rows.size());
  for (int m = 0; m < int(rows.size()); ++m) {
    const QComboBox* list = colours.ChoiceList(m);
    QStringList entries;
    for (int k = 0; k < list->count(); ++k) entries << list->itemText(k);
    QCOMPARE(entries, rows[m]);
    QCOMPARE(list->currentIndex(), 0);
    QVERIFY(colours.RandomBox(m)->isChecked());
  }
  QCOMPARE(PanelOf(hero.window).StatusLine().text(), QString());
}

}  // namespace tessarin::ui_testing
