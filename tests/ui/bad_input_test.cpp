// The window on folders that hold what they should not, or change while it is open: it goes
// on working, says what the person must know, and never crashes.

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <random>

#include "../model/address_space_limit.h"
#include "../model/faulty_targets.h"
#include "image_file.h"
#include "test_window.h"
#include "ui_strings.h"
#include "window_test.h"

namespace tessarin::ui_testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNoPngSuite = "PngSuite's broken files";

fs::path PngSuiteFolder() {
  return fs::path(__FILE__).parent_path() / ".." / ".." / ".." / "shared" / "pngsuite" / "png";
}

QByteArray ReadAll(const fs::path& path) {
  QFile file(QString::fromStdString(path.string()));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Entries(const QListWidget& list) {
  QStringList entries;
  for (int row = 0; row < list.count(); ++row) entries << list.item(row)->text();
  return entries;
}

int DefinedParts(const TestWindow& window) {
  int defined = 0;
  for (int part = 0; part < kPartCount; ++part) {
    if (window.Control<QLabel>(ids::PartLabel(part))->text() != "---") ++defined;
  }
  return defined;
}

}  // namespace

void WindowTest::BadImagesLeaveTheirSlotEmpty_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<bool>("decodes");
  TestGraphics scratch;
  scratch.WritePng("a.png", 16, 8, [](int, int) { return qRgba(10, 20, 30, 255); });
  const QByteArray png = ReadAll(scratch.Base() / "a.png");
  QByteArray corrupt = png;
  for (qsizetype i = corrupt.indexOf("IDAT") + 4, end = i + 8; i < end; ++i) {
    corrupt[i] = static_cast<char>(~corrupt[i]);
  }
  QByteArray huge = png;
  huge.replace(16, 8, QByteArray("\0\x01\x86\xA0\0\x01\x86\xA0", 8));  // 100000 x 100000
  RasterImage image;
  ReadImageFile(scratch.Base() / "a.png", image);
  WriteImageFile(image, scratch.Base() / "a.bmp");

  QTest::newRow("zero.png") << QByteArray() << false;
  QTest::newRow("truncated.png") << png.left(png.size() / 2) << false;
  QTest::newRow("corrupt.png") << corrupt << false;
  QTest::newRow("huge.png") << huge << false;
  QTest::newRow("bmp.png") << ReadAll(scratch.Base() / "a.bmp") << true;
  if (!fs::is_directory(PngSuiteFolder())) {
    QTest::newRow(kNoPngSuite) << QByteArray() << false;
    return;
  }
  for (const auto& entry : fs::directory_iterator(PngSuiteFolder())) {
    const std::string name = entry.path().filename().string();
    if (name[0] == 'x' && entry.path().extension() == ".png") {
      QTest::newRow(name.c_str()) << ReadAll(entry.path()) << false;
    }
  }
}
void WindowTest::BadImagesLeaveTheirSlotEmpty() {
  QFETCH(QByteArray, bytes);
  QFETCH(bool, decodes);
  const std::string file = QTest::currentDataTag();
  if (file == kNoPngSuite) QSKIP(("no PngSuite at " + PngSuiteFolder().string()).c_str());
  TestGraphics graphics;
  graphics.WriteText("Set/setting.txt", "Xsize:16\nYsize:8\nBody=1\n");
  graphics.WritePng("Set/Body/a.png", 16, 8, [](int, int) { return qRgba(10, 20, 30, 255); });
  graphics.WriteText("Set/Body/" + file, std::string_view(bytes.constData(), bytes.size()));
  fs::create_directories(graphics.Base() / "Set" / "Body" / "x.png");
  TestWindow window(graphics.Base());

  QCOMPARE(Entries(*window.PartList(0)), (QStringList{"[ なし ]", "a.png", file.c_str()}));
  window.PartList(0)->setCurrentRow(2);
  const SetState& state = window.dialog.State();
  QCOMPARE(state.layers[MainSlot(0)].IsEmpty(), !decodes);
  QVERIFY(window.texts.isEmpty());
  QCOMPARE(window.dialog.Preview().Composite().Width(), 16);
  // And the window still works.
  window.PartList(0)->setCurrentRow(1);
  QVERIFY(!state.layers[MainSlot(0)].IsEmpty());
  QCOMPARE(window.dialog.Preview().Composite().PixelAt(3, 3), 0xFF0A141Eu);
}

