#pragma once
#include <QEvent>
#include <QGroupBox>
#include <QObject>
#include <functional>

#include "platform/colors.h"

// Small pieces of the General page's clock, alarm, power and battery
// groups (the groups themselves are built by TFormMain, in
// form_main_general.cpp).

// A group box whose caption has a colour of its own. Setting the font
// colour of a Qt group box through its palette would colour every child
// as well (and make disabled buttons look enabled); the handlers only
// mean the caption.
class TFormMainGroupBox : public QGroupBox {
    Q_OBJECT
public:
    explicit TFormMainGroupBox(const QString& title, QWidget* parent = nullptr);

    // clNone: the style's own caption colour.
    TColor CaptionColor() const { return captionColor_; }
    // Repaints only when the colour changes.
    void SetCaptionColor(TColor color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TColor captionColor_ = clNone;
};

// Calls a function whenever the watched object receives events of one
// type (an edit getting the focus, the page's viewport being resized).
// The event goes on to the object as usual.
class TEventHook : public QObject {
    Q_OBJECT
public:
    TEventHook(QObject* watched, QEvent::Type type, std::function<void()> action);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QEvent::Type type_;
    std::function<void()> action_;
};
