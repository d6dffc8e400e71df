#include "save_proposal.h"

#include <QDir>
#include <QFileInfo>

#include "ui_strings.h"
#include "window_settings.h"

namespace tessarin {

QString ProposedSaveFile(const std::string& setName) {
  const QString name =
      (setName.empty() ? QStringLiteral("tessarin") : QString::fromStdString(setName)) +
      QLatin1Char('.') + QString::fromUtf8(strings::kDefaultSuffix);
  const QString folder = RememberedSaveFolder();
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) return name;
  return QDir(folder).filePath(name);
}

void RememberSavedFile(const QString& file) {
  RememberSaveFolder(QFileInfo(file).absolutePath());
}

}  // namespace tessarin
