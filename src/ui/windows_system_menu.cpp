#include "windows_system_menu.h"

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>

#include <string>

#include "control_ids.h"
#include "ui_strings.h"
#endif

namespace tessarin {

#ifdef Q_OS_WIN
namespace {

HMENU SystemMenuOf(QWidget& window) {
  return GetSystemMenu(reinterpret_cast<HWND>(window.winId()), FALSE);
}

}  // namespace
#endif

void AppendToSystemMenu(QWidget& window, const QString& sidePanelItem, bool sidePanelShown) {
#ifdef Q_OS_WIN
  HMENU menu = SystemMenuOf(window);
  const std::wstring about = strings::Translated(strings::kAboutMenuItem).toStdWString();
  const std::wstring panel = sidePanelItem.toStdWString();
  if (menu == nullptr || about.empty()) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, ids::kAboutCommandId, about.c_str());
  AppendMenuW(menu, MF_STRING | (sidePanelShown ? MF_CHECKED : MF_UNCHECKED),
              ids::kSidePanelCommandId, panel.c_str());
#else
  Q_UNUSED(window);
  Q_UNUSED(sidePanelItem);
  Q_UNUSED(sidePanelShown);
#endif
}

void CheckSidePanelInSystemMenu(QWidget& window, bool shown) {
#ifdef Q_OS_WIN
  HMENU menu = SystemMenuOf(window);
  if (menu == nullptr) return;
  CheckMenuItem(menu, ids::kSidePanelCommandId, MF_BYCOMMAND | (shown ? MF_CHECKED : MF_UNCHECKED));
#else
  Q_UNUSED(window);
  Q_UNUSED(shown);
#endif
}

SystemMenuCommand SystemMenuCommandOf(const QByteArray& eventType, const void* message) {
#ifdef Q_OS_WIN
  if (eventType != "windows_generic_MSG") return SystemMenuCommand::None;
  const MSG* msg = static_cast<const MSG*>(message);
  if (msg->message != WM_SYSCOMMAND) return SystemMenuCommand::None;
  // The low four bits of a system command are the system's own.
  switch (msg->wParam & 0xFFF0) {
    case ids::kAboutCommandId:
      return SystemMenuCommand::About;
    case ids::kSidePanelCommandId:
      return SystemMenuCommand::SidePanel;
    default:
      return SystemMenuCommand::None;
  }
#else
  Q_UNUSED(eventType);
  Q_UNUSED(message);
  return SystemMenuCommand::None;
#endif
}

}  // namespace tessarin
