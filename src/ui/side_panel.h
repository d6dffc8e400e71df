#pragma once

#include <QWidget>
#include <memory>

class QLabel;
class QVBoxLayout;

namespace tessarin {

class ColourSection;
class CreditsSection;
class RecipeSection;
class RasterImage;
class SheetSection;
class WalkCycleView;
struct SetExtras;

// What lies beside the window's classic area: sections one above the other, the whole
// sheet first, then the walk beside the colours and the credits; and under them a line on what of
// the set could not be read.
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
  // The cells and animations of the set's extras, for the whole or the half sheet.
  void ShowExtras(const SetExtras& extras, bool halfSheet);
  // "" hides the line.
  void SetStatus(const QString& text);

  SheetSection& Sheet() const { return *sheet_; }
  WalkCycleView& Walk() const { return *walk_; }
  ColourSection& Colours() const { return *colours_; }
  CreditsSection& Credits() const { return *credits_; }
  RecipeSection& Recipe() const { return *recipe_; }
  const QLabel& StatusLine() const { return *status_; }

 private:
  QVBoxLayout* sections_ = nullptr;
  SheetSection* sheet_ = nullptr;
  WalkCycleView* walk_ = nullptr;
  ColourSection* colours_ = nullptr;
  CreditsSection* credits_ = nullptr;
  RecipeSection* recipe_ = nullptr;
  QLabel* status_ = nullptr;
};

}  // namespace tessarin
