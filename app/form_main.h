#pragma once
#include <QMainWindow>
#include <QPersistentModelIndex>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <string>
#include <vector>

#include "app/options_owner.h"
#include "engine/main_window_link.h"
#include "platform/colors.h"
#include "serial/comm_component.h"

class QAbstractButton;
class QAction;
class QKeyEvent;
class TFormImportPB;
class TMFEdit;
class TMFNumEdit;
class TRadioGroup;
class TTabControl;
class TVSTEditor;
class TVirtualStringTreeEx;
class VTixPhoneBookItemModel;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QModelIndex;
class QPainter;
class QPushButton;
class QRect;
class QScrollArea;
class QSessionManager;
class QSocketNotifier;
class QStatusBar;
class QTabWidget;
class QTimer;
class QTreeView;
class TIACheckControl;
class TImageList;
class TListViewBinding;
class TFormMainShape;
class TOwnerDrawComboBox;
class TRadioGroup;
class TSCAComboBox;
class TSMSMemo;
class VTixSMSRecord;
class TVTSComm32;
class VTixAppInfo;
class VTixQtTranslations;
class VTixGauge;
class VTixImage;
class VTixLanguage;
class VTixLanguageForms;
class VTixSMSList;
class VTixSMSListModel;
class VTixTerminal;
class VUniSET;
struct VTixGaugePaintColors;

// The main window: the port, its state and the lamps, the pages (General,
// Calls, SMS, Phonebook, Files and the docked terminal), the menus and the
// status bar. It owns the serial port component and the connection
// engine, drives the engine from a 10 ms timer and from the port's events,
// and is the engine's window (VMainWindowLink).
//
// Life cycle: the constructor creates the components; the first showing
// restores the window placements, shows the terminal and creates the
// engine; once the event loop runs, startupInit opens the port, reads the
// remembered settings and the configuration file and starts the timer.
// Closing is staged: the engine is asked to finish, the timer repeats the
// close until it has, the port is forced closed from 2000 ms on, then the
// engine and the port component are deleted and the event loop ends.
//
// Controls keep their component names as objectName, so the translation
// and the window placement find them. Controls of pages built elsewhere
// are null until their page creates them; the window then uses them.
class TFormMain : public QMainWindow, public VMainWindowLink, public VOptionsOwner {
    Q_OBJECT
public:
    // What the close handler lets happen to the window.
    enum TCloseAction { caNone, caHide, caFree, caMinimize };

    // A file dialog of the form: kept as its settings, run on demand.
    struct TFileDialogSetup {
        std::string name;        // component name (translation keys)
        std::string title;       // Czech default title
        std::string filter;      // "description|pattern|..."
        std::string defaultExt;  // without the dot
        std::string initialDir;  // folder, native bytes, with trailing "/"
        std::string fileName;    // file name without folder
        bool save = false;
        // Several files may be chosen (open dialogs).
        bool several = false;
        // A save dialog asks before it names an existing file.
        bool confirmOverwrite = true;
    };

    explicit TFormMain(QWidget* parent = nullptr);
    ~TFormMain() override;

    // Arguments after the program name; start-up loads the configuration
    // files they name.
    void SetCommandLine(std::vector<std::string> args) { commandLine = std::move(args); }

    // ---- Components ------------------------------------------------------
    QMenuBar* MainMenu1 = nullptr;
    QMenu* MenuFile = nullptr;
    QAction* ItemFileLoadAnyCfg = nullptr;
    QAction* ItemFileSavePCcfg = nullptr;
    QAction* ItemFileExit = nullptr;
    QAction* MenuOpt = nullptr;
    QMenu* MenuHelp = nullptr;
    QAction* MenuAbout = nullptr;

    QLabel* LabelPort = nullptr;
    QComboBox* ComboComm = nullptr;
    QPushButton* BtnDisCon = nullptr;
    QLabel* LabelComConn = nullptr;
    QLabel* LabelComm = nullptr;

