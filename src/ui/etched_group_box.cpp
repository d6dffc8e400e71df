#include "etched_group_box.h"

#include <qdrawutil.h>
#include <QPainter>
#include <QRegion>
#include <QStyle>

namespace tessarin {

EtchedGroupBox::EtchedGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

void EtchedGroupBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFontMetrics metrics = fontMetrics();
  const int lineY = metrics.height() / 2;
  const int indent = metrics.height() / 2;
  const int gap = metrics.averageCharWidth() / 2;
  const QRect titleArea(indent, 0, metrics.horizontalAdvance(title()) + 2 * gap, metrics.height());

  painter.setClipRegion(QRegion(rect()).subtracted(QRegion(titleArea)));
  qDrawShadeRect(&painter, 0, lineY, width(), height() - lineY, palette(), true, 1, 0);
  painter.setClipping(false);
  style()->drawItemText(&painter, titleArea, Qt::AlignCenter | Qt::TextShowMnemonic, palette(),
                        isEnabled(), title(), QPalette::WindowText);
}

}  // namespace tessarin
