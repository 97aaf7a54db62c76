#pragma once
#include <QApplication>
#include <QImage>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "tests/support/event_loop.h"
#include "tests/support/input_devices.h"

#include "platform/colors.h"
#include "platform/qt/qt_text.h"
#include "translation/locale_formats.h"

namespace PhonebookUiTest {

using TestSupport::KeyClick;
using TestSupport::KeyClicks;
using TestSupport::SendMouseEvent;

// The decimal separator of the program's locale settings for one scope.
class TDecimalSeparatorScope {
public:
    explicit TDecimalSeparatorScope(const std::string& Separator) : m_saved(LocaleFormats())
    {
        TLocaleFormats f = m_saved;
        f.DecimalSeparator = Separator;
        f.ThousandSeparator = Separator == "," ? "." : ",";
        ApplyLocaleFormats(f, 0);
    }
    ~TDecimalSeparatorScope() { ApplyLocaleFormats(m_saved, 0); }

private:
    TLocaleFormats m_saved;
};

// A shown, active window for widgets that need the focus; Other is a
// plain widget that can take the focus away.
class TWindowRig {
public:
    TWindowRig()
    {
        TestSupport::AppWithDevices();
        Window = std::make_unique<QWidget>();
        Window->resize(400, 300);
        Other = new QWidget(Window.get());
        Other->setGeometry(300, 250, 40, 20);
        Other->setFocusPolicy(Qt::StrongFocus);
    }

    void Show()
    {
        Window->show();
        Window->activateWindow();
        TestSupport::ProcessUntil([this] { return Window->isActiveWindow(); }, 3000);
    }

    // Gives w the focus; false when the platform gives none.
    static bool Focus(QWidget* w)
    {
        w->setFocus(Qt::OtherFocusReason);
        TestSupport::ProcessUntil([w] { return w->hasFocus(); }, 1000);
        return w->hasFocus();
    }

    std::unique_ptr<QWidget> Window;
    QWidget* Other = nullptr;
};

#define PBUI_REQUIRE_FOCUS(w)                                                        \
    do {                                                                             \
        if (!PhonebookUiTest::TWindowRig::Focus(w))                                  \
            GTEST_SKIP() << "the platform gives no keyboard focus";                  \
    } while (0)

inline QImage Grab(QWidget* w)
{
    QImage img(w->size(), QImage::Format_RGB32);
    img.fill(Qt::magenta);
    w->render(&img, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    return img;
}

inline TColor Pixel(const QImage& img, int x, int y)
{
    const QRgb p = img.pixel(x, y);
    return Platform::MakeColor(uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p)));
}

inline TColor Rgb(TColor c) { return Platform::ColorToRGB(c); }

// The background colour a control paints with (its base role).
inline TColor BaseOf(const QWidget* w)
{
    return Platform::FromQColor(w->palette().color(QPalette::Base));
}

}  // namespace PhonebookUiTest

namespace PhonebookUiTest {

// Types text key by key, punctuation included.
inline void Type(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        switch (c.unicode()) {
        case '.':
            KeyClick(w, Qt::Key_Period, Qt::NoModifier, QString(c));
            break;
        case ',':
            KeyClick(w, Qt::Key_Comma, Qt::NoModifier, QString(c));
            break;
        case '-':
            KeyClick(w, Qt::Key_Minus, Qt::NoModifier, QString(c));
            break;
        default:
            KeyClicks(w, QString(c));
        }
    }
}

// Replaces the whole text by typing.
inline void TypeOver(QWidget* w, const QString& text)
{
    KeyClick(w, Qt::Key_A, Qt::ControlModifier);
    KeyClick(w, Qt::Key_Delete);
    Type(w, text);
}

}  // namespace PhonebookUiTest
