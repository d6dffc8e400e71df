#include "dialog_font.h"

#include <QFont>
#include <QFontDatabase>
#include <QString>
#include <QStringList>

namespace tessarin {

QFont DialogFont(const QString& face, int pointSize) {
  // The proportional IPA face first: its Latin letters, like those of the template's face,
  // give base units of the width the layout was drawn for, which keeps the preview centre
  // inside the etched frame. The fixed-pitch faces make the window narrower.
  const QStringList candidates = {face, QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                                  QStringLiteral("Noto Sans CJK JP")};
  for (const QString& family : candidates) {
    if (QFontDatabase::hasFamily(family)) return QFont(family, pointSize);
  }
  QFont fallback;
  fallback.setPointSize(pointSize);
  return fallback;
}

}  // namespace tessarin
