#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/main_window_link.h"
#include "engine/perif.h"
#include "engine/retry_hold.h"
#include "foundation/tixutils_datetime.h"

// The alarm handler: finds out whether the device has an alarm
// ("AT+CALA=?"), reads the set alarm ("AT+CALA?") and writes a new one when
// the user asks for it. The user gives the alarm in the main window's alarm
// group either as an absolute date and time or as a duration from now; the
// handler keeps both edits in step, in the device's time (PC time plus the
// clock handler's offset).
//
// States: 0 not yet probed, 1 the device has an alarm (to be read),
// 2 alarm known, 3 the device has no alarm function.
class VPerifCALA : public VPerif {
public:
    // Repeat of an unanswered command.
    static constexpr uint32_t RepeatMs = 2000;
    // The edits do not move right after a command of this handler.
    static constexpr uint32_t EditsQuietMs = 200;
    // What a device answers for "no alarm set".
    static constexpr const char* NoAlarmText = "00/00/00,00:00:00";

    explicit VPerifCALA(VUniSET* owner);
    ~VPerifCALA() override;

    void start(uint32_t now) override;
    void tick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onResponse(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    bool isBusy() const override;

    // Records an alarm command from the text after "AT+CALA".
    virtual void noteCommand(const std::string& tail);
    // Stores the state and switches the alarm group (when forced or changed).
    virtual void setState(int state, bool force = false);
    // The alarm as an absolute device time; with showIt the time edit gets
    // its text. Makes the absolute time lead.
    virtual void setAbsolute(Tixutils::TDateTime time, bool showIt);
    // The alarm as seconds after device now; with showIt the duration edit
    // gets its text. Makes the duration lead.
    virtual void setRelative(int seconds, bool showIt);
    // Keeps the edit that does not lead in step with the one that does;
    // from the engine's tick and the two setters.
    virtual void refreshEdits(uint32_t now);
    // The user asked for the alarm to be written.
    virtual void requestWrite();
    // The date and time formats changed (a new language): the time edit
    // shows its time in them.
    void formatsChanged();
    // The text equals the alarm text the device holds.
    virtual bool isSameText(const std::string& text) const;
    bool isDeviceText(const std::string& text) const { return isSameText(text); }
    // The probe is over: alarm known or absent.
    virtual bool isResolved() const;

    // The handler itself is writing the alarm edits: their change events
    // must not feed the values back.
    bool updatingEdits() const { return updating; }
    // The duration edit (true) or the time edit (false) defines the alarm;
    // the main window sets it when one of them gets the focus.
    bool relativeLeads() const { return relativeMode; }
    void setRelativeLeads(bool relative) { relativeMode = relative; }
    bool isWriteRequested() const { return writeRequested; }
    int getState() const { return state; }
    int getPendingKind() const { return pendingKind; }
    // Seconds after device now; -1 nothing to write.
    int getRelSeconds() const { return relSeconds; }
    const std::string& getAlarmText() const { return alarmText; }
    // PC now plus the clock handler's offset.
    Tixutils::TDateTime deviceNow() const;

protected:
    // Writes an edit only when its text changes.
    void showText(VMainWindowLink::TControl edit, const std::string& text);
    // One "+CALA: " line of a read answer, split into fields.
    void takeAlarm(const std::vector<std::string>& fields);
    void writeAlarm(uint32_t now, bool withText, const std::string& text);

    // 0 none, 1 "AT+CALA=?", 2 a set command, 3 "AT+CALA?".
    int pendingKind = 0;
    int state = 0;
    int relSeconds = -1;
    Tixutils::TDateTime pendingTime = 0;
    bool pendingTimeValid = false;
    std::string alarmText;
    std::string pendingText;
    bool writeRequested = false;
    bool updating = false;
    bool relativeMode = false;
    // What the edits were last made from: an unchanged state costs the
    // engine's tick nothing (the edit is parsed only when its text or
    // the device's second changed).
    struct TShownEdits {
        bool valid = false;
        bool relative = false;
        int relSeconds = 0;
        double second = 0;
        std::string timeText;
        // The device's clock offset they were made with, and when (tick)
        // the shown second ends: until then nothing is read or computed.
        int offset = 0;
        uint32_t tick = 0;
        uint32_t untilNextMs = 0;
    } shown;
    // The read under way: some "+CALA: " line came, and one gave a time.
    bool readLineSeen = false;
    bool readAnswered = false;
    TRetryHold hold;
};
