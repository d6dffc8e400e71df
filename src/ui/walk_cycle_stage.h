#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <cstddef>
#include <map>
#include <vector>

#include "raster_image.h"
#include "set_extras.h"

class QPaintEvent;

namespace tessarin {

// Where the walk draws: cells of the composite side by side, each enlarged by nearest
// neighbour at a whole zoom over a checkerboard, or one line saying why there is nothing to
// show.
class WalkCycleStage : public QWidget {
  Q_OBJECT

 public:
  explicit WalkCycleStage(QWidget* parent = nullptr);

  void SetComposite(RasterImage composite);
  void SetCells(const SheetCells& cells);
  void SetZoom(int zoom);
  int Zoom() const { return zoom_; }
  // One frame for each cell, left to right; -1 shows an empty frame.
  void ShowCells(const std::vector<int>& cells);
  const std::vector<int>& ShownCells() const { return shown_; }

  // Whether there is a composite, a grid and cells to show; otherwise a message is.
  bool HasFrames() const;
  // Where frame k lies in this widget; empty while a message is shown.
  QRect FrameArea(int k) const;
  // Why nothing is shown, or "" when frames are.
  QString Message() const;

  QSize sizeHint() const override;
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QSize FrameSize() const;
  int FramesPerRow(int width) const;
  // The frame's picture, over the checkerboard and enlarged: each cell is drawn once and kept
  // until the composite, the cells or the zoom change, so that walking only copies pixels.
  const RasterImage& FramePicture(int k);
  void Forget();

  // A cell's picture, and which part of its frame it holds.
  struct Drawn {
    RasterImage picture;
    QRect part;
  };

  RasterImage composite_;
  SheetCells cells_;
  int zoom_ = 2;
  std::vector<int> shown_;
  std::map<int, Drawn> drawn_;
  std::size_t drawnBytes_ = 0;
  RasterImage none_;
};

}  // namespace tessarin
