#pragma once

#include <QGroupBox>

namespace tessarin {

// A group box that draws only its etched frame and its title on the top line, leaving its
// inside to what lies beneath. The preview is painted there, and a style that tints a group
// box's inside would change the preview's pixels.
class EtchedGroupBox : public QGroupBox {
  Q_OBJECT

 public:
  EtchedGroupBox(const QString& title, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tessarin
