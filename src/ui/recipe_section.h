#pragma once

#include <QWidget>

class QPushButton;

namespace tessarin {

// The side panel's section on the character's recipe: opened from a file, saved for
// tessarin-compose --recipe, or copied as the equivalent tessarin-compose command.
class RecipeSection : public QWidget {
  Q_OBJECT

 public:
  explicit RecipeSection(QWidget* parent = nullptr);

  QPushButton* OpenButton() const { return open_; }
  QPushButton* SaveButton() const { return save_; }
  QPushButton* CopyButton() const { return copy_; }

 signals:
  void OpenRequested();
  void SaveRequested();
  void CopyRequested();

 private:
  QPushButton* open_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* copy_ = nullptr;
};

}  // namespace tessarin