    QTabWidget* PageControl1 = nullptr;
    QWidget* SheetGeneral = nullptr;
    QWidget* SheetCalls = nullptr;
    QWidget* SheetSMS = nullptr;
    QWidget* SheetPhonebook = nullptr;
    QWidget* SheetFiles = nullptr;

    // General page: the device's state.
    QGroupBox* GroupDevice = nullptr;
    TFormMainShape* ShapeProgress = nullptr;
    QLabel* LabelDevice = nullptr;
    QLabel* LabelSigStr = nullptr;
    VTixGauge* GaugeSigStr = nullptr;
    QLabel* LabelSigQual = nullptr;
    VTixGauge* GaugeSigQual = nullptr;
    QLabel* LabelOperator = nullptr;
    TOwnerDrawComboBox* ComboOperator = nullptr;
    QPushButton* BtnQueryOp = nullptr;
    QCheckBox* CheckTestSignal = nullptr;
    QCheckBox* CheckRegul = nullptr;
    QLabel* LabelLabMyPhone = nullptr;
    QLabel* LabelMyPhone = nullptr;
    // The clock, alarm, power and battery groups go here (two columns).
    QGridLayout* LayoutGeneralGroups = nullptr;

    // General page groups built with their own page code (null until then).
    QGroupBox* GroupCCLK = nullptr;
    QLineEdit* EditCCLKtime = nullptr;
    QLineEdit* EditCCLKofs = nullptr;
    QPushButton* BtnCCLKWrite = nullptr;
    QPushButton* BtnCCLKAsk = nullptr;
    QPushButton* BtnCCLKCurrent = nullptr;
    QGroupBox* GroupCALA = nullptr;
    QLineEdit* EditCALAtime = nullptr;
    QLineEdit* EditCALAofs = nullptr;
    QLineEdit* EditCALAtext = nullptr;
    QPushButton* BtnCALAWrite = nullptr;
    QPushButton* BtnCALACancel = nullptr;
    QGroupBox* GroupPowerMode = nullptr;
    TIACheckControl* CheckPowerNormal = nullptr;
    TIACheckControl* CheckPowerSleep = nullptr;
    TIACheckControl* CheckPowerAlarmed = nullptr;
    TIACheckControl* CheckPowerDown = nullptr;
    QGroupBox* GroupCBC = nullptr;
    VTixGauge* ProgressBatt = nullptr;
    VTixGauge* ProgressConsumption = nullptr;
    QLabel* LabelBattery = nullptr;
    QLabel* LabelCBCCharger = nullptr;
    VTixImage* ImageCBC = nullptr;
    // Captions of the groups' edits and of the consumption gauge.
    QLabel* LabelCCLKtime = nullptr;
    QLabel* LabelCCLKofs = nullptr;
    QLabel* LabelCALAtime = nullptr;
    QLabel* LabelCALAofs = nullptr;
    QLabel* LabelCALAtext = nullptr;
    QLabel* LabelConsumption = nullptr;
    // The General page's content scrolls when the window is small.
    QScrollArea* ScrollGeneral = nullptr;
    // Controls of the other pages (null until those pages exist).
    QTreeView* ListFilesOut = nullptr;
    QTreeView* ListFilesIn = nullptr;
    QPushButton* BtnCHUP = nullptr;
    QWidget* CheckPhonebookActive = nullptr;

    // Bottom of the window: the port's line lamps and the ring picture.
    TIACheckControl* CheckDCD = nullptr;
    TIACheckControl* CheckRing = nullptr;
    VTixImage* ImageRing = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    // Panels of StatusBar1: 0 messages, 1 device name, 2 registration.
    std::array<QLabel*, 3> StatusPanels{};

