#include "ui_strings.h"

#include <QCoreApplication>
#include <QString>

namespace tessarin::strings {

QString Translated(const char* text) {
  // The context every text of ui_strings.h is marked with.
  return QCoreApplication::translate("tessarin::strings", text);
}

}  // namespace tessarin::strings
