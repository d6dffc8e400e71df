#pragma once

#include <cstdint>
#include <vector>

#include "set_extras.h"

namespace tessarin {

// The tag game engines read for an animation: from its lower cell to its higher one, in the
// direction that plays the same cells in the same order.
struct EngineTag {
  int from = 0;
  int to = 0;
  Playback playback = Playback::PingPong;
};
EngineTag EngineTagOf(const Animation& animation);

// One step of an animation's loop: the cell shown and for how long at 1x.
struct PlayedFrame {
  int cell = 0;
  int ms = 0;
  bool operator==(const PlayedFrame& other) const { return cell == other.cell && ms == other.ms; }
};

// Where a cell lies in the sheet, in pixels; empty for a cell the grid does not have.
struct CellArea {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool IsEmpty() const { return width <= 0 || height <= 0; }
};
CellArea CellAreaOf(const SheetCells& cells, int cell);

// The speeds a person may choose between; frame times are divided by the speed. Speeds are
// counted in 64ths, so that time at any speed stays in whole numbers and hours of play do not
// drift.
inline constexpr double kSlowestSpeed = 0.25;
inline constexpr double kFastestSpeed = 4;
inline constexpr int kSpeedUnit = 64;
// The speed in 64ths, within the bounds above; 1x for what is not a number.
int SpeedUnits(double speed);

// An animation looping for ever, as engines play its tag: forward from..to, reverse to..from,
// pingpong from..to and back without showing either end twice (0 1 2 1 0 1 2 …). Frames are
// worked out, not stored: a tag may span millions of cells.
class FrameLoop {
 public:
  FrameLoop() = default;
  explicit FrameLoop(const Animation& animation);

  // Frames in one pass of the loop; 0 for none.
  std::int64_t Count() const { return count_; }
  // The frame at a place in the pass, 0 to Count() - 1.
  PlayedFrame FrameAt(std::int64_t index) const;
  std::int64_t LengthMs() const { return count_ * ms_; }
  // The cell showing elapsedMs after the start at the given speed; -1 for an empty loop.
  // Time before the start counts back through the loop.
  int CellAt(std::int64_t elapsedMs, double speed = 1) const;

 private:
  EngineTag tag_;
  int ms_ = 0;
  std::int64_t count_ = 0;
};

// Animations side by side on one clock: the cell each shows at the same moment.
std::vector<int> CellsAt(const std::vector<FrameLoop>& loops, std::int64_t elapsedMs,
                         double speed = 1);

// The time animations have played at 1x, read off a wall clock in milliseconds: it stands
// still while paused, and a change of speed goes on from the moment it is made.
class PlaybackClock {
 public:
  void Play(std::int64_t nowMs);
  void Pause(std::int64_t nowMs);
  void SetSpeed(double speed, std::int64_t nowMs);
  bool IsPlaying() const { return playing_; }
  double Speed() const { return static_cast<double>(speedUnits_) / kSpeedUnit; }
  std::int64_t PlayedMs(std::int64_t nowMs) const;

 private:
  // In 64ths of a millisecond, so that speeds in 64ths add up exactly.
  std::int64_t PlayedUnits(std::int64_t nowMs) const;

  bool playing_ = false;
  int speedUnits_ = kSpeedUnit;
  std::int64_t since_ = 0;
  std::int64_t playedUnits_ = 0;
};

}  // namespace tessarin
