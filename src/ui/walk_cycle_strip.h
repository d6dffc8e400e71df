#pragma once

#include <QStringList>
#include <QWidget>

class QComboBox;
class QPushButton;

namespace tessarin {

// The controls above the walk: which direction, play or pause, and how fast. It only tells
// what a person chose; the walk itself keeps the state.
class WalkCycleStrip : public QWidget {
  Q_OBJECT

 public:
  // Stands for "all directions side by side" among the direction choices.
  static constexpr int kAllDirections = -1;

  explicit WalkCycleStrip(QWidget* parent = nullptr);

  // The animations' names, then "all directions"; choice is an index into names or
  // kAllDirections.
  void SetDirections(const QStringList& names, int choice);
  void SetPlaying(bool playing);
  void SetSpeed(double speed);
  void SetChoicesEnabled(bool enabled);

  QComboBox* DirectionList() const { return directions_; }
  QPushButton* PlayButton() const { return play_; }
  QComboBox* SpeedList() const { return speeds_; }

 signals:
  void DirectionChosen(int choice);
  void PlayToggled(bool play);
  void SpeedChosen(double speed);

 private:
  QComboBox* directions_;
  QPushButton* play_;
  QComboBox* speeds_;
  bool playing_ = false;
};

}  // namespace tessarin