void WindowTest::UnreadableCompanionsAreToldOnce_data() {
  QTest::addColumn<QString>("companion");
  QTest::addColumn<QString>("says");  // empty: nothing is told
  QTest::newRow("missing") << ""
                           << "";
  QTest::newRow("not an image") << "garbage"
                                << "Cannot decode";
  QTest::newRow("FIFO") << "fifo"
                        << "not a regular file";
  QTest::newRow("link to /dev/zero") << "zero"
                                     << "not a regular file";
}
void WindowTest::UnreadableCompanionsAreToldOnce() {
  QFETCH(QString, companion);
  QFETCH(QString, says);
  TestGraphics graphics;
  graphics.WriteText("Set/setting.txt", "Xsize:16\nYsize:8\nBody=1\n");
  graphics.WritePng("Set/Body/a.png", 16, 8, [](int, int) { return qRgba(10, 20, 30, 255); });
  const fs::path path = graphics.Base() / "Set" / "Body" / "a$.png";
  if (companion == "garbage") graphics.WriteText("Set/Body/a$.png", "not a png");
  if (companion == "fifo") QCOMPARE(mkfifo(path.c_str(), 0644), 0);
  if (companion == "zero") fs::create_symlink("/dev/zero", path);
  TestWindow window(graphics.Base());

  const SetState& state = window.dialog.State();
  const int told = says.isEmpty() ? 0 : 1;
  for (int time = 0; time < 2; ++time) {
    window.PartList(0)->setCurrentRow(1);
    QVERIFY(!state.layers[MainSlot(0)].IsEmpty());
    QVERIFY(state.layers[CompanionSlot(0)].IsEmpty());
    window.PartList(0)->setCurrentRow(0);
  }
  QCOMPARE(window.texts.size(), told);
  if (told == 0) return;
  QCOMPARE(window.captions[0], "警告");
  QVERIFY2(window.texts[0].contains("a$.png") && window.texts[0].contains(says),
           qPrintable(window.texts[0]));
}

void WindowTest::BadSettingFilesStillOpen_data() {
  QTest::addColumn<QByteArray>("setting");
  QTest::addColumn<int>("parts");  // -1: whatever garbage gives, at most eight
  QTest::addColumn<bool>("warns");
  QTest::addColumn<qint64>("sparseSize");  // the file made this long with NULs not stored
  std::mt19937 random(4);
  QByteArray garbage(1 << 16, '\0');
  for (char& byte : garbage) byte = static_cast<char>(random());
  QByteArray many = "Xsize:8\nYsize:8\n";
  for (int i = 0; i < 1000; ++i) many += "p" + QByteArray::number(i) + "=1\n";
  QTest::newRow("binary garbage") << garbage << -1 << false << qint64{0};
  QTest::newRow("NUL bytes") << QByteArray("Xsize:8\0\nYsize:8\na=1\0b=2\n\0=3\n", 29) << 1 << false
                             << qint64{0};
  QTest::newRow("not code page 932")
      << QByteArray("\x81\x39=1\n\x85\x40=2\n") << 2 << false << qint64{0};
  QTest::newRow("50 MiB in one line")
      << "Xsize:8\nYsize:8\nh=1" + QByteArray(50 << 20, 'x') << 1 << false << qint64{0};
  QTest::newRow("1000 part lines") << many << 8 << false << qint64{0};
  QTest::newRow("1 GiB, sparse") << QByteArray("Xsize:8\nYsize:8\nh=1\n") << 1 << false
                                 << (qint64{1} << 30);
  QTest::newRow("a folder") << QByteArray() << 0 << true << qint64{0};
}
void WindowTest::BadSettingFilesStillOpen() {
  QFETCH(QByteArray, setting);
  QFETCH(int, parts);
  QFETCH(bool, warns);
  QFETCH(qint64, sparseSize);
  TestGraphics graphics;
  // Shown at start, and after "Bad" in the list.
  graphics.WriteText("デフォルト/setting.txt", "Xsize:8\nYsize:8\nBody=1\n");
  if (warns) {
    fs::create_directories(graphics.Base() / "Bad" / "setting.txt");
  } else {
    graphics.WriteText("Bad/setting.txt", std::string_view(setting.constData(), setting.size()));
    if (sparseSize != 0) fs::resize_file(graphics.Base() / "Bad" / "setting.txt", sparseSize);
  }
  TestWindow window(graphics.Base());
  {
    // Less than the largest file: none is read whole.
    const testing::AddressSpaceLimit limit(std::size_t{512} << 20);
    window.ChooseSet(0);  // "Bad"
  }
  QCOMPARE(window.texts.size(), warns ? 1 : 0);
  if (parts >= 0) {
    QCOMPARE(DefinedParts(window), parts);
  } else {
    QVERIFY(DefinedParts(window) <= kPartCount);
  }
  for (int part = 0; part < kPartCount; ++part) window.PartList(part)->setCurrentRow(0);
  window.ChooseSet(1);
  QCOMPARE(DefinedParts(window), 1);
  QCOMPARE(window.dialog.Preview().Composite().Width(), 8);
}

