#include "palette_json.h"
#include "sets.h"
#include "setting_text.h"

#include <QImageWriter>
#include <QString>

#include <stdexcept>

namespace tessarin::sample_art {

namespace {

void WritePng(const QImage& image, const std::filesystem::path& file) {
  QImageWriter writer(QString::fromStdString(file.u8string()), "png");
  if (!writer.write(image))
    throw std::runtime_error("cannot write " + file.u8string() + ": " +
                             writer.errorString().toStdString());
}

}  // namespace

void WriteSet(const SampleSet& set, const std::filesystem::path& graphics) {
  const std::filesystem::path root = graphics / std::filesystem::u8path(set.folder);
  std::filesystem::create_directories(root);
  WriteBytes(root / "setting.txt", set.settingText);
  if (!set.palettes.empty()) WriteBytes(root / "set.json", PaletteJson(set));
  if (!set.creditsText.empty()) WriteBytes(root / "CREDITS.csv", set.creditsText);
  for (const SetPart& part : set.parts) {
    const std::filesystem::path dir = root / std::filesystem::u8path(part.folder.folder);
    std::filesystem::create_directories(dir);
    for (const PartImage& image : part.folder.images) {
      WritePng(set.drawSheet(image.front), dir / std::filesystem::u8path(image.file));
      if (!image.companionFile.empty())
        WritePng(set.drawSheet(image.back), dir / std::filesystem::u8path(image.companionFile));
    }
  }
}

}  // namespace tessarin::sample_art
