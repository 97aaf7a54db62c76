#include "platform/qt/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include "platform/ini_file.h"
#include "platform/qt/qt_text.h"

namespace Platform {

std::string WindowsDirectory()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    dir += QStringLiteral("/Tix/Zelvitor");
    QDir().mkpath(dir);
    return FromQString(dir);
}

std::string PersonalFolder()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty())
        dir = QDir::homePath();
    return FromQString(dir);
}

std::string ModuleDirectory()
{
    if (QCoreApplication::instance())
        return FromQString(QCoreApplication::applicationDirPath());
    return FromQString(QDir::currentPath());
}

std::string DevicePathOfPort(const std::string& portName)
{
    if (portName.size() > 3 && SameTextIC(portName.substr(0, 3), "COM")) {
        int n = 0;
        for (size_t i = 3; i < portName.size(); ++i) {
            const char c = portName[i];
            if (c < '0' || c > '9' || n > 9999)
                return portName;
            n = n * 10 + (c - '0');
        }
        if (n >= 1)
            return "/dev/ttyS" + std::to_string(n - 1);
    }
    return portName;
}

}  // namespace Platform
