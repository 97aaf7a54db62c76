#pragma once
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/dpi_fix.h"
#include "app/file_version_info.h"

class QProgressBar;
class QTimer;
class QWidget;
class VTixWindowOrder;
namespace Platform {
class TRegistry;
}

// Message-box flags and answers with the values of the Windows API, which
// every caller of MessageBox2 passes and tests.
namespace MsgBox {
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_RETRYCANCEL = 0x5;
constexpr unsigned MB_ICONHAND = 0x10;  // stop
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;  // warning
constexpr unsigned MB_ICONASTERISK = 0x40;  // information
constexpr unsigned MB_DEFBUTTON2 = 0x100;
constexpr unsigned MB_DEFBUTTON3 = 0x200;
constexpr unsigned MB_SETFOREGROUND = 0x10000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
}  // namespace MsgBox

// Root keys for ReadAnyRegistryString.
enum class TRegistryRoot : uint32_t { HKEY_CURRENT_USER = 0x80000001u, HKEY_LOCAL_MACHINE = 0x80000002u };

// Application services: the program's name and registry root, registry
// values, message boxes captioned with the name, the two start-up events
// and the version strings of the running program.
class VTixAppInfo : public QObject {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    // Answers a message box instead of showing it: caption, text and the
    // flags as the box would get them (set-foreground added); returns the
    // identifier of the pressed button (MsgBox::IDOK ...).
    using TMessageBoxResponder =
        std::function<int(const std::string& caption, const std::string& text, unsigned flags)>;

    // The owner is the window whose first showing raises OnOwnerFirstShow
    // and which message boxes belong to; it may be null.
    explicit VTixAppInfo(QWidget* owner = nullptr);
    ~VTixAppInfo() override;

    const std::string& GetAppName() const { return FAppName; }
    void SetAppName(const std::string& value) { FAppName = value; }
    const std::string& GetRegistryPath() const { return FRegistryPath; }
    // A trailing backslash is added when missing.
    void SetRegistryPath(const std::string& value);
    bool GetInhibitApplRunning() const { return FInhibitApplRunning; }
    void SetInhibitApplRunning(bool value) { FInhibitApplRunning = value; }
    bool GetResizeNonresizeable() const { return FResizeNonresizeable; }
    void SetResizeNonresizeable(bool value) { FResizeNonresizeable = value; }
    // Names of forms whose placement is neither saved nor restored.
    const std::vector<std::string>& GetExceptionList() const { return FExceptionList; }
    void SetExceptionList(const std::vector<std::string>& value) { FExceptionList = value; }
    // When this build was made (the about dialog shows it).
    QDateTime GetSourceLastModified() const;

    void SetOnApplRunning(TNotifyEvent handler) { FOnApplRunning = std::move(handler); }
    void SetOnOwnerFirstShow(TNotifyEvent handler) { FOnOwnerFirstShow = std::move(handler); }

    // True once the start-up timer has done its work; setting true runs
    // that work at once (subject to InhibitApplRunning).
    bool GetApplRunning() const;
    void SetApplRunning(bool value);

    // Version strings of the running program.
    std::string GetComments() const { return FVersion.GetComments(); }
    std::string GetCompanyName() const { return FVersion.GetCompanyName(); }
    std::string GetCountryCode() const { return FVersion.GetCountryCode(); }
    std::string GetFileDescription() const { return FVersion.GetFileDescription(); }
    std::string GetFileVersion() const { return FVersion.GetFileVersion(); }
    std::string GetInternalName() const { return FVersion.GetInternalName(); }
    std::string GetLegalCopyright() const { return FVersion.GetLegalCopyright(); }
    std::string GetLegalTradeMarks() const { return FVersion.GetLegalTradeMarks(); }
    std::string GetOriginalFilename() const { return FVersion.GetOriginalFilename(); }
    std::string GetProductName() const { return FVersion.GetProductName(); }
    std::string GetProductVersion() const { return FVersion.GetProductVersion(); }

    // Modal message boxes; texts in the system code page; flags as the
    // Windows API has them (MsgBox::MB_...); the result is the button's
    // identifier. The start-up event cannot fire while a box is open.
    int MessageBox2(const std::string& text, unsigned flags);
    int MessageBox2(const std::string& caption, const std::string& text, unsigned flags);
    int MessageBox(const std::string& text, unsigned flags);
    int MessageBox(const std::string& caption, const std::string& text, unsigned flags);
    // Tests (and anything that must not block) answer the boxes here.
    void SetMessageBoxResponder(TMessageBoxResponder responder) { FResponder = std::move(responder); }

