#include <gtest/gtest.h>

#include <QLabel>
#include <clocale>
#include <cstdio>

#include "tests/support/qt_app.h"

// Showing windows must not make the program crash when it ends.
TEST(QtApp, ShownWindowsSurviveTheEndOfTheProgram)
{
    TestSupport::App();
    auto* label = new QLabel("x");
    label->setAttribute(Qt::WA_DeleteOnClose);
    label->show();
    QLabel kept("y");
    kept.show();
    QApplication::processEvents();
    EXPECT_TRUE(kept.isVisible());
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.1f", 1.5);
    EXPECT_STREQ(buf, "1.5");  // LC_NUMERIC stays "C"
}
