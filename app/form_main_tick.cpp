// The 10 ms tick, the path of received bytes to the engine and the
// terminal, the port display with its list and button, the terminal's
// input, the redisplay after a change of language and the operator list.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <cstring>

#include "app/form_main.h"
#include "app/form_main_controls.h"
#include "app/terminal.h"
#include "engine/perif_active.h"
#include "engine/perif_cala.h"
#include "engine/perif_calls.h"
#include "engine/perif_cclk.h"
#include "engine/perif_cbc.h"
#include "engine/perif_cops.h"
#include "engine/perif_csq.h"
#include "engine/perif_protikus.h"
#include "engine/uniset.h"
#include "foundation/utils.h"
#include "platform/qt/qt_text.h"
#include "platform/tick.h"
#include "serial/modem_lines.h"
#include "serial/vtscomm32.h"
#include "sms/sms_list.h"
#include "translation/qt_translations.h"
#include "translation/tixlanguage.h"
#include "widgets/check_control.h"
#include "widgets/gauge.h"
#include "widgets/image.h"
#include "widgets/image_list.h"

using Platform::ToQString;

namespace {

// Colours of the port display.
constexpr TColor ColorBlocked = clRed;
constexpr TColor ColorFreed = clBlack;
constexpr TColor ColorNoAnswer = clPurple;
constexpr TColor ColorConnected = clBlue;

// True when the lamp changed.
bool SetLamp(TIACheckControl* lamp, bool on)
{
    if (!lamp || lamp->Checked() == on)
        return false;
    lamp->SetChecked(on);
    return true;
}

}  // namespace

// ---- Tick -------------------------------------------------------------------

// The tick's functions are marked hot: the linker keeps them together, so
// a quiet tick, woken after 10 ms of sleep, touches few code pages.
[[gnu::hot]] void TFormMain::Timer1Timer()
{
    if (tickGuard)
        return;
    tickGuard = true;
    // What the tick posted or the port threads delivered meanwhile is
    // handled before the tick ends; the window system is asked on the
    // loop's next pass (no second poll of it every 10 ms). After a quiet
    // tick that pass comes at once and handles the same events, so the
    // queue is not walked twice.
    if (tick())
        QCoreApplication::sendPostedEvents();
    tickGuard = false;
}

[[gnu::hot]] bool TFormMain::tick()
{
    bool worked = true;
    // One clock read serves the whole tick (a question a handler asks may
    // hold it up; the ring picture and the flash then follow a tick late).
    const uint32_t now = Platform::GetTickCount();
    if (uniset) {
        bool lampChanged = false;
        if (VTSComm321) {
            // One read of the lines per tick: it is an ioctl.
            const uint32_t lines = VTSComm321->GetModemState();
            if (lines != linesShown) {
                linesShown = lines;
                lampChanged = SetLamp(CheckRing, lines & Serial::MS_RING_ON);
                lampChanged |= SetLamp(CheckDCD, lines & Serial::MS_RLSD_ON);
            }
        }
        if (uniset) {
            uniset->tick(now);
            worked = lampChanged || !uniset || !uniset->wasTickQuiet();
        }
    }

    if (flashCount > 0) {
        if (flashCount == 5 || Utils::IsTickElapsed(lastFlashTick, 400, now)) {
            lastFlashTick = now;
            worked = true;
            QApplication::alert(this);
            --flashCount;
        }
    }

    const bool ringShown = ringing && ((now / 333) & 1) != 0;
    if (ImageRing && ringShown != ringImageShown) {
        ringImageShown = ringShown;
        ImageRing->setVisible(ringShown);
        worked = true;
    }

    if (closing) {
        close();
        worked = true;
    }
    return worked;
}

// ---- Receive path -------------------------------------------------------------

int TFormMain::receivedLineType() const
{
    return uniset && uniset->getMode() == 3 ? VTixTerminal_ltInBin : VTixTerminal_ltInLine;
}

void TFormMain::VTSComm321ReceiveData(const char* Buffer, uint16_t BufferLength)
{
    // A handler's question runs a message loop inside receivedByte, where
    // the next buffer can arrive: that one gets a cursor of its own and
    // this one's is back when it returns.
    struct TCursor {
        TFormMain& w;
        const char* buffer;
        int32_t length, index, lineStart;
        ~TCursor() { w.rxBuffer = buffer, w.rxLength = length, w.rxIndex = index, w.rxLineStart = lineStart; }
    } const outer{*this, rxBuffer, rxLength, rxIndex, rxLineStart};

    rxBuffer = Buffer;
    rxLength = BufferLength;
    if (BufferLength >= 1 && uniset && Buffer) {
        const uint32_t now = Platform::GetTickCount();
        rxLineStart = 0;
        for (rxIndex = 0; rxIndex < BufferLength; ++rxIndex) {
            if (!uniset)
                break;  // a handler's question let the window close
            if (uniset->receivedByte(now, uint8_t(Buffer[rxIndex]))) {
                const int count = rxIndex + 1 - rxLineStart;
                if (count > 0)
                    VTixTerminal1->addChars(Buffer + rxLineStart, count,
                                            VTixTerminal_LineType(receivedLineType()));
                VTixTerminal1->breakLine();
                rxLineStart = rxIndex + 1;
            }
        }
        if (rxLineStart < BufferLength)
            VTixTerminal1->addChars(Buffer + rxLineStart, BufferLength - rxLineStart,
                                    VTixTerminal_LineType(receivedLineType()));
    }
}

