#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/call_row.h"
#include "engine/perif.h"
#include "engine/retry_hold.h"

// The call handler: knows which calls the device has. It switches on the
// device's call reports ("AT*ECAM=1", Ericsson only) and caller
// identification ("AT+CLIP=1"), polls the phone activity ("AT+CPAS"),
// follows the unsolicited call lines (RING, +CLIP, *ECAV, CONNECT, NO
// CARRIER, ...), answers ("ATA"), dials ("ATD") and hangs up ("ATH", or
// "+++" first in a data call), and shows up to eight calls as the rows of
// the call page.
//
// Calls reported without a call id (RING, +CLIP, +CPAS, CONNECT, a dial)
// go to the temporary row, row 0 unless a call report moved its call to
// the row of its id.
class VPerifCalls : public VPerif {
public:
    static constexpr int RowCount = 8;
    // How long an own command may stay unanswered before the handler acts
    // again: most commands, ATA, ATD.
    static constexpr uint32_t CommandWait = 700;
    static constexpr uint32_t AnswerWait = 60000;
    static constexpr uint32_t DialWait = 120000;
    // The line must have been quiet this long before a hang-up, and after
    // a data call connected before "+++" (the escape needs a quiet guard).
    static constexpr uint32_t HangupQuiet = 1000;
    // A "+++" without its OK is written again only after this long, so
    // that the device's late OK is not taken for data.
    static constexpr uint32_t EscapeRetry = 2500;
    // Refused switch-on commands are tried this often, then the setting
    // counts as off until the next reset.
    static constexpr int SetupTries = 3;
    // A data call whose "+++" gets no OK this often is ended the hard way:
    // DTR held low this long (a device set to hang up on DTR clears the
    // call), then "ATH"; a dead line would take "+++" for ever.
    static constexpr int EscapeTries = 3;
    static constexpr uint32_t DtrDrop = 500;
    // A data call on which no frame arrived for this long is hung up: the
    // other station is gone, or the line is.
    static constexpr uint32_t DataSilence = 30000;

    // Codes of the own command awaiting its final result.
    enum TPending : int {
        cmdNone = 0,
        cmdEcamNoValue = 1,  // AT*ECAM= without a readable number
        cmdEcamRead = 2,     // AT*ECAM?
        cmdEcamSet = 3,      // AT*ECAM=n
        cmdClipRead = 4,     // AT+CLIP?
        cmdClipSet = 5,      // AT+CLIP=n
        cmdClipOther = 6,    // AT+CLIP= without a number, AT+CLIP=?
        cmdStatus = 7,       // AT+CPAS
        cmdHangup = 8,       // ATH
        cmdChup = 9,         // AT+CHUP
        cmdAnswer = 10,      // ATA
        cmdDial = 11,        // ATD...
    };

    explicit VPerifCalls(VUniSET* owner);

