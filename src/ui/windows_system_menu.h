#pragma once

class QByteArray;
class QString;
class QWidget;

namespace tessarin {

// What a person chose in the window's system menu from the items added below.
enum class SystemMenuCommand { None, About, SidePanel };

// Only Windows lets a program add to its window's system menu; elsewhere these do nothing and
// the items live in the context menu alone. The side panel's item carries a check mark.
void AppendToSystemMenu(QWidget& window, const QString& sidePanelItem, bool sidePanelShown);
void CheckSidePanelInSystemMenu(QWidget& window, bool shown);
SystemMenuCommand SystemMenuCommandOf(const QByteArray& eventType, const void* message);

}  // namespace tessarin
