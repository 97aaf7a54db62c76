// Window placement with two screens side by side: a saved window on the
// second screen stays there; one whose title bar is on no screen comes
// back onto the first.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#include "app/app_info.h"
#include "platform/qt/registry.h"
#include "tests/app/key_helpers.h"
#include "tests/support/config_home.h"

namespace {

// The application on an offscreen platform with two screens: 1024 x 768
// and, right of it, 1280 x 1024.
QApplication& TwoScreenApp()
{
    static QTemporaryDir dir;
    if (QCoreApplication::instance() == nullptr) {
        const QString file = dir.path() + "/screens.json";
        QFile f(file);
        if (f.open(QIODevice::WriteOnly)) {
            f.write(R"({"synthesizedWindowFrame": false, "screens": [
                {"name": "left", "x": 0, "y": 0, "width": 1024, "height": 768},
                {"name": "right", "x": 1024, "y": 0, "width": 1280, "height": 1024}]})");
            f.close();
        }
        setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + file).toLocal8Bit().constData(), 1);
    }
    return KeyHelpers::AppWithDevices();
}

}  // namespace

TEST(PlacementOnTwoScreens, SavedWindowOnTheSecondScreenStaysThere)
{
    TwoScreenApp();
    ASSERT_EQ(QGuiApplication::screens().size(), 2);
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 1024, 768));
    TestSupport::PrivateConfigHome config;
    ASSERT_TRUE(config.IsValid());

    QWidget second, lost;
    second.setObjectName("FormSecond");
    lost.setObjectName("FormLost");
    {
        Platform::TRegistry reg(false, "Tix", "Zelvitor");
        for (auto [form, left] : {std::pair{"FormSecond", 1400}, std::pair{"FormLost", 3000}}) {
            const std::string key = std::string("Options\\Forms\\") + form;
            reg.WriteInteger(key, "WindowState", 1);
            reg.WriteInteger(key, "Left", left);
            reg.WriteInteger(key, "Top", 200);
            reg.WriteInteger(key, "Width", 400);
            reg.WriteInteger(key, "Height", 300);
        }
        reg.Sync();
    }
    VTixAppInfo info;
    info.SetAppName("Zelvitor");
    info.SetInhibitApplRunning(true);
    info.loadPositions();
    EXPECT_EQ(second.pos(), QPoint(1400, 200));
    EXPECT_EQ(second.size(), QSize(400, 300));
    // Off every screen: moved left until its caption is on the first one.
    EXPECT_LT(lost.x(), 1024 - 10);
    EXPECT_GT(lost.x(), 1024 - 80);
    EXPECT_EQ(lost.y(), 200);
}
