#include "platform/qt/registry.h"

#include <QSettings>
#include <QStringList>

#include "platform/qt/qt_text.h"

namespace Platform {

struct TRegistry::Impl {
    Impl(bool machineWide, const QString& organization, const QString& application)
        : settings(QSettings::IniFormat, machineWide ? QSettings::SystemScope : QSettings::UserScope,
                   organization, application)
    {
    }
    QSettings settings;
};

namespace {
QString keyOf(const std::string& keyPath, const std::string& name)
{
    const std::string group = TRegistry::GroupOf(keyPath);
    return ToQString(group.empty() ? name : group + "/" + name);
}
}  // namespace

TRegistry::TRegistry(bool machineWide)
    : impl_(std::make_unique<Impl>(machineWide, QStringLiteral("Tix"), QStringLiteral("Zelvitor"))),
      machineWide_(machineWide)
{
}

TRegistry::TRegistry(bool machineWide, const std::string& organization, const std::string& application)
    : impl_(std::make_unique<Impl>(machineWide, ToQString(organization), ToQString(application))),
      machineWide_(machineWide)
{
}

TRegistry::~TRegistry() = default;

std::string TRegistry::GroupOf(const std::string& keyPath)
{
    std::string g;
    for (char c : keyPath)
        g += (c == '\\') ? '/' : c;
    while (!g.empty() && g.front() == '/')
        g.erase(g.begin());
    while (!g.empty() && g.back() == '/')
        g.pop_back();
    return g;
}

bool TRegistry::KeyExists(const std::string& keyPath) const
{
    const QString group = ToQString(GroupOf(keyPath));
    if (group.isEmpty())
        return true;
    impl_->settings.beginGroup(group);
    const bool any = !impl_->settings.childKeys().isEmpty() || !impl_->settings.childGroups().isEmpty();
    impl_->settings.endGroup();
    return any;
}

bool TRegistry::ValueExists(const std::string& keyPath, const std::string& name) const
{
    return impl_->settings.contains(keyOf(keyPath, name));
}

std::string TRegistry::ReadString(const std::string& keyPath, const std::string& name,
                                  const std::string& def) const
{
    const QVariant v = impl_->settings.value(keyOf(keyPath, name));
    if (!v.isValid())
        return def;
    return FromQString(v.toString());
}

int TRegistry::ReadInteger(const std::string& keyPath, const std::string& name, int def) const
{
    const QVariant v = impl_->settings.value(keyOf(keyPath, name));
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n : def;
}

bool TRegistry::ReadBool(const std::string& keyPath, const std::string& name, bool def) const
{
    return ReadInteger(keyPath, name, def ? 1 : 0) != 0;
}

bool TRegistry::WriteString(const std::string& keyPath, const std::string& name,
                            const std::string& value)
{
    if (machineWide_ || !impl_->settings.isWritable())
        return false;
    impl_->settings.setValue(keyOf(keyPath, name), ToQString(value));
    return impl_->settings.status() == QSettings::NoError;
}

bool TRegistry::WriteInteger(const std::string& keyPath, const std::string& name, int value)
{
    if (machineWide_ || !impl_->settings.isWritable())
        return false;
    impl_->settings.setValue(keyOf(keyPath, name), value);
    return impl_->settings.status() == QSettings::NoError;
}

bool TRegistry::WriteBool(const std::string& keyPath, const std::string& name, bool value)
{
    return WriteInteger(keyPath, name, value ? 1 : 0);
}

bool TRegistry::DeleteValue(const std::string& keyPath, const std::string& name)
{
    if (machineWide_)
        return false;
    impl_->settings.remove(keyOf(keyPath, name));
    return true;
}

bool TRegistry::DeleteKey(const std::string& keyPath)
{
    if (machineWide_)
        return false;
    impl_->settings.remove(ToQString(GroupOf(keyPath)));
    return true;
}

std::vector<std::string> TRegistry::GetValueNames(const std::string& keyPath) const
{
    std::vector<std::string> out;
    impl_->settings.beginGroup(ToQString(GroupOf(keyPath)));
    for (const QString& k : impl_->settings.childKeys())
        out.push_back(FromQString(k));
    impl_->settings.endGroup();
    return out;
}

std::vector<std::string> TRegistry::GetKeyNames(const std::string& keyPath) const
{
    std::vector<std::string> out;
    impl_->settings.beginGroup(ToQString(GroupOf(keyPath)));
    for (const QString& k : impl_->settings.childGroups())
        out.push_back(FromQString(k));
    impl_->settings.endGroup();
    return out;
}

void TRegistry::Sync() { impl_->settings.sync(); }

}  // namespace Platform
