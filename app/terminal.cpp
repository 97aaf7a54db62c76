#include "app/terminal.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QWindow>

#include "app/terminal_form.h"
#include "app/terminal_line_formatter.h"
#include "app/terminal_pane.h"
#include "foundation/tixutils_datetime.h"
#include "foundation/qt/form_utils.h"
#include "foundation/tixutils_format.h"
#include "foundation/tixutils_quote.h"
#include "platform/qt/qt_text.h"
#include "platform/tick.h"

using Platform::FromQString;
using Platform::ToQString;

VTixTerminal::VTixTerminal(QObject* owner, const std::string& name) : QObject(owner)
{
    if (auto* w = qobject_cast<QWidget*>(owner))
        FOwnerWindow = w->window();
    buildForm();
    SetName(name);
}

VTixTerminal::~VTixTerminal()
{
    FLog.Close();
    FParentPageControl = nullptr;
    if (FForm) {
        FForm->disconnect(this);
        delete FForm.data();
    }
}

void VTixTerminal::buildForm()
{
    auto* form = new VTixTerminalForm(floatingParent());
    form->setWindowFlags(floatingFlags());
    form->setAttribute(Qt::WA_QuitOnClose, false);
    form->hide();
    FForm = form;
    FPane = std::make_unique<VTixTerminalPane>(form->RichEdit);
    form->onClose = [this](QCloseEvent* e) { closeRequested(e); };
    form->onMoveOrResize = [this] { rememberFloatingGeometry(); };
    form->onActivate = [this] {
        // The title bar stays reachable whenever the window comes forward.
        if (FForm && FForm->isWindow())
            Tixutils::MoveFormTitleToScreen(FForm);
    };
    connect(form, &QObject::destroyed, this, &VTixTerminal::formDestroyed);

    connect(form->ManualLine, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (FMirrorDepth > 0 || !FForm)
            return;
        ++FMirrorDepth;
        FForm->HexManualLine->setText(ToQString(Tixutils::BytesToHexaStringSpaced(FromQString(t))));
        --FMirrorDepth;
    });
    connect(form->HexManualLine, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (FMirrorDepth > 0 || !FForm)
            return;
        ++FMirrorDepth;
        FForm->ManualLine->setText(ToQString(Tixutils::HexaStringSpacedToBytes(FromQString(t))));
        --FMirrorDepth;
    });
    connect(form->SendLinebutton, &QPushButton::clicked, this, &VTixTerminal::SendLineButtonClick);
    connect(form->BtnDirect, &QPushButton::clicked, this, &VTixTerminal::BtnPrimoClick);
    connect(form->ClearButton, &QPushButton::clicked, this, &VTixTerminal::Clear);
    connect(form->BtnUndock, &QPushButton::clicked, this, &VTixTerminal::BtnUndockClick);
    connect(form->ModeButtons, &QButtonGroup::idClicked, this, &VTixTerminal::modeClicked);
    installKeyFilters();
}

void VTixTerminal::installKeyFilters()
{
    if (!FForm)
        return;
    FForm->installEventFilter(this);
    for (QWidget* w : FForm->findChildren<QWidget*>())
        w->installEventFilter(this);
}

void VTixTerminal::formDestroyed()
{
    // Freed by its close action or with its owner: the terminal goes on
    // without a window.
    FPane.reset();
    FPending.clear();
    FPendingChars = 0;
    FPendingBreaks = 0;
    if (FParentPageControl)
        FParentPageControl->tabBar()->removeEventFilter(this);
    FParentPageControl = nullptr;
}

void VTixTerminal::SetName(const std::string& name)
{
    FName = name;
    if (FForm)
        FForm->SetComponentName(name);
}

QWidget* VTixTerminal::Form() const { return FForm.data(); }

std::string VTixTerminal::PaneText()
{
    flushPane();
    return FPane ? FPane->Text() : std::string();
}

