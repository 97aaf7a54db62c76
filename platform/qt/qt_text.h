#pragma once
#include <QColor>
#include <QString>
#include <string>

#include "platform/colors.h"

// The Qt boundary: the program's byte strings are in the active ANSI code
// page; Qt speaks Unicode.
namespace Platform {

QString ToQString(const std::string& ansi);
QString ToQString(const std::string& ansi, int codePage);
std::string FromQString(const QString& text);
std::string FromQString(const QString& text, int codePage);

// A colour (system colours resolved); clNone gives a transparent colour.
QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);

}  // namespace Platform
