// Draws the application icon at the sizes desktops ask for: three sprite-sheet layers fanned
// out, the front one carrying a small pixel figure. Output goes to the folder given.

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <cstdio>

namespace {

// The figure on the front layer, on a 10 x 12 grid: 0 empty, 1 outline, 2 hair, 3 skin, 4 cloth.
constexpr const char* kFigure[] = {
    "..111111..", ".12222221.", "1222222221", "1233333321", "1231331321", ".13333331.",
    "..144441..", ".14444441.", "1314444131", ".14411441.", ".141..141.", "..1....1..",
};

QColor FigureColour(char cell) {
  switch (cell) {
    case '1': return QColor(40, 30, 50);
    case '2': return QColor(230, 150, 60);
    case '3': return QColor(250, 215, 180);
    case '4': return QColor(70, 110, 200);
    default: return Qt::transparent;
  }
}

QImage DrawIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal unit = size / 64.0;
  const QColor layers[] = {QColor(52, 70, 120), QColor(60, 150, 150), QColor(250, 244, 228)};
  for (int i = 0; i < 3; ++i) {
    const QRectF card(unit * (4 + 8 * i), unit * (20 - 8 * i), unit * 36, unit * 40);
    painter.setPen(QPen(QColor(30, 30, 40), unit * 2));
    painter.setBrush(layers[i]);
    painter.drawRoundedRect(card, unit * 5, unit * 5);
  }
  // Pixel art stays crisp: whole pixels, no smoothing.
  painter.setRenderHint(QPainter::Antialiasing, false);
  const qreal cell = unit * 2.5;
  const QPointF origin(unit * 20 + (unit * 36 - 10 * cell) / 2, unit * 4 + (unit * 40 - 12 * cell) / 2);
  for (int row = 0; row < 12; ++row) {
    for (int column = 0; column < 10; ++column) {
      const QColor colour = FigureColour(kFigure[row][column]);
      if (colour.alpha() == 0) continue;
      painter.fillRect(QRectF(origin.x() + column * cell, origin.y() + row * cell, cell, cell), colour);
    }
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: draw_icon OUTPUT_FOLDER\n");
    return 1;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QString path = folder.filePath(QStringLiteral("tessarin-%1.png").arg(size));
    if (!DrawIcon(size).save(path)) {
      std::fprintf(stderr, "draw_icon: cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
