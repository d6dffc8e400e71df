#pragma once

class QString;
class QWidget;

namespace tessarin {

// A message with no icon and a single OK button, modal to parent.
void ShowPlainMessage(QWidget* parent, const QString& caption, const QString& text);

// The save dialog of image generation: PNG or all files, "png" added to a name without an
// extension, a question before overwriting. The chosen path, or "" when cancelled.
QString AskImageFileName(QWidget* parent);

}  // namespace tessarin
