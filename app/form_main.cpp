// The main window's life cycle: creation, first showing, the start-up
// initialisation once the event loop runs, and the staged close.
#include "app/form_main.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>

#include "app/app_info.h"
#include "app/form_main_controls.h"
#include "app/sca_combo_box.h"
#include "app/terminal.h"
#include "engine/uniset.h"
#include "foundation/utils.h"
#include "platform/qt/paths.h"
#include "platform/tick.h"
#include "serial/ui/port_settings_dialog.h"
#include "serial/vtscomm32.h"
#include "sms/sms_list.h"
#include "sms/sms_list_model.h"
#include "translation/qt_translations.h"
#include "widgets/image_list.h"
#include "widgets/widget_pictures.h"

TFormMain* FormMain = nullptr;

namespace {

// Registry key of the terminal window's docking and position.
const char* const TerminalKey = "Options\\Forms\\VTixTerminal1_Form";

}  // namespace

TFormMain::TFormMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Zelvitor"));
    setMinimumSize(400, 442);
    resize(640, 600);
    Widgets::InitPictureResources();

    VTixAppInfo1 = new VTixAppInfo(this);
    VTixAppInfo1->setObjectName(QStringLiteral("VTixAppInfo1"));
    VTixAppInfo1->SetAppName("Zelvitor");
    VTixAppInfo1->SetRegistryPath("Software\\Tix\\");

    // "COM1" until a configuration names the port; opened by start-up.
    VTSComm321 = std::make_unique<TVTSComm32>();
    Serial::InstallPortSettingsDialog(*VTSComm321);

    createSMSList();
    OperatorImageList = Widgets::MakeOperatorImageList();
    RingImageList = Widgets::MakeRingImageList();

    setUpLanguage();
    buildMenus();
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("PanelMain"));
    setCentralWidget(central);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(8, 8, 8, 4);
    column->setSpacing(6);
    buildTopBar(central, column);
    buildPages();
    column->addWidget(PageControl1, 1);
    buildBottomBar(central, column);
    buildStatusBar();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);

    OpenDialogCfg = {"OpenDialogCfg", "Nahr\xE1t konfiguraci",
                     "Konfigura\xE8n\xED soubor (*.cfg)|*.cfg", "cfg", "", "", false};
    SaveDialogCfg = {"SaveDialogCfg", "Ulo\x9Eit konfiguraci",
                     "Konfigura\xE8n\xED soubor (*.cfg)|*.cfg", "cfg", "", "", true};
    OpenDialogPB = {"OpenDialogPB", "Na\xE8\xEDst telefonn\xED seznam",
                    "Telefonn\xED seznam Zelvitor (*.ini)|*.ini|V\x9A" "echny soubory (*.*)|*.*", "ini", "", "",
                    false};
    SaveDialogPB = {"SaveDialogPB", "Ulo\x9Eit telefonn\xED seznam",
                    "Telefonn\xED seznam Zelvitor (*.ini)|*.ini|V\x9A" "echny soubory (*.*)|*.*", "ini", "", "",
                    true};

    RunFileDialog = [this](TFileDialogSetup& setup, std::string& chosen) { return runFileDialog(setup, chosen); };
    shadow(VMainWindowLink::EditOftenCSQ).text = "15";
    // Design states of the controls the clock, alarm and power groups bring.
    for (TControl c : {VMainWindowLink::EditCCLKtime, VMainWindowLink::GroupCALA, VMainWindowLink::EditCALAtime,
                       VMainWindowLink::CheckPowerAlarmed})
        shadow(c).enabled = false;
    // "Read phonebooks" is checked at design.
    shadow(VMainWindowLink::CheckPhonebookActive).checked = true;

    setUpTerminal();
    bindEvents();

    // The form's own start values.
    configClean = true;
    closeQueryAsked = closeQueryBusy = false;
    rxLineStart = rxLength = 0;
    rxBuffer = nullptr;
    setUpSessionHandling();

    VTixAppInfo1->SetOnOwnerFirstShow([this](QObject*) { VTixAppInfo1OwnerFirstShow(); });
    VTixAppInfo1->SetOnApplRunning([this](QObject*) { VTixAppInfo1ApplRunning(); });
}