    QTimer* Timer1 = nullptr;
    VTixAppInfo* VTixAppInfo1 = nullptr;
    VTixLanguage* VTixLanguage1 = nullptr;
    VTixLanguageForms* VTixLanguageForms1 = nullptr;
    VTixTerminal* VTixTerminal1 = nullptr;
    // Dialogs in the user's language: Qt's own translation of the active
    // language, switched with it.
    std::unique_ptr<VTixQtTranslations> QtTranslations;
    std::unique_ptr<TImageList> OperatorImageList;
    std::unique_ptr<TImageList> RingImageList;
    std::unique_ptr<TImageList> ChargerImageList;

    TFileDialogSetup OpenDialogCfg;
    TFileDialogSetup SaveDialogCfg;
    TFileDialogSetup OpenDialogPB;
    TFileDialogSetup SaveDialogPB;
    // Runs a file dialog; true with the chosen full path. Tests replace it.
    std::function<bool(TFileDialogSetup& setup, std::string& chosen)> RunFileDialog;

    // The serial port; deleted at the end of the staged close (null then).
    std::unique_ptr<TVTSComm32> VTSComm321;

    // ---- SMS list (form_main_smslist.cpp) ----------------------------------
    // The SMS model; declared before the engine, whose SMS handler uses it.
    std::unique_ptr<VTixSMSList> VSMSList1;
    // Its rows as a Qt item model (for ListSMSs); attached to the list.
    std::unique_ptr<VTixSMSListModel> SMSListModel;
    // The options dialog's ComboSCA as the list's SMS-centre combo.
    std::unique_ptr<TSCAComboBox> SCAComboLink;
    void createSMSList();
    // Binds ComboSCA (the options dialog exists): its items become the
    // SMS-centre list.
    void bindSCACombo();
    VTixSMSList* smsList() override;
    bool windowMinimized() override;

    // ---- Members ----------------------------------------------------------
    // Declared after the port: destroyed before it (the engine points at it).
    std::unique_ptr<VUniSET> uniset;
    bool initDone = false;
    bool closing = false;
    bool closeDone = false;
    bool ringing = false;
    // What the tick last put on the line lamps (NoLinesShown: nothing yet,
    // or a port event set a lamp since) and whether the ring picture shows:
    // an unchanged tick touches neither widget.
    static constexpr uint32_t NoLinesShown = ~0u;
    uint32_t linesShown = NoLinesShown;
    bool ringImageShown = false;
    int32_t flashCount = -1;
    uint32_t lastFlashTick = 0;
    bool firstRun = false;
    std::string configFileName;
    std::string tempDir;
    bool configClean = true;
    bool closeQueryAsked = false;
    bool closeQueryBusy = false;
    uint32_t closeStartTick = 0;
    int32_t rxLineStart = 0;
    int32_t rxLength = 0;
    int32_t rxIndex = 0;
    const char* rxBuffer = nullptr;
    // The call type of the configuration file, kept until the calls page
    // shows it, so that saving writes back what was read.
    int callType = 0;

    // ---- Life cycle (form_main.cpp) --------------------------------------
    void createEngine();
    void VTixAppInfo1OwnerFirstShow();
    void VTixAppInfo1ApplRunning();
    void startupInit();
    void FormClose(TCloseAction& Action);
    // The terminal's window became a page of PageControl1.
    void PageControl1DockDrop(QWidget* Control);
    void MenuOptClick();
    void MenuAboutClick();
    void ItemFileExitClick();

    // ---- End of session (form_main_session.cpp) --------------------------
    // Routes SIGTERM and SIGHUP to the main window through a pipe (once per
    // process; the program entry calls it).
    static bool InstallTerminationSignals();
    // The session ends (a signal, or the session manager without a way to
    // ask): no question, nothing saved; the staged close runs.
    void endSession();
    // The session manager asks to save (QGuiApplication::commitDataRequest).
    void commitDataRequest(QSessionManager& manager);
    // Longest the end of a session waits for the staged close.
    static constexpr uint32_t SessionCloseLimit = 8000;

