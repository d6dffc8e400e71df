#pragma once

#include <QRgb>

#include <string>
#include <vector>

namespace tessarin::sample_art {

// The dyes of the figure set's cloth palette, by name.
std::vector<std::string> ClothDyes();

// A cloth colour in the named dye: its hue taken from the dye, its lightness kept, so the
// items of a part stay told apart. The colour itself for "".
QRgb Dyed(QRgb colour, const std::string& dye);

}  // namespace tessarin::sample_art
