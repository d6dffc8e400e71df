#include "dialog_builder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

#include "dialog_font.h"
#include "dialog_templates.h"
#include "dialog_units.h"
#include "etched_group_box.h"

namespace tessarin {
namespace {

// Static icons show at the system's icon size, whatever the template's size says.
constexpr int kIconSize = 32;

QWidget* CreateControl(const ControlTemplate& control, QDialog& dialog, const QIcon& icon) {
  // Windows line ends in template texts; Qt breaks lines at "\n" alone.
  const QString text = QCoreApplication::translate(kDialogTemplateContext, control.text)
                           .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  switch (control.kind) {
    case ControlKind::GroupBox:
      return new EtchedGroupBox(text, &dialog);
    case ControlKind::DropDownList:
      return new QComboBox(&dialog);
    case ControlKind::PushButton:
      return new QPushButton(text, &dialog);
    case ControlKind::DefaultPushButton: {
      auto* button = new QPushButton(text, &dialog);
      button->setDefault(true);
      return button;
    }
    case ControlKind::Label: {
      auto* label = new QLabel(text, &dialog);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return label;
    }
    case ControlKind::EtchedFrame: {
      auto* frame = new QFrame(&dialog);
      frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
      return frame;
    }
    case ControlKind::ListBox: {
      auto* list = new QListWidget(&dialog);
      list->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
      list->setSelectionMode(QAbstractItemView::SingleSelection);
      list->setSortingEnabled(false);
      list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      // A right click on a list belongs to the list: the window's menu stays away.
      list->setContextMenuPolicy(Qt::PreventContextMenu);
      return list;
    }
    case ControlKind::CheckBox:
      return new QCheckBox(text, &dialog);
    case ControlKind::Icon: {
      auto* label = new QLabel(&dialog);
      label->setPixmap(icon.pixmap(kIconSize, kIconSize));
      return label;
    }
  }
  return nullptr;
}

void Place(QWidget& widget, const ControlTemplate& control, const DialogBaseUnits& units) {
  QRect geometry = ToPixels(units, control.x, control.y, control.width, control.height);
  if (control.kind == ControlKind::Icon) {
    geometry.setSize(QSize(kIconSize, kIconSize));
  } else if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
    // A template gives a drop-down list's height with its list open; closed, it is as high as
    // the style makes it, and the open list shows about as many lines as fit the rest.
    const int closed = combo->sizeHint().height();
    const int line = std::max(1, combo->fontMetrics().height());
    combo->setMaxVisibleItems(std::max(1, (geometry.height() - closed) / line));
    geometry.setHeight(closed);
  }
  widget.setGeometry(geometry);
}

}  // namespace

QHash<int, QWidget*> BuildDialog(QDialog& dialog, const DialogTemplate& layout, const QIcon& icon) {
  const QFont font = DialogFont(QString::fromUtf8(layout.fontFace), layout.pointSize);
  const DialogBaseUnits units = BaseUnitsOf(font);
  dialog.setFont(font);
  dialog.setWindowTitle(QCoreApplication::translate(kDialogTemplateContext, layout.title));
  dialog.setWindowIcon(icon);
  dialog.setFixedSize(ToPixels(units, layout.width, layout.height));

  QHash<int, QWidget*> controls;
  QWidget* previous = nullptr;
  for (const ControlTemplate& control : layout.controls) {
    QWidget* widget = CreateControl(control, dialog, icon);
    if (widget == nullptr) continue;
    Place(*widget, control, units);
    if (control.hidden) widget->setHidden(true);
    if (control.id >= 0) {
      widget->setObjectName(QStringLiteral("id%1").arg(control.id));
      controls.insert(control.id, widget);
    }
    if (previous != nullptr) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
  return controls;
}

}  // namespace tessarin