    // ---- Tick, receive path, port display (form_main_tick.cpp) ----------
    // Set while a timer tick runs: a tick due meanwhile is skipped.
    static inline bool tickGuard = false;
    void Timer1Timer();
    // False when it did nothing but follow the clock between the engine's
    // spaced passes.
    bool tick();
    void VTSComm321ReceiveData(const char* Buffer, uint16_t BufferLength);
    void VTSComm321Ring(bool State);
    void VTSComm321ChangedRLSD(bool State);
    void VTSComm321RequestHangup();
    void ComboCommChange();
    void ComboCommDblClick();
    void BtnDisConClick();
    void VTixTerminal1TermSendData(const char* Data, int Count);
    void VTixLanguage1ChangeLanguage();
    void ComboOperatorDrawItem(QPainter& Canvas, int Index, const QRect& Rect, bool EditPart);
    void ComboOperatorChange(int Index);
    void BtnQueryOpClick();
    void CheckTestSignalClick();
    void GaugeSigStrGetColors(VTixGaugePaintColors& Colors);
    void GaugeSigQualGetColors(VTixGaugePaintColors& Colors);

    // ---- Clock, alarm, power and battery groups (form_main_general.cpp) --
    void BtnCCLKAskClick();
    // Writes the device clock: the PC's time plus the offset edit's duration.
    void BtnCCLKWriteClick();
    void BtnCCLKCurrentClick();
    void EditCCLKofsChange();
    void EditCALAtimeEnter();
    void EditCALAofsEnter();
    void EditCALAtimeChange();
    void EditCALAofsChange();
    void BtnCALAWriteClick();
    void BtnCALACancelClick();
    // The four power items' click: tags 0..3 want modes 1, 3, 7, 5.
    void CheckPowerXClick(TIACheckControl* Sender);
    void ProgressBattGetColors(VTixGaugePaintColors& Colors);
    void ProgressConsumptionGetColors(VTixGaugePaintColors& Colors);

    // ---- Calls page (form_main_calls.cpp) ---------------------------------
    QLabel* LabelLabTheOther = nullptr;
    QLabel* LabelTheOther = nullptr;
    QPushButton* BtnATH = nullptr;
    QPushButton* BtnATA = nullptr;
    QGroupBox* GroupBoxCall = nullptr;
    QLabel* LabelOutPhone = nullptr;
    QLineEdit* EditNumber = nullptr;
    TRadioGroup* RGroupCallType = nullptr;
    QPushButton* BtnATDdata = nullptr;
    // Hidden test controls: hand-made input for the receive path.
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    std::unique_ptr<TImageList> ImageListCallStates;
    std::unique_ptr<TImageList> ImageListCallTypes;
    // The run-time controls of one call row.
    struct TCallRowControls {
        QLabel* labelIndex = nullptr;
        VTixImage* imageState = nullptr;
        VTixImage* imageType = nullptr;
        QLabel* labelNumber = nullptr;
        QLabel* labelState = nullptr;
    };
    std::array<TCallRowControls, 8> callRows{};
    void BtnATAClick();
    void BtnATHClick();
    void BtnCHUPClick();
    void BtnATDdataClick();
    void RGroupCallTypeClick();
    // Edit1's text with CR LF (Button1) or CR CR LF (Button2) as received.
    void Button1Click();
    void Button2Click();
    // Edit1's hex bytes in a data frame as received.
    void Button3Click();
    // Shows the configuration's call type in RGroupCallType.
    void showCallType();
    void createCallRows() override;
    void showCallRow(int Index, int StatePicture, int TypePicture, const std::string& NumberText,
                     const std::string& StateText) override;

