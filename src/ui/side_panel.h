#pragma once

#include <QWidget>
#include <memory>

class QVBoxLayout;

namespace tessarin {

class RasterImage;
class SheetSection;

// What lies beside the window's classic area: sections one above the other, the whole
// sheet first.
class SidePanel : public QWidget {
  Q_OBJECT

 public:
  explicit SidePanel(QWidget* parent = nullptr);

  // Adds a section below the others; stretch shares out the height left over, as in a box
  // layout.
  void AddSection(QWidget* section, int stretch = 0);

  // The window's composite, as its preview shows it.
  void SetSheet(std::shared_ptr<const RasterImage> sheet);
  // The cells the sheet is cut into; 0 for none.
  void SetGrid(int columns, int rows);

  SheetSection& Sheet() const { return *sheet_; }

 private:
  QVBoxLayout* sections_ = nullptr;
  SheetSection* sheet_ = nullptr;
};

}  // namespace tessarin
