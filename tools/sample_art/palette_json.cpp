#include "palette_json.h"

#include <QImage>

#include <cstdio>
#include <map>
#include <stdexcept>
#include <vector>

namespace tessarin::sample_art {

namespace {

constexpr QRgb kUnseen = 0xFFFFFFFFu;

std::string ColourText(QRgb colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06x", unsigned(colour & 0xFFFFFFu));
  return text;
}

// What each variant makes of each colour of a palette's images, in order of first sight.
struct ColourMap {
  std::vector<QRgb> order;
  std::map<QRgb, std::vector<QRgb>> targets;
};

// Records what variant `v` made of every pixel of `own`.
void Learn(const QImage& own, const QImage& dyed, std::size_t v, std::size_t variants,
           const std::string& where, ColourMap& map) {
  const QImage a = own.convertToFormat(QImage::Format_ARGB32);
  const QImage b = dyed.convertToFormat(QImage::Format_ARGB32);
  if (a.size() != b.size()) throw std::runtime_error(where + ": the variant changes the size");
  for (int y = 0; y < a.height(); ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* to = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x) {
      if (qAlpha(from[x]) != qAlpha(to[x])) {
        throw std::runtime_error(where + ": the variant changes more than colours");
      }
      if (qAlpha(from[x]) == 0) continue;
      const QRgb colour = from[x] & 0xFFFFFFu;
      auto [it, added] = map.targets.try_emplace(colour, variants, kUnseen);
      if (added) map.order.push_back(colour);
      QRgb& target = it->second[v];
      if (target == kUnseen) target = to[x] & 0xFFFFFFu;
      if (target != (to[x] & 0xFFFFFFu)) {
        throw std::runtime_error(where + ": " + ColourText(colour) + " becomes two colours");
      }
    }
  }
}

ColourMap MapOf(const SampleSet& set, const SamplePalette& palette) {
  ColourMap map;
  const std::size_t variants = palette.variants.size();
  for (const auto& part : palette.parts) {
    const PartFolder own = part({});
    for (std::size_t v = 0; v < variants; ++v) {
      const PartFolder dyed = part(palette.variants[v]);
      for (std::size_t i = 0; i < own.images.size(); ++i) {
        const PartImage& a = own.images[i];
        const PartImage& b = dyed.images.at(i);
        const std::string where = palette.name + " " + palette.variants[v] + " " + a.file;
        Learn(set.drawSheet(a.front), set.drawSheet(b.front), v, variants, where, map);
        if (!a.companionFile.empty()) {
          Learn(set.drawSheet(a.back), set.drawSheet(b.back), v, variants,
                palette.name + " " + palette.variants[v] + " " + a.companionFile, map);
        }
      }
    }
  }
  return map;
}

// A JSON list of colours, a few to a line, its "[" at the given column.
std::string ColourList(const std::vector<QRgb>& colours, std::size_t column) {
  const std::string indent(column + 1, ' ');
  std::string text = "[";
  for (std::size_t k = 0; k < colours.size(); ++k) {
    if (k > 0) text += k % 8 == 0 ? ",\n" + indent : ", ";
    text += "\"" + ColourText(colours[k]) + "\"";
  }
  return text + "]";
}

}  // namespace

std::string PaletteJson(const SampleSet& set) {
  std::string json = "{\n  \"palettes\": {";
  for (std::size_t p = 0; p < set.palettes.size(); ++p) {
    const SamplePalette& palette = set.palettes[p];
    const ColourMap map = MapOf(set, palette);
    std::vector<QRgb> source;
    std::vector<std::vector<QRgb>> variants(palette.variants.size());
    for (const QRgb colour : map.order) {
      const std::vector<QRgb>& targets = map.targets.at(colour);
      bool changes = false;
      for (const QRgb target : targets) changes = changes || target != colour;
      if (!changes) continue;
      source.push_back(colour);
      for (std::size_t v = 0; v < targets.size(); ++v) variants[v].push_back(targets[v]);
    }
    json += p > 0 ? ",\n" : "\n";
    json += "    \"" + palette.name + "\": {\n";
    const std::string sourceKey = "      \"source\": ";
    json += sourceKey + ColourList(source, sourceKey.size()) + ",\n";
    json += "      \"variants\": {";
    for (std::size_t v = 0; v < variants.size(); ++v) {
      json += v > 0 ? ",\n" : "\n";
      const std::string key = "        \"" + palette.variants[v] + "\": ";
      json += key + ColourList(variants[v], key.size());
    }
    json += "\n      },\n      \"parts\": [";
    for (std::size_t k = 0; k < palette.parts.size(); ++k) {
      json += (k > 0 ? ", \"" : "\"") + palette.parts[k]({}).folder + "\"";
    }
    json += "]\n    }";
  }
  return json + "\n  }\n}\n";
}

}  // namespace tessarin::sample_art
