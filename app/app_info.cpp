#include "app/app_info.h"

#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <algorithm>

#include "foundation/qt/form_utils.h"
#include "foundation/utils.h"
#include "platform/ini_file.h"
#include "platform/tick.h"
#include "platform/qt/paths.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/registry.h"

using namespace MsgBox;

namespace {

std::vector<std::string> splitPath(const std::string& path)
{
    std::vector<std::string> parts;
    std::string cur;
    for (char c : path) {
        if (c == '\\' || c == '/') {
            if (!cur.empty())
                parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty())
        parts.push_back(cur);
    return parts;
}

}  // namespace

std::unique_ptr<Platform::TRegistry> VTixAppInfo::openStore(const std::string& keyPath, bool machineWide,
                                                            std::string& key)
{
    std::string org, app;
    if (!SplitKeyPath(keyPath, org, app, key))
        return nullptr;
    return std::make_unique<Platform::TRegistry>(machineWide, org, app);
}

VTixAppInfo::VTixAppInfo(QWidget* owner) : QObject(owner), FOwner(owner)
{
    FStartupTimer = std::make_unique<QTimer>();
    FStartupTimer->setInterval(1);
    connect(FStartupTimer.get(), &QTimer::timeout, this, &VTixAppInfo::PrivFirstTimed);
    FStartupTimer->start();
    if (owner) {
        owner->installEventFilter(this);
        FOwnerHooked = true;
    }
}

VTixAppInfo::~VTixAppInfo()
{
    if (FOwnerHooked && FOwner)
        FOwner->removeEventFilter(this);
}

void VTixAppInfo::SetRegistryPath(const std::string& value)
{
    FRegistryPath = value;
    if (FRegistryPath.empty() || FRegistryPath.back() != '\\')
        FRegistryPath += '\\';
}

QDateTime VTixAppInfo::GetSourceLastModified() const
{
    QDateTime t = QDateTime::fromString(Platform::ToQString(TFileVersionInfo::BuildTimeUtc()), Qt::ISODate);
    t.setTimeSpec(Qt::UTC);
    return t.toLocalTime();
}

bool VTixAppInfo::GetApplRunning() const { return !FStartupTimer; }

void VTixAppInfo::SetApplRunning(bool value)
{
    if (value && FStartupTimer)
        PrivFirstTimed();
}

void VTixAppInfo::freeStartupTimer()
{
    FStartupTimer->stop();
    FStartupTimer.release()->deleteLater();  // we may be inside its signal
}

void VTixAppInfo::PrivFirstTimed()
{
    if (!FStartupTimer || FInhibitApplRunning)
        return;  // keeps ticking until the nested loop is left
    if (!FSplash || !FSplash->isVisible()) {
        freeStartupTimer();
    } else if (Utils::IsTickElapsed(FSplashTick, uint32_t(std::max(FSplashMinTime, 0)), Platform::GetTickCount())) {
        freeStartupTimer();
        FSplash.reset();
        if (QWidget* form = Tixutils::GetFirstParentForm(this))
            form->setVisible(FMainVisible);
    }
    if (!FApplRunningFired) {
        FApplRunningFired = true;
        if (FOnApplRunning)
            FOnApplRunning(this);
    }
}

bool VTixAppInfo::eventFilter(QObject* watched, QEvent* event)
{
    if (FOwnerHooked && watched == FOwner && event->type() == QEvent::Show) {
        // Once: before the owner's own show handling.
        FOwner->removeEventFilter(this);
        FOwnerHooked = false;
        if (FOnOwnerFirstShow)
            FOnOwnerFirstShow(this);
    }
    return QObject::eventFilter(watched, event);
}

int VTixAppInfo::MessageBox2(const std::string& text, unsigned flags) { return MessageBox2(FAppName, text, flags); }

int VTixAppInfo::MessageBox2(const std::string& caption, const std::string& text, unsigned flags)
{
    return showBox(caption, text, flags | MB_SETFOREGROUND);
}

int VTixAppInfo::MessageBox(const std::string& text, unsigned flags) { return MessageBox(FAppName, text, flags); }

int VTixAppInfo::MessageBox(const std::string& caption, const std::string& text, unsigned flags)
{
    return showBox(caption, text, flags | MB_SETFOREGROUND);
}

int VTixAppInfo::showBox(const std::string& caption, const std::string& text, unsigned flags)
{
    const bool inhibit = FInhibitApplRunning;
    FInhibitApplRunning = true;
    struct Restore {
        bool& flag;
        bool value;
        ~Restore() { flag = value; }
    } restore{FInhibitApplRunning, inhibit};

    if (FResponder)
        return FResponder(caption, text, flags);

    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (flags & 0xF0) {
    case MB_ICONHAND: icon = QMessageBox::Critical; break;
    case MB_ICONQUESTION: icon = QMessageBox::Question; break;
    case MB_ICONEXCLAMATION: icon = QMessageBox::Warning; break;
    case MB_ICONASTERISK: icon = QMessageBox::Information; break;
    default: break;
    }
    struct Btn {
        QMessageBox::StandardButton button;
        int id;
    };
    std::vector<Btn> buttons;
    switch (flags & 0xF) {
    case MB_OKCANCEL: buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_ABORTRETRYIGNORE:
        buttons = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
        break;
    case MB_YESNOCANCEL:
        buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_YESNO: buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}; break;
    case MB_RETRYCANCEL: buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}}; break;
    default: buttons = {{QMessageBox::Ok, IDOK}}; break;
    }
    QWidget* parent = QApplication::activeWindow();
    if (!parent && FOwner)
        parent = FOwner->window();
    QMessageBox box(icon, Platform::ToQString(caption), Platform::ToQString(text), QMessageBox::NoButton, parent);
    for (const Btn& b : buttons)
        box.addButton(b.button);
    const size_t def = (flags & MB_DEFBUTTON3) ? 2 : (flags & MB_DEFBUTTON2) ? 1 : 0;
    box.setDefaultButton(buttons[def < buttons.size() ? def : 0].button);
    if (flags & MB_SETFOREGROUND) {
        box.show();
        box.raise();
        box.activateWindow();
    }
    box.exec();
    const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    for (const Btn& b : buttons)
        if (b.button == pressed)
            return b.id;
    // Closed without a button: Cancel where the box has one, else the only
    // or the last answer, as the Windows box does for Escape.
    for (const Btn& b : buttons)
        if (b.id == IDCANCEL)
            return IDCANCEL;
    return buttons.back().id;
}