    // ---- Configuration file and File menu (form_main_config.cpp) --------
    void loadConfig(const std::string& name, const std::string& folder, bool reportErrors);
    void readConfigFile(const std::string& path);
    // False (reported, configClean unchanged) when the file was not written.
    bool saveConfig(const std::string& path);
    void rememberConfigName(const std::string& name);
    static bool directoryExists(const std::string& path);
    bool ensureDirectory(const std::string& path);
    void setPhonebookFileName(const std::string& path);
    void FormCloseQuery(bool& CanClose);
    void ItemFileLoadAnyCfgClick();
    void ItemFileSavePCcfgClick();
    // Folder part (with its trailing "/") and name part of a path.
    static std::string ExtractFilePath(const std::string& path);
    static std::string ExtractFileName(const std::string& path);

    // ---- Options, about dialog, placements (form_main_dialogs.cpp) -------
    // Creates the options and about dialogs (FormOptions, FormAbout) as
    // the program entry does, bound to this window.
    void createDialogs();
    // Restores all window placements: at the first showing (visibility
    // too), or later without visibility and sizes.
    void loadPositions(bool firstShow);
    void savePositions();
    void showAboutDialog();
    void setAboutBranded(bool branded);
    void refreshAboutTexts();
    // The options dialog's control of a control name; null without one.
    QWidget* optionsControl(TControl Control) const;
    int optionIndex(TControl Group);
    void setOptionIndex(TControl Group, int Index);
    std::string optionText(TControl Edit);
    void setOptionText(TControl Edit, const std::string& Text);
    std::string myPhone();
    void setMyPhone(const std::string& Text);
    // Applies the loaded options as the options dialog's handlers do.
    void applyOptions();

    // ---- VOptionsOwner (form_main_dialogs.cpp) -----------------------------
    QWidget* optionsOwnerWindow() override { return this; }
    bool getFirstRun() override { return firstRun; }
    void setFirstRun(bool value) override { firstRun = value; }
    void setConfigClean(bool value) override { configClean = value; }
    std::string getLangText(const std::string& Section, const std::string& Key,
                            const std::string& Default) override;
    int messageBox2(const std::string& Text, unsigned Flags) override;
    void setPIN(const std::string& pin) override;
    void enterPinAgain() override;
    void writeSCANumber() override;
    void setShowSMSStateAsText(bool value) override;
    void setTerminalDebugWindowsVisible(bool value) override;

    // ---- VMainWindowLink (form_main_link.cpp) ----------------------------
    std::string getLangText(const std::string& Section, const std::string& Key,
                            const std::string& Default, int Index) override;
    int messageBox2(const std::string& Text, int Flags) override;
    int messageBox(const std::string& Text, const std::string& Caption, int Flags) override;
    std::string dateTimeText(double DateTime) override;
    void terminalAddLine(const char* Text, int Length, bool Binary) override;
    bool terminalFocused() override;
    void flushTerminalLine() override;
    void VTSComm321StateChange(TCommState State) override;
    void setStatusPanel(int Panel, const std::string& Text) override;
    void setEnabled(TControl Control, bool Enabled) override;
    bool isEnabled(TControl Control) override;
    void setVisible(TControl Control, bool Visible) override;
    void setEditText(TControl Control, const std::string& Text) override;
    std::string editText(TControl Control) override;
    void setHint(TControl Control, const std::string& Hint) override;
    void setFontColor(TControl Control, TColor Color) override;
    void setParentFont(TControl Control) override;
    void invalidate(TControl Control) override;
    bool isChecked(TControl Control) override;
    TColor progressShapeColor() override;
    void setProgressShapeColor(TColor Color) override;
    void setGaugeProgress(TControl Gauge, int Progress) override;
    void setGaugeMaxValue(TControl Gauge, int MaxValue) override;
    void setImageIndex(TControl Image, int Index) override;
    void setPowerItem(int Tag, bool Enabled, bool Checked, TColor FieldColor) override;
    void operatorComboClear() override;
    void operatorComboAddItem(const std::string& Text, int Object) override;
    int operatorComboCount() override;
    void operatorComboSetItemText(int Index, const std::string& Text) override;
    void operatorComboSetItemObject(int Index, int Object) override;
    void operatorComboSetItemIndex(int Index) override;
    void operatorComboSetText(const std::string& Text) override;
    void operatorComboRepaint() override;
    int optionAutomation() override;
    int userLevel() override;
    bool optionsDialogExists() override;
    bool optionsDialogVisible() override;
    void showOptionsDialog() override;
    void setFlashCount(int Count) override;
    void setRinging(bool Ringing) override;
    void EditCALAtextChange() override;