void VTixTerminal::Loaded()
{
    FLoading = false;
    if (!FForm)
        return;
    if (FForm->isWindow()) {
        // Taskbar button and stay-on-top as the owner set them meanwhile.
        FForm->setParent(floatingParent(), floatingFlags());
        FForm->setAttribute(Qt::WA_QuitOnClose, false);
    }
    FForm->move(FFormLeft, FFormTop);
    FForm->resize(FFormWidth, FFormHeight);
    UpdateDocked();
    SetVisible(FVisible);
    FLastTick = Platform::GetTickCount() - 2000;
    FForm->SetDebugVisible(FDebugWindowsVisible);
    FForm->SetShowHexEdit(FShowHexEdit);
    SetModeIndex(FModeIndex);
    if (FForm->isWindow())
        Tixutils::MoveFormToScreen(FForm);
    if (FOwnerWindow)
        FForm->setWindowIcon(FOwnerWindow->windowIcon());
    if (FOnFormCreate)
        FOnFormCreate(FForm);
}

// ---- appending ----------------------------------------------------------

void VTixTerminal::addChars(const char* data, int count, VTixTerminal_LineType type)
{
    if (count <= 0 || data == nullptr || FIgnoreAddChars || !FForm || !FPane)
        return;
    type = VTixTerminalLineFormatter::Normalize(type);
    const uint32_t now = Platform::GetTickCount();

    VTixTerminalLineFormatter::TAppend a;
    a.data = data;
    a.count = count;
    a.type = type;
    a.openType = FOpenType;
    a.maxCharsPerLine = FMaxCharsPerLine;
    if (FOpenType == type)
        a.lastLineLength = lastLineLength();
    else if (FShowTimes)
        a.timeStamp = FTimeStamp ? FTimeStamp() : Tixutils::TimeToStrEx(Tixutils::Now(), 3, false);
    const std::vector<TTerminalPiece> pieces = VTixTerminalLineFormatter::Emit(a);
    queuePieces(pieces);
    if (FLog.IsOpen()) {
        const std::string bytes = VTixTerminalLineFormatter::Text(pieces);
        if (!FLog.Append(bytes.data(), bytes.size(), true, FLogFileMaxLen))
            FLogError = FLog.LastError();
    }
    FOpenType = type;

    const VTixTerminal_TimingField timing = VTixTerminalLineFormatter::Format(type).timing;
    if (timing != VTixTerminal_tfNone) {
        // Kept always, written only where it can be seen: this runs per line.
        const bool in = timing == VTixTerminal_tfIn;
        std::optional<uint32_t>& kept = in ? FDebugInTime : FDebugOutTime;
        kept = now - FLastTick;
        FLastTick = now;
        if (FDebugWindowsVisible)
            (in ? FForm->DebugInTime : FForm->DebugOutTime)->setText(QString::number(*kept));
    }
    if (!FLogError.empty())
        logFailed();
}

void VTixTerminal::addChars(const std::string& text, VTixTerminal_LineType type)
{
    addChars(text.data(), int(std::min<size_t>(text.size(), INT32_MAX)), type);
}

void VTixTerminal::addLine(const char* data, int count, VTixTerminal_LineType type)
{
    addChars(data, count, type);
    breakLine();
}

void VTixTerminal::addLine(const std::string& text, VTixTerminal_LineType type)
{
    addChars(text, type);
    breakLine();
}

void VTixTerminal::breakLine()
{
    if (FOpenType == VTixTerminal_lt_NoType || !FForm || !FPane)
        return;
    const TColor color = VTixTerminalLineFormatter::Format(FOpenType).mainColor;
    queuePieces({{"\r\n", color}});
    FOpenType = VTixTerminal_lt_NoType;
    if (FLog.IsOpen() && !FLog.Append("\r\n", 2, false, FLogFileMaxLen)) {
        FLogError = FLog.LastError();
        logFailed();
    }
}

