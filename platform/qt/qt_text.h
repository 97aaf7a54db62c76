#pragma once
#include <QColor>
#include <QString>
#include <string>

#include "platform/colors.h"

// The Qt boundary: the program's byte strings are in the system code page
// (the one-argument forms); a text of a language file is converted with
// its language's code page. Qt speaks Unicode.
namespace Platform {

QString ToQString(const std::string& ansi);
QString ToQString(const std::string& ansi, int codePage);
// A letter the code page lacks becomes its plain base letter when the page
// has that ("è" in cp1250 → "e"), else "?".
std::string FromQString(const QString& text);
std::string FromQString(const QString& text, int codePage);

// A colour (system colours resolved); clNone gives a transparent colour.
QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);

}  // namespace Platform
