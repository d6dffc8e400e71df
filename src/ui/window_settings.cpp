#include "window_settings.h"

#include <QSettings>
#include <QString>

namespace tessarin {
namespace {

constexpr const char* kSidePanelKey = "window/sidePanel";

QSettings Settings() {
  return QSettings(QString::fromUtf8(kSettingsOrganisation),
                   QString::fromUtf8(kSettingsApplication));
}

}  // namespace

bool SidePanelRemembered() {
  return Settings().value(QString::fromUtf8(kSidePanelKey), true).toBool();
}

void RememberSidePanel(bool shown) {
  Settings().setValue(QString::fromUtf8(kSidePanelKey), shown);
}

}  // namespace tessarin
