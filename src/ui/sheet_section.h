#pragma once

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace tessarin {

class SheetView;

// The side panel's section on the whole sheet: the view, and above it its zoom, the cell grid
// and what the sheet is shown over.
class SheetSection : public QGroupBox {
  Q_OBJECT

 public:
  explicit SheetSection(QWidget* parent = nullptr);

  SheetView& View() const { return *view_; }

 private:
  void ChooseBackgroundColour();
  void ShowBackgroundColour();

  SheetView* view_ = nullptr;
  QComboBox* zoom_ = nullptr;
  QCheckBox* grid_ = nullptr;
  QCheckBox* checkerboard_ = nullptr;
  QPushButton* background_ = nullptr;
};

}  // namespace tessarin
