#include "app/url_label.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QProcess>
#include <optional>

#include "foundation/tixutils_text.h"
#include "platform/qt/qt_text.h"

namespace {

bool containsChar(const std::string& s, char c) { return s.find(c) != std::string::npos; }

const char* prefixOf(TmdLinkType kind) { return kind == TmdLinkType::mailto ? "mailto:" : "http://"; }

// What the desktop was asked about each kind of link, asked at most once.
struct DesktopStandIns {
    TmdURLLabel::THandlerProbe probe;
    TmdURLLabel::TUrlOpener opener;
    std::optional<bool> known[2];
};

DesktopStandIns& desktop()
{
    static DesktopStandIns d;
    return d;
}

bool askXdgMime(TmdLinkType kind)
{
    QProcess p;
    p.start(QStringLiteral("xdg-mime"),
            {QStringLiteral("query"), QStringLiteral("default"),
             kind == TmdLinkType::mailto ? QStringLiteral("x-scheme-handler/mailto")
                                         : QStringLiteral("x-scheme-handler/http")});
    if (!p.waitForStarted(3000))
        return false;
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(1000);
        return false;
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 &&
           !p.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace

void TmdURLLabel::SetHandlerProbe(THandlerProbe probe)
{
    desktop().probe = std::move(probe);
    desktop().known[0].reset();
    desktop().known[1].reset();
}

void TmdURLLabel::SetUrlOpener(TUrlOpener opener) { desktop().opener = std::move(opener); }

bool TmdURLLabel::HandlerExists(TmdLinkType kind)
{
    std::optional<bool>& known = desktop().known[kind == TmdLinkType::mailto ? 1 : 0];
    if (!known)
        known = desktop().probe ? desktop().probe(kind) : askXdgMime(kind);
    return *known;
}

TmdURLLabel::TmdURLLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);  // no accelerator underlines, no markup
    FPassiveFont.font = font();
    FPassiveFont.color = palette().color(QPalette::WindowText);
    FLinkFont.font = font();
    FLinkFont.font.setUnderline(true);
    FLinkFont.color = QColor(0, 0, 255);
    testLinkable();
    rebuildShownText();
    applyLook();
}

void TmdURLLabel::SetURL(const std::string& value)
{
    if (value == FURL)
        return;
    // The kind follows the address; re-testing the desktop waits for a
    // change of LinkType itself.
    if (containsChar(value, '@'))
        FLinkType = TmdLinkType::mailto;
    if (containsChar(value, '/'))
        FLinkType = TmdLinkType::http;
    if (Tixutils::ComparePrefixIC(value, "mailto:") || Tixutils::ComparePrefixIC(value, "http://"))
        FURL = value.substr(7);
    else
        FURL = value;
    rebuildShownText();
}

void TmdURLLabel::SetLinkType(TmdLinkType value)
{
    if (value == FLinkType)
        return;
    FLinkType = value;
    testLinkable();
    if (value == TmdLinkType::mailto && FURL == PlaceholderHttp)
        FURL = PlaceholderMailto;
    else if (value == TmdLinkType::http && FURL == PlaceholderMailto)
        FURL = PlaceholderHttp;
    rebuildShownText();
    applyLook();
}

void TmdURLLabel::SetLabelType(TmdLabelType value)
{
    FLabelType = value;
    applyLook();
}

void TmdURLLabel::SetLinkFont(const TLabelFont& value)
{
    FLinkFont = value;
    applyLook();
}

void TmdURLLabel::SetPassiveFont(const TLabelFont& value)
{
    FPassiveFont = value;
    applyLook();
}

void TmdURLLabel::SetActiveCursor(const QCursor& value)
{
    FActiveCursor = value;
    applyLook();
}

void TmdURLLabel::SetPassiveCursor(const QCursor& value)
{
    FPassiveCursor = value;
    applyLook();
}

void TmdURLLabel::SetShowPrefix(bool value)
{
    FShowPrefix = value;
    rebuildShownText();
}

void TmdURLLabel::SetURLAsHint(bool value)
{
    FURLAsHint = value;
    rebuildShownText();
}

std::string TmdURLLabel::GetCaption() const { return Platform::FromQString(text()); }

void TmdURLLabel::SetCaption(const std::string& value)
{
    FCaptionSet = true;
    setText(Platform::ToQString(value));
}

std::string TmdURLLabel::GetHint()
{
    FURLAsHint = false;
    return Platform::FromQString(toolTip());
}

void TmdURLLabel::SetHint(const std::string& value) { setToolTip(Platform::ToQString(value)); }

bool TmdURLLabel::IsLink() const
{
    return FLabelType == TmdLabelType::Link || (FLabelType == TmdLabelType::Auto && FLinkable);
}

std::string TmdURLLabel::Target() const { return std::string(prefixOf(FLinkType)) + FURL; }

void TmdURLLabel::Click()
{
    if (FOnClick)
        FOnClick(this);
    if (!IsLink())
        return;
    const QUrl url(Platform::ToQString(Target()));
    if (desktop().opener)
        desktop().opener(url);
    else
        QDesktopServices::openUrl(url);
}

void TmdURLLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Click();
}

void TmdURLLabel::rebuildShownText()
{
    FShownText = FShowPrefix ? std::string(prefixOf(FLinkType)) + FURL : FURL;
    if (!FCaptionSet)
        setText(Platform::ToQString(FShownText));
    setToolTip(FURLAsHint ? Platform::ToQString(FShownText) : QString());
}

void TmdURLLabel::applyLook()
{
    const bool link = IsLink();
    const TLabelFont& f = link ? FLinkFont : FPassiveFont;
    setFont(f.font);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, f.color);
    setPalette(pal);
    setCursor(link ? FActiveCursor : FPassiveCursor);
}

void TmdURLLabel::testLinkable() { FLinkable = HandlerExists(FLinkType); }
