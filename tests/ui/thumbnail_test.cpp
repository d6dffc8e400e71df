#include <QHelpEvent>
#include <QImage>
#include <QRegularExpression>
#include <QTest>
#include <QToolTip>

#include "part_thumbnails.h"
#include "test_window.h"
#include "window_test.h"

namespace tessarin::ui_testing {
namespace {

QRgb ColourAt(int x, int y) {
  return qRgba((37 * x) % 256, (53 * y) % 256, (x + y) % 256, (x * 7 + y) % 256);
}

// The picture a tooltip's data URL holds; null when it holds none.
QImage PictureOf(const QString& tip) {
  const QRegularExpressionMatch match =
      QRegularExpression(QStringLiteral("data:image/png;base64,([A-Za-z0-9+/=]+)")).match(tip);
  if (!match.hasMatch()) return {};
  return QImage::fromData(QByteArray::fromBase64(match.captured(1).toLatin1()), "PNG");
}

}  // namespace

void WindowTest::ThumbnailsFitTheirSide_data() {
  QTest::addColumn<QSize>("image");
  QTest::addColumn<QSize>("thumbnail");
  QTest::addColumn<int>("factor");  // 0: shrunk
  QTest::newRow("40 x 24 enlarged 3 times") << QSize(40, 24) << QSize(120, 72) << 3;
  QTest::newRow("one pixel") << QSize(1, 1) << QSize(128, 128) << 128;
  QTest::newRow("exactly the side") << QSize(128, 20) << QSize(128, 20) << 1;
  QTest::newRow("more than half the side") << QSize(70, 70) << QSize(70, 70) << 1;
  QTest::newRow("wide, shrunk") << QSize(512, 128) << QSize(128, 32) << 0;
  QTest::newRow("tall, shrunk") << QSize(100, 400) << QSize(32, 128) << 0;
}
void WindowTest::ThumbnailsFitTheirSide() {
  QFETCH(QSize, image);
  QFETCH(QSize, thumbnail);
  QFETCH(int, factor);
  TestGraphics graphics;
  graphics.WritePng("t.png", image.width(), image.height(), ColourAt);
  const QImage shown = PictureOf(ThumbnailTip(graphics.Base() / "t.png"));
  QCOMPARE(shown.size(), thumbnail);
  if (factor == 0) return;
  // Enlarged, each pixel becomes a sharp block of its own colour.
  for (int y = 0; y < thumbnail.height(); y += 3) {
    for (int x = 0; x < thumbnail.width(); x += 5) {
      QCOMPARE(shown.pixel(x, y), ColourAt(x / factor, y / factor));
    }
  }
}

void WindowTest::UnreadableFilesShowNoThumbnail() {
  TestGraphics graphics;
  graphics.WriteText("bad.png", "not a picture");
  QCOMPARE(ThumbnailTip(graphics.Base() / "bad.png"), QString());
  QCOMPARE(ThumbnailTip(graphics.Base() / "missing.png"), QString());
}

void WindowTest::PartListsShowThumbnailsOnHover_data() {
  QTest::addColumn<int>("part");
  QTest::addColumn<int>("row");
  QTest::addColumn<QString>("file");  // "" for no tooltip
  QTest::newRow("Body a.png") << 0 << 1 << "Hero/Body/a.png";
  QTest::newRow("Hair Short.PNG") << 2 << 2 << "Hero/Hair/Short.PNG";
  QTest::newRow("[ なし ]") << 0 << 0 << "";
  QTest::newRow("below the entries") << 0 << -1 << "";
}
void WindowTest::PartListsShowThumbnailsOnHover() {
  QFETCH(int, part);
  QFETCH(int, row);
  QFETCH(QString, file);
  HeroWindow hero;
  hero.window.dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&hero.window.dialog));
  QListWidget* list = hero.window.PartList(part);
  const QPoint at = row >= 0 ? list->visualItemRect(list->item(row)).center()
                             : QPoint(4, list->viewport()->height() - 2);
  QToolTip::hideText();
  QHelpEvent hover(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
  QApplication::sendEvent(list->viewport(), &hover);

  const QString tip = QToolTip::isVisible() ? QToolTip::text() : QString();
  if (file.isEmpty()) {
    QVERIFY(tip.isEmpty());
    return;
  }
  const QImage shown = PictureOf(tip);
  RasterImage image;
  QVERIFY(ReadImageFile(hero.graphics.Base() / PathFromUtf8(file.toStdString()), image).IsOk());
  QCOMPARE(shown.size(), QSize(120, 72));
  QCOMPARE(shown.pixel(7, 5), image.PixelAt(2, 1, BlendRule::Standard));
  QToolTip::hideText();
}

}  // namespace tessarin::ui_testing
