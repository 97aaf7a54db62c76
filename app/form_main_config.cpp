// Configuration files (".cfg"): loading, reading, saving through a
// temporary file, the File menu and the save question at closing.
//
// Paths are kept as the file system's bytes (UTF-8); messages show them in
// the system code page, as every text of the program.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QStringList>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "app/app_info.h"
#include "app/form_main.h"
#include "foundation/tixutils_format.h"
#include "platform/codepage.h"
#include "platform/ini_file.h"
#include "platform/qt/qt_text.h"
#include "serial/vtscomm32.h"
#include "translation/tixlanguage.h"

using W = VMainWindowLink;

namespace {

// A path shown in a message: from the file system's UTF-8 to the system code page.
std::string Shown(const std::string& path)
{
    return Platform::Utf8ToAnsi(path, Platform::SystemCodePage());
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

// "description|pattern|..." as Qt's name filters.
QStringList NameFilters(const std::string& filter)
{
    const QStringList parts = Platform::ToQString(filter).split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
        out << parts[i].section(QLatin1Char('('), 0, 0).trimmed() + QStringLiteral(" (") + pattern +
                   QLatin1Char(')');
    }
    return out;
}

}  // namespace

// ---- Paths ---------------------------------------------------------------------

std::string TFormMain::ExtractFilePath(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string TFormMain::ExtractFileName(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool TFormMain::directoryExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool TFormMain::ensureDirectory(const std::string& path)
{
    if (directoryExists(path))
        return true;
    for (size_t i = 1; i < path.size(); ++i) {
        if (path[i] != '/')
            continue;
        const std::string folder = path.substr(0, i);
        if (directoryExists(folder))
            continue;
        if (::mkdir(folder.c_str(), 0777) != 0 && !directoryExists(folder)) {
            VTixAppInfo1->MessageBox2(text("CannotCreateDirectory", "Nelze vytvo\xF8it slo\x9Eku ") + Shown(folder),
                                      MsgBox::MB_ICONHAND);
            return false;
        }
    }
    return true;
}

// ---- Loading -----------------------------------------------------------------------

void TFormMain::loadConfig(const std::string& name, const std::string& folder, bool reportErrors)
{
    const std::string path = folder + name;
    if (!FileExists(path)) {
        if (reportErrors)
            VTixAppInfo1->MessageBox2(
                Tixutils::SafePrintf(text("ConfigNotFound", "Konfigura\xE8n\xED soubor %1 nebyl nalezen"),
                                     {Shown(name)}),
                MsgBox::MB_ICONHAND);
        return;
    }
    // The extension of the file's own name: folders may hold dots.
    const std::string fileName = ExtractFileName(path);
    const size_t dot = fileName.rfind('.');
    if (dot == std::string::npos) {
        VTixAppInfo1->MessageBox2(
            text("ConfigNoExtension", "Nelze zjistit p\xF8\xEDponu konfigura\xE8n\xEDho souboru ") + Shown(name),
            MsgBox::MB_OK);
        return;
    }
    if (Platform::SameTextIC(fileName.substr(dot + 1), "cfg"))
        readConfigFile(path);
}

void TFormMain::readConfigFile(const std::string& path)
{
    const Platform::TIniFile ini(path);
    if (VTSComm321)
        VTSComm321->SetCommPort(ini.ReadString("General", "CommPort", "COM1"));
    ComboComm->update();
    if (VTSComm321)
        VTSComm321->SetCommComboBoxIndex(ComboComm);
    ComboComm->update();
    VTixLanguage1->SetCurrLanguage(
        VTixAppInfo1->ReadRegistryString("Options\\General", "Language", "\xC8" "esky"));
    setOptionIndex(W::RGroupAdvanced, ini.ReadInteger("General", "UserAdvanced", 0));
    setOptionIndex(W::RGroupAutom, ini.ReadInteger("General", "Automatic", 0));
    callType = ini.ReadInteger("Project", "CallType", 0);
    showCallType();
    setOptionText(W::EditPIN, ini.ReadString("Project", "PIN", ""));
    CheckTestSignal->setChecked(ini.ReadInteger("Project", "TestSignal", 1) != 0);
    setOptionText(W::EditOftenCSQ, ini.ReadString("Project", "OftenCSQ", "15"));
    setPhonebookFileName(
        ini.ReadString("Project", "PhonebookFileName", ExtractFilePath(configFileName) + "Phonebook.ini"));
    setMyPhone(ini.ReadString("Project", "MyPhone", ""));
}

void TFormMain::setPhonebookFileName(const std::string& path)
{
    std::string absolute = path;
    if (!absolute.empty() && absolute[0] != '/')
        absolute = QFile::encodeName(QDir::currentPath()).toStdString() + "/" + absolute;
    SaveDialogPB.fileName = OpenDialogPB.fileName = ExtractFileName(path);
    SaveDialogPB.initialDir = OpenDialogPB.initialDir = ExtractFilePath(absolute);
}

// ---- Saving ------------------------------------------------------------------------------

bool TFormMain::saveConfig(const std::string& path)
{
    ensureDirectory(ExtractFilePath(path));
    // Written whole into a temporary file that replaces the old one; what
    // else the old file held stays. The file holds the PIN: owner only.
    Platform::TIniFile ini(path);
    ini.SetWriteThrough(false);
    ini.SetCreateMode(0600);
    if (VTSComm321)
        ini.WriteString("General", "CommPort", VTSComm321->GetCommPort());
    ini.WriteInteger("General", "Automatic", optionIndex(W::RGroupAutom));
    ini.WriteInteger("General", "UserAdvanced", optionIndex(W::RGroupAdvanced));
    ini.WriteInteger("Project", "CallType", callType);
    ini.WriteString("Project", "PIN", optionText(W::EditPIN));
    VTixAppInfo1->WriteRegistryString("Options\\General", "Language", VTixLanguage1->GetCurrLanguage());
    ini.WriteBool("Project", "TestSignal", CheckTestSignal->isChecked());
    ini.WriteString("Project", "MyPhone", myPhone());
    ini.WriteString("Project", "OftenCSQ", optionText(W::EditOftenCSQ));
    std::string phonebook = OpenDialogPB.initialDir;
    if (!phonebook.empty() && phonebook.back() != '/')
        phonebook += '/';
    ini.WriteString("Project", "PhonebookFileName", phonebook + OpenDialogPB.fileName);
    if (!ini.UpdateFile()) {
        const int error = errno;
        std::string message = Tixutils::SafePrintf(
            text("ConfigNotSaved", "Konfiguraci se nepoda\xF8ilo ulo\x9Eit do souboru %1"), {Shown(path)});
        if (error != 0)
            message += "\n" + Shown(std::strerror(error));
        VTixAppInfo1->MessageBox2(message, MsgBox::MB_ICONHAND);
        return false;
    }
    configClean = true;
    return true;
}

void TFormMain::rememberConfigName(const std::string& name)
{
    const std::string fileName = ExtractFileName(name);
    const size_t dot = fileName.rfind('.');
    if (dot != std::string::npos && Platform::SameTextIC(fileName.substr(dot), ".cfg"))
        configFileName = name;
}

// ---- File menu -------------------------------------------------------------------------------

void TFormMain::ItemFileLoadAnyCfgClick()
{
    ensureDirectory(OpenDialogCfg.initialDir);
    std::string chosen;
    if (!RunFileDialog || !RunFileDialog(OpenDialogCfg, chosen) || chosen.empty())
        return;
    OpenDialogCfg.initialDir = ExtractFilePath(chosen);
    OpenDialogCfg.fileName = ExtractFileName(chosen);
    rememberConfigName(chosen);
    loadConfig(chosen, "", true);
}

void TFormMain::ItemFileSavePCcfgClick()
{
    ensureDirectory(SaveDialogCfg.initialDir);
    std::string chosen;
    if (!RunFileDialog || !RunFileDialog(SaveDialogCfg, chosen) || chosen.empty())
        return;
    SaveDialogCfg.initialDir = ExtractFilePath(chosen);
    SaveDialogCfg.fileName = ExtractFileName(chosen);
    rememberConfigName(chosen);
    saveConfig(chosen);
}

bool TFormMain::runFileDialog(TFileDialogSetup& setup, std::string& chosen)
{
    std::vector<std::string> files;
    if (!runFilesDialog(setup, files))
        return false;
    chosen = files.front();
    return true;
}

bool TFormMain::runFilesDialog(TFileDialogSetup& setup, std::vector<std::string>& chosen)
{
    QFileDialog dialog(this);
    dialog.setObjectName(QString::fromLatin1(setup.name.c_str()));
    dialog.setWindowTitle(Platform::ToQString(getLangText("FormMain", setup.name, setup.title)));
    if (!setup.filter.empty())
        dialog.setNameFilters(NameFilters(getLangText("FormMain", setup.name + "_Filter", setup.filter)));
    dialog.setDefaultSuffix(QString::fromLatin1(setup.defaultExt.c_str()));
    dialog.setAcceptMode(setup.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(setup.save ? QFileDialog::AnyFile
                                  : (setup.several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile));
    if (setup.save && !setup.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!setup.initialDir.empty())
        dialog.setDirectory(QFile::decodeName(setup.initialDir.c_str()));
    if (!setup.fileName.empty())
        dialog.selectFile(QFile::decodeName(setup.fileName.c_str()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    chosen.clear();
    for (const QString& file : dialog.selectedFiles())
        chosen.push_back(QFile::encodeName(file).toStdString());
    return true;
}

// ---- Save question at closing ------------------------------------------------------------

std::string TFormMain::confirmSaveQuestion()
{
    return text("ConfirmSave", "Konfigurace byla zm\xECn\xECna. Chcete ji ulo\x9Eit do souboru") + "\n" +
           Shown(configFileName) + " ?";
}

void TFormMain::FormCloseQuery(bool& CanClose)
{
    if (closeQueryBusy) {
        CanClose = false;
        return;
    }
    if (closeQueryAsked)
        return;
    closeQueryAsked = closeQueryBusy = true;
    if (!configClean) {
        const int answer = VTixAppInfo1->MessageBox2(confirmSaveQuestion(), MsgBox::MB_YESNOCANCEL);
        if (answer == MsgBox::IDYES) {
            // A file that could not be written keeps the window open,
            // unless the session is ending anyway.
            if (!saveConfig(configFileName) && !sessionEnding) {
                CanClose = false;
                closeQueryAsked = false;
            }
        } else if (answer == MsgBox::IDCANCEL && !sessionEnding) {
            CanClose = false;
            closeQueryAsked = false;
        } else {
            configClean = true;
        }
    }
    closeQueryBusy = false;
}
