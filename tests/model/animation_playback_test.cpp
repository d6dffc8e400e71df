#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "animation_playback.h"
#include "set_extras.h"
#include "sheet_metadata.h"

namespace tessarin {

// Found by argument lookup, so outside the unnamed namespace.
void PrintTo(const PlayedFrame& f, std::ostream* os) {
  *os << f.cell << "@" << f.ms << "ms";
}

namespace {

constexpr Playback kForward = Playback::Forward;
constexpr Playback kReverse = Playback::Reverse;
constexpr Playback kPing = Playback::PingPong;
constexpr std::int64_t kHourMs = 3600000;

std::vector<PlayedFrame> OnePass(const FrameLoop& loop) {
  std::vector<PlayedFrame> frames;
  for (std::int64_t k = 0; k < loop.Count(); ++k) frames.push_back(loop.FrameAt(k));
  return frames;
}

std::vector<PlayedFrame> Frames(const std::vector<int>& cells, int ms) {
  std::vector<PlayedFrame> frames;
  for (const int cell : cells) frames.push_back({cell, ms});
  return frames;
}

// The animation by its numbers: a name string in a test's parameters upsets GCC's
// uninitialised-use analysis.
struct LoopCase {
  const char* name;
  int from;
  int to;
  Playback playback;
  int ms;
  std::vector<int> cells;

