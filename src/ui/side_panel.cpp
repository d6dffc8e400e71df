#include "side_panel.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>
#include <utility>

#include "colour_section.h"
#include "credits_section.h"
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
  // The colours and the credits take turns in one place.
  auto* pages = new QTabWidget(lower);
  pages->setObjectName(QStringLiteral("panelPages"));
  colours_ = new ColourSection(pages);
  // Titled by its tab, and without the frame's margins, so that it needs no more height.
  colours_->setTitle(QString());
  colours_->setFlat(true);
  colours_->layout()->setContentsMargins(4, 4, 4, 4);
  pages->addTab(colours_, tr("色"));
  credits_ = new CreditsSection(pages);
  pages->addTab(credits_, tr("クレジット"));
  auto* lowerLayout = new QHBoxLayout(lower);
  lowerLayout->setContentsMargins(0, 0, 0, 0);
  lowerLayout->addWidget(walkSection, 1);
  lowerLayout->addWidget(pages, 1);
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
