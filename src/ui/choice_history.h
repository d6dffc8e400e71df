#pragma once

#include <QObject>
#include <functional>

#include "window_choices.h"

class QAction;
class QUndoStack;

namespace tessarin {

// The undo history of a window's choices. Each change a person makes becomes one step holding
// the choices before and after it; stepping back or forth shows those choices again through
// apply, which records nothing.
class ChoiceHistory : public QObject {
  Q_OBJECT

 public:
  using Apply = std::function<void(const WindowChoices&)>;

  // Records after every change the controls signal; connect other changes (a whole random
  // composition, say) to Record once they are finished.
  ChoiceHistory(const ChoiceControls& controls, Apply apply, QObject* parent);
  ~ChoiceHistory() override;

  // A step from the choices last recorded to those the controls show, when they differ.
  void Record();
  // Forgets every step: the choices shown are where history begins.
  void Restart();

  const QUndoStack& Stack() const { return *stack_; }
  // Ctrl+Z, and Ctrl+Y or Ctrl+Shift+Z; add them to the window for their shortcuts.
  QAction* UndoAction() const { return undo_; }
  QAction* RedoAction() const { return redo_; }

 private:
  class Step;
  void Show(const WindowChoices& choices);

  ChoiceControls controls_;
  Apply apply_;
  QUndoStack* stack_ = nullptr;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  WindowChoices recorded_;
  bool showing_ = false;
};

}  // namespace tessarin