TFormMain::~TFormMain()
{
    if (FormMain == this)
        FormMain = nullptr;
    if (Timer1)
        Timer1->stop();
    // The engine points at the port; the port's last state report must not
    // reach a half-destroyed window.
    uniset.reset();
    if (VTSComm321) {
        VTSComm321->SetOnStateChange(nullptr);
        VTSComm321->SetReceiveDataEvent(nullptr);
        VTSComm321->OnRing = nullptr;
        VTSComm321->OnChangedRLSD = nullptr;
        VTSComm321->OnRequestHangup = nullptr;
        VTSComm321.reset();
    }
    delete VTixTerminal1;
    VTixTerminal1 = nullptr;
    // The pages' signals must not reach a half-destroyed window: the
    // focus leaving the hidden window, the SMS list model going.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    if (ListSMSs)
        ListSMSs->selectionModel()->disconnect(this);
    if (SMSListModel)
        SMSListModel->disconnect(this);
    if (VSMSList1)
        VSMSList1->OnMessageStateChange = nullptr;
}

// ---- Engine, first show, start-up -------------------------------------------

void TFormMain::createEngine()
{
    if (uniset || !VTSComm321)
        return;
    PageControl1->setUpdatesEnabled(false);
    uniset = std::make_unique<VUniSET>(VTSComm321.get(), this);
    bindPhonebookPage();
    PageControl1->setUpdatesEnabled(true);
    uniset->start();
}

void TFormMain::VTixAppInfo1OwnerFirstShow()
{
    loadPositions(true);
    VTixTerminal1->SetVisible(true);
    createEngine();
}

void TFormMain::VTixAppInfo1ApplRunning()
{
    if (closeDone)
        return;
    createEngine();
    startupInit();
}

void TFormMain::startupInit()
{
    PageControl1->setCurrentWidget(SheetGeneral);
    createEngine();
    if (VTSComm321) {
        try {
            VTSComm321->StartComm();
        } catch (const ECommsError&) {
            // The port reports itself failed: shown as any failed opening.
        }
    }

    if (VTSComm321)
        VTSComm321->SetCommComboBoxItems(ComboComm);
    VTixAppInfo1->ProcessMessages();
    if (closeDone)
        return;

    const std::string windows = Platform::WindowsDirectory();
    if (!windows.empty())
        VSMSList1->SetSCAFile(windows + "/tix_smsc.ini");

    configFileName = VTixAppInfo1->ReadRegistryString("Options", "ConfigFile", "");
    tempDir = VTixAppInfo1->ReadRegistryString("Options", "TempDir", "");
    if (configFileName.empty() || tempDir.empty()) {
        firstRun = true;
        const std::string app = VTixAppInfo1->GetAppName();
        std::string folder = Platform::PersonalFolder();
        if (!folder.empty()) {
            if (folder.back() != '/')
                folder += '/';
            folder += "Tix/" + app + "/";
        } else {
            folder = Platform::ModuleDirectory();
            if (!folder.empty() && folder.back() != '/')
                folder += '/';
            if (folder.empty())
                folder = "/";
        }
        if (configFileName.empty())
            configFileName = VTixAppInfo1->ReadRegistryString("Options", "ConfigFile", folder + app + ".cfg");
        if (tempDir.empty())
            tempDir = VTixAppInfo1->ReadRegistryString("Options", "TempDir", folder);
    }

    OpenDialogCfg.initialDir = SaveDialogCfg.initialDir = ExtractFilePath(configFileName);
    OpenDialogCfg.fileName = SaveDialogCfg.fileName = ExtractFileName(configFileName);

    bool loaded = false;
    for (const std::string& arg : commandLine) {
        // Switches begin with "-"; a "/" begins every absolute path here.
        if (arg.empty() || arg[0] == '-')
            continue;
        VTixAppInfo1->ProcessMessages();
        if (closeDone)
            return;
        std::string folder = ExtractFilePath(arg);
        if (folder.empty())
            folder = ExtractFilePath(configFileName);
        loadConfig(ExtractFileName(arg), folder, true);
        loaded = true;
    }
    if (!loaded)
        loadConfig(ExtractFileName(configFileName), ExtractFilePath(configFileName), false);

    initDone = true;
    if (closing) {
        closing = false;
        close();
    }

    ComboComm->update();
    if (VTSComm321)
        VTSComm321->SetCommComboBoxIndex(ComboComm);
    ComboComm->update();

    if (!closeDone)
        Timer1->start();
    applyOptions();
    LabelMyPhone->setVisible(true);
    configClean = true;

    restoreTerminalPlacement();
    setAboutBranded(false);
    if (firstRun)
        showOptionsDialog();
}

