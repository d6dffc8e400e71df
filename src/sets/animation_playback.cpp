#include "animation_playback.h"

#include <algorithm>
#include <cmath>

namespace tessarin {
namespace {

// Frames longer than this (70 minutes) play for this long: it keeps a loop of every cell a
// grid can have, in 64ths of a millisecond, below 2^61.
constexpr int kLongestFrameMs = 1 << 22;

std::int64_t FloorMod(std::int64_t value, std::int64_t modulus) {
  const std::int64_t rest = value % modulus;
  return rest < 0 ? rest + modulus : rest;
}

// value * factor mod modulus, for value < modulus < 2^61 and a small factor, without the
// product overflowing.
std::int64_t MultiplyMod(std::int64_t value, int factor, std::int64_t modulus) {
  std::int64_t result = 0;
  for (int bit = 30; bit >= 0; --bit) {
    result = result * 2 % modulus;
    if ((factor >> bit & 1) != 0) result = (result + value) % modulus;
  }
  return result;
}

}  // namespace

EngineTag EngineTagOf(const Animation& animation) {
  EngineTag tag{std::min(animation.from, animation.to), std::max(animation.from, animation.to),
                animation.playback};
  if (animation.from > animation.to) {
    if (tag.playback == Playback::Forward) {
      tag.playback = Playback::Reverse;
    } else if (tag.playback == Playback::Reverse) {
      tag.playback = Playback::Forward;
    }
  }
  return tag;
}

CellArea CellAreaOf(const SheetCells& cells, int cell) {
  if (cells.columns <= 0 || cell < 0 || cell / cells.columns >= cells.rows) return {};
  return {cell % cells.columns * cells.width, cell / cells.columns * cells.height, cells.width,
          cells.height};
}

int SpeedUnits(double speed) {
  if (std::isnan(speed)) return kSpeedUnit;
  speed = std::clamp(speed, kSlowestSpeed, kFastestSpeed);
  return static_cast<int>(std::lround(speed * kSpeedUnit));
}

FrameLoop::FrameLoop(const Animation& animation)
    : tag_(EngineTagOf(animation)), ms_(std::clamp(animation.ms, 1, kLongestFrameMs)) {
  const std::int64_t cells = static_cast<std::int64_t>(tag_.to) - tag_.from + 1;
  count_ = tag_.playback == Playback::PingPong && cells > 1 ? 2 * cells - 2 : cells;
}

PlayedFrame FrameLoop::FrameAt(std::int64_t index) const {
  if (count_ == 0) return {};
  index = FloorMod(index, count_);
  std::int64_t cell = tag_.from + index;
  if (tag_.playback == Playback::Reverse) {
    cell = tag_.to - index;
  } else if (tag_.playback == Playback::PingPong && index > tag_.to - tag_.from) {
    // On the way back: the far end was shown last, and the near end is shown next pass.
    cell = tag_.from + (count_ - index);
  }
  return {static_cast<int>(cell), ms_};
}

int FrameLoop::CellAt(std::int64_t elapsedMs, double speed) const {
  if (count_ == 0) return -1;
  const std::int64_t period = LengthMs() * kSpeedUnit;
  const std::int64_t played = MultiplyMod(FloorMod(elapsedMs, period), SpeedUnits(speed), period);
  return FrameAt(played / (static_cast<std::int64_t>(ms_) * kSpeedUnit)).cell;
}

std::vector<int> CellsAt(const std::vector<FrameLoop>& loops, std::int64_t elapsedMs,
                         double speed) {
  std::vector<int> cells;
  cells.reserve(loops.size());
  for (const FrameLoop& loop : loops) cells.push_back(loop.CellAt(elapsedMs, speed));
  return cells;
}

void PlaybackClock::Play(std::int64_t nowMs) {
  if (playing_) return;
  playing_ = true;
  since_ = nowMs;
}

void PlaybackClock::Pause(std::int64_t nowMs) {
  if (!playing_) return;
  playedUnits_ = PlayedUnits(nowMs);
  playing_ = false;
}

void PlaybackClock::SetSpeed(double speed, std::int64_t nowMs) {
  playedUnits_ = PlayedUnits(nowMs);
  since_ = nowMs;
  speedUnits_ = SpeedUnits(speed);
}

std::int64_t PlaybackClock::PlayedMs(std::int64_t nowMs) const {
  return PlayedUnits(nowMs) / kSpeedUnit;
}

std::int64_t PlaybackClock::PlayedUnits(std::int64_t nowMs) const {
  // A wall clock read out of order counts as no time passing, not as time run back.
  if (!playing_ || nowMs <= since_) return playedUnits_;
  return playedUnits_ + (nowMs - since_) * speedUnits_;
}

}  // namespace tessarin