void TFormMain::flushTerminalLine()
{
    if (!VTixTerminal1)
        return;
    if (rxBuffer) {
        const int32_t last = std::min(rxIndex, rxLength - 1);
        if (last >= rxLineStart)
            VTixTerminal1->addChars(rxBuffer + rxLineStart, last + 1 - rxLineStart,
                                    VTixTerminal_LineType(receivedLineType()));
    }
    VTixTerminal1->breakLine();
    rxLineStart = rxIndex + 1;
}

// ---- Port events ----------------------------------------------------------------

void TFormMain::VTSComm321Ring(bool State)
{
    SetLamp(CheckRing, State);
    linesShown = NoLinesShown;  // the next tick puts the lines' state back
}

void TFormMain::VTSComm321ChangedRLSD(bool State)
{
    SetLamp(CheckDCD, State);
    linesShown = NoLinesShown;
}

void TFormMain::VTSComm321RequestHangup()
{
    VTixTerminal1->addLine("OnRequestHangup", VTixTerminal_ltExtra);
}

void TFormMain::VTSComm321StateChange(TCommState State)
{
    const char* key;
    const char* czech;
    TColor color;
    bool connectButton = false;
    switch (State) {
    case CommStateFailed:
        key = "CommPortBlocked", czech = "Port blokov\xE1n", color = ColorBlocked, connectButton = true;
        if (uniset)
            uniset->portLost();
        break;
    case CommStateDisconnected:
        key = "CommPortFreed", czech = "Port uvoln\xECn", color = ColorFreed, connectButton = true;
        if (uniset)
            uniset->portLost();
        break;
    default:
        if (!uniset || (uniset->isDown() && !uniset->getHandlers().active().isChecking()))
            key = "CommPortNoResp", czech = "Nen\xED odpov\xEC\xEF", color = ColorNoAnswer;
        else if (uniset->isDown())
            key = "CommPortConnecting", czech = "P\xF8ipojuji", color = ColorNoAnswer;
        else
            key = "CommPortOK", czech = "P\xF8ipojeno", color = ColorConnected;
        break;
    }
    if (!lastCommKey || std::strcmp(key, lastCommKey) != 0 || connectButton != lastCommConnectButton) {
        lastCommKey = key;
        lastCommConnectButton = connectButton;
        const QString caption = ToQString(text(key, czech));
        if (LabelComm->text() != caption)
            LabelComm->setText(caption);
        const QString button = connectButton ? ToQString(text("CommPortConnect", "P\xF8ipojit"))
                                             : ToQString(text("CommPortDisconnect", "Odpojit"));
        if (BtnDisCon->text() != button)
            BtnDisCon->setText(button);
    }
    if (color != lastCommColor) {
        lastCommColor = color;
        QPalette p = LabelComm->palette();
        p.setColor(QPalette::WindowText, Platform::ToQColor(color));
        LabelComm->setPalette(p);
    }

    const bool open = VTSComm321 && VTSComm321->Connected();
    if (ComboComm->isEnabled() == open)
        ComboComm->setEnabled(!open);
    if (BtnCHUP && BtnCHUP->isEnabled() != open)
        BtnCHUP->setEnabled(open);
}

// ---- Port list and button ---------------------------------------------------------

void TFormMain::ComboCommChange()
{
    if (!VTSComm321)
        return;
    const std::string name = Platform::FromQString(ComboComm->currentText());
    VTSComm321->SetCommPort(name);
    if (!name.empty())
        configClean = false;
}

void TFormMain::ComboCommDblClick()
{
    if (VTSComm321)
        VTSComm321->ConfigDialog(true);
}

void TFormMain::BtnDisConClick()
{
    if (!VTSComm321)
        return;
    if (VTSComm321->Connected()) {
        VTSComm321->SetAutoReconnect(false);
        VTSComm321->StopComm();
    } else {
        try {
            VTSComm321->StartComm();
        } catch (const ECommsError&) {
            // The port reports itself failed: shown as any failed opening.
        }
    }
}

