#include "colour_section.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cstddef>
#include <functional>

#include "set_extras.h"

namespace tessarin {
namespace {

// Gives each material's widget its value by show, for the materials values covers, with the
// widget's signals blocked so the caller recomposes once.
template <typename Widget, typename Value, typename Show>
void ShowQuietly(const std::vector<Widget*>& widgets, const std::vector<Value>& values, Show show) {
  for (std::size_t m = 0; m < widgets.size() && m < values.size(); ++m) {
    const QSignalBlocker blocker(widgets[m]);
    std::invoke(show, widgets[m], values[m]);
  }
}

}  // namespace

ColourSection::ColourSection(QWidget* parent) : QGroupBox(tr("色"), parent) {
  auto* ruleLabel = new QLabel(tr("合成方法"), this);
  rule_ = new QComboBox(this);
  rule_->setObjectName(QStringLiteral("blendRule"));
  rule_->addItem(tr("クラシック"), static_cast<int>(BlendRule::Classic));
  rule_->addItem(tr("標準"), static_cast<int>(BlendRule::Standard));
  rule_->setToolTip(tr(
      "クラシック: 元の素材に合わせた重ね方です。\n"
      "標準: 半透明をそのまま重ねます。透明部分のあるパレット形式のPNGは標準で正しく見えます。"));
  ruleLabel->setBuddy(rule_);

  auto* ruleRow = new QHBoxLayout;
  ruleRow->addWidget(ruleLabel);
  ruleRow->addWidget(rule_);
  ruleRow->addStretch(1);
  rows_ = new QGridLayout;
  rows_->setColumnStretch(1, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(ruleRow);
  layout->addLayout(rows_);

  connect(rule_, &QComboBox::currentIndexChanged, this, &ColourSection::RuleChosen);
}

void ColourSection::SetMaterials(const std::vector<Material>& materials) {
  for (QLabel* name : names_) delete name;
  for (QComboBox* list : choices_) delete list;
  for (QCheckBox* box : randomBoxes_) delete box;
  names_.clear();
  choices_.clear();
  randomBoxes_.clear();
  for (const Material& material : materials) {
    const int row = static_cast<int>(choices_.size());
    auto* name = new QLabel(QString::fromStdString(material.name), this);
    auto* list = new QComboBox(this);
    list->setObjectName(QStringLiteral("colourChoice%1").arg(row));
    list->addItem(tr("元の色"));
    for (const Material::Variant& variant : material.variants) {
      list->addItem(QString::fromStdString(variant.name));
    }
    name->setBuddy(list);
    auto* box = new QCheckBox(tr("ﾗﾝﾀﾞﾑ"), this);
    box->setObjectName(QStringLiteral("colourRandom%1").arg(row));
    box->setChecked(true);
    rows_->addWidget(name, row, 0);
    rows_->addWidget(list, row, 1);
    rows_->addWidget(box, row, 2);
    connect(list, &QComboBox::activated, this, &ColourSection::ColoursChosen);
    connect(box, &QCheckBox::clicked, this, &ColourSection::RandomTicked);
    names_.push_back(name);
    choices_.push_back(list);
    randomBoxes_.push_back(box);
  }
}

std::vector<int> ColourSection::Choices() const {
  std::vector<int> choices;
  for (const QComboBox* list : choices_) choices.push_back(list->currentIndex());
  return choices;
}

void ColourSection::SetChoices(const std::vector<int>& choices) {
  ShowQuietly(choices_, choices, &QComboBox::setCurrentIndex);
}

std::vector<bool> ColourSection::Ticked() const {
  std::vector<bool> ticked;
  for (const QCheckBox* box : randomBoxes_) ticked.push_back(box->isChecked());
  return ticked;
}

void ColourSection::SetTicked(const std::vector<bool>& ticked) {
  ShowQuietly(randomBoxes_, ticked, &QCheckBox::setChecked);
}

std::vector<int> ColourSection::ChoiceCounts() const {
  std::vector<int> counts;
  for (const QComboBox* list : choices_) counts.push_back(list->count());
  return counts;
}

BlendRule ColourSection::Rule() const {
  return static_cast<BlendRule>(rule_->currentData().toInt());
}

void ColourSection::SetRule(BlendRule rule) {
  const QSignalBlocker blocker(rule_);
  rule_->setCurrentIndex(rule_->findData(static_cast<int>(rule)));
}

QComboBox* ColourSection::ChoiceList(int material) const {
  return choices_.at(static_cast<std::size_t>(material));
}

QCheckBox* ColourSection::RandomBox(int material) const {
  return randomBoxes_.at(static_cast<std::size_t>(material));
}

}  // namespace tessarin
