#pragma once

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "animation_playback.h"
#include "raster_image.h"
#include "set_extras.h"

class QHideEvent;
class QShowEvent;
class QTimer;

namespace tessarin {

class WalkCycleStage;
class WalkCycleStrip;

// The current character walking: one of its animations, or all of them side by side on one
// clock, played from its composite at a chosen speed, with the controls to choose them.
// Self-contained: whoever places it hands it the composite and the sheet's cells and
// animations.
class WalkCycleView : public QWidget {
  Q_OBJECT

 public:
  // Milliseconds from any fixed start.
  using WallClock = std::function<std::int64_t()>;
  // Chooses every animation side by side.
  static constexpr int kAllDirections = -1;

  explicit WalkCycleView(QWidget* parent = nullptr);

  // 32 bits, B, G, R, A, as composed.
  void SetComposite(RasterImage composite);
  // The cells and animations the set's extras give a whole or a half sheet.
  void SetSheet(const SetExtras& extras, bool halfSheet);
  void SetCells(const SheetCells& cells);
  // Numbered over the composite's own columns. A direction chosen by name stays chosen
  // when the new list has it too.
  void SetAnimations(std::vector<Animation> animations);

  // An index into the animations, or kAllDirections.
  void ChooseDirection(int choice);
  int Direction() const { return direction_; }
  void Play();
  void Pause();
  bool IsPlaying() const { return clock_.IsPlaying(); }
  // From 0.25 to 4; frame times are divided by it.
  void SetSpeed(double speed);
  double Speed() const { return clock_.Speed(); }
  void SetZoom(int zoom);
  // Starts the played time afresh on the given clock; for tests that turn time by hand.
  void SetClock(WallClock clock);

  // The cell each frame shows, left to right.
  const std::vector<int>& ShownCells() const;
  WalkCycleStrip* Strip() const { return strip_; }
  WalkCycleStage* Stage() const { return stage_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // The loops of the chosen direction, and the controls to match.
  void Rebuild();
  // The cells of the moment on the stage.
  void ShowMoment();
  // The timer runs only while there is something to move and someone to see it.
  void RunTimerIfNeeded();

  WalkCycleStrip* strip_;
  WalkCycleStage* stage_;
  QTimer* timer_;
  WallClock now_;
  PlaybackClock clock_;
  std::vector<Animation> animations_;
  std::vector<FrameLoop> loops_;
  int direction_ = 0;
  // The chosen animation's name, kept across lists of animations.
  std::string directionName_;
};

}  // namespace tessarin
