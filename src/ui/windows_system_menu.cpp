#include "windows_system_menu.h"

#include <QByteArray>
#include <QWidget>
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>

#include <string>

#include "control_ids.h"
#include "ui_strings.h"
#endif

namespace tessarin {

void AppendAboutToSystemMenu(QWidget& window) {
#ifdef Q_OS_WIN
  HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(window.winId()), FALSE);
  const std::wstring text = strings::Translated(strings::kAboutMenuItem).toStdWString();
  if (menu == nullptr || text.empty()) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, ids::kAboutCommandId, text.c_str());
#else
  Q_UNUSED(window);
#endif
}

bool IsAboutSystemCommand(const QByteArray& eventType, const void* message) {
#ifdef Q_OS_WIN
  if (eventType != "windows_generic_MSG") return false;
  const MSG* msg = static_cast<const MSG*>(message);
  // The low four bits of a system command are the system's own.
  return msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == ids::kAboutCommandId;
#else
  Q_UNUSED(eventType);
  Q_UNUSED(message);
  return false;
#endif
}

}  // namespace tessarin
