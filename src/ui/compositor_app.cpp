#include "compositor_app.h"

#include <QStringList>
#include <filesystem>

#include "app_icon.h"
#include "compositor_dialog.h"
#include "folder_layout.h"

namespace tessarin {

CompositorApp::CompositorApp(int& argc, char** argv) : application_(argc, argv) {
  QApplication::setApplicationName(QStringLiteral("Tessarin"));
  QApplication::setApplicationVersion(QStringLiteral("1.1"));
  QApplication::setDesktopFileName(QStringLiteral("tessarin"));
  QApplication::setWindowIcon(AppIcon());
}

int CompositorApp::Run() {
  // Qt has taken its own options out of the arguments by now.
  const QStringList arguments = QApplication::arguments();
  const std::filesystem::path baseFolder =
      arguments.size() > 1 ? PathFromUtf8(arguments.at(1).toStdString()) : DefaultBaseFolder();
  CompositorDialog dialog(baseFolder);
  dialog.exec();
  return 0;
}

}  // namespace tessarin
