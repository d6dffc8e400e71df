#pragma once

#include <QGroupBox>
#include <vector>

#include "blend_rule.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;

namespace tessarin {

struct Material;

// The side panel's section on the set's colours: for each material, its source colours or
// one of its variants and whether random compose draws it; and the rule layers blend by.
class ColourSection : public QGroupBox {
  Q_OBJECT

 public:
  explicit ColourSection(QWidget* parent = nullptr);

  // One row per material, each in its source colours and drawn at random.
  void SetMaterials(const std::vector<Material>& materials);
  int MaterialCount() const { return static_cast<int>(choices_.size()); }

  // Per material: 0 for the source colours, k for its variant k - 1.
  std::vector<int> Choices() const;
  // Shows choices without telling: the caller recomposes once.
  void SetChoices(const std::vector<int>& choices);
  std::vector<bool> Ticked() const;
  // Ticks the random boxes without telling.
  void SetTicked(const std::vector<bool>& ticked);
  // Per material: the source colours and its variants.
  std::vector<int> ChoiceCounts() const;

  BlendRule Rule() const;
  // Shows the rule without telling.
  void SetRule(BlendRule rule);

  QComboBox* ChoiceList(int material) const;
  QCheckBox* RandomBox(int material) const;
  QComboBox* RuleList() const { return rule_; }

 signals:
  void ColoursChosen();
  void RuleChosen();
  // A material's random box was ticked or unticked.
  void RandomTicked();

 private:
  QGridLayout* rows_ = nullptr;
  QComboBox* rule_ = nullptr;
  std::vector<QLabel*> names_;
  std::vector<QComboBox*> choices_;
  std::vector<QCheckBox*> randomBoxes_;
};

}  // namespace tessarin
