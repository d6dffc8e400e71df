#include "side_panel.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <utility>

#include "colour_section.h"
#include "raster_image.h"
#include "recipe_section.h"
#include "set_extras.h"
#include "sheet_section.h"
#include "sheet_view.h"
#include "walk_cycle_view.h"

namespace tessarin {

SidePanel::SidePanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("sidePanel"));
  auto* layout = new QVBoxLayout(this);
  sections_ = new QVBoxLayout;
  layout->addLayout(sections_, 1);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("panelStatus"));
  status_->setWordWrap(true);
  status_->setTextFormat(Qt::PlainText);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  status_->hide();
  layout->addWidget(status_);

  sheet_ = new SheetSection(this);
  AddSection(sheet_, 1);
  // The walk and the colours side by side, so that the sheet keeps most of the height.
  auto* lower = new QWidget(this);
  auto* walkSection = new QGroupBox(tr("歩行"), lower);
  walk_ = new WalkCycleView(walkSection);
  walk_->setObjectName(QStringLiteral("walkCycle"));
  auto* walkLayout = new QVBoxLayout(walkSection);
  walkLayout->addWidget(walk_);
  colours_ = new ColourSection(lower);
  auto* lowerLayout = new QHBoxLayout(lower);
  lowerLayout->setContentsMargins(0, 0, 0, 0);
  lowerLayout->addWidget(walkSection, 1);
  lowerLayout->addWidget(colours_, 1);
  AddSection(lower);
  recipe_ = new RecipeSection(this);
  AddSection(recipe_);
}

void SidePanel::AddSection(QWidget* section, int stretch) {
  sections_->addWidget(section, stretch);
}

void SidePanel::SetSheet(std::shared_ptr<const RasterImage> sheet) {
  // The walk keeps a copy of its own; an empty composite stays empty.
  walk_->SetComposite(sheet ? *sheet : RasterImage());
  sheet_->View().SetSheet(std::move(sheet));
}

void SidePanel::SetGrid(int columns, int rows) {
  sheet_->View().SetGrid(columns, rows);
}

void SidePanel::ShowExtras(const SetExtras& extras, bool halfSheet) {
  const SheetCells cells = CellsFor(extras, halfSheet);
  SetGrid(cells.columns, cells.rows);
  walk_->SetSheet(extras, halfSheet);
}

void SidePanel::SetStatus(const QString& text) {
  status_->setText(text);
  status_->setVisible(!text.isEmpty());
}

}  // namespace tessarin
