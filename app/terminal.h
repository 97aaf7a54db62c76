#pragma once
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTabWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/terminal_line_formatter.h"
#include "app/terminal_log.h"
#include "app/terminal_types.h"

class QKeyEvent;
class QTabWidget;
class QWidget;
class VTixTerminalForm;
class VTixTerminalPane;

// The AT terminal and communication log: an output pane showing every byte
// sent and received, one prefixed and coloured line per command or
// response, an input line with a hexadecimal twin, and buttons. Its window
// docks as a page of the main window's tab widget or floats.
class VTixTerminal : public QObject {
    Q_OBJECT
public:
    using TTermSendData = std::function<void(const char* data, int count)>;
    using TTermWantModeChange = std::function<void(int modeNo)>;
    using VTixFormEvent = std::function<void(QWidget* form)>;
    // A user-visible text by section and key, the Czech text as default.
    using TTextLookup =
        std::function<std::string(const std::string& section, const std::string& key, const std::string& def)>;
    // The time of day that starts each line with ShowTimes.
    using TTimeStampSource = std::function<std::string()>;

    // The owner's window (when the owner is a widget) owns the floating window.
    explicit VTixTerminal(QObject* owner = nullptr, const std::string& name = "VTixTerminal1");
    ~VTixTerminal() override;

    // Names the component and, after it, every control of the window.
    void SetName(const std::string& name);
    const std::string& GetName() const { return FName; }
    // The owner has set the properties: place the window, dock or float it,
    // show it when Visible, and report it through OnFormCreate.
    void Loaded();

    // Appending to the output pane.
    void addChars(const char* data, int count, VTixTerminal_LineType type);
    void addChars(const std::string& text, VTixTerminal_LineType type);
    void addLine(const char* data, int count, VTixTerminal_LineType type);
    void addLine(const std::string& text, VTixTerminal_LineType type);
    void breakLine();
    void Clear();
    bool startingNewLine() const { return FOpenType == VTixTerminal_lt_NoType; }

    // The keyboard focus is in the terminal window.
    bool Focused() const;
    bool FormIs(const QObject* control) const;
    void unselectManualLine();
    // Puts what was appended into the pane and repaints it now. Appends
    // reach the pane at the end of the event loop's pass, at most every
    // 20 ms.
    void Update();
    // The pane's lines; as RTF with the colours when rich. False when the
    // file cannot be written.
    bool saveContentsToFile(const std::string& fileName, bool rich);

