#include <QTest>

#include "window_test.h"

QTEST_MAIN(tessarin::ui_testing::WindowTest)
