#include "compositor_app.h"

#include <filesystem>
#include <optional>
#include <string>

#include "app_icon.h"
#include "compositor_dialog.h"
#include "start_folder.h"
#include "window_settings.h"

namespace tessarin {

CompositorApp::CompositorApp(int& argc, char** argv, Language language)
    : application_(argc, argv), translators_(language) {
  // Qt has taken its own options out of argv by now, and main the language flag. The bytes are
  // kept as they are, which arguments() would not do for a name that is not UTF-8.
  if (argc > 1) {
    baseFolderArgument_ = argv[1];
    hasBaseFolderArgument_ = true;
  }
  QApplication::setApplicationName(QStringLiteral("Tessarin"));
  QApplication::setOrganizationName(QString::fromUtf8(kSettingsOrganisation));
  QApplication::setApplicationVersion(QStringLiteral("1.1"));
  QApplication::setDesktopFileName(QStringLiteral("tessarin"));
  QApplication::setWindowIcon(AppIcon());
}

int CompositorApp::Run() {
  const std::filesystem::path baseFolder = GraphicsFolderAtStart(
      hasBaseFolderArgument_ ? std::optional<std::string>(baseFolderArgument_) : std::nullopt);
  CompositorDialog dialog(baseFolder);
  dialog.exec();
  return 0;
}

}  // namespace tessarin
