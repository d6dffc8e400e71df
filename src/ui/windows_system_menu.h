#pragma once

class QByteArray;
class QWidget;

namespace tessarin {

// Only Windows lets a program add to its window's system menu; elsewhere these do nothing and
// the About item lives in the context menu alone.
void AppendAboutToSystemMenu(QWidget& window);
bool IsAboutSystemCommand(const QByteArray& eventType, const void* message);

}  // namespace tessarin
