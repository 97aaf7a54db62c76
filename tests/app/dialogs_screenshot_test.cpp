// Renders the options dialog and the about dialog (plain and branded) into
// PNGs under the build folder (screenshots/) for people to look at.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <cstdlib>
#include <memory>

#include "app/app_info.h"
#include "app/form_about.h"
#include "app/form_options.h"
#include "app/radio_group.h"
#include "app/url_label.h"
#include "tests/app/key_helpers.h"
#include "tests/app/quiet_options_owner.h"
#include "tests/support/config_home.h"

namespace {

QString shotFile(const char* name)
{
    const QString dir = QStringLiteral(ZELVITOR_TEST_BUILD_DIR) + "/screenshots";
    QDir().mkpath(dir);
    return dir + "/" + name;
}

// Shown, laid out, grabbed and saved; the picture has text on it (dark
// pixels on the light dialog face).
QImage shoot(QWidget& w, const char* name)
{
    w.show();
    QCoreApplication::processEvents();
    const QImage shot = w.grab().toImage();
    EXPECT_TRUE(shot.save(shotFile(name))) << name;
    int dark = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            dark += qGray(shot.pixel(x, y)) < 80;
    EXPECT_GT(dark, 200) << name;
    return shot;
}

struct Screenshots : ::testing::Test {
    void SetUp() override
    {
        KeyHelpers::AppWithDevices();
        ASSERT_TRUE(config.IsValid());
        TmdURLLabel::SetHandlerProbe([](TmdLinkType) { return true; });
        info = std::make_unique<VTixAppInfo>();
        info->SetAppName("Zelvitor");
    }
    void TearDown() override
    {
        TmdURLLabel::SetHandlerProbe({});
        info.reset();
    }
    TestSupport::PrivateConfigHome config;
    std::unique_ptr<VTixAppInfo> info;
};

}  // namespace

TEST_F(Screenshots, OptionsDialog)
{
    TQuietOptionsOwner owner;
    TFormOptions dialog(&owner);
    dialog.EditPIN->setText("1234");
    dialog.EditMyPhone->setText("+420 777 123 456");
    dialog.ComboSCA->setCurrentIndex(0);
    dialog.RGroupAdvanced->SetItemIndex(1);
    dialog.RGroupAdvancedClick();
    const QImage advanced = shoot(dialog, "options_dialog.png");
    // At the basic level the automatics group goes, the dialog keeps its size.
    dialog.RGroupAdvanced->SetItemIndex(0);
    dialog.RGroupAdvancedClick();
    const QImage basic = shoot(dialog, "options_dialog_basic.png");
    EXPECT_EQ(basic.size(), advanced.size());
    EXPECT_LT(advanced.width(), 720);
    EXPECT_LT(advanced.height(), 520);
}

TEST_F(Screenshots, AboutDialog)
{
    TFormAbout about(info.get());
    about.branded = false;
    const QImage plain = shoot(about, "about_dialog.png");
    about.hide();
    about.branded = true;
    const QImage branded = shoot(about, "about_dialog_branded.png");
    EXPECT_GT(branded.height(), plain.height());
    EXPECT_LT(plain.width(), 720);
}
