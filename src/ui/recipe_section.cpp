#include "recipe_section.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace tessarin {

// A row of buttons, with its title beside them rather than above, to keep the sheet's height.
RecipeSection::RecipeSection(QWidget* parent) : QWidget(parent) {
  open_ = new QPushButton(tr("レシピを開く…"), this);
  open_->setObjectName(QStringLiteral("openRecipe"));
  save_ = new QPushButton(tr("レシピを保存…"), this);
  save_->setObjectName(QStringLiteral("saveRecipe"));
  copy_ = new QPushButton(tr("コマンドをコピー"), this);
  copy_->setObjectName(QStringLiteral("copyCommand"));
  copy_->setToolTip(tr("同じ画像を作る tessarin-compose のコマンドをクリップボードに入れます"));
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(tr("レシピ"), this));
  layout->addWidget(open_);
  layout->addWidget(save_);
  layout->addWidget(copy_);
  layout->addStretch(1);
  connect(open_, &QPushButton::clicked, this, &RecipeSection::OpenRequested);
  connect(save_, &QPushButton::clicked, this, &RecipeSection::SaveRequested);
  connect(copy_, &QPushButton::clicked, this, &RecipeSection::CopyRequested);
}

}  // namespace tessarin
