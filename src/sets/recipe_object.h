#pragma once

#include <QJsonObject>

#include "character_recipe.h"

namespace tessarin {

// The recipe as a JSON object, for documents that hold one.
QJsonObject RecipeObject(const CharacterRecipe& recipe);

}  // namespace tessarin
