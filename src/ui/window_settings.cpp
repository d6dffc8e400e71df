#include "window_settings.h"

#include <QSettings>
#include <QString>

#include "folder_layout.h"

namespace tessarin {
namespace {

constexpr const char* kSidePanelKey = "window/sidePanel";
constexpr const char* kGraphicsFolderKey = "window/graphicsFolder";
constexpr const char* kSaveFolderKey = "window/saveFolder";
constexpr const char* kSaveMetadataKey = "window/saveMetadata";

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

std::optional<std::filesystem::path> RememberedGraphicsFolder() {
  // Kept as bytes: a folder's name need not be UTF-8.
  const QByteArray folder = Settings().value(QString::fromUtf8(kGraphicsFolderKey)).toByteArray();
  if (folder.isEmpty()) return std::nullopt;
  return PathFromUtf8(folder.toStdString());
}

void RememberGraphicsFolder(const std::filesystem::path& folder) {
  Settings().setValue(QString::fromUtf8(kGraphicsFolderKey),
                      QByteArray::fromStdString(PathToUtf8(folder)));
}

bool SaveMetadataRemembered() {
  return Settings().value(QString::fromUtf8(kSaveMetadataKey), false).toBool();
}

void RememberSaveMetadata(bool withMetadata) {
  Settings().setValue(QString::fromUtf8(kSaveMetadataKey), withMetadata);
}

QString RememberedSaveFolder() {
  return Settings().value(QString::fromUtf8(kSaveFolderKey)).toString();
}

void RememberSaveFolder(const QString& folder) {
  Settings().setValue(QString::fromUtf8(kSaveFolderKey), folder);
}

}  // namespace tessarin