// What the receive path appends during one pass of the event loop goes into
// the pane as one edit: one trim, one insertion, one layout, one repaint,
// however many small appends and line ends the pass brought.
void VTixTerminal::queuePieces(const std::vector<TTerminalPiece>& pieces)
{
    for (const TTerminalPiece& p : pieces) {
        if (FPending.empty() || FPending.back().color != p.color)
            FPending.push_back({std::string(), p.color});
        FPending.back().text += p.text;
        FPendingChars += p.text.size();
        for (size_t i = 0; i + 1 < p.text.size(); ++i)
            if (p.text[i] == '\r' && p.text[i + 1] == '\n')
                ++FPendingBreaks;
    }
    // Bounded batches keep the pane near its limits; the debug view shows
    // every step at once.
    if (FDebugWindowsVisible || FPendingChars >= 16384 || FPendingBreaks >= std::max(1, FMaxLines / 10)) {
        flushPane();
        if (FDebugWindowsVisible)
            Update();
        return;
    }
    if (FFlushPosted || paneBehindAnotherPage())
        return;
    FFlushPosted = true;
    // At the end of this pass, or, right after a flush, a little later: a
    // fast stream of small receive events then costs a few edits and
    // repaints a second, not one each.
    const uint32_t since = Platform::GetTickCount() - FLastFlushTick;
    if (since >= kFlushSpacingMs)
        QMetaObject::invokeMethod(this, &VTixTerminal::flushPane, Qt::QueuedConnection);
    else
        QTimer::singleShot(int(kFlushSpacingMs - since), this, &VTixTerminal::flushPane);
}

// The pane on a page behind another one of a shown window: what arrives
// waits (in the bounded batches above) and goes in when the pane shows,
// so an idle window does not lay out text nobody sees every few seconds.
// A window never shown, or a pane in a window of its own, takes every
// line at once.
bool VTixTerminal::paneBehindAnotherPage() const
{
    const QWidget* pane = FForm ? FForm->RichEdit : nullptr;
    return pane && !pane->isVisible() && pane->window()->isVisible();
}

void VTixTerminal::flushPane()
{
    FFlushPosted = false;
    if (FPending.empty())
        return;
    FLastFlushTick = Platform::GetTickCount();
    std::vector<TTerminalPiece> pieces;
    pieces.swap(FPending);
    const int64_t n = int64_t(FPendingChars);
    FPendingChars = 0;
    FPendingBreaks = 0;
    if (!FPane)
        return;
    const VTixTerminalPane::TView view = FPane->BeginAppend(n, FMaxLines, appliedMaxChars(), FDebugWindowsVisible);
    FPane->Insert(pieces);
    FPane->EndAppend(view);
}

int VTixTerminal::lastLineLength() const
{
    // After the last line break still waiting, else the pane's last line and
    // everything waiting.
    int64_t tail = 0;
    for (auto it = FPending.rbegin(); it != FPending.rend(); ++it) {
        const size_t br = it->text.rfind("\r\n");
        if (br != std::string::npos)
            return int(std::min<int64_t>(tail + int64_t(it->text.size() - br - 2), INT32_MAX));
        tail += int64_t(it->text.size());
    }
    return int(std::min<int64_t>(tail + (FPane ? FPane->LastLineLength() : 0), INT32_MAX));
}

void VTixTerminal::logFailed()
{
    // The log never stops the terminal: it goes off, and the pane says so.
    const std::string error = FLogError;
    FLogError.clear();
    FLog.Close();
    const std::string msg = Tixutils::SafePrintf(
        text("TermLogFileOff", "Z\xE1znam termin\xE1lu do souboru \"%1\" byl vypnut: %2"),
        {Tixutils::TVarRec(FLogFileName), Tixutils::TVarRec(error)});
    addLine(msg, VTixTerminal_ltExtraR);
}

std::string VTixTerminal::text(const char* key, const char* czech) const
{
    return FTextLookup ? FTextLookup("Texts", key, czech) : std::string(czech);
}

void VTixTerminal::Clear()
{
    FPending.clear();
    FPendingChars = 0;
    FPendingBreaks = 0;
    if (FPane)
        FPane->Clear();
    FOpenType = VTixTerminal_lt_NoType;
}

void VTixTerminal::Update()
{
    flushPane();
    if (FForm)
        FForm->RichEdit->viewport()->repaint();
}

