#include "window_test.h"

#include <QSettings>
#include <QTest>

#include "window_settings.h"

namespace tessarin::ui_testing {

// What the windows remember stays out of the person's own settings.
void WindowTest::initTestCase() {
  QVERIFY(settingsFolder_.isValid());
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder_.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder_.path());
  const QSettings settings(QString::fromUtf8(kSettingsOrganisation),
                           QString::fromUtf8(kSettingsApplication));
  QVERIFY(settings.fileName().startsWith(settingsFolder_.path()));
}

void WindowTest::init() {
  QSettings(QString::fromUtf8(kSettingsOrganisation), QString::fromUtf8(kSettingsApplication))
      .clear();
}

}  // namespace tessarin::ui_testing

QTEST_MAIN(tessarin::ui_testing::WindowTest)
