#include "dye.h"

#include <QColor>

#include <stdexcept>

namespace tessarin::sample_art {

namespace {

struct Dye {
  const char* name;
  double hue;         // degrees
  double saturation;  // times the colour's own
};

constexpr Dye kDyes[] = {
    {"red", 356, 1.0},    {"green", 125, 1.0}, {"blue", 212, 1.0},
    {"purple", 272, 1.0}, {"grey", 230, 0.12},
};

}  // namespace

std::vector<std::string> ClothDyes() {
  std::vector<std::string> names;
  for (const Dye& dye : kDyes) names.emplace_back(dye.name);
  return names;
}

QRgb Dyed(QRgb colour, const std::string& dye) {
  if (dye.empty()) return colour;
  for (const Dye& d : kDyes) {
    if (dye != d.name) continue;
    const QColor c = QColor::fromRgb(colour);
    return QColor::fromHslF(float(d.hue / 360.0), float(c.hslSaturationF() * d.saturation),
                            c.lightnessF())
        .rgb();
  }
  throw std::invalid_argument("no dye named " + dye);
}

}  // namespace tessarin::sample_art
