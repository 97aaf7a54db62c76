// The about dialog: plain and branded variants, version and date lines,
// links that open what they show.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/app_info.h"
#include "app/form_about.h"
#include "app/url_label.h"
#include "platform/qt/qt_text.h"
#include "tests/app/key_helpers.h"
#include "tests/support/config_home.h"

namespace {

struct About : ::testing::Test {
    void SetUp() override
    {
        KeyHelpers::AppWithDevices();
        ASSERT_TRUE(config.IsValid());
        TmdURLLabel::SetHandlerProbe([](TmdLinkType) { return true; });
        TmdURLLabel::SetUrlOpener([this](const QUrl& url) {
            opened.push_back(url.toString().toStdString());
            return true;
        });
        info = std::make_unique<VTixAppInfo>();
        info->SetAppName("Zelvitor");
    }
    void TearDown() override
    {
        TmdURLLabel::SetUrlOpener({});
        TmdURLLabel::SetHandlerProbe({});
        info.reset();
        QCoreApplication::processEvents();
    }

    TestSupport::PrivateConfigHome config;
    std::unique_ptr<VTixAppInfo> info;
    std::vector<std::string> opened;
};

std::vector<QWidget*> distributorPart(TFormAbout& a)
{
    return {a.LabelContact1, a.ImageQor, a.ImageDistributor, a.UrlLabel3, a.UrlLabel4, a.MemoContact};
}

}  // namespace

TEST_F(About, BrandedUntilStartUpSaysOtherwise)
{
    TFormAbout about(info.get());
    EXPECT_EQ(about.objectName(), "FormAbout");
    EXPECT_EQ(about.windowTitle(), "O aplikaci ...");
    EXPECT_TRUE(about.branded);  // no registry value: default 1
    about.show();
    for (QWidget* w : distributorPart(about))
        EXPECT_FALSE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_TRUE(about.LabelCopyright->isHidden());
    EXPECT_TRUE(about.ImageLogo->isHidden());
    about.hide();

    // Start-up clears it: the plain variant from the next showing on.
    about.branded = false;
    about.show();
    for (QWidget* w : distributorPart(about))
        EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_FALSE(about.LabelCopyright->isHidden());
    EXPECT_FALSE(about.ImageLogo->isHidden());
    EXPECT_FALSE(about.ImageLogo->pixmap().isNull());
    EXPECT_FALSE(about.ImageQor->pixmap().isNull());
    EXPECT_FALSE(about.ImageDistributor->pixmap().isNull());
}

TEST_F(About, RegistryValueChoosesTheVariantAtCreation)
{
    info->WriteRegistryInteger("", "IsMavikQor", 0);
    EXPECT_FALSE(TFormAbout(info.get()).branded);
    info->WriteRegistryInteger("", "IsMavikQor", 7);
    EXPECT_TRUE(TFormAbout(info.get()).branded);
}

TEST_F(About, VersionLineFollowsTheLanguage)
{
    TFormAbout about(info.get());
    about.branded = false;
    about.show();
    const std::string product = info->GetProductName(), version = info->GetProductVersion();
    ASSERT_FALSE(product.empty());
    ASSERT_FALSE(version.empty());
    EXPECT_EQ(Platform::FromQString(about.LabelVersion->text()), product + " Verze " + version);

    // A language change while the box is open.
    std::vector<std::string> asked;
    about.SetTextLookup([&](const std::string& s, const std::string& k, const std::string& d) {
        asked.push_back(s + "/" + k);
        return k == "Version" ? std::string("Version") : d;
    });
    about.refreshTexts();
    EXPECT_EQ(Platform::FromQString(about.LabelVersion->text()), product + " Version " + version);
    EXPECT_EQ(asked, (std::vector<std::string>{"FormAbout/Version"}));
}

TEST_F(About, DateLineShowsTheBuildTimeTimeFirst)
{
    TFormAbout about(info.get());
    EXPECT_EQ(about.buildTime, info->GetSourceLastModified());
    ASSERT_TRUE(about.buildTime.isValid());
    const QString text = about.LabelDate->text();
    EXPECT_EQ(text, TFormAbout::BuildDateText(about.buildTime));
    const QString fixed = TFormAbout::BuildDateText(QDateTime(QDate(2026, 12, 9), QTime(7, 5, 3)));
    // Seconds shown, the time before the date, no time zone.
    const qsizetype time = fixed.indexOf("5:03");
    ASSERT_GE(time, 0) << fixed.toStdString();
    EXPECT_GT(fixed.indexOf("2026"), time) << fixed.toStdString();
    for (const char* zone : {"UTC", "GMT", "CET", "+0"})
        EXPECT_FALSE(fixed.contains(zone)) << fixed.toStdString();
}

TEST_F(About, LinksOpenWhatTheyShow)
{
    TFormAbout about(info.get());
    about.show();
    for (TmdURLLabel* link : {about.UrlLabel1, about.UrlLabel2, about.UrlLabel3, about.UrlLabel4}) {
        const std::string shown = link->GetCaption();
        ASSERT_FALSE(shown.empty());
        const bool mail = shown.find('@') != std::string::npos;
        EXPECT_EQ(link->Target(), (mail ? "mailto:" : "http://") + shown) << shown;
        EXPECT_TRUE(link->IsLink());
        link->Click();
    }
    ASSERT_EQ(opened.size(), 4u);
    EXPECT_EQ(opened[0], "mailto:" + about.UrlLabel1->GetCaption());
    EXPECT_EQ(opened[1], "http://" + about.UrlLabel2->GetCaption());
    // Mail links for 1 and 3, web links for 2 and 4.
    EXPECT_EQ(about.UrlLabel1->GetLinkType(), TmdLinkType::mailto);
    EXPECT_EQ(about.UrlLabel3->GetLinkType(), TmdLinkType::mailto);
    EXPECT_EQ(about.UrlLabel2->GetLinkType(), TmdLinkType::http);
    EXPECT_EQ(about.UrlLabel4->GetLinkType(), TmdLinkType::http);
}

TEST_F(About, FixedSizeDialogClosedByItsButton)
{
    TFormAbout about(info.get());
    about.branded = false;
    about.show();
    EXPECT_FALSE(about.isModal());
    EXPECT_TRUE(about.windowFlags() & Qt::MSWindowsFixedSizeDialogHint);
    EXPECT_TRUE(about.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(about.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_TRUE(about.BtnDone->isDefault());
    EXPECT_EQ(about.BtnDone->text(), QString::fromUtf8("Zavřít"));
    // The memos are read-only and show every line.
    EXPECT_TRUE(about.MemoAddress->isReadOnly());
    EXPECT_GE(about.MemoAddress->height(),
              about.MemoAddress->document()->blockCount() * about.MemoAddress->fontMetrics().lineSpacing());
    about.BtnDone->click();
    EXPECT_FALSE(about.isVisible());
}
