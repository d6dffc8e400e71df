#pragma once

#include <QHash>

class QDialog;
class QIcon;
class QWidget;

namespace tessarin {

struct DialogTemplate;

// Gives dialog the template's title, font and fixed size, and creates its controls in pixels
// from the font's base units, in template order, which is also the tab order. Controls with an
// id are named "id<number>" and returned by id.
QHash<int, QWidget*> BuildDialog(QDialog& dialog, const DialogTemplate& layout, const QIcon& icon);

}  // namespace tessarin