    // ---- File lists (form_main_files.cpp) --------------------------------
    // The two lists of SheetFiles show the engine's file lists.
    TListViewBinding* ListFilesOutBinding = nullptr;
    TListViewBinding* ListFilesInBinding = nullptr;
    void buildFilesPage();
    void bindFileList(TControl List, VListViewModel* Model) override;
    std::string tempFolder() override;
    // File transfer: choosing, sending and saving files.
    QLabel* LabelFilesSend = nullptr;
    QPushButton* BtnSendFiles = nullptr;
    QCheckBox* CheckHideSent = nullptr;
    QPushButton* BtnFilesNew = nullptr;
    QPushButton* BtnFilesDel = nullptr;
    QLabel* LabelFilesRecv = nullptr;
    QPushButton* BtnSaveFile = nullptr;
    // Hidden test buttons: row 0 becomes a data call, as its caller (Src)
    // or as the called station (Dst).
    QPushButton* BtnTestSrc = nullptr;
    QPushButton* BtnTestDst = nullptr;
    TFileDialogSetup OpenDialogFiles;
    TFileDialogSetup SaveDialogFile;
    // Runs a file dialog that may choose several files; true with the
    // chosen full paths in the order chosen. Tests replace it.
    std::function<bool(TFileDialogSetup& setup, std::vector<std::string>& chosen)> RunFilesDialog;
    void BtnFilesNewClick();
    void BtnFilesDelClick();
    void BtnSendFilesClick();
    void BtnSaveFileClick();
    void BtnTestSrcClick();
    void BtnTestDstClick();
    // The row selected in a list view; -1 when none.
    static int SelectedRow(QTreeView* view);

    // ---- Phonebook page (form_main_phonebook.cpp) ------------------------
    // The memory tabs hold the tree of the shown memory; the selector picks
    // the memory the device works with; the buttons write and read the
    // phonebook file.
    TTabControl* TabsPBStorages = nullptr;
    TVirtualStringTreeEx* VTPhonebook = nullptr;
    VTixPhoneBookItemModel* VTPhonebookModel = nullptr;
    TVSTEditor* VSTEditor1 = nullptr;
    TMFEdit* MFEdit1 = nullptr;
    TMFNumEdit* MFNumEdit1 = nullptr;
    TRadioGroup* RGroupPBStorage = nullptr;
    QPushButton* BtnReadPBFromFile = nullptr;
    QPushButton* BtnWritePBToFile = nullptr;
    std::unique_ptr<TImageList> ImagesPhonebookStates;
    // Runs the import dialog (filled by the caller); true with OK. Tests
    // replace it.
    std::function<bool(TFormImportPB& dialog)> RunImportDialog;
    void buildPhonebookPage();
    // The tree shows the engine's phonebook (called once the engine exists).
    void bindPhonebookPage();
    void setPBStorageItems(const std::vector<std::string>& Items) override;
    int pbStorageItemIndex() override;
    void setPBStorageItemIndex(int Index) override;
    void setPBStorageTabs(const std::vector<std::string>& Names) override;
    // The selected tab's memory is shown.
    void TabsPBStoragesChange() override;
    void RGroupPBStorageClick();
    void BtnReadPBFromFileClick();
    void BtnWritePBToFileClick();
    // Runs a phonebook file dialog; the name with ".ini" when it has no
    // extension. False when cancelled (or without an engine).
    bool choosePhonebookFile(TFileDialogSetup& dialog, std::string& name);
    // The tree's keys (on release), its focus leaving it, the end of an edit.
    bool phonebookTreeKey(QKeyEvent* event);
    void phonebookFocusChanged(QWidget* old, QWidget* now);
    // The tree or one of its cell editors.
    bool withinPhonebookTree(const QWidget* widget) const;
    void phonebookEditorClosed();
    // Before the rows change or the window goes: an open cell edit is
    // written back and the focused row committed.
    void leavePhonebookEdit();
    // A cell text the model did not take: the message, then the cell
    // edited again with the text as typed.
    void phonebookTextRefused(const QPersistentModelIndex& cell, const QString& typed, const QString& message);
    QPersistentModelIndex pbRefusedCell;
    std::string pbRefusedText;
    // The memory selector's descriptions in the current language.
    void refreshPhonebookTexts();

