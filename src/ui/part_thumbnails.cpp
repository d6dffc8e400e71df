#include "part_thumbnails.h"

#include <QBuffer>
#include <QHelpEvent>
#include <QImage>
#include <QListWidget>
#include <QToolTip>
#include <algorithm>

#include "image_file.h"
#include "raster_image.h"

namespace tessarin {

QImage ThumbnailOf(const RasterImage& image, int side) {
  const int width = image.Width();
  const int height = image.Height();
  if (image.IsNull() || height <= 0) return {};
  const int longest = std::max(width, height);
  // Enlarged by hand: Qt's scaling would round faint pixels through premultiplied alpha.
  const int factor = longest < side ? side / longest : 1;
  QImage picture(width * factor, height * factor, QImage::Format_ARGB32);
  for (int y = 0; y < picture.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
    // The standard rule: a palette's or a colour key's transparency shows as it will be drawn.
    for (int x = 0; x < picture.width(); ++x) {
      row[x] = image.PixelAt(x / factor, y / factor, BlendRule::Standard);
    }
  }
  if (longest <= side) return picture;
  return picture.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QString ThumbnailTip(const std::filesystem::path& file, int side) {
  RasterImage image;
  if (!ReadImageFile(file, image)) return {};
  const QImage thumbnail = ThumbnailOf(image, side);
  if (thumbnail.isNull()) return {};
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  thumbnail.save(&buffer, "PNG");
  return QStringLiteral("<img src=\"data:image/png;base64,%1\" width=\"%2\" height=\"%3\">")
      .arg(QString::fromLatin1(png.toBase64()))
      .arg(thumbnail.width())
      .arg(thumbnail.height());
}

PartThumbnails::PartThumbnails(QListWidget* list, PathOf pathOf)
    : QObject(list), list_(list), pathOf_(std::move(pathOf)) {
  list_->viewport()->installEventFilter(this);
}

QString PartThumbnails::TipAt(const QPoint& point) const {
  const QListWidgetItem* item = list_->itemAt(point);
  // Row 0 is "[ なし ]".
  if (item == nullptr || list_->row(item) <= 0) return {};
  return ThumbnailTip(pathOf_(item->text()));
}

bool PartThumbnails::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QObject::eventFilter(watched, event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const QString tip = TipAt(help->pos());
  if (tip.isEmpty()) {
    QToolTip::hideText();
  } else {
    const QListWidgetItem* item = list_->itemAt(help->pos());
    QToolTip::showText(help->globalPos(), tip, list_->viewport(), list_->visualItemRect(item));
  }
  return true;
}

}  // namespace tessarin