void WindowTest::OpensOnLoopsAndCrowds() {
  TestGraphics graphics;
  graphics.WriteText("Crowd/setting.txt", "Xsize:8\nYsize:8\nBody=1\n");
  for (int i = 0; i < 10000; ++i) {
    graphics.WriteText("Crowd/Body/" + std::to_string(i) + ".png", "");
  }
  fs::create_directory_symlink(".", graphics.Base() / "Loop");
  fs::create_directory_symlink("..", graphics.Base() / "Crowd" / "Body" / "up.png");
  TestWindow window(graphics.Base());
  QCOMPARE(window.Control<QComboBox>(ids::kSetList)->count(), 2);
  QCOMPARE(window.PartList(0)->count(), 10001);
  window.ChooseSet(1);  // "Loop": Graphics itself, without a setting file
  QCOMPARE(window.texts.size(), 1);
  QVERIFY(window.texts[0].contains("[ Loop ]"));
}

void WindowTest::FoldersChangingUnderTheWindow_data() {
  QTest::addColumn<QString>("from");
  QTest::addColumn<QString>("to");  // "": deleted
  QTest::addColumn<bool>("warns");
  QTest::addColumn<QStringList>("bodyEntries");
  const QStringList nothing = {"[ なし ]"};
  QTest::newRow("part folder deleted") << "Hero/Body"
                                       << "" << false << nothing;
  QTest::newRow("part folder renamed") << "Hero/Body"
                                       << "Hero/Torso" << false << nothing;
  QTest::newRow("set folder deleted") << "Hero"
                                      << "" << true << nothing;
  QTest::newRow("set folder renamed") << "Hero"
                                      << "Villain" << true << nothing;
  QTest::newRow("image deleted") << "Hero/Body/b.png"
                                 << "" << false << QStringList{"[ なし ]", "a.png"};
}
void WindowTest::FoldersChangingUnderTheWindow() {
  QFETCH(QString, from);
  QFETCH(QString, to);
  QFETCH(bool, warns);
  QFETCH(QStringList, bodyEntries);
  HeroWindow hero;
  const fs::path base = hero.graphics.Base();
  if (to.isEmpty()) {
    fs::remove_all(base / from.toStdString());
  } else {
    fs::rename(base / from.toStdString(), base / to.toStdString());
  }

  // The lists still show what was there: choosing from them loads nothing that is gone.
  hero.window.PartList(0)->setCurrentRow(2);  // b.png
  hero.window.PartList(2)->setCurrentRow(1);  // long.png
  const SetState& state = hero.window.dialog.State();
  QVERIFY(state.layers[MainSlot(0)].IsEmpty());
  QCOMPARE(state.layers[MainSlot(2)].IsEmpty(), warns);
  QVERIFY(hero.window.texts.isEmpty());

  hero.window.ChooseSet(0);
  QCOMPARE(hero.window.texts.size(), warns ? 1 : 0);
  QCOMPARE(Entries(*hero.window.PartList(0)), bodyEntries);
  QCOMPARE(DefinedParts(hero.window), warns ? 0 : 3);
  QCOMPARE(hero.window.dialog.Preview().Composite().Width(), warns ? 0 : 40);
}

void WindowTest::FailedSavesSayWhy_data() {
  QTest::addColumn<int>("fault");
  for (const testing::SaveFault fault : testing::kSaveFaults) {
    QTest::newRow(testing::SaveFaultName(fault)) << static_cast<int>(fault);
  }
}
void WindowTest::FailedSavesSayWhy() {
  QFETCH(int, fault);
  if (fault == static_cast<int>(testing::SaveFault::DiskFillsMidway)) {
    QSKIP("the window's sheet fits in the room that fault leaves; the model tests cover it");
  }
  HeroWindow hero;
  QTemporaryDir output;
  const testing::FaultyTarget target(static_cast<testing::SaveFault>(fault),
                                     PathFromUtf8(output.path().toStdString()));
  if (!target.Skip().empty()) QSKIP(target.Skip().c_str());
  const auto before = target.Snapshot();
  hero.window.PartList(0)->setCurrentRow(1);
  hero.window.saveAnswer = QString::fromStdString(PathToUtf8(target.Path()));
  hero.window.Control<QPushButton>(ids::kGenerate)->click();

  QCOMPARE(hero.window.captions, QStringList{strings::kSaveCaption});
  QVERIFY(hero.window.texts[0].contains(QDir::toNativeSeparators(hero.window.saveAnswer)));
  QVERIFY2(hero.window.texts[0].contains(QString::fromStdString(target.Reason())),
           qPrintable(hero.window.texts[0]));
  QVERIFY(target.Snapshot() == before);
}

}  // namespace tessarin::ui_testing
