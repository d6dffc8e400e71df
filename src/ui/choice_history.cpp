#include "choice_history.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QUndoStack>
#include <utility>

#include "colour_section.h"
#include "credits_section.h"

namespace tessarin {

class ChoiceHistory::Step : public QUndoCommand {
 public:
  Step(ChoiceHistory& history, WindowChoices before, WindowChoices after)
      : history_(history), before_(std::move(before)), after_(std::move(after)) {}

  void undo() override { history_.Show(before_); }
  void redo() override {
    // Pushed once the change is on screen already.
    if (done_) history_.Show(after_);
    done_ = true;
  }

 private:
  ChoiceHistory& history_;
  const WindowChoices before_;
  const WindowChoices after_;
  bool done_ = false;
};

ChoiceHistory::ChoiceHistory(const ChoiceControls& controls, Apply apply, QObject* parent)
    : QObject(parent),
      controls_(controls),
      apply_(std::move(apply)),
      stack_(new QUndoStack(this)),
      undo_(new QAction(tr("元に戻す"), this)),
      redo_(new QAction(tr("やり直し"), this)) {
  undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  redo_->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
  undo_->setEnabled(false);
  redo_->setEnabled(false);
  connect(undo_, &QAction::triggered, stack_, &QUndoStack::undo);
  connect(redo_, &QAction::triggered, stack_, &QUndoStack::redo);
  connect(stack_, &QUndoStack::canUndoChanged, undo_, &QAction::setEnabled);
  connect(stack_, &QUndoStack::canRedoChanged, redo_, &QAction::setEnabled);

  connect(controls_.setList, &QComboBox::activated, this, &ChoiceHistory::Record);
  for (std::size_t k = 0; k < kPartCount; ++k) {
    connect(controls_.partLists[k], &QListWidget::itemSelectionChanged, this,
            &ChoiceHistory::Record);
    connect(controls_.randomBoxes[k], &QCheckBox::clicked, this, &ChoiceHistory::Record);
  }
  for (QCheckBox* box : {controls_.doubleBox, controls_.halfBox, controls_.threeQuarterBox}) {
    connect(box, &QCheckBox::clicked, this, &ChoiceHistory::Record);
  }
  if (controls_.colours != nullptr) {
    for (const auto signal : {&ColourSection::ColoursChosen, &ColourSection::RuleChosen,
                              &ColourSection::RandomTicked}) {
      connect(controls_.colours, signal, this, &ChoiceHistory::Record);
    }
  }
  if (controls_.credits != nullptr) {
    connect(controls_.credits, &CreditsSection::LicencesChosen, this, &ChoiceHistory::Record);
  }
  recorded_ = CaptureChoices(controls_);
}

ChoiceHistory::~ChoiceHistory() = default;

void ChoiceHistory::Record() {
  if (showing_) return;
  WindowChoices now = CaptureChoices(controls_);
  if (now == recorded_) return;
  auto* step = new Step(*this, std::exchange(recorded_, now), now);
  stack_->push(step);
}

void ChoiceHistory::Restart() {
  stack_->clear();
  recorded_ = CaptureChoices(controls_);
}

void ChoiceHistory::Show(const WindowChoices& choices) {
  showing_ = true;
  apply_(choices);
  showing_ = false;
  // What could be shown: a file gone from disk stays unpicked.
  recorded_ = CaptureChoices(controls_);
}

}  // namespace tessarin