    // Per-user values under RegistryPath + AppName + "\" + section.
    std::string ReadRegistryString(const std::string& section, const std::string& name,
                                   const std::string& def) const;
    void WriteRegistryString(const std::string& section, const std::string& name, const std::string& value);
    int ReadRegistryInteger(const std::string& section, const std::string& name, int def) const;
    void WriteRegistryInteger(const std::string& section, const std::string& name, int value);
    void WriteRegistryBoolean(const std::string& section, const std::string& name, bool value);
    void DeleteRegistry(const std::string& section, const std::string& name);
    // Machine-wide, then per-user (which overrides).
    int ReadRegistryIntegerM(const std::string& section, const std::string& name, int def) const;
    std::string ReadRegistryStringM(const std::string& section, const std::string& name,
                                    const std::string& def) const;
    // Per-user, then machine-wide (a failure there is skipped).
    void WriteRegistryIntegerM(const std::string& section, const std::string& name, int value);
    void WriteRegistryStringM(const std::string& section, const std::string& name, const std::string& value);
    // One value of any key, read-only.
    std::string ReadAnyRegistryString(TRegistryRoot root, const std::string& keyPath,
                                      const std::string& name, const std::string& def) const;

    // Handles pending events; the start-up event cannot fire meanwhile.
    void ProcessMessages();

    // ---- Splash and closing forms (app_info_splash.cpp) ----------------
    // The program shows neither; they are kept for programs that do.
    // SplashFormClass: the registered class (Tixutils::SafeRegisterClasses)
    // of a splash form, none when empty. While a visible splash form is up
    // the start-up work waits until SplashMinTime ms have passed since it
    // was made; then it is freed and the owner's window gets MainVisible
    // as its visibility. OnApplRunning fires at the first start-up tick
    // all the same.
    const std::string& GetSplashFormClass() const { return FSplashFormClass; }
    void SetSplashFormClass(const std::string& value) { FSplashFormClass = value; }
    bool GetSplashVisible() const { return FSplashVisible; }
    void SetSplashVisible(bool value) { FSplashVisible = value; }
    int GetSplashMinTime() const { return FSplashMinTime; }
    void SetSplashMinTime(int value) { FSplashMinTime = value; }
    bool GetMainVisible() const { return FMainVisible; }
    void SetMainVisible(bool value) { FMainVisible = value; }
    // The end of the set-up (the owner's form has been built): with a
    // SplashFormClass, makes the splash form, gives it SplashVisible and
    // paints a visible one at once. A name that is no registered form
    // class throws std::runtime_error ("Please add the following
    // statement: ..."). (The owner's first-show hook is set at
    // construction.)
    void Loaded();
    // The splash form while it is up, else null.
    QWidget* GetSplashForm() const { return FSplash.get(); }
    // Shows the closing form ("ClosingForm", caption "Closing", one
    // progress bar; made at the first call, kept as long as the component)
    // and moves its bar forward to percent (0-100); it never moves back.
    void SetClosingProgress(int percent);
    // The same for step position of count steps mapped onto the part
    // partStart-partEnd (percent) of the bar; a position at or past count
    // gives partEnd.
    void SetClosingProgress(int position, int count, int partStart, int partEnd);
    QWidget* GetClosingForm() const { return FClosingForm.get(); }

