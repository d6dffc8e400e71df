#include "window_choices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QSignalBlocker>

#include "colour_section.h"
#include "credits_section.h"

namespace tessarin {
namespace {

int SelectedRow(const QListWidget& list) {
  const QList<QListWidgetItem*> selected = list.selectedItems();
  return selected.isEmpty() ? -1 : list.row(selected.constFirst());
}

void SetChecked(QCheckBox* box, bool checked) {
  const QSignalBlocker blocker(box);
  box->setChecked(checked);
}

void Pick(QListWidget* list, const std::string& file) {
  int row = 0;
  if (!file.empty()) {
    const QString name = QString::fromStdString(file);
    // Row 0 is "[ なし ]", which no file is called.
    for (int entry = 1; entry < list->count(); ++entry) {
      if (list->item(entry)->text() == name) {
        row = entry;
        break;
      }
    }
  }
  // A list with nothing selected already shows no file.
  if (row == 0 && SelectedRow(*list) <= 0) return;
  const QSignalBlocker blocker(list);
  list->setCurrentRow(row);
}

}  // namespace

bool WindowChoices::operator==(const WindowChoices& other) const {
  return setName == other.setName && files == other.files && random == other.random &&
         doubled == other.doubled && half == other.half && threeQuarter == other.threeQuarter &&
         colours == other.colours && colourRandom == other.colourRandom && blend == other.blend &&
         licences == other.licences;
}

WindowChoices CaptureChoices(const ChoiceControls& controls) {
  WindowChoices choices;
  const int set = controls.setList->currentIndex();
  if (set >= 0) choices.setName = controls.setList->itemData(set).toString().toStdString();
  for (std::size_t k = 0; k < kPartCount; ++k) {
    const QListWidget& list = *controls.partLists[k];
    const int row = SelectedRow(list);
    if (row > 0) choices.files[k] = list.item(row)->text().toStdString();
    choices.random[k] = controls.randomBoxes[k]->isChecked();
  }
  choices.doubled = controls.doubleBox->isChecked();
  choices.half = controls.halfBox->isChecked();
  choices.threeQuarter = controls.threeQuarterBox->isChecked();
  if (controls.colours != nullptr) {
    choices.colours = controls.colours->Choices();
    choices.colourRandom = controls.colours->Ticked();
    choices.blend = controls.colours->Rule();
  }
  if (controls.credits != nullptr) choices.licences = controls.credits->AllowedLicences();
  return choices;
}

void ApplyChoices(const WindowChoices& choices, const ChoiceControls& controls,
                  const std::function<void()>& loadSet) {
  const int set = controls.setList->findData(QString::fromStdString(choices.setName));
  if (set >= 0 && set != controls.setList->currentIndex()) {
    {
      const QSignalBlocker blocker(controls.setList);
      controls.setList->setCurrentIndex(set);
    }
    loadSet();
  }
  for (std::size_t k = 0; k < kPartCount; ++k) {
    Pick(controls.partLists[k], choices.files[k]);
    SetChecked(controls.randomBoxes[k], choices.random[k]);
  }
  SetChecked(controls.doubleBox, choices.doubled);
  SetChecked(controls.halfBox, choices.half);
  SetChecked(controls.threeQuarterBox, choices.threeQuarter);
  // After the set is loaded: its materials are the rows these choices fill.
  if (controls.colours != nullptr) {
    controls.colours->SetChoices(choices.colours);
    controls.colours->SetTicked(choices.colourRandom);
    controls.colours->SetRule(choices.blend);
  }
  // The set's licences are listed by now; one it does not name stays unticked.
  if (controls.credits != nullptr) controls.credits->SetAllowedLicences(choices.licences);
}

}  // namespace tessarin
