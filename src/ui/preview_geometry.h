#pragma once

namespace tessarin {

// The preview is centred on this client pixel whatever size the dialog font gives the window.
inline constexpr int kPreviewCentreX = 440;
inline constexpr int kPreviewCentreY = 140;

// 2 with the double box ticked (it wins over the other), else 0.75 with the three-quarter box.
double PreviewScale(bool doubleBox, bool threeQuarterBox);

// Where the composite lands: destination (dx, dy, dw x dh) in client pixels, from the source
// rectangle (0, 0, sourceWidth x sourceHeight) of the layers.
struct PreviewGeometry {
  int dx = 0;
  int dy = 0;
  int dw = 0;
  int dh = 0;
  int sourceWidth = 0;
  int sourceHeight = 0;
};

PreviewGeometry ComputePreviewGeometry(int xSize, int ySize, double scale, bool halfMode);

}  // namespace tessarin
