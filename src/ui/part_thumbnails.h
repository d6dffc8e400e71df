#pragma once

#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>

class QImage;
class QListWidget;

namespace tessarin {

class RasterImage;

// The side a thumbnail fits in.
inline constexpr int kThumbnailSide = 128;

// The picture made to fit side x side: shrunk smoothly, or enlarged by a whole factor so that
// its pixels stay sharp. A null image for an empty one.
QImage ThumbnailOf(const RasterImage& image, int side = kThumbnailSide);

// Rich text showing the thumbnail of an image file; "" when it cannot be read.
QString ThumbnailTip(const std::filesystem::path& file, int side = kThumbnailSide);

// Shows the thumbnail of the image under the pointer as a part list's tooltip, decoding it
// only then. "[ なし ]" shows none.
class PartThumbnails : public QObject {
  Q_OBJECT

 public:
  // pathOf gives the path of a file the list names.
  using PathOf = std::function<std::filesystem::path(const QString& fileName)>;
  PartThumbnails(QListWidget* list, PathOf pathOf);

  // The tooltip for the entry at a point of the list's viewport; "" for none.
  QString TipAt(const QPoint& point) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QListWidget* list_;
  PathOf pathOf_;
};

}  // namespace tessarin
