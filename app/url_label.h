#pragma once
#include <QColor>
#include <QCursor>
#include <QFont>
#include <QLabel>
#include <QUrl>
#include <functional>
#include <string>

enum class TmdLinkType { http, mailto };
enum class TmdLabelType { Auto, Passive, Link };

// A label showing a web or e-mail address that opens it with the desktop's
// default handler when clicked.
class TmdURLLabel : public QLabel {
    Q_OBJECT
public:
    // Whether the desktop has a default handler for a kind of link.
    using THandlerProbe = std::function<bool(TmdLinkType)>;
    // Opens a link; the result is ignored, as a shell's would be.
    using TUrlOpener = std::function<bool(const QUrl&)>;
    using TNotifyEvent = std::function<void(QObject* Sender)>;

    // A font as the label uses it: typeface and colour together.
    struct TLabelFont {
        QFont font;
        QColor color;
    };

    explicit TmdURLLabel(QWidget* parent = nullptr);

    const std::string& GetURL() const { return FURL; }
    void SetURL(const std::string& value);
    TmdLinkType GetLinkType() const { return FLinkType; }
    void SetLinkType(TmdLinkType value);
    TmdLabelType GetLabelType() const { return FLabelType; }
    void SetLabelType(TmdLabelType value);
    const TLabelFont& GetLinkFont() const { return FLinkFont; }
    void SetLinkFont(const TLabelFont& value);
    const TLabelFont& GetPassiveFont() const { return FPassiveFont; }
    void SetPassiveFont(const TLabelFont& value);
    const QCursor& GetActiveCursor() const { return FActiveCursor; }
    void SetActiveCursor(const QCursor& value);
    const QCursor& GetPassiveCursor() const { return FPassiveCursor; }
    void SetPassiveCursor(const QCursor& value);
    bool GetShowPrefix() const { return FShowPrefix; }
    void SetShowPrefix(bool value);
    bool GetURLAsHint() const { return FURLAsHint; }
    void SetURLAsHint(bool value);
    // Setting the caption fixes the shown text for good.
    std::string GetCaption() const;
    void SetCaption(const std::string& value);
    // Reading the hint hands it over to the caller: the address no longer
    // replaces it.
    std::string GetHint();
    void SetHint(const std::string& value);
    void SetOnClick(TNotifyEvent handler) { FOnClick = std::move(handler); }

    // True when the label currently acts as a link.
    bool IsLink() const;
    // The address as last shown (with the prefix when ShowPrefix is set).
    const std::string& ShownText() const { return FShownText; }
    // The target a click opens: "http://" or "mailto:" and the address.
    std::string Target() const;
    // The user clicked: own click handler first, then the link.
    void Click();

    // Program-wide stand-ins for the desktop, replaceable in tests. The
    // default probe asks `xdg-mime query default x-scheme-handler/<kind>`
    // once per kind; the default opener is QDesktopServices::openUrl.
    static void SetHandlerProbe(THandlerProbe probe);
    static void SetUrlOpener(TUrlOpener opener);
    static bool HandlerExists(TmdLinkType kind);

    static constexpr const char* PlaceholderHttp = "www.example.com";
    static constexpr const char* PlaceholderMailto = "info@example.com";

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void rebuildShownText();
    void applyLook();
    void testLinkable();

    std::string FURL = PlaceholderHttp;
    TmdLinkType FLinkType = TmdLinkType::http;
    TmdLabelType FLabelType = TmdLabelType::Auto;
    TLabelFont FLinkFont;
    TLabelFont FPassiveFont;
    QCursor FActiveCursor{Qt::PointingHandCursor};
    QCursor FPassiveCursor{Qt::ArrowCursor};
    bool FShowPrefix = false;
    bool FURLAsHint = true;
    bool FCaptionSet = false;
    bool FLinkable = false;
    std::string FShownText;
    TNotifyEvent FOnClick;
};
