#include <gtest/gtest.h>

#include <QUrl>
#include <map>

#include "app/url_label.h"
#include "tests/app/key_helpers.h"

namespace {

// The desktop as the tests script it: which kinds have a handler, what
// was opened, how often the desktop was asked.
struct UrlLabel : ::testing::Test {
    void SetUp() override
    {
        KeyHelpers::AppWithDevices();
        TmdURLLabel::SetHandlerProbe([this](TmdLinkType kind) {
            ++asked[kind];
            return handlers[kind];
        });
        TmdURLLabel::SetUrlOpener([this](const QUrl& url) {
            opened.push_back(url.toString().toStdString());
            return true;
        });
    }
    void TearDown() override
    {
        TmdURLLabel::SetHandlerProbe(nullptr);
        TmdURLLabel::SetUrlOpener(nullptr);
    }
    std::map<TmdLinkType, bool> handlers{{TmdLinkType::http, true}, {TmdLinkType::mailto, true}};
    std::map<TmdLinkType, int> asked;
    std::vector<std::string> opened;
};

}  // namespace

TEST_F(UrlLabel, PrefixesAreCutAndTheKindFollowsTheAddress)
{
    TmdURLLabel l;
    l.SetURL("HTTP://www.tix.cz/zelvitor");
    EXPECT_EQ(l.GetURL(), "www.tix.cz/zelvitor");
    EXPECT_EQ(l.GetLinkType(), TmdLinkType::http);
    l.SetURL("MailTo:info@tix.cz");
    EXPECT_EQ(l.GetURL(), "info@tix.cz");
    EXPECT_EQ(l.GetLinkType(), TmdLinkType::mailto);
    EXPECT_EQ(l.text(), "info@tix.cz");
    EXPECT_EQ(l.toolTip(), "info@tix.cz");
    l.SetURL("user@host/path");  // "/" wins over "@"
    EXPECT_EQ(l.GetLinkType(), TmdLinkType::http);
    l.SetShowPrefix(true);
    EXPECT_EQ(l.text(), "http://user@host/path");
    EXPECT_EQ(l.Target(), "http://user@host/path");
}

TEST_F(UrlLabel, ExplicitCaptionStaysWhileTheHintFollows)
{
    TmdURLLabel l;
    l.SetCaption("Napi\x9Ate n\xE1m");
    l.SetURL("a@b.cz");
    EXPECT_EQ(l.GetCaption(), "Napi\x9Ate n\xE1m");
    EXPECT_EQ(l.toolTip(), "a@b.cz");
    // Reading the hint takes it over: the address no longer writes it.
    EXPECT_EQ(l.GetHint(), "a@b.cz");
    EXPECT_FALSE(l.GetURLAsHint());
    l.SetURL("c@d.cz");
    EXPECT_EQ(l.toolTip(), "");
}

TEST_F(UrlLabel, LinkTypeSwapsThePlaceholders)
{
    TmdURLLabel l;
    EXPECT_EQ(l.GetURL(), TmdURLLabel::PlaceholderHttp);
    l.SetLinkType(TmdLinkType::mailto);
    EXPECT_EQ(l.GetURL(), TmdURLLabel::PlaceholderMailto);
    l.SetLinkType(TmdLinkType::http);
    EXPECT_EQ(l.GetURL(), TmdURLLabel::PlaceholderHttp);
    l.SetURL("www.tix.cz");
    l.SetLinkType(TmdLinkType::mailto);
    EXPECT_EQ(l.GetURL(), "www.tix.cz");  // a real address stays
}

TEST_F(UrlLabel, ClicksOpenLinksOnly)
{
    TmdURLLabel l;
    int clicks = 0;
    l.SetOnClick([&](QObject*) { ++clicks; });
    l.SetURL("mailto:info@tix.cz");
    l.Click();
    EXPECT_EQ(opened, std::vector<std::string>{"mailto:info@tix.cz"});
    l.SetLabelType(TmdLabelType::Passive);
    EXPECT_FALSE(l.IsLink());
    EXPECT_EQ(l.cursor().shape(), Qt::ArrowCursor);
    l.Click();
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_EQ(clicks, 2);  // the label's own click still comes
    l.SetLabelType(TmdLabelType::Link);
    EXPECT_EQ(l.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(l.font().underline());
    l.SetURL("http://www.tix.cz");
    l.Click();
    EXPECT_EQ(opened.back(), "http://www.tix.cz");
}

TEST_F(UrlLabel, WithoutAHandlerAnAutoLabelIsPassive)
{
    handlers[TmdLinkType::http] = false;
    TmdURLLabel::SetHandlerProbe([this](TmdLinkType kind) {
        ++asked[kind];
        return handlers[kind];
    });
    TmdURLLabel l;
    l.SetURL("http://www.tix.cz");
    EXPECT_FALSE(l.IsLink());
    EXPECT_FALSE(l.font().underline());
    EXPECT_EQ(l.palette().color(QPalette::WindowText), l.GetPassiveFont().color);
    l.Click();
    EXPECT_TRUE(opened.empty());
    // A mail label can still link; each kind is asked once for all labels.
    TmdURLLabel m;
    m.SetLinkType(TmdLinkType::mailto);
    TmdURLLabel m2;
    m2.SetLinkType(TmdLinkType::mailto);
    EXPECT_TRUE(m.IsLink());
    EXPECT_EQ(m.palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(asked[TmdLinkType::http], 1);
    EXPECT_EQ(asked[TmdLinkType::mailto], 1);
}
