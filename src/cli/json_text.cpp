#include "json_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include "text_encoding.h"

namespace tessarin::cli {
namespace {

// Sanitized first: QString::fromUtf8 alone would give one U+FFFD for a whole cut-short
// sequence, where names have always shown one for each byte.
QString JsonText(const std::string& bytes) {
  return QString::fromStdString(SanitizeUtf8(bytes));
}

QJsonArray JsonTexts(const std::vector<std::string>& texts) {
  QJsonArray array;
  for (const std::string& text : texts) array.append(JsonText(text));
  return array;
}

QJsonArray JsonNumbers(const std::vector<std::int32_t>& numbers) {
  QJsonArray array;
  for (const std::int32_t number : numbers) array.append(number);
  return array;
}

QJsonValue GridJson(const SheetGrid& grid) {
  if (grid.IsNone()) return QJsonValue::Null;
  return QJsonObject{{QStringLiteral("columns"), grid.columns},
                     {QStringLiteral("rows"), grid.rows}};
}

QJsonArray AnimationsJson(const std::vector<Animation>& animations) {
  QJsonArray array;
  for (const Animation& animation : animations) {
    array.append(QJsonObject{{QStringLiteral("name"), JsonText(animation.name)},
                             {QStringLiteral("from"), animation.from},
                             {QStringLiteral("to"), animation.to},
                             {QStringLiteral("direction"), PlaybackName(animation.playback)},
                             {QStringLiteral("ms"), animation.ms}});
  }
  return array;
}

QJsonObject PalettesJson(const std::vector<PaletteDescription>& palettes) {
  QJsonObject object;
  for (const PaletteDescription& palette : palettes) {
    object.insert(JsonText(palette.material), JsonTexts(palette.variants));
  }
  return object;
}

QJsonObject CreditsJson(const std::vector<ImageCredit>& credits) {
  QJsonObject object;
  for (const ImageCredit& credit : credits) {
    object.insert(JsonText(credit.image),
                  QJsonObject{{QStringLiteral("authors"), JsonTexts(credit.authors)},
                              {QStringLiteral("licenses"), JsonTexts(credit.licenses)}});
  }
  return object;
}

std::string OneLine(const QJsonObject& object) {
  return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

}  // namespace

std::string SetNamesJson(const std::vector<std::string>& sets) {
  return OneLine({{QStringLiteral("sets"), JsonTexts(sets)}});
}

std::string SetDescriptionJson(const SetDescription& set) {
  QJsonArray parts;
  for (const PartDescription& part : set.parts) {
    QJsonObject object{{QStringLiteral("index"), part.index},
                       {QStringLiteral("name"), JsonText(part.name)},
                       {QStringLiteral("priority"), part.priority},
                       {QStringLiteral("found"), part.found},
                       {QStringLiteral("images"), JsonTexts(part.images)},
                       {QStringLiteral("credits"), CreditsJson(part.credits)}};
    if (part.leavesSet) object.insert(QStringLiteral("leaves_set"), true);
    parts.append(object);
  }
  return OneLine({{QStringLiteral("set"), JsonText(set.name)},
                  {QStringLiteral("width"), set.width},
                  {QStringLiteral("height"), set.height},
                  {QStringLiteral("parts"), parts},
                  {QStringLiteral("order_keys"), JsonNumbers(set.orderKeys)},
                  {QStringLiteral("draw_order"), JsonNumbers(set.drawOrder)},
                  {QStringLiteral("grid"), GridJson(set.grid)},
                  {QStringLiteral("animations"), AnimationsJson(set.animations)},
                  {QStringLiteral("palettes"), PalettesJson(set.palettes)}});
}

}  // namespace tessarin::cli