    // Creates the page's rows and shows them undetermined.
    void start(uint32_t now) override;
    void tick(uint32_t now) override;
    void dataTick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onResponse(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    bool isBusy() const override;

    // The row to free when a call ends: an active one, else alerting,
    // calling or connecting, else busy; -1 for none.
    virtual int findCallToRelease() const;
    // A row for a call that begins to ring: an alerting or calling one,
    // else a free one; else, with a "not understood" message, a busy one;
    // else row 0.
    virtual int findFirstCanRing();
    // A row to talk on: an active one, else alerting or calling, else (with
    // the message) a free one, else a busy one; else row 0.
    virtual int findFirstCanTalk();
    // The temporary row when it is alerting, else -1.
    virtual int alertingTempRow() const;
    // Before an event without call id is applied to the temporary row:
    // moves a call of the other direction (or an active or held one) out
    // of row 0, or gives up a temporary row that does not fit.
    virtual void tempIsOutgoing(bool outgoing);
    // The row of the only active call when it is a data call; else -1.
    virtual int singleActiveDataCall() const;
    // A command (the text after "AT") that was sent or echoed.
    virtual void parseCommand(std::string_view text, int previous);
    // Dials the number ("ATD<number>;" for a voice call). Sends nothing and
    // returns false for a number that cannot go after ATD (see IsDialable)
    // and outside the command mode.
    virtual bool dial(uint32_t now, bool voice, const std::string& number);
    // Marks every call that is not free or busy for hanging up.
    virtual void markForHangup();
    // Leaves the data call when the line allows: "+++", and after
    // EscapeTries of them without OK the hard way (DTR, then "ATH").
    void escapeDataCall(uint32_t now);
    // A hang-up of the data call is under way (asked for, or an escape
    // sent): the data handlers keep the line quiet for it.
    bool isHangingUp() const;
    // The answer and hang-up buttons, the window's ringing and flashing.
    virtual void refreshCallButtons();
    virtual bool hasRingingOrCalling() const;
    // Readiness: settings known, nothing waiting.
    virtual bool isSettled() const;
    // The remote-party handler may dial now.
    virtual bool isReadyForCommand(uint32_t now) const;

    // A number that can follow "ATD": not empty or all blanks, without ";"
    // (which would chain further commands) and without control bytes.
    static bool IsDialable(std::string_view number);
    // A decimal number at the start of the text as scanf's "%d" reads it
    // (blanks and a sign allowed before it, anything after it).
    static bool ScanDecimal(std::string_view text, int& value);
    // A "+++" may go out now: the line quiet long enough, also since the
    // data call connected, and no earlier "+++" still waiting for its OK.
    bool escapeDue(uint32_t now) const;
    // A row went from a call to free (not by moving): its remote party is
    // forgotten and the remote-party handler, the file sender and the file
    // receiver are told, in this order.
    // Also when a data call left the data mode for good: nothing comes
    // over its link any more.
    void callReleased(VCall& row);
    // The language changed: the rows' state texts anew.
    void refreshTexts();

    VCall& row(int i) { return rows[size_t(i)]; }
    const VCall& row(int i) const { return rows[size_t(i)]; }
    int getTempRow() const { return tempRow; }
    void setTempRow(int r) { tempRow = r >= 0 && r < RowCount ? r : 0; }
    int getPending() const { return pending; }
    int getEcamMode() const { return ecamMode; }
    int getClipMode() const { return clipMode; }
    bool isStatusPollWanted() const { return statusPollWanted; }
    bool isAnswerPending() const { return answerPending; }
    // The answer button: "ATA" at the next poll.
    void setAnswerPending(bool value) { answerPending = value; }
    bool isMarkNextConnect() const { return markNextConnect; }
    // The remote-party handler dials: the call that connects is hung up
    // once it is idle.
    void setMarkNextConnect(bool value) { markNextConnect = value; }

private:
    // onResponse's cases.
    void onStatus(int n);
    void onConnect(uint32_t now);
    void onOk(uint32_t now);
    void onError(uint32_t now);
    void onCallReport(std::string_view text);
    void onCallerId(std::string_view text);
    void onCallEnd();

    VCall& tempCall() { return rows[size_t(tempRow)]; }
    // The highest row marked for hanging up that is not free or busy; -1.
    int markedRow() const;
    // Hangs up the marked call: "+++" in a data call, else "ATH".
    void hangUp(uint32_t now);
    // The data call ends without the device's help: DTR low, the data mode
    // left, the data call's rows freed; "ATH" follows when DTR is up.
    void hardHangup(uint32_t now);
    void notUnderstood(const char* operation);

    bool markNextConnect = false;
    std::array<VCall, RowCount> rows;
    bool statusPollWanted = false;
    int ecamMode = -1;
    int ecamRequested = 0;
    int clipMode = -1;
    int clipRequested = 0;
    int pending = cmdNone;
    uint32_t lastStatusPoll = 0;
    int tempRow = 0;
    bool answerPending = false;

    // Refusals of the switch-on commands since the last reset.
    TRetryHold ecamHold;
    TRetryHold clipHold;
    // When the last data call connected; the escape waits for it too.
    uint32_t connectTick = 0;
    bool connectRecent = false;
    // The data call: "+++" written without OK so far, the user (or the
    // silence) asked for the hang-up, "ATH" due once DTR is up again.
    int escapesSent = 0;
    bool hangupAsked = false;
    bool athAfterDtr = false;
    // The escape's OK came: "ATH" goes before any other command.
    bool athOwed = false;
    // A data call connected and the engine has not left the data mode
    // since: once it has (an escape, the hard way), nothing comes over
    // the link any more, and the data handlers let go of it.
    bool inDataCall = false;
    // The window's ringing flag as last written.
    bool ringingShown = false;
    // The time of the operation running now, for the release of a row.
    uint32_t now_ = 0;
};