    // Properties.
    const std::string& GetCaption() const { return FCaption; }
    void SetCaption(const std::string& value);
    bool GetDebugWindowsVisible() const { return FDebugWindowsVisible; }
    void SetDebugWindowsVisible(bool value);
    bool GetDocked() const;
    void SetDocked(bool value);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool value);
    bool GetIgnoreAddChars() const { return FIgnoreAddChars; }
    void SetIgnoreAddChars(bool value) { FIgnoreAddChars = value; }
    int GetFormLeft() const { return FFormLeft; }
    void SetFormLeft(int value);
    int GetFormTop() const { return FFormTop; }
    void SetFormTop(int value);
    int GetFormWidth() const { return FFormWidth; }
    void SetFormWidth(int value);
    int GetFormHeight() const { return FFormHeight; }
    void SetFormHeight(int value);
    int GetModeIndex() const;
    void SetModeIndex(int value);
    int GetMaxLines() const { return FMaxLines; }
    void SetMaxLines(int value);
    int GetMaxChars() const { return FMaxChars; }
    void SetMaxChars(int value);
    int GetMaxCharsPerLine() const { return FMaxCharsPerLine; }
    void SetMaxCharsPerLine(int value) { FMaxCharsPerLine = value; }
    QTabWidget* GetParentPageControl() const { return FParentPageControl; }
    void SetParentPageControl(QTabWidget* value);
    TTermCloseAction GetTermCloseAction() const { return FTermCloseAction; }
    void SetTermCloseAction(TTermCloseAction value) { FTermCloseAction = value; }
    const std::vector<std::string>& GetModeItems() const { return FModeItems; }
    void SetModeItems(const std::vector<std::string>& value);
    bool GetShowOnTaskbar() const { return FShowOnTaskbar; }
    void SetShowOnTaskbar(bool value);
    bool GetShowHexEdit() const { return FShowHexEdit; }
    void SetShowHexEdit(bool value);
    bool GetShowTimes() const { return FShowTimes; }
    void SetShowTimes(bool value) { FShowTimes = value; }
    bool GetFormOnTop() const { return FFormOnTop; }
    void SetFormOnTop(bool value);
    const std::string& GetLogFileName() const { return FLogFileName; }
    void SetLogFileName(const std::string& value);
    int GetLogFileMaxLen() const { return FLogFileMaxLen; }
    void SetLogFileMaxLen(int value) { FLogFileMaxLen = value; }
    void SetOnTermSendData(TTermSendData handler) { FOnTermSendData = std::move(handler); }
    void SetOnTermWantModeChange(TTermWantModeChange handler) { FOnTermWantModeChange = std::move(handler); }
    void SetOnFormCreate(VTixFormEvent handler) { FOnFormCreate = std::move(handler); }
    // The page control's dock-drop event: the window has just become a page
    // of ParentPageControl (by Docked or by closing the floating window).
    void SetOnPageControlDockDrop(VTixFormEvent handler) { FOnDockDrop = std::move(handler); }
    void SetTextLookup(TTextLookup lookup) { FTextLookup = std::move(lookup); }
    void SetTimeStampSource(TTimeStampSource source) { FTimeStamp = std::move(source); }

    // The window (null once it was freed) and the pane's text, lines joined
    // by "\r\n", in the system code page.
    QWidget* Form() const;
    std::string PaneText();

    // The buttons' actions.
    void SendLineButtonClick();
    void BtnPrimoClick();
    void BtnUndockClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildForm();
    void installKeyFilters();
    void formDestroyed();
    void UpdateDocked();
    void dockIntoPage();
    void makeFloating();
    Qt::WindowFlags floatingFlags() const;
    QWidget* floatingParent() const;
    bool isDockedNow() const;
    void rememberFloatingGeometry();
    void closeRequested(class QCloseEvent* event);
    // Keys of the text line, the pane and the send buttons; true = consumed.
    bool zpracujKlavesu(QKeyEvent* key);
    bool HexManualLineKeyPress(QKeyEvent* key);
    // Sends the hex line's bytes, followed by `lineEnd` unless it is 0,
    // and empties the line.
    void sendHexManualLine(char lineEnd);
    bool scrollKey(QKeyEvent* key);
    bool tabBarEvent(QEvent* event);
    void modeClicked(int index);
    void logFailed();
    void queuePieces(const std::vector<TTerminalPiece>& pieces);
    void flushPane();
    bool paneBehindAnotherPage() const;
    int lastLineLength() const;
    std::string text(const char* key, const char* czech) const;
    int appliedMaxChars() const { return FMaxChars; }

    std::string FName;
    QPointer<QWidget> FOwnerWindow;
    QPointer<VTixTerminalForm> FForm;
    std::unique_ptr<VTixTerminalPane> FPane;
    QPointer<QTabWidget> FParentPageControl;
    bool FLoading = true;

    std::string FCaption = "Terminal";
    bool FDebugWindowsVisible = false;
    bool FDocked = true;
    bool FVisible = false;
    bool FIgnoreAddChars = false;
    int FFormLeft = 500, FFormTop = 300, FFormWidth = 400, FFormHeight = 450;
    int FModeIndex = -1;
    int FMaxLines = 1100;
    int FMaxChars = 65535;
    int FMaxCharsPerLine = 500;
    TTermCloseAction FTermCloseAction = trmcaDock;
    std::vector<std::string> FModeItems;
    bool FShowOnTaskbar = false;
    bool FShowHexEdit = false;
    bool FShowTimes = false;
    bool FFormOnTop = false;
    std::string FLogFileName;
    int FLogFileMaxLen = 1000000;
    TTermSendData FOnTermSendData;
    TTermWantModeChange FOnTermWantModeChange;
    VTixFormEvent FOnFormCreate;
    VTixFormEvent FOnDockDrop;
    TTextLookup FTextLookup;
    TTimeStampSource FTimeStamp;

    char FPendingLineEnd = 0;
    VTixTerminal_LineType FOpenType = VTixTerminal_lt_NoType;
    uint32_t FLastTick = 0;
    // The last gaps between lines in and out, for the debug fields.
    std::optional<uint32_t> FDebugInTime, FDebugOutTime;
    int FMirrorDepth = 0;
    VTixTerminalLog FLog;
    std::string FLogError;  // set when the log failed during an append
    std::vector<TTerminalPiece> FPending;  // appended, not yet in the pane
    size_t FPendingChars = 0;
    int FPendingBreaks = 0;
    bool FFlushPosted = false;
    uint32_t FLastFlushTick = 0;
    static constexpr uint32_t kFlushSpacingMs = 20;

    bool FTabPressed = false;
    QPoint FTabPressPos;
};
