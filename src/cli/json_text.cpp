#include "json_text.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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
                       {QStringLiteral("images"), JsonTexts(part.images)}};
    if (part.leavesSet) object.insert(QStringLiteral("leaves_set"), true);
    parts.append(object);
  }
  return OneLine({{QStringLiteral("set"), JsonText(set.name)},
                  {QStringLiteral("width"), set.width},
                  {QStringLiteral("height"), set.height},
                  {QStringLiteral("parts"), parts},
                  {QStringLiteral("order_keys"), JsonNumbers(set.orderKeys)},
                  {QStringLiteral("draw_order"), JsonNumbers(set.drawOrder)}});
}

}  // namespace tessarin::cli
