#include "about_dialog.h"

#include <QIcon>
#include <QPushButton>

#include "control_ids.h"
#include "dialog_builder.h"
#include "dialog_templates.h"

namespace tessarin {

AboutDialog::AboutDialog(QWidget* parent, const QIcon& icon)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  const QHash<int, QWidget*> controls = BuildDialog(*this, AboutDialogTemplate(), icon);
  if (auto* ok = qobject_cast<QPushButton*>(controls.value(ids::kOk))) {
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  }
}

}  // namespace tessarin
