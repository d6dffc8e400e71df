#include "character_recipe.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>

#include "recipe_object.h"

namespace tessarin {
namespace {

QString Text(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

Status Refused(const std::string& key, const std::string& why) {
  return Status::Error(key + ": " + why);
}

Status ReadPicks(const QJsonValue& value, CharacterRecipe& recipe) {
  if (!value.isObject()) return Refused("picks", "must be an object of part: file or null");
  const QJsonObject picks = value.toObject();
  for (auto pick = picks.begin(); pick != picks.end(); ++pick) {
    const std::string part = pick.key().toStdString();
    if (pick.value().isNull()) {
      recipe.picks.emplace_back(part, std::nullopt);
    } else if (pick.value().isString() && !pick.value().toString().isEmpty()) {
      recipe.picks.emplace_back(part, pick.value().toString().toStdString());
    } else {
      return Refused("picks." + part, "must be a file name or null");
    }
  }
  return Status::Ok();
}

Status ReadColours(const QJsonValue& value, CharacterRecipe& recipe) {
  if (value.isUndefined()) return Status::Ok();
  if (!value.isObject()) return Refused("colors", "must be an object of material: variant");
  const QJsonObject colours = value.toObject();
  for (auto colour = colours.begin(); colour != colours.end(); ++colour) {
    const std::string material = colour.key().toStdString();
    if (!colour.value().isString() || colour.value().toString().isEmpty()) {
      return Refused("colors." + material, "must be a variant name or \"source\"");
    }
    recipe.colours.emplace_back(material, colour.value().toString().toStdString());
  }
  return Status::Ok();
}

Status ReadRecipeObject(const QJsonObject& object, CharacterRecipe& recipe) {
  const QJsonValue set = object.value("set");
  if (!set.isString() || set.toString().isEmpty()) return Refused("set", "must be a set name");
  recipe.set = set.toString().toStdString();
  if (Status read = ReadPicks(object.value("picks"), recipe); !read) return read;
  if (Status read = ReadColours(object.value("colors"), recipe); !read) return read;
  const QJsonValue half = object.value("half");
  if (!half.isUndefined() && !half.isBool()) return Refused("half", "must be true or false");
  recipe.half = half.toBool(false);
  const QJsonValue blend = object.value("blend");
  if (blend.isUndefined() || blend.toString() == "classic") {
    recipe.blend = BlendRule::Classic;
  } else if (blend.toString() == "standard") {
    recipe.blend = BlendRule::Standard;
  } else {
    return Refused("blend", "must be \"classic\" or \"standard\"");
  }
  return Status::Ok();
}

}  // namespace

CharacterRecipe RecipeOf(const SetState& state, const PartSelection& files,
                         std::vector<std::pair<std::string, std::string>> colours, bool half,
                         BlendRule blend) {
  CharacterRecipe recipe;
  recipe.set = state.setName;
  for (int k = 0; k < kPartCount; ++k) {
    const std::string& name = state.partNames[k];
    if (name.empty()) continue;
    // JSON keys are unique: a part whose name an earlier one has goes by its index. So does
    // one named like a part index, which a reader takes as the index.
    bool named = name.size() == 1 && name[0] >= '0' && name[0] < '0' + kPartCount;
    for (const auto& pick : recipe.picks) named = named || pick.first == name;
    std::optional<std::string> file;
    if (!files[k].empty()) file = files[k];
    recipe.picks.emplace_back(named ? std::to_string(k) : name, std::move(file));
  }
  recipe.colours = std::move(colours);
  recipe.half = half;
  recipe.blend = blend;
  return recipe;
}

QJsonObject RecipeObject(const CharacterRecipe& recipe) {
  QJsonObject picks;
  for (const auto& pick : recipe.picks) {
    picks.insert(Text(pick.first), pick.second ? QJsonValue(Text(*pick.second)) : QJsonValue());
  }
  QJsonObject colours;
  for (const auto& colour : recipe.colours) colours.insert(Text(colour.first), Text(colour.second));
  QJsonObject object;
  object.insert("set", Text(recipe.set));
  object.insert("picks", picks);
  object.insert("colors", colours);
  object.insert("half", recipe.half);
  object.insert("blend", recipe.blend == BlendRule::Standard ? "standard" : "classic");
  return object;
}

std::string RecipeJson(const CharacterRecipe& recipe) {
  return QJsonDocument(RecipeObject(recipe)).toJson(QJsonDocument::Compact).toStdString();
}

Status ParseRecipe(std::string_view json, CharacterRecipe& recipe) {
  recipe = CharacterRecipe();
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(
      QByteArray::fromRawData(json.data(), static_cast<qsizetype>(json.size())), &error);
  if (error.error != QJsonParseError::NoError) {
    return Status::Error("not JSON at byte " + std::to_string(error.offset) + ": " +
                         error.errorString().toStdString());
  }
  if (!document.isObject()) return Status::Error("must hold a JSON object");
  QJsonObject object = document.object();
  // A sheet's metadata carries the recipe that made it.
  if (!object.contains("set") && object.value("meta").toObject().contains("tessarin")) {
    const QJsonValue held = object.value("meta").toObject().value("tessarin");
    if (!held.isObject()) return Refused("meta.tessarin", "must be a recipe object");
    object = held.toObject();
  }
  Status read = ReadRecipeObject(object, recipe);
  if (!read) recipe = CharacterRecipe();
  return read;
}

}  // namespace tessarin
