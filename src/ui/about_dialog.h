#pragma once

#include <QDialog>

class QIcon;

namespace tessarin {

// The program's name and version (template 100). OK, Enter, Esc or the title bar close it.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  AboutDialog(QWidget* parent, const QIcon& icon);
};

}  // namespace tessarin
