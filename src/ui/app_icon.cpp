#include "app_icon.h"

#include <QIcon>
#include <QString>

namespace tessarin {

QIcon AppIcon() {
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    icon.addFile(QStringLiteral(":/tessarin/icons/tessarin-%1.png").arg(size));
  }
  return icon;
}

}  // namespace tessarin
