#include "walk_cycle_strip.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

namespace tessarin {
namespace {

constexpr double kSpeeds[] = {0.25, 0.5, 1, 2, 4};

}  // namespace

WalkCycleStrip::WalkCycleStrip(QWidget* parent)
    : QWidget(parent),
      directions_(new QComboBox(this)),
      play_(new QPushButton(this)),
      speeds_(new QComboBox(this)) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(directions_, 1);
  layout->addWidget(play_);
  auto* speedLabel = new QLabel(tr("速度"), this);
  speedLabel->setBuddy(speeds_);
  layout->addWidget(speedLabel);
  layout->addWidget(speeds_);
  for (const double speed : kSpeeds) speeds_->addItem(tr("%1倍").arg(speed), speed);
  SetSpeed(1);
  SetPlaying(false);

  // Changes made here are made under a signal blocker: only a person's choices are told.
  connect(directions_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) emit DirectionChosen(directions_->itemData(index).toInt());
  });
  connect(play_, &QPushButton::clicked, this, [this] { emit PlayToggled(!playing_); });
  connect(speeds_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) emit SpeedChosen(speeds_->itemData(index).toDouble());
  });
}

void WalkCycleStrip::SetDirections(const QStringList& names, int choice) {
  const QSignalBlocker quiet(directions_);
  directions_->clear();
  for (int k = 0; k < names.size(); ++k) directions_->addItem(names[k], k);
  if (!names.isEmpty()) directions_->addItem(tr("全方向"), kAllDirections);
  directions_->setCurrentIndex(directions_->findData(choice));
}

void WalkCycleStrip::SetPlaying(bool playing) {
  playing_ = playing;
  // The button names what a press does.
  play_->setText(playing ? tr("一時停止") : tr("再生"));
}

void WalkCycleStrip::SetSpeed(double speed) {
  const QSignalBlocker quiet(speeds_);
  int index = 0;
  while (index < speeds_->count() && speeds_->itemData(index).toDouble() < speed) ++index;
  // A speed set from outside that the list lacks joins it in its place.
  if (index == speeds_->count() || speeds_->itemData(index).toDouble() != speed) {
    speeds_->insertItem(index, tr("%1倍").arg(speed), speed);
  }
  speeds_->setCurrentIndex(index);
}

void WalkCycleStrip::SetChoicesEnabled(bool enabled) {
  directions_->setEnabled(enabled);
  play_->setEnabled(enabled);
  speeds_->setEnabled(enabled);
}

}  // namespace tessarin
