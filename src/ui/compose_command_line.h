#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>

#include "character_recipe.h"

namespace tessarin {

// The tessarin-compose arguments that make the recipe's sheet as output from the sets in
// graphics: its set, its picks (a part without an image is left out: nothing is picked for
// it), every material's colours, and the half and blend options when they are not the default.
QStringList ComposeArguments(const CharacterRecipe& recipe, const std::filesystem::path& graphics,
                             const QString& output);

// One argument as the shell takes it back unchanged: as it is when it holds only characters no
// shell treats specially, else quoted (single quotes for a POSIX shell, double on Windows).
QString ShellQuoted(const QString& argument);

// The whole command, program first, for pasting into a terminal.
QString ComposeCommandLine(const CharacterRecipe& recipe, const std::filesystem::path& graphics,
                           const QString& output);

}  // namespace tessarin