void VTixTerminal::SetLogFileName(const std::string& value)
{
    if (value == FLogFileName)
        return;
    FLogFileName = value;
    FLog.Close();
    if (value.empty())
        return;
    if (!FLog.Open(value)) {
        FLogError = FLog.LastError();
        logFailed();
    }
}

void VTixTerminal::SetMaxLines(int value)
{
    if (value >= 1)
        FMaxLines = value;
}

void VTixTerminal::SetMaxChars(int value)
{
    if (value >= 1)
        FMaxChars = value;
}

// ---- input ---------------------------------------------------------------

void VTixTerminal::SendLineButtonClick() { sendHexManualLine(FPendingLineEnd ? FPendingLineEnd : '\r'); }

void VTixTerminal::BtnPrimoClick() { sendHexManualLine(0); }

void VTixTerminal::sendHexManualLine(char lineEnd)
{
    if (!FForm)
        return;
    if (FOnTermSendData) {
        std::string bytes = Tixutils::HexaStringSpacedToBytes(FromQString(FForm->HexManualLine->text()));
        if (lineEnd)
            bytes += lineEnd;
        FOnTermSendData(bytes.data(), int(bytes.size()));
    }
    FPendingLineEnd = 0;
    // The receiver may have freed the window meanwhile.
    if (FForm)
        FForm->HexManualLine->clear();
}

void VTixTerminal::unselectManualLine()
{
    if (!FForm)
        return;
    for (QLineEdit* e : {FForm->ManualLine, FForm->HexManualLine}) {
        e->deselect();
        e->setCursorPosition(int(e->text().size()));
    }
}

namespace {

// The character a key gives, as the Windows keyboard would: Enter 13,
// Esc 27, Backspace 8, Ctrl+letter 1-26; -1 for keys that are no character.
int keyChar(const QKeyEvent* e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const int key = e->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !(mods & (Qt::ControlModifier | Qt::AltModifier)))
        return 13;
    if (key == Qt::Key_Escape && mods == Qt::NoModifier)
        return 27;
    if (key == Qt::Key_Backspace && mods == Qt::NoModifier)
        return 8;
    if (mods == Qt::ControlModifier) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return key - Qt::Key_A + 1;
        switch (key) {
        case Qt::Key_BracketLeft: return 27;
        case Qt::Key_Backslash: return 28;
        case Qt::Key_BracketRight: return 29;
        default: return -1;
        }
    }
    if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier))
        return -1;
    const QString t = e->text();
    if (t.isEmpty() || t.at(0).unicode() < 0x20 || t.at(0).unicode() == 0x7F)
        return -1;
    return 0x100;  // printable: its text
}

bool isScrollKey(const QKeyEvent* e)
{
    if (e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
        return false;
    switch (e->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Up:
    case Qt::Key_Down: return true;
    default: return false;
    }
}

}  // namespace

bool VTixTerminal::scrollKey(QKeyEvent* e)
{
    QScrollBar* bar = FForm->RichEdit->verticalScrollBar();
    switch (e->key()) {
    case Qt::Key_PageUp: bar->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case Qt::Key_PageDown: bar->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    case Qt::Key_Up: bar->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    default: bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    }
    return true;
}

bool VTixTerminal::zpracujKlavesu(QKeyEvent* e)
{
    const int ch = keyChar(e);
    switch (ch) {
    case -1:
    case 8: return false;  // normal handling by the focused control
    case 13: SendLineButtonClick(); return true;
    case 26:
    case 27:
        FPendingLineEnd = char(ch);
        SendLineButtonClick();
        return true;
    default:
        // Into the text line at its caret, control characters too.
        FForm->ManualLine->insert(ch == 0x100 ? e->text() : QString(QChar(ch)));
        return true;
    }
}

bool VTixTerminal::HexManualLineKeyPress(QKeyEvent* e)
{
    const int ch = keyChar(e);
    if (ch == 13) {
        BtnPrimoClick();
        return true;
    }
    if (ch == 27) {
        FForm->HexManualLine->clear();
        if (FForm->isVisible() && FForm->ManualLine->isEnabled())
            FForm->ManualLine->setFocus();
        return true;
    }
    return false;
}