    // ---- SMS page (form_main_sms.cpp) ------------------------------------
    // The messages of VSMSList1, the focused one's text, number and
    // validity, and the buttons that hand the selected messages to the SMS
    // handler or delete them.
    QTreeView* ListSMSs = nullptr;
    QMenu* PopupListSMS = nullptr;
    QAction* ItemSMSDelete = nullptr;
    QLabel* LabelSMSLen = nullptr;
    QLabel* LabelSMSTextLen = nullptr;
    QLabel* LabelSMSCaptState = nullptr;
    QLabel* LabelSMSState = nullptr;
    QLabel* LabelSMSValid = nullptr;
    QLineEdit* EditSMSValidity = nullptr;
    QLabel* LabelSMSnumber = nullptr;
    QLineEdit* EditSMStel = nullptr;
    QLabel* LabelSMSText = nullptr;
    TSMSMemo* MemoSMS = nullptr;
    QPushButton* BtnSMSNew = nullptr;
    QPushButton* BtnSMSWrite = nullptr;
    QPushButton* BtnSMSSend = nullptr;
    QPushButton* BtnSMSDel = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    std::unique_ptr<TImageList> ImageListSMSStates;
    // The number of the last store or send, offered for an empty number.
    std::string lastSMSNumber;
    void buildSMSPage();
    void refreshSMSPage();
    void storeSMSEdits(VTixSMSRecord* sms);
    // True: abort. An empty number is refused, or replaced by
    // lastSMSNumber when the user agrees; `number` is the one to use.
    bool checkSMSNumber(VTixSMSRecord* sms, std::string& number);
    void BtnSMSNewClick();
    void BtnSMSWriteClick();
    void BtnSMSSendClick();
    void BtnSMSDelClick();
    void ItemSMSDeleteClick();
    void MemoSMSChange();
    void VSMSList1MessageStateChange(VTixSMSList* smsList, VTixSMSRecord* sms);
    // The record of ListSMSs's current row; null without one.
    VTixSMSRecord* focusedSMS() const;
    // The records of the selected rows in list order.
    std::vector<VTixSMSRecord*> selectedSMSs() const;

    // The widget of a control; null for a control not built yet.
    QWidget* controlWidget(TControl Control) const;
    // The language text of the "Texts" section.
    std::string text(const char* key, const char* czech);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ---- Layout (form_main_layout.cpp) ----------------------------------
    void buildMenus();
    void buildTopBar(QWidget* parent, class QBoxLayout* into);
    void buildPages();
    void buildGeneralPage();
    void buildGeneralGroups();
    // SMS page (form_main_sms.cpp).
    friend class TSMSPageKeys;
    void ListSMSsCurrentChanged(const QModelIndex& current, const QModelIndex& previous);
    // Return clicks the default button, Del deletes; true when used.
    bool smsPageKey(QObject* watched, QKeyEvent* event);
    // Column captions and widths from the list, once the view has its width.
    void applySMSColumns();
    bool smsColumnsPending = true;
    // Rows of ListSMSs being removed: the current row leaving them stores
    // nothing into their records.
    int smsRowsLeavingFirst = -1;
    int smsRowsLeavingLast = -1;
    // The record the edits show and the number and validity last shown
    // from it: a refresh keeps what the user typed and has not stored.
    VTixSMSRecord* smsShown = nullptr;
    // The record of the current row the page last followed: the selection
    // model tells a new selection before the current row's change.
    VTixSMSRecord* smsCurrent = nullptr;
    std::string smsShownPhone;
    std::string smsShownValidity;
    // Calls page (form_main_calls.cpp).
    void buildCallsPage();
    void bindCallsEvents();
    void bindGeneralEvents();
    // The four groups in two columns, or one below the other.
    void arrangeGeneralGroups(bool twoColumns);
    int generalTwoColumnWidth() const;
    int generalColumns = 0;
    void alignGeneralLabels();
    // The alarm's write button by the duration and the text.
    void applyAlarmWriteRule();
    void buildBottomBar(QWidget* parent, class QBoxLayout* into);
    void buildStatusBar();
    void bindEvents();
    void setUpLanguage();
    void setUpTerminal();