void TFormMain::restoreTerminalPlacement()
{
    if (!VTixTerminal1)
        return;
    const bool docked =
        VTixAppInfo1->ReadRegistryInteger(TerminalKey, "Docked", VTixTerminal1->GetDocked() ? 1 : 0) != 0;
    VTixTerminal1->SetDocked(docked);
    loadPositions(false);
    VTixTerminal1->SetFormLeft(VTixAppInfo1->ReadRegistryInteger(TerminalKey, "Left", VTixTerminal1->GetFormLeft()));
    VTixTerminal1->SetFormTop(VTixAppInfo1->ReadRegistryInteger(TerminalKey, "Top", VTixTerminal1->GetFormTop()));
    VTixTerminal1->SetVisible(true);
}

void TFormMain::saveTerminalPlacement()
{
    if (!VTixTerminal1)
        return;
    VTixAppInfo1->WriteRegistryBoolean(TerminalKey, "Docked", VTixTerminal1->GetDocked());
    VTixAppInfo1->WriteRegistryInteger(TerminalKey, "Left", VTixTerminal1->GetFormLeft());
    VTixAppInfo1->WriteRegistryInteger(TerminalKey, "Top", VTixTerminal1->GetFormTop());
}

// ---- Staged close -----------------------------------------------------------

void TFormMain::closeEvent(QCloseEvent* event)
{
    if (closeDone) {
        event->accept();
        return;
    }
    bool canClose = true;
    FormCloseQuery(canClose);
    if (!canClose) {
        event->ignore();
        return;
    }
    TCloseAction action = caHide;
    FormClose(action);
    if (action == caFree) {
        event->accept();
        QCoreApplication::quit();
    } else {
        event->ignore();
    }
}

void TFormMain::FormClose(TCloseAction& Action)
{
    Action = caNone;
    if (!initDone) {
        // Start-up repeats the close when it is done.
        closing = true;
        return;
    }
    const uint32_t now = Platform::GetTickCount();
    if (!closing) {
        closeStartTick = now;
        closing = true;
        leavePhonebookEdit();
        if (uniset)
            uniset->finish();
        VTixAppInfo1->WriteRegistryString("Options", "ConfigFile", configFileName);
        VTixAppInfo1->WriteRegistryString("Options", "TempDir", tempDir);
        savePositions();
        saveTerminalPlacement();
        return;
    }
    if (Utils::IsTickElapsed(closeStartTick, 2000, now) && VTSComm321 && VTSComm321->Connected())
        VTSComm321->StopComm();
    if (uniset && !uniset->finish())
        return;
    if (VTSComm321 && VTSComm321->Connected()) {
        VTSComm321->StopComm();
        return;
    }
    closeFinished();
    Action = caFree;
}

void TFormMain::closeFinished()
{
    // The engine first: it points at the port component.
    uniset.reset();
    VTSComm321.reset();
    Timer1->stop();
    closeDone = true;
    removeSessionHandling();
}

// ---- Window events ------------------------------------------------------------

void TFormMain::PageControl1DockDrop(QWidget* Control)
{
    if (!VTixTerminal1 || !VTixTerminal1->FormIs(Control))
        return;
    const int i = PageControl1->indexOf(Control);
    if (i < 0)
        return;
    PageControl1->tabBar()->moveTab(i, 0);
    PageControl1->setCurrentIndex(0);
    VTixTerminal1->unselectManualLine();
}

void TFormMain::MenuOptClick()
{
    showOptionsDialog();
}

void TFormMain::MenuAboutClick()
{
    showAboutDialog();
}

void TFormMain::ItemFileExitClick()
{
    close();
}
