#pragma once
// Small helpers for building forms in code: the Czech design texts and
// the object names the tests and the window positions look controls up by.
#include <QColor>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QString>
#include <string>

#include "platform/qt/qt_text.h"

namespace FormHelpers {

// Design-time texts are Czech, written as cp1250 bytes.
inline QString Cz(const char* cp1250) { return Platform::ToQString(std::string(cp1250), 1250); }

template <class T>
T* Named(T* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// A named label with a Czech design text, tied to `buddy` when one is given.
inline QLabel* Label(QWidget* parent, const char* name, const char* text, QWidget* buddy = nullptr)
{
    auto* label = Named(new QLabel(Cz(text), parent), name);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

// A named push button with a Czech design text, at least the width the
// design gives its buttons.
inline QPushButton* Button(QWidget* parent, const char* name, const char* text, int minWidth = 73)
{
    auto* button = Named(new QPushButton(Cz(text), parent), name);
    button->setMinimumWidth(minWidth);
    return button;
}

// The text colour of an edit (focused or not); unchanged colours are not
// set again.
inline void SetTextColor(QWidget* edit, const QColor& color)
{
    QPalette p = edit->palette();
    if (p.color(QPalette::Active, QPalette::Text) == color && p.color(QPalette::Inactive, QPalette::Text) == color)
        return;
    p.setColor(QPalette::Active, QPalette::Text, color);
    p.setColor(QPalette::Inactive, QPalette::Text, color);
    edit->setPalette(p);
}

}  // namespace FormHelpers