    // The end of the staged close: engine and port freed, loop ended.
    void closeFinished();
    // Writes the terminal's docking and position into the registry.
    void saveTerminalPlacement();
    void restoreTerminalPlacement();
    // Runs the staged close until it is done or `limit` ms have passed.
    void runCloseToEnd(uint32_t limit);
    void setUpSessionHandling();
    void removeSessionHandling();
    void terminationSignalArrived();
    // "Save the changed configuration to <file>?", asked at closing and
    // by the session manager.
    std::string confirmSaveQuestion();

    // Values of controls not built yet, so that what the engine writes can
    // be read back.
    struct TShadow {
        bool enabled = true;
        bool visible = true;
        bool checked = false;
        std::string text;
    };
    TShadow& shadow(TControl Control) { return shadows[size_t(Control)]; }
    std::array<TShadow, ControlCount> shadows{};
    // Options while the options dialog does not exist (its edits keep
    // their texts in the shadows).
    struct TOptionValues {
        int automation = 0;
        int advanced = 0;
        std::string myPhone;
    } options;
    bool runFileDialog(TFileDialogSetup& setup, std::string& chosen);
    bool runFilesDialog(TFileDialogSetup& setup, std::vector<std::string>& chosen);

    std::vector<std::string> commandLine;
    bool sessionEnding = false;
    QSocketNotifier* signalNotifier = nullptr;
    // The terminal's line type of received bytes in the engine's mode.
    int receivedLineType() const;
    // Status panel values, so that unchanged texts are not set again.
    std::array<std::string, 3> statusTexts;
    TColor lastCommColor = 0x1FFFFFFF;
    // The port label's text key and the button's state last shown; the
    // engine flips busy and idle with every command, the texts only change
    // with them or with the language.
    const char* lastCommKey = nullptr;
    bool lastCommConnectButton = false;
    // The last text read of each edit, as Qt has it and converted.
    std::array<std::pair<QString, std::string>, ControlCount> textCache;
    // Texts written to edits on a page behind another one, waiting for the
    // edit to show (the clock's edits change every second, and an edit
    // lays out every text it is given). Read back from here meanwhile.
    struct THiddenText {
        TControl control;
        QLineEdit* edit;
        QString text;
        std::string ansi;
    };
    std::vector<THiddenText> hiddenTexts;
    void showHiddenText(QObject* shown);
    // Idle cost: the kind of each control isChecked last read, looked up
    // again only when the control's widget is another one.
    struct TCheckKind {
        const QWidget* widget = nullptr;
        QAbstractButton* button = nullptr;
        TIACheckControl* check = nullptr;
    };
    std::array<TCheckKind, ControlCount> checkKinds;
    // The last date-time text and what it was made of.
    double lastDateTimeSecond = -1e300;
    std::string lastDateFormat, lastTimeFormat, lastDateSeparator, lastTimeSeparator, lastDateTimeText;
};

// The main window of the program (set by the program entry).
extern TFormMain* FormMain;