// ---- Terminal input -----------------------------------------------------------------

void TFormMain::VTixTerminal1TermSendData(const char* Data, int Count)
{
    if (!uniset || !Data || Count < 0)
        return;
    const uint32_t now = Platform::GetTickCount();
    if (Count > 0 && Data[Count - 1] == '\r')
        uniset->sendLine(now, Data, Count - 1);
    else
        uniset->sendData(Data, Count, now);
}

// ---- Language ---------------------------------------------------------------------------

void TFormMain::VTixLanguage1ChangeLanguage()
{
    if (QtTranslations)
        QtTranslations->SelectLanguage(VTixLanguage1->GetCurrLanguageId());
    if (uniset) {
        uniset->showOperator();
        uniset->showRegistration();
        uniset->showSignal();
        uniset->getHandlers().cbc().showValues();
        // Calls page
        uniset->getHandlers().calls().refreshTexts();
        uniset->getHandlers().protikus().showParty();
        uniset->updateStatusBar();
        uniset->showState();
        // Dates and times in the language's formats.
        uniset->getHandlers().cclk().formatsChanged();
        uniset->getHandlers().cala().formatsChanged();
    }
    if (VSMSList1)
        VSMSList1->changedLanguage();
    // The memories' descriptions beside the phonebook.
    refreshPhonebookTexts();
    // SMS page (its messages come with the engine)
    if (uniset)
        refreshSMSPage();
    refreshAboutTexts();
    lastCommKey = nullptr;  // the port texts in the new language
    VTSComm321StateChange(VTSComm321 ? VTSComm321->ConnectionState() : CommStateDisconnected);
    configClean = false;
}

// ---- Operator list ---------------------------------------------------------------------------

void TFormMain::ComboOperatorDrawItem(QPainter& Canvas, int Index, const QRect& Rect, bool EditPart)
{
    if (Index < 0 || Index >= ComboOperator->count())
        return;
    const bool current =
        uniset && !EditPart && Index == uniset->getHandlers().cops().getCurrentIndex();
    const QFont original = Canvas.font();
    QFont font = original;
    font.setBold(current);
    Canvas.setFont(font);
    const int offset = (Rect.height() - 15) / 2;
    const QString caption = ComboOperator->itemText(Index);
    const QFontMetrics metrics(font);
    // The text's top edge as the list draws it, turned into a baseline.
    Canvas.drawText(Rect.left() + 21, Rect.top() + offset + 1 + metrics.ascent(), caption);
    int image = -1;
    switch (ComboOperator->itemData(Index).toInt()) {
    case 23001:
        image = 1;
        break;
    case 23002:
        image = 0;
        break;
    case 23003:
        image = 2;
        break;
    default:
        break;
    }
    if (image >= 0 && OperatorImageList)
        OperatorImageList->Draw(Canvas, Rect.left() + 2, Rect.top() + offset, image);
    Canvas.setFont(original);
}

void TFormMain::ComboOperatorChange(int Index)
{
    if (uniset)
        uniset->getHandlers().cops().requestSelect(Index);
}

void TFormMain::BtnQueryOpClick()
{
    if (uniset)
        uniset->sendLine(Platform::GetTickCount(), "AT+COPS=?", -1);
}

void TFormMain::CheckTestSignalClick()
{
    configClean = false;
}

// ---- Signal gauges -------------------------------------------------------------------------

void TFormMain::GaugeSigStrGetColors(VTixGaugePaintColors& Colors)
{
    if (!uniset)
        return;
    int rssi = -1, ber = -1;
    uniset->getHandlers().csq().getValues(rssi, ber);
    if (VUniSET::shownRssi(rssi) < 0) {
        Colors.BackColor = clBtnFace;
        return;
    }
    const int v = GaugeSigStr->Progress();
    if (v <= 5)
        Colors.ForeColor = clRed, Colors.BackColor = clMaroon;
    else if (v <= 25)
        Colors.ForeColor = clYellow, Colors.BackColor = clOlive;
    else
        Colors.ForeColor = clLime, Colors.BackColor = clGreen;
}

void TFormMain::GaugeSigQualGetColors(VTixGaugePaintColors& Colors)
{
    if (!uniset)
        return;
    int rssi = -1, ber = -1;
    uniset->getHandlers().csq().getValues(rssi, ber);
    if (VUniSET::shownBer(ber) < 0) {
        Colors.BackColor = clBtnFace;
        return;
    }
    const int v = GaugeSigQual->Progress();
    if (v < 2)
        Colors.ForeColor = clRed, Colors.BackColor = clMaroon;
    else if (v <= 5)
        Colors.ForeColor = clYellow, Colors.BackColor = clOlive;
    else
        Colors.ForeColor = clLime, Colors.BackColor = clGreen;
}
