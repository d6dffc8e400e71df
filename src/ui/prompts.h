#pragma once

#include <QString>

class QWidget;

namespace tessarin {

// A message with no icon and a single OK button, modal to parent.
void ShowPlainMessage(QWidget* parent, const QString& caption, const QString& text);

// The save dialog of image generation: PNG or all files, "png" added to a name without an
// extension, a question before overwriting, proposed (a path or a bare name) offered first.
// Given withMetadata, a box offers to write the sheet's metadata files too, ticked as it says,
// and it takes the person's choice. The chosen path, or "" when cancelled.
QString AskImageFileName(QWidget* parent, const QString& proposed = QString(),
                         bool* withMetadata = nullptr);

// The save dialog of a recipe: JSON or all files, "json" added to a name without an extension,
// proposed offered first. The chosen path, or "" when cancelled.
QString AskRecipeFileName(QWidget* parent, const QString& proposed);

// The open dialog of a recipe: JSON or all files, starting in folder. The chosen path, or ""
// when cancelled.
QString AskRecipeToOpen(QWidget* parent, const QString& folder);

// The folder to take image sets from, starting at current; "" when cancelled.
QString AskGraphicsFolder(QWidget* parent, const QString& current);

}  // namespace tessarin