  Animation Played() const { return {"a", from, to, playback, ms}; }
};

class LoopTest : public ::testing::TestWithParam<LoopCase> {};

TEST_P(LoopTest, PlaysCellsInOrder) {
  const LoopCase& c = GetParam();
  const FrameLoop loop(c.Played());
  EXPECT_EQ(OnePass(loop), Frames(c.cells, c.ms));
  EXPECT_EQ(loop.LengthMs(), static_cast<std::int64_t>(c.cells.size()) * c.ms);
  // The next pass starts over, as the loop goes on for ever.
  EXPECT_EQ(loop.FrameAt(loop.Count()), loop.FrameAt(0));
}

INSTANTIATE_TEST_SUITE_P(
    Directions, LoopTest,
    ::testing::Values(LoopCase{"Forward", 0, 2, kForward, 150, {0, 1, 2}},
                      LoopCase{"Reverse", 0, 2, kReverse, 150, {2, 1, 0}},
                      LoopCase{"PingPongEndsOnce", 0, 2, kPing, 150, {0, 1, 2, 1}},
                      LoopCase{"PingPongLonger", 6, 9, kPing, 90, {6, 7, 8, 9, 8, 7}},
                      LoopCase{"PingPongTwoCells", 3, 4, kPing, 150, {3, 4}},
                      LoopCase{"OneCellForward", 5, 5, kForward, 150, {5}},
                      LoopCase{"OneCellReverse", 5, 5, kReverse, 150, {5}},
                      LoopCase{"OneCellPingPong", 5, 5, kPing, 150, {5}},
                      // set.json accepts from past to: the cells run backwards, as the tag written
                      // for engines plays them.
                      LoopCase{"BackwardsForward", 5, 3, kForward, 150, {5, 4, 3}},
                      LoopCase{"BackwardsReverse", 5, 3, kReverse, 150, {3, 4, 5}},
                      LoopCase{"BackwardsPingPong", 5, 3, kPing, 150, {3, 4, 5, 4}}),
    [](const auto& row) { return std::string(row.param.name); });

struct TimeCase {
  const char* name;
  Animation animation;
  std::int64_t elapsedMs;
  double speed;
  int cell;
};

class TimeTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(TimeTest, ShowsTheCellOfTheMoment) {
  const TimeCase& c = GetParam();
  EXPECT_EQ(FrameLoop(c.animation).CellAt(c.elapsedMs, c.speed), c.cell);
}

const Animation kWalk{"down", 0, 2, kPing, 150};
const Animation kRun{"run", 0, 4, kForward, 70};
constexpr std::int64_t kLatest = std::numeric_limits<std::int64_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Moments, TimeTest,
    ::testing::Values(
        TimeCase{"Start", kWalk, 0, 1, 0}, TimeCase{"LastMomentOfFirstFrame", kWalk, 149, 1, 0},
        TimeCase{"SecondFrame", kWalk, 150, 1, 1}, TimeCase{"FarEnd", kWalk, 300, 1, 2},
        TimeCase{"OnTheWayBack", kWalk, 450, 1, 1},
        TimeCase{"NearEndNotShownTwice", kWalk, 600, 1, 0},
        TimeCase{"SecondPass", kWalk, 750, 1, 1},
        TimeCase{"ForwardStartsOver", {"a", 0, 2, kForward, 150}, 450, 1, 0},
        TimeCase{"ReverseStartsOver", {"a", 0, 2, kReverse, 150}, 450, 1, 2},
        TimeCase{"OneCell", {"a", 7, 7, kPing, 150}, 123456, 1, 7},
        TimeCase{"TwiceAsFast", kWalk, 75, 2, 1},
        TimeCase{"TwiceAsFastJustBefore", kWalk, 74, 2, 0},
        TimeCase{"FourTimesAsFast", kWalk, 38, 4, 1},
        TimeCase{"FourTimesAsFastJustBefore", kWalk, 37, 4, 0},
        TimeCase{"QuarterSpeed", kWalk, 600, 0.25, 1},
        TimeCase{"QuarterSpeedJustBefore", kWalk, 599, 0.25, 0},
        TimeCase{"HalfSpeedBack", kWalk, 900, 0.5, 1},
        TimeCase{"FasterThanFourTimesIsFourTimes", kWalk, 38, 16, 1},
        TimeCase{"SlowerThanAQuarterIsAQuarter", kWalk, 599, 0.01, 0},
        TimeCase{"NotANumberIsOneTime", kWalk, 150, std::nan(""), 1},
        TimeCase{"BeforeTheStartCountsBack", kWalk, -1, 1, 1},
        TimeCase{"TenHours", kWalk, 10 * kHourMs, 1, 0},
        TimeCase{"TenHoursAndAFrame", kWalk, 10 * kHourMs + 150, 1, 1},
        TimeCase{"TenHoursAtAQuarter", kWalk, 10 * kHourMs + 1800, 0.25, 1},
        TimeCase{"ThousandHoursAtFour", kWalk, 1000 * kHourMs + 38, 4, 1},
        TimeCase{"ThousandHoursAtFourJustBefore", kWalk, 1000 * kHourMs + 37, 4, 0},
        TimeCase{"ThousandHoursInAShorterLoop", kRun, 1000 * kHourMs + 5, 4, 1},
        TimeCase{"ThousandHoursInAShorterLoopJustBefore", kRun, 1000 * kHourMs + 4, 4, 0},
        // Worked out apart: the latest moment at half speed lies 303.5 ms into a pass, at a
        // quarter 151.75 ms; half of it at a quarter lies 175.75 ms into a pass of kRun.
        TimeCase{"LatestMomentAtHalf", kWalk, kLatest, 0.5, 2},
        TimeCase{"LatestMomentAtAQuarter", kWalk, kLatest, 0.25, 1},
        TimeCase{"HalfTheLatestAtAQuarter", kRun, kLatest / 2, 0.25, 2}),
    [](const auto& row) { return std::string(row.param.name); });

// Speeds reckoned in floating point land on the 64th they mean, within the bounds.
TEST(SpeedTest, RoundsToTheNearest64th) {
  EXPECT_EQ(SpeedUnits(1.9999), 128);
  EXPECT_EQ(SpeedUnits(1.0 / 3), 21);
  EXPECT_EQ(SpeedUnits(0.99 / 4), 16);
  EXPECT_EQ(SpeedUnits(100), 256);
  EXPECT_EQ(SpeedUnits(-1), 16);
  EXPECT_EQ(SpeedUnits(std::nan("")), 64);
}

TEST(FrameLoopTest, NoFramesShowNoCell) {
  EXPECT_EQ(FrameLoop().Count(), 0);
  EXPECT_EQ(FrameLoop().CellAt(1000), -1);
}

// A loop across every cell an animation can name is worked out, not stored.
TEST(FrameLoopTest, HugeSpansNeedNoMemory) {
  constexpr int kLast = std::numeric_limits<int>::max();
  const FrameLoop loop({"all", 0, kLast, kPing, 3600000});
  EXPECT_EQ(loop.Count(), 2LL * kLast);
  EXPECT_EQ(loop.FrameAt(kLast).cell, kLast);
  EXPECT_EQ(loop.FrameAt(kLast + 1LL).cell, kLast - 1);
  EXPECT_EQ(loop.FrameAt(loop.Count() - 1).cell, 1);
  EXPECT_EQ(loop.CellAt(3600000LL * 5), 5);
  EXPECT_EQ(loop.CellAt(kLatest, 4), loop.CellAt(kLatest % loop.LengthMs() * 4 % loop.LengthMs()));
}

// All directions side by side: one clock, each animation its own pace.
TEST(CellsAtTest, OneClockForAll) {
  SetExtras extras;
  ASSERT_TRUE(ParseSetExtras({}, 192, 192, extras));
  std::vector<FrameLoop> loops;
  for (const Animation& animation : extras.animations) loops.emplace_back(animation);
  EXPECT_EQ(CellsAt(loops, 0), (std::vector<int>{0, 6, 12, 18, 3, 9, 15, 21}));
  EXPECT_EQ(CellsAt(loops, 450), (std::vector<int>{1, 7, 13, 19, 4, 10, 16, 22}));
  EXPECT_EQ(CellsAt(loops, 150, 0.5), CellsAt(loops, 75));

  const std::vector<FrameLoop> mixed{FrameLoop({"slow", 0, 1, kForward, 300}),
                                     FrameLoop({"quick", 2, 4, kForward, 100})};
  EXPECT_EQ(CellsAt(mixed, 250), (std::vector<int>{0, 4}));
  EXPECT_EQ(CellsAt(mixed, 350), (std::vector<int>{1, 2}));
  EXPECT_TRUE(CellsAt({}, 350).empty());
}

struct AreaCase {
  const char* name;
  SheetCells cells;
  int cell;
  CellArea area;
};

class CellAreaTest : public ::testing::TestWithParam<AreaCase> {};

TEST_P(CellAreaTest, FindsTheCellInTheSheet) {
  const AreaCase& c = GetParam();
  const CellArea area = CellAreaOf(c.cells, c.cell);
  EXPECT_EQ(area.IsEmpty(), c.area.IsEmpty());
  if (!c.area.IsEmpty()) {
    EXPECT_EQ(area.x, c.area.x);
    EXPECT_EQ(area.y, c.area.y);
    EXPECT_EQ(area.width, c.area.width);
    EXPECT_EQ(area.height, c.area.height);
  }
}

constexpr SheetCells kSample{6, 4, 32, 48};

INSTANTIATE_TEST_SUITE_P(Cells, CellAreaTest,
                         ::testing::Values(AreaCase{"First", kSample, 0, {0, 0, 32, 48}},
                                           AreaCase{"EndOfRow", kSample, 5, {160, 0, 32, 48}},
                                           AreaCase{"NextRow", kSample, 7, {32, 48, 32, 48}},
                                           AreaCase{"Last", kSample, 23, {160, 144, 32, 48}},
                                           AreaCase{"PastTheGrid", kSample, 24, {}},
                                           AreaCase{"Negative", kSample, -1, {}},
                                           AreaCase{"NoGrid", SheetCells{}, 0, {}}),
                         [](const auto& row) { return std::string(row.param.name); });

// The clock, driven by a script of wall-clock moments.
struct ClockStep {
  enum Action { Play, Pause, Speed, Read } action;
  std::int64_t nowMs;
  double speed = 1;
  std::int64_t playedMs = 0;  // expected, for Read
};

struct ClockCase {
  const char* name;
  std::vector<ClockStep> steps;
};

class ClockTest : public ::testing::TestWithParam<ClockCase> {};

TEST_P(ClockTest, CountsPlayedTime) {
  PlaybackClock clock;
  int step = 0;
  for (const ClockStep& s : GetParam().steps) {
    ++step;
    switch (s.action) {
      case ClockStep::Play:
        clock.Play(s.nowMs);
        break;
      case ClockStep::Pause:
        clock.Pause(s.nowMs);
        break;
      case ClockStep::Speed:
        clock.SetSpeed(s.speed, s.nowMs);
        break;
      case ClockStep::Read:
        EXPECT_EQ(clock.PlayedMs(s.nowMs), s.playedMs) << "step " << step;
        break;
    }
  }
}

using S = ClockStep;

INSTANTIATE_TEST_SUITE_P(
    Scripts, ClockTest,
    ::testing::Values(
        ClockCase{"StandsStillUntilPlayed", {{S::Read, 5000, 1, 0}}},
        ClockCase{"PlaysFromWhenStarted",
                  {{S::Play, 1000}, {S::Read, 1000, 1, 0}, {S::Read, 1150, 1, 150}}},
        ClockCase{"PauseHoldsTheTime",
                  {{S::Play, 1000},
                   {S::Pause, 1200},
                   {S::Read, 9000, 1, 200},
                   {S::Play, 10000},
                   {S::Read, 10100, 1, 300}}},
        ClockCase{"PlayTwiceKeepsTheStart",
                  {{S::Play, 1000}, {S::Play, 1100}, {S::Read, 1200, 1, 200}}},
        ClockCase{"SpeedGoesOnFromNow",
                  {{S::Play, 0},
                   {S::Speed, 100, 2},
                   {S::Read, 100, 1, 100},
                   {S::Read, 200, 1, 300},
                   {S::Speed, 200, 0.25},
                   {S::Read, 600, 1, 400}}},
        ClockCase{"SpeedWhilePaused", {{S::Speed, 0, 4}, {S::Play, 1000}, {S::Read, 1100, 1, 400}}},
        ClockCase{"ClockReadBackwardsDoesNotRunBack",
                  {{S::Play, 1000}, {S::Read, 900, 1, 0}, {S::Read, 1100, 1, 100}}},
        ClockCase{"TenHoursAtAQuarter",
                  {{S::Speed, 0, 0.25}, {S::Play, 0}, {S::Read, 10 * kHourMs, 1, 9000000}}}),
    [](const auto& row) { return std::string(row.param.name); });

// Quarter milliseconds add up exactly: a change of speed every frame for hours loses nothing.
TEST(PlaybackClockTest, ChangingSpeedForHoursDoesNotDrift) {
  PlaybackClock clock;
  clock.SetSpeed(0.25, 0);
  clock.Play(0);
  std::int64_t now = 0;
  const std::int64_t changes = 10 * kHourMs / 150;
  for (std::int64_t k = 0; k < changes; ++k) {
    now += 75;
    clock.SetSpeed(4, now);
    now += 75;
    clock.SetSpeed(0.25, now);
  }
  // Each 150 ms of wall time played 75 ms at a quarter and 75 ms at four times.
  EXPECT_EQ(clock.PlayedMs(now), changes * 75 / 4 + changes * 75 * 4);
  EXPECT_DOUBLE_EQ(clock.Speed(), 0.25);
}

// What engines do with the JSON written beside a sheet: frames by the tag's direction over
// its span, each for its duration. The walk must show the same.
std::vector<PlayedFrame> EngineFrames(const QJsonObject& sheet, const QJsonObject& tag) {
  const int from = tag.value("from").toInt();
  const int to = tag.value("to").toInt();
  const QString direction = tag.value("direction").toString();
  std::vector<int> cells;
  for (int cell = from; cell <= to; ++cell) cells.push_back(cell);
  if (direction == "reverse") {
    std::reverse(cells.begin(), cells.end());
  } else if (direction == "pingpong") {
    for (int cell = to - 1; cell > from; --cell) cells.push_back(cell);
  }
  std::vector<PlayedFrame> frames;
  const QJsonObject durations = sheet.value("frames").toObject();
  for (const int cell : cells) {
    const int ms = durations.value(QString::number(cell)).toObject().value("duration").toInt();
    frames.push_back({cell, ms});
  }
  return frames;
}

TEST(EngineAgreementTest, FramesMatchTheTagsWritten) {
  SheetMetadata metadata;
  metadata.imageName = "hero.png";
  metadata.cells = {6, 4, 32, 48};
  metadata.width = 192;
  metadata.height = 192;
  metadata.animations = {{"forward", 0, 2, kForward, 100},      {"reverse", 3, 5, kReverse, 120},
                         {"pingpong", 6, 9, kPing, 90},         {"back", 14, 12, kForward, 80},
                         {"backReverse", 17, 15, kReverse, 70}, {"backPing", 20, 18, kPing, 60},
                         {"still", 23, 23, kPing, 50}};
  const QJsonObject sheet =
      QJsonDocument::fromJson(QByteArray::fromStdString(SpriteSheetJson(metadata))).object();
  const QJsonArray tags = sheet.value("meta").toObject().value("frameTags").toArray();
  ASSERT_EQ(tags.size(), static_cast<qsizetype>(metadata.animations.size()));
  for (qsizetype k = 0; k < tags.size(); ++k) {
    const Animation& animation = metadata.animations[static_cast<std::size_t>(k)];
    EXPECT_EQ(OnePass(FrameLoop(animation)), EngineFrames(sheet, tags[k].toObject()))
        << animation.name;
  }
}

}  // namespace
}  // namespace tessarin
