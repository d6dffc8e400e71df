#include "walk_cycle_stage.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "animation_playback.h"

namespace tessarin {
namespace {

constexpr int kMargin = 4;
constexpr int kGap = 8;
constexpr int kCheckerSquare = 8;
// B, G, R, A.
constexpr std::uint8_t kCheckerLight[4] = {0xFF, 0xFF, 0xFF, 0xFF};
constexpr std::uint8_t kCheckerDark[4] = {0xCC, 0xCC, 0xCC, 0xFF};
// Enough for every cell of a 2048 x 2048 sheet at 2x; larger sheets draw what does not fit
// afresh at each step.
constexpr std::size_t kKeptBytes = 64u << 20;

// The checkerboard of a frame, seen through picture placed at offset within the frame.
void FillChecker(RasterImage& picture, QPoint offset) {
  const auto width = static_cast<std::size_t>(picture.Width());
  std::vector<std::uint8_t> rows[2];
  for (int parity = 0; parity < 2; ++parity) {
    rows[parity].resize(4 * width);
    for (std::size_t x = 0; x < width; ++x) {
      const int square = (static_cast<int>(x) + offset.x()) / kCheckerSquare;
      const bool light = (square + parity) % 2 == 0;
      std::memcpy(&rows[parity][4 * x], light ? kCheckerLight : kCheckerDark, 4);
    }
  }
  for (int y = 0; y < picture.Height(); ++y) {
    const int parity = (y + offset.y()) / kCheckerSquare % 2;
    std::memcpy(picture.Row(y), rows[parity].data(), 4 * width);
  }
}

}  // namespace

WalkCycleStage::WalkCycleStage(QWidget* parent) : QWidget(parent) {}

void WalkCycleStage::SetComposite(RasterImage composite) {
  composite_ = std::move(composite);
  Forget();
}

void WalkCycleStage::SetCells(const SheetCells& cells) {
  cells_ = cells;
  Forget();
}

void WalkCycleStage::SetZoom(int zoom) {
  zoom_ = std::clamp(zoom, 1, 8);
  Forget();
}

void WalkCycleStage::ShowCells(const std::vector<int>& cells) {
  if (cells == shown_) return;
  const bool sameFrames = cells.size() == shown_.size();
  const std::vector<int> before = std::exchange(shown_, cells);
  if (!sameFrames) {
    updateGeometry();
    update();
    return;
  }
  // Only the frames whose cell changed are painted again.
  for (std::size_t k = 0; k < cells.size(); ++k) {
    if (cells[k] != before[k]) update(FrameArea(static_cast<int>(k)));
  }
}

bool WalkCycleStage::HasFrames() const {
  return cells_.columns > 0 && !composite_.IsNull() && !shown_.empty();
}

QString WalkCycleStage::Message() const {
  if (HasFrames()) return {};
  if (cells_.columns == 0) return tr("このシートはセルに区切られていません");
  if (composite_.IsNull()) return tr("キャラクターがありません");
  return tr("アニメーションがありません");
}

QSize WalkCycleStage::FrameSize() const {
  return {cells_.width * zoom_, cells_.height * zoom_};
}

int WalkCycleStage::FramesPerRow(int width) const {
  const int count = static_cast<int>(shown_.size());
  const int fits = (width - 2 * kMargin + kGap) / (FrameSize().width() + kGap);
  return std::clamp(fits, 1, std::max(count, 1));
}

QRect WalkCycleStage::FrameArea(int k) const {
  if (k < 0 || k >= static_cast<int>(shown_.size()) || !HasFrames()) return {};
  const QSize frame = FrameSize();
  const int count = static_cast<int>(shown_.size());
  const int perRow = FramesPerRow(width());
  const int row = k / perRow;
  const int inRow = std::min(perRow, count - row * perRow);
  const int rowWidth = inRow * frame.width() + (inRow - 1) * kGap;
  const int left = std::max(kMargin, (width() - rowWidth) / 2);
  return {
      QPoint(left + k % perRow * (frame.width() + kGap), kMargin + row * (frame.height() + kGap)),
      frame};
}

QSize WalkCycleStage::sizeHint() const {
  if (!HasFrames()) {
    return {fontMetrics().horizontalAdvance(Message()) + 2 * kMargin,
            fontMetrics().height() + 2 * kMargin};
  }
  const int count = static_cast<int>(shown_.size());
  const QSize frame = FrameSize();
  return {count * frame.width() + (count - 1) * kGap + 2 * kMargin, frame.height() + 2 * kMargin};
}

int WalkCycleStage::heightForWidth(int width) const {
  if (!HasFrames()) return sizeHint().height();
  const int count = static_cast<int>(shown_.size());
  const int perRow = FramesPerRow(width);
  const int rows = (count + perRow - 1) / perRow;
  return rows * FrameSize().height() + (rows - 1) * kGap + 2 * kMargin;
}

void WalkCycleStage::Forget() {
  drawn_.clear();
  drawnBytes_ = 0;
  updateGeometry();
  update();
}

const RasterImage& WalkCycleStage::FramePicture(int k) {
  const QRect frame = FrameArea(k);
  // Only the part inside the widget: a frame of a large sheet can run far past it.
  const QRect part = frame.intersected(rect()).translated(-frame.topLeft());
  const int cell = shown_[static_cast<std::size_t>(k)];
  const auto kept = drawn_.find(cell);
  if (kept != drawn_.end()) {
    if (kept->second.part == part) return kept->second.picture;
    drawnBytes_ -= 4 * static_cast<std::size_t>(kept->second.part.width()) *
                   static_cast<std::size_t>(kept->second.part.height());
    drawn_.erase(kept);
  }
  if (part.isEmpty()) return none_;
  const std::size_t bytes =
      4 * static_cast<std::size_t>(part.width()) * static_cast<std::size_t>(part.height());
  if (drawnBytes_ + bytes > kKeptBytes) {
    drawn_.clear();
    drawnBytes_ = 0;
  }
  RasterImage picture;
  try {
    if (!picture.Create(part.width(), part.height(), 32, false)) return none_;
  } catch (const std::bad_alloc&) {
    // Painting cannot stop to tell; the frame stays blank until memory is found.
    return none_;
  }
  FillChecker(picture, part.topLeft());
  const CellArea source = CellAreaOf(cells_, cell);
  if (!source.IsEmpty()) {
    // The classic rule, as the window's preview blends: the walk shows the character the
    // preview shows.
    composite_.Draw(picture, -part.x(), -part.y(), source.width * zoom_, source.height * zoom_,
                    source.x, source.y, source.width, source.height, BlendRule::Classic);
  }
  drawnBytes_ += bytes;
  Drawn& drawn = drawn_[cell];
  drawn = Drawn{std::move(picture), part};
  return drawn.picture;
}

void WalkCycleStage::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (!HasFrames()) {
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignCenter, Message());
    return;
  }
  for (int k = 0; k < static_cast<int>(shown_.size()); ++k) {
    const QRect area = FrameArea(k).intersected(rect());
    if (!area.intersects(event->rect())) continue;
    const RasterImage& picture = FramePicture(k);
    if (picture.IsNull()) continue;
    const QImage view(picture.Row(0), picture.Width(), picture.Height(),
                      static_cast<qsizetype>(picture.Stride()), QImage::Format_RGB32);
    painter.drawImage(area.topLeft(), view);
  }
}

}  // namespace tessarin