bool VTixTerminal::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type t = event->type();
    if (t == QEvent::Show && FForm && watched == FForm->RichEdit && !FPending.empty())
        flushPane();
    const bool mouse = t == QEvent::MouseButtonPress || t == QEvent::MouseButtonRelease || t == QEvent::MouseMove;
    if (mouse && FParentPageControl && watched == FParentPageControl->tabBar())
        return tabBarEvent(event);
    // Only keys from here; a window being torn down sends other events.
    if ((t != QEvent::KeyPress && t != QEvent::ShortcutOverride) || !FForm)
        return QObject::eventFilter(watched, event);
    auto* e = static_cast<QKeyEvent*>(event);
    VTixTerminalForm* f = FForm;
    const bool override = t == QEvent::ShortcutOverride;
    bool handled = false;
    if (isScrollKey(e)) {
        handled = override || scrollKey(e);
    } else if (watched == f->HexManualLine) {
        const int ch = keyChar(e);
        handled = override ? (ch == 13 || ch == 27) : HexManualLineKeyPress(e);
    } else if (watched == f->ManualLine || watched == f->RichEdit || watched == f->SendLinebutton ||
               watched == f->BtnDirect) {
        const bool isButton = watched == f->SendLinebutton || watched == f->BtnDirect;
        // The read-only pane keeps copying and selecting its text.
        const bool paneOwn =
            watched == f->RichEdit && (e->matches(QKeySequence::Copy) || e->matches(QKeySequence::SelectAll));
        if (!(isButton && e->key() == Qt::Key_Space) && !paneOwn) {
            const int ch = keyChar(e);
            handled = override ? (ch >= 0 && ch != 8) : zpracujKlavesu(e);
        }
    }
    if (handled) {
        e->accept();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// ---- mode group ----------------------------------------------------------

void VTixTerminal::SetModeItems(const std::vector<std::string>& value)
{
    FModeItems = value;
    if (!FForm)
        return;
    FForm->SetModeItems(value);
    installKeyFilters();
    if (FForm->CheckedMode() < 0 && !value.empty())
        SetModeIndex(0);
    else
        SetModeIndex(FModeIndex);
}

int VTixTerminal::GetModeIndex() const { return FForm ? FForm->CheckedMode() : FModeIndex; }

void VTixTerminal::SetModeIndex(int value)
{
    FModeIndex = std::clamp(value, -1, int(FModeItems.size()) - 1);
    if (FForm)
        FForm->CheckMode(FModeIndex);
}

void VTixTerminal::modeClicked(int index)
{
    if (FOnTermWantModeChange)
        FOnTermWantModeChange(index);
    // The owner accepts by setting ModeIndex.
    if (FForm)
        FForm->CheckMode(FModeIndex);
}

// ---- other properties ----------------------------------------------------

void VTixTerminal::SetCaption(const std::string& value)
{
    FCaption = value;
    if (!FForm)
        return;
    FForm->setWindowTitle(ToQString(value));
    if (FParentPageControl) {
        const int i = FParentPageControl->indexOf(FForm);
        if (i >= 0)
            FParentPageControl->setTabText(i, ToQString(value));
    }
}

void VTixTerminal::SetDebugWindowsVisible(bool value)
{
    FDebugWindowsVisible = value;
    if (value && FForm) {
        if (FDebugInTime)
            FForm->DebugInTime->setText(QString::number(*FDebugInTime));
        if (FDebugOutTime)
            FForm->DebugOutTime->setText(QString::number(*FDebugOutTime));
    }
    if (FForm && !FLoading)
        FForm->SetDebugVisible(value);
}

void VTixTerminal::SetShowHexEdit(bool value)
{
    FShowHexEdit = value;
    if (FForm && !FLoading)
        FForm->SetShowHexEdit(value);
}

bool VTixTerminal::Focused() const
{
    const QWidget* fw = QApplication::focusWidget();
    return FForm && fw && (fw == FForm || FForm->isAncestorOf(fw));
}

bool VTixTerminal::FormIs(const QObject* control) const { return FForm && control == FForm; }
