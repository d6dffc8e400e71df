#include "side_panel.h"

#include <QVBoxLayout>
#include <utility>

#include "raster_image.h"
#include "sheet_section.h"
#include "sheet_view.h"

namespace tessarin {

SidePanel::SidePanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("sidePanel"));
  sections_ = new QVBoxLayout(this);
  sheet_ = new SheetSection(this);
  AddSection(sheet_, 1);
}

void SidePanel::AddSection(QWidget* section, int stretch) {
  sections_->addWidget(section, stretch);
}

void SidePanel::SetSheet(std::shared_ptr<const RasterImage> sheet) {
  sheet_->View().SetSheet(std::move(sheet));
}

void SidePanel::SetGrid(int columns, int rows) {
  sheet_->View().SetGrid(columns, rows);
}

}  // namespace tessarin
