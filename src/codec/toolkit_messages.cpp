#include "toolkit_messages.h"

#include <QMessageLogContext>
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <cstring>

namespace tessarin {
namespace {

std::atomic<QtMessageHandler> previousHandler{nullptr};

bool FromImageCodec(const QMessageLogContext& context, const QString& text) {
  constexpr const char* kImageCategory = "qt.gui.imageio";
  if (context.category != nullptr &&
      std::strncmp(context.category, kImageCategory, std::strlen(kImageCategory)) == 0) {
    return true;
  }
  return text.startsWith(QLatin1String("libpng "));
}

void DropImageCodecMessages(QtMsgType type, const QMessageLogContext& context,
                            const QString& text) {
  if (type != QtFatalMsg && FromImageCodec(context, text)) return;
  if (const QtMessageHandler previous = previousHandler.load()) previous(type, context, text);
}

}  // namespace

void QuietToolkitImageMessages() {
  static const bool installed = [] {
    previousHandler.store(qInstallMessageHandler(DropImageCodecMessages));
    return true;
  }();
  static_cast<void>(installed);
}

}  // namespace tessarin
