#include "walk_cycle_view.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>
#include <QVBoxLayout>
#include <utility>

#include "walk_cycle_stage.h"
#include "walk_cycle_strip.h"

namespace tessarin {
namespace {

// About one frame of the screen: no later than that does a cell change show.
constexpr int kTickMs = 16;

// The strip's choices pass straight through.
static_assert(WalkCycleView::kAllDirections == WalkCycleStrip::kAllDirections);

}  // namespace

WalkCycleView::WalkCycleView(QWidget* parent)
    : QWidget(parent),
      strip_(new WalkCycleStrip(this)),
      stage_(new WalkCycleStage(this)),
      timer_(new QTimer(this)) {
  setWindowTitle(tr("歩行"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(strip_);
  layout->addWidget(stage_, 1);
  timer_->setInterval(kTickMs);
  connect(timer_, &QTimer::timeout, this, &WalkCycleView::ShowMoment);
  connect(strip_, &WalkCycleStrip::DirectionChosen, this, &WalkCycleView::ChooseDirection);
  connect(strip_, &WalkCycleStrip::PlayToggled, this, [this](bool play) {
    if (play) {
      Play();
    } else {
      Pause();
    }
  });
  connect(strip_, &WalkCycleStrip::SpeedChosen, this, &WalkCycleView::SetSpeed);

  QElapsedTimer started;
  started.start();
  now_ = [started] { return static_cast<std::int64_t>(started.elapsed()); };
  clock_.Play(now_());
  strip_->SetPlaying(true);
  Rebuild();
}

void WalkCycleView::SetComposite(RasterImage composite) {
  stage_->SetComposite(std::move(composite));
  Rebuild();
}

void WalkCycleView::SetSheet(const SetExtras& extras, bool halfSheet) {
  stage_->SetCells(CellsFor(extras, halfSheet));
  SetAnimations(AnimationsFor(extras, halfSheet));
}

void WalkCycleView::SetCells(const SheetCells& cells) {
  stage_->SetCells(cells);
  Rebuild();
}

void WalkCycleView::SetAnimations(std::vector<Animation> animations) {
  animations_ = std::move(animations);
  if (direction_ != kAllDirections) {
    direction_ = 0;
    for (std::size_t k = 0; k < animations_.size(); ++k) {
      if (animations_[k].name == directionName_) direction_ = static_cast<int>(k);
    }
  }
  Rebuild();
}

void WalkCycleView::ChooseDirection(int choice) {
  if (choice != kAllDirections && (choice < 0 || choice >= static_cast<int>(animations_.size()))) {
    return;
  }
  direction_ = choice;
  Rebuild();
}

void WalkCycleView::Play() {
  clock_.Play(now_());
  strip_->SetPlaying(true);
  RunTimerIfNeeded();
}

void WalkCycleView::Pause() {
  clock_.Pause(now_());
  strip_->SetPlaying(false);
  ShowMoment();
  RunTimerIfNeeded();
}

void WalkCycleView::SetSpeed(double speed) {
  clock_.SetSpeed(speed, now_());
  strip_->SetSpeed(clock_.Speed());
}

void WalkCycleView::SetZoom(int zoom) {
  stage_->SetZoom(zoom);
}

void WalkCycleView::SetClock(WallClock clock) {
  now_ = std::move(clock);
  const bool playing = clock_.IsPlaying();
  const double speed = clock_.Speed();
  clock_ = PlaybackClock();
  clock_.SetSpeed(speed, now_());
  if (playing) clock_.Play(now_());
  ShowMoment();
}

const std::vector<int>& WalkCycleView::ShownCells() const {
  return stage_->ShownCells();
}

void WalkCycleView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ShowMoment();
  RunTimerIfNeeded();
}

void WalkCycleView::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  RunTimerIfNeeded();
}

void WalkCycleView::Rebuild() {
  if (direction_ != kAllDirections && direction_ >= static_cast<int>(animations_.size())) {
    direction_ = 0;
  }
  loops_.clear();
  QStringList names;
  for (const Animation& animation : animations_) {
    names.append(QString::fromStdString(animation.name));
  }
  for (std::size_t k = 0; k < animations_.size(); ++k) {
    if (direction_ == kAllDirections || direction_ == static_cast<int>(k)) {
      loops_.emplace_back(animations_[k]);
    }
  }
  if (direction_ != kAllDirections && !animations_.empty()) {
    directionName_ = animations_[static_cast<std::size_t>(direction_)].name;
  }
  strip_->SetDirections(names, direction_);
  ShowMoment();
  strip_->SetChoicesEnabled(stage_->HasFrames());
  RunTimerIfNeeded();
}

void WalkCycleView::ShowMoment() {
  stage_->ShowCells(CellsAt(loops_, clock_.PlayedMs(now_())));
}

void WalkCycleView::RunTimerIfNeeded() {
  const bool needed = clock_.IsPlaying() && isVisible() && stage_->HasFrames();
  if (needed && !timer_->isActive()) {
    timer_->start();
  } else if (!needed) {
    timer_->stop();
  }
}

}  // namespace tessarin
