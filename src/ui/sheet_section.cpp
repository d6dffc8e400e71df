#include "sheet_section.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "sheet_view.h"
#include "sheet_view_geometry.h"

namespace tessarin {

SheetSection::SheetSection(QWidget* parent) : QGroupBox(tr("シート"), parent) {
  auto* zoomLabel = new QLabel(tr("拡大"), this);
  zoom_ = new QComboBox(this);
  zoom_->setObjectName(QStringLiteral("sheetZoom"));
  zoom_->addItem(tr("全体"), kFitSheetZoom);
  for (int zoom = kMinSheetZoom; zoom <= kMaxSheetZoom; ++zoom) {
    zoom_->addItem(tr("%1倍").arg(zoom), zoom);
  }
  zoomLabel->setBuddy(zoom_);
  grid_ = new QCheckBox(tr("グリッド"), this);
  grid_->setObjectName(QStringLiteral("sheetGrid"));
  checkerboard_ = new QCheckBox(tr("市松模様"), this);
  checkerboard_->setObjectName(QStringLiteral("sheetCheckerboard"));
  checkerboard_->setChecked(true);
  background_ = new QPushButton(tr("背景色…"), this);
  background_->setObjectName(QStringLiteral("sheetBackground"));
  view_ = new SheetView(this);
  view_->setObjectName(QStringLiteral("sheetView"));

  auto* options = new QHBoxLayout;
  options->addWidget(zoomLabel);
  options->addWidget(zoom_);
  options->addSpacing(12);
  options->addWidget(grid_);
  options->addWidget(checkerboard_);
  options->addWidget(background_);
  options->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(options);
  layout->addWidget(view_, 1);

  connect(zoom_, &QComboBox::currentIndexChanged, this,
          [this] { view_->SetZoom(zoom_->currentData().toInt()); });
  connect(view_, &SheetView::ZoomChanged, this, [this](int zoom) {
    const QSignalBlocker blocker(zoom_);
    zoom_->setCurrentIndex(zoom_->findData(zoom));
  });
  connect(grid_, &QCheckBox::toggled, view_, &SheetView::SetGridShown);
  connect(checkerboard_, &QCheckBox::toggled, view_, &SheetView::SetCheckerboard);
  connect(background_, &QPushButton::clicked, this, &SheetSection::ChooseBackgroundColour);
  ShowBackgroundColour();
}

void SheetSection::ChooseBackgroundColour() {
  const QColor colour = QColorDialog::getColor(view_->BackgroundColour(), this, tr("背景色"));
  if (!colour.isValid()) return;
  view_->SetBackgroundColour(colour);
  // A colour just chosen is wanted in sight.
  checkerboard_->setChecked(false);
  ShowBackgroundColour();
}

void SheetSection::ShowBackgroundColour() {
  const int side = fontMetrics().height() / 2 * 2;
  QPixmap swatch(side, side);
  swatch.fill(view_->BackgroundColour());
  background_->setIcon(QIcon(swatch));
}

}  // namespace tessarin
