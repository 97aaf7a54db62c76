#pragma once
#include <string>

#include "engine/perif.h"

// The alarm handler (AT+CALA). Until it is built this stand-in reports the
// probe as over (a device without an alarm) and shows nothing.
class VPerifCALA : public VPerif {
public:
    explicit VPerifCALA(VUniSET* owner);

    bool isBusy() const override;
    // The alarm as an absolute device time (days since 1899-12-30).
    virtual void setAbsolute(double time, bool showIt);
    // The alarm as seconds after device now.
    virtual void setRelative(int seconds, bool showIt);
    // Keeps the two alarm edits in step, from the engine's tick.
    virtual void refreshEdits(uint32_t now);
    // The user asked for the alarm to be written.
    virtual void requestWrite();
    // The text equals the alarm text the device holds.
    virtual bool isSameText(const std::string& text) const;
    virtual bool isResolved() const;

protected:
    std::string alarmText;
};
