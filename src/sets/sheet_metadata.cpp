#include "sheet_metadata.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "animation_playback.h"
#include "folder_layout.h"
#include "recipe_object.h"

namespace tessarin {
namespace {

// The frame time of a cell that no animation shows.
constexpr int kStillFrameMs = 150;

QString Text(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

QJsonArray TextList(const std::vector<std::string>& items) {
  QJsonArray list;
  for (const std::string& item : items) list.append(Text(item));
  return list;
}

QJsonObject Rectangle(int x, int y, int w, int h) {
  return QJsonObject{{"x", x}, {"y", y}, {"w", w}, {"h", h}};
}

int CellMs(const std::vector<Animation>& animations, int cell) {
  for (const Animation& animation : animations) {
    if (cell >= std::min(animation.from, animation.to) &&
        cell <= std::max(animation.from, animation.to)) {
      return animation.ms;
    }
  }
  return kStillFrameMs;
}

// One line per frame, in cell order: a JSON object's keys would come sorted as text ("10"
// before "2"), and readers that keep the file's order would then number the frames wrongly.
std::string FramesText(const SheetMetadata& metadata) {
  const SheetCells& cells = metadata.cells;
  std::string text = "{";
  for (int cell = 0; cell < cells.columns * cells.rows; ++cell) {
    const int x = cell % cells.columns * cells.width;
    const int y = cell / cells.columns * cells.height;
    const QJsonObject frame{{"frame", Rectangle(x, y, cells.width, cells.height)},
                            {"rotated", false},
                            {"trimmed", false},
                            {"spriteSourceSize", Rectangle(0, 0, cells.width, cells.height)},
                            {"sourceSize", QJsonObject{{"w", cells.width}, {"h", cells.height}}},
                            {"duration", CellMs(metadata.animations, cell)}};
    text += (cell > 0 ? ",\n  \"" : "\n  \"") + std::to_string(cell) +
            "\": " + QJsonDocument(frame).toJson(QJsonDocument::Compact).toStdString();
  }
  return text + (cells.columns * cells.rows > 0 ? "\n }" : "}");
}

QJsonObject FrameTag(const Animation& animation) {
  const EngineTag tag = EngineTagOf(animation);
  return QJsonObject{{"name", Text(animation.name)},
                     {"from", tag.from},
                     {"to", tag.to},
                     {"direction", PlaybackName(tag.playback)}};
}

QJsonObject CreditObject(const UsedImage& image) {
  QJsonObject credit{{"file", Text(image.file)}};
  const Credit* known = image.credit;
  credit.insert("authors", TextList(known ? known->authors : std::vector<std::string>()));
  credit.insert("licenses", TextList(known ? known->licenses : std::vector<std::string>()));
  credit.insert("urls", TextList(known ? known->urls : std::vector<std::string>()));
  return credit;
}

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t k = 0; k < items.size(); ++k) text += (k > 0 ? ", " : "") + items[k];
  return text;
}

}  // namespace

std::string SpriteSheetJson(const SheetMetadata& metadata) {
  QJsonArray tags;
  for (const Animation& animation : metadata.animations) tags.append(FrameTag(animation));
  QJsonArray credits;
  for (const UsedImage& image : metadata.images) credits.append(CreditObject(image));
  const QJsonObject meta{
      {"app", "Tessarin"},
      {"version", TESSARIN_VERSION},
      {"image", Text(metadata.imageName)},
      {"format", "RGBA8888"},
      {"size", QJsonObject{{"w", metadata.width}, {"h", metadata.height}}},
      {"scale", "1"},
      {"frameTags", tags},
      {"layers", QJsonArray()},
      {"slices", QJsonArray()},
      {"tessarin", RecipeObject(metadata.recipe)},
      {"credits", credits},
  };
  std::string metaText = QJsonDocument(meta).toJson(QJsonDocument::Indented).toStdString();
  while (!metaText.empty() && metaText.back() == '\n') metaText.pop_back();
  return "{\n \"frames\": " + FramesText(metadata) + ",\n \"meta\": " + metaText + "\n}\n";
}

std::string CreditLine(const UsedImage& image) {
  const std::string file = "\"" + image.file + "\"";
  const Credit* credit = image.credit;
  if (!credit) return file + ": no credit recorded";
  std::string line =
      file + " by " + (credit->authors.empty() ? "unknown authors" : Joined(credit->authors));
  line += ", licensed " +
          (credit->licenses.empty() ? "under no stated licence" : Joined(credit->licenses));
  if (!credit->urls.empty()) line += ": " + Joined(credit->urls);
  return line;
}

std::string CreditsText(const std::vector<UsedImage>& images) {
  std::string text;
  for (const UsedImage& image : images) text += CreditLine(image) + '\n';
  return text;
}

std::string MetadataName(const std::string& sheetPath, const char* ending) {
  return PathToUtf8(PathFromUtf8(sheetPath).replace_extension()) + ending;
}

std::vector<std::pair<std::string, std::string>> MetadataFiles(const SheetMetadata& metadata,
                                                               const std::string& sheetPath) {
  return {{MetadataName(sheetPath, ".json"), SpriteSheetJson(metadata)},
          {MetadataName(sheetPath, ".credits.txt"), CreditsText(metadata.images)}};
}

}  // namespace tessarin