bool VTixAppInfo::SplitKeyPath(const std::string& keyPath, std::string& organization,
                               std::string& application, std::string& key)
{
    std::vector<std::string> parts = splitPath(keyPath);
    if (parts.size() < 2 || !Platform::SameTextIC(parts[0], "Software"))
        return false;
    organization = parts[1];
    application = parts.size() > 2 ? parts[2] : std::string();
    key.clear();
    for (size_t i = 3; i < parts.size(); ++i) {
        if (!key.empty())
            key += '\\';
        key += parts[i];
    }
    return true;
}

std::string VTixAppInfo::keyPathOf(const std::string& section) const
{
    return FRegistryPath + FAppName + "\\" + section;
}

std::string VTixAppInfo::ReadRegistryString(const std::string& section, const std::string& name,
                                             const std::string& def) const
{
    std::string key;
    auto reg = openStore(keyPathOf(section), false, key);
    return reg ? reg->ReadString(key, name, def) : def;
}

void VTixAppInfo::WriteRegistryString(const std::string& section, const std::string& name,
                                      const std::string& value)
{
    std::string key;
    if (auto reg = openStore(keyPathOf(section), false, key))
        reg->WriteString(key, name, value);
}

int VTixAppInfo::ReadRegistryInteger(const std::string& section, const std::string& name, int def) const
{
    std::string key;
    auto reg = openStore(keyPathOf(section), false, key);
    return reg ? reg->ReadInteger(key, name, def) : def;
}

void VTixAppInfo::WriteRegistryInteger(const std::string& section, const std::string& name, int value)
{
    std::string key;
    if (auto reg = openStore(keyPathOf(section), false, key))
        reg->WriteInteger(key, name, value);
}

void VTixAppInfo::WriteRegistryBoolean(const std::string& section, const std::string& name, bool value)
{
    WriteRegistryInteger(section, name, value ? 1 : 0);
}

void VTixAppInfo::DeleteRegistry(const std::string& section, const std::string& name)
{
    std::string key;
    if (auto reg = openStore(keyPathOf(section), false, key))
        reg->DeleteValue(key, name);
}

int VTixAppInfo::ReadRegistryIntegerM(const std::string& section, const std::string& name, int def) const
{
    int result = def;
    for (bool machineWide : {true, false}) {
        std::string key;
        if (auto reg = openStore(keyPathOf(section), machineWide, key))
            result = reg->ReadInteger(key, name, result);  // a value that is no integer is skipped
    }
    return result;
}

std::string VTixAppInfo::ReadRegistryStringM(const std::string& section, const std::string& name,
                                             const std::string& def) const
{
    std::string result = def;
    for (bool machineWide : {true, false}) {
        std::string key;
        if (auto reg = openStore(keyPathOf(section), machineWide, key))
            result = reg->ReadString(key, name, result);
    }
    return result;
}

void VTixAppInfo::WriteRegistryIntegerM(const std::string& section, const std::string& name, int value)
{
    for (bool machineWide : {false, true}) {
        std::string key;
        if (auto reg = openStore(keyPathOf(section), machineWide, key))
            reg->WriteInteger(key, name, value);  // the machine-wide store refuses: skipped
    }
}

void VTixAppInfo::WriteRegistryStringM(const std::string& section, const std::string& name,
                                       const std::string& value)
{
    for (bool machineWide : {false, true}) {
        std::string key;
        if (auto reg = openStore(keyPathOf(section), machineWide, key))
            reg->WriteString(key, name, value);
    }
}

std::string VTixAppInfo::ReadAnyRegistryString(TRegistryRoot root, const std::string& keyPath,
                                                const std::string& name, const std::string& def) const
{
    // The user's documents folder has no registry here: the desktop names it.
    const std::vector<std::string> parts = splitPath(keyPath);
    static const char* const shellFolders[] = {"Software", "Microsoft", "Windows", "CurrentVersion",
                                               "Explorer", "Shell Folders"};
    bool isShellFolders = parts.size() == 6;
    for (size_t i = 0; isShellFolders && i < 6; ++i)
        isShellFolders = Platform::SameTextIC(parts[i], shellFolders[i]);
    if (isShellFolders) {
        if (root == TRegistryRoot::HKEY_CURRENT_USER && Platform::SameTextIC(name, "Personal"))
            return Platform::PersonalFolder();
        return def;
    }
    std::string key;
    auto reg = openStore(keyPath, root == TRegistryRoot::HKEY_LOCAL_MACHINE, key);
    return reg ? reg->ReadString(key, name, def) : def;
}

void VTixAppInfo::ProcessMessages()
{
    const bool inhibit = FInhibitApplRunning;
    FInhibitApplRunning = true;
    QCoreApplication::processEvents();
    FInhibitApplRunning = inhibit;
}