    // ---- Window placement (app_info_positions.cpp) ---------------------
    // Every named form of the application takes part: each top-level
    // window and the windows and docked terminal forms inside it (a form's
    // own windows before the form), except menus, message boxes, file
    // dialogs and the names in ExceptionList. Values live under
    // RegistryPath + AppName + "\Options\Forms": "ZOrder" (names from the
    // topmost window down, joined by "|") and one key per form name.
    // The window stack is the order of activation (most recent first), as
    // the window system gives no stacking order to its clients.
    void savePositions();
    // Forms named in exclude ("A|B") are not saved but still listed in
    // "ZOrder".
    void savePositions(const std::string& exclude);
    // = loadPositions(true, ResizeNonresizeable).
    void loadPositions();
    // Places all forms, the one that was on top last. A form never saved is
    // fitted into the work area; a saved one is only moved as far as keeps
    // its title bar reachable.
    void loadPositions(bool restoreVisibility, bool resizeAll);
    void loadFormPosition(QWidget* form, bool restoreVisibility, bool resizeAll);
    // One form, in the registry store ini, below the key formsKey (the
    // form's own key is formsKey + "\" + its name).
    void saveForm(QWidget* form, Platform::TRegistry& ini, const std::string& formsKey);
    void loadForm(QWidget* form, Platform::TRegistry& ini, const std::string& formsKey,
                  bool restoreVisibility, bool resizeAll);
    // ---- DPI fix-up (app_info_dpi.cpp) ---------------------------------
    // Forms designed at the reference metrics (96 pixels per inch) get
    // their client area scaled by h / r (DpiFix) once, when their pixels
    // per inch (pixelsPerInch, 0: the form's own logical dpi) differ from
    // the reference. A form or frame laid out by a layout counts as scaled
    // already: Qt's layouts follow the fonts. Children that filled the
    // client area fill it again.
    void FixPixelsPerInch(QWidget* form, int pixelsPerInch = 0);
    // The same for a frame inside a form (no border, caption or menu).
    void FixPixelsPerInchFrame(QWidget* frame, int pixelsPerInch = 0);
    // A rectangle designed at the reference metrics, scaled with the
    // control's font: in place, and as a result.
    void FixPixelsPerInchRect(QWidget* control, QRect& rect, int pixelsPerInch = 0);
    QRect FixPixelsPerInchRectR(QWidget* control, const QRect& rect, int pixelsPerInch = 0);
    // Puts control into parent (when given) with the bounds left, top,
    // width and height, the horizontal ones scaled by mulX / divX and the
    // vertical ones by mulY / divY (a divisor 0 leaves them unscaled).
    static void SetBounds2(QWidget* control, int left, int top, int width, int height, int mulX, int divX,
                           int mulY, int divY, QWidget* parent);
    // The reference metrics (TCachedSystemMetrics) and the system's now:
    // read from the style unless set.
    const TCachedSystemMetrics& GetCachedSystemMetrics() const { return FCachedSystemMetrics; }
    TCachedSystemMetrics GetSystemMetrics() const;
    void SetSystemMetrics(const TCachedSystemMetrics& metrics);
    // The form or frame was fixed already (it stays so while it lives).
    bool IsPixelsPerInchFixed(const QWidget* form) const;
    // The forms taking part, in collected order.
    std::vector<QWidget*> collectForms() const;
    // The application's windows from the most recently activated or shown
    // one down.
    std::vector<QWidget*> windowStack() const;

    // Splits a registry key path ("Software\Tix\Zelvitor\Options") into the
    // store that holds it (organization "Tix", application "Zelvitor") and
    // the key inside it ("Options"). False for paths outside "Software\".
    static bool SplitKeyPath(const std::string& keyPath, std::string& organization,
                             std::string& application, std::string& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PrivFirstTimed();
    // The start-up timer's work is done; it goes.
    void freeStartupTimer();
    int showBox(const std::string& caption, const std::string& text, unsigned flags);
    std::string keyPathOf(const std::string& section) const;
    // The registry store and the key of a key path; null outside "Software\".
    static std::unique_ptr<Platform::TRegistry> openStore(const std::string& keyPath, bool machineWide,
                                                          std::string& key);

    std::string FAppName = "[Unknown]";
    std::string FRegistryPath = "Software\\Tix\\";
    bool FInhibitApplRunning = false;
    bool FResizeNonresizeable = false;
    bool FApplRunningFired = false;
    std::vector<std::string> FExceptionList;
    TNotifyEvent FOnApplRunning;
    TNotifyEvent FOnOwnerFirstShow;
    TMessageBoxResponder FResponder;
    QPointer<QWidget> FOwner;
    bool FOwnerHooked = false;
    std::unique_ptr<QTimer> FStartupTimer;
    TFileVersionInfo FVersion;
    std::string FSplashFormClass;
    bool FSplashVisible = true;
    int FSplashMinTime = 0;
    bool FMainVisible = true;
    std::unique_ptr<QWidget> FSplash;
    uint32_t FSplashTick = 0;
    std::unique_ptr<QWidget> FClosingForm;
    TCachedSystemMetrics FCachedSystemMetrics;
    bool FSystemMetricsSet = false;
    TCachedSystemMetrics FSystemMetrics;
    std::vector<QPointer<QWidget>> FFixedForms;
    // Adds the form to the fixed list; false when it was there already.
    bool markFixed(QWidget* form);
    DpiFix::TTextScale textScaleOf(const QWidget* control, int pixelsPerInch) const;
    // Scales a form or frame without a layout to client, keeping the
    // children that filled it filling it.
    static void resizeClient(QWidget* form, QSize client);
    QProgressBar* FClosingBar = nullptr;  // a child of FClosingForm
    // Tracks the window stack from the moment the component exists (a
    // child of it, so Qt frees it).
    static VTixWindowOrder* NewWindowOrder(VTixAppInfo* owner);
    VTixWindowOrder* FWindowOrder = NewWindowOrder(this);
};
