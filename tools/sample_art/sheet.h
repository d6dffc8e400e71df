#pragma once

#include "catalog.h"

#include <QImage>

namespace tessarin::sample_art {

inline constexpr int kFigureCellW = 32;
inline constexpr int kFigureCellH = 48;
inline constexpr int kFrames = 3;

// Six columns (three frames, two halves) by four rows of cells of the given size.
QImage DrawGridSheet(const CellArt& art, int cellW, int cellH);

// Six columns (three frames, two halves) by four rows of figure cells: 192 x 192.
QImage DrawFigureSheet(const CellArt& art);

}  // namespace tessarin::sample_art
