#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QTest>

#include "composition.h"
#include "image_file.h"
#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {

void WindowTest::GenerationWritesTheComposite_data() {
  QTest::addColumn<bool>("half");
  QTest::newRow("whole sheet") << false;
  QTest::newRow("left half") << true;
}
void WindowTest::GenerationWritesTheComposite() {
  QFETCH(bool, half);
  HeroWindow hero;
  QTemporaryDir output;
  hero.window.PartList(0)->setCurrentRow(1);
  hero.window.PartList(2)->setCurrentRow(1);
  if (half) hero.window.Control<QCheckBox>(ids::kHalfBox)->click();
  hero.window.saveAnswer = output.filePath("hero.png");
  hero.window.Control<QPushButton>(ids::kGenerate)->click();

  QVERIFY(hero.window.texts.isEmpty());
  RasterImage written;
  QVERIFY(ReadImageFile(PathFromUtf8(hero.window.saveAnswer.toStdString()), written).IsOk());
  QCOMPARE(QSize(written.Width(), written.Height()), QSize(half ? 20 : 40, 24));
  RasterImage composite;
  QVERIFY(ComposeLayers(hero.window.dialog.State(), half, BlendRule::Classic, composite).IsOk());
  for (int y = 0; y < written.Height(); ++y) {
    for (int x = 0; x < written.Width(); ++x)
      QCOMPARE(written.PixelAt(x, y), composite.PixelAt(x, y));
  }
}

void WindowTest::GenerationReportsAFailedSave_data() {
  QTest::addColumn<QString>("fileName");
  QTest::newRow("folder that does not exist") << "missing/hero.png";
  QTest::newRow("extension without encoder") << "hero.unknown";
  QTest::newRow("cancelled") << "";
}
void WindowTest::GenerationReportsAFailedSave() {
  QFETCH(QString, fileName);
  HeroWindow hero;
  QTemporaryDir output;
  hero.window.saveAnswer = fileName.isEmpty() ? QString() : output.filePath(fileName);
  hero.window.Control<QPushButton>(ids::kGenerate)->click();

  QCOMPARE(hero.window.texts.size(), fileName.isEmpty() ? 0 : 1);
  if (!fileName.isEmpty()) {
    QVERIFY(hero.window.texts[0].contains(QDir::toNativeSeparators(hero.window.saveAnswer)));
  }
  QVERIFY(QDir(output.path()).isEmpty());
}

}  // namespace tessarin::ui_testing
