#pragma once
#include <cstdint>
#include <string>

#include "engine/protikus.h"

class VPerifCalls;

// One of the eight call rows of the call handler: what the device said of
// one call, and the row's line on the call page.
//
// States (the numbering of the device's call reports): -2 not drawn yet,
// -1 undetermined, 0 free, 1 calling, 2 connecting, 3 active, 4 held,
// 5 waiting, 6 alerting (incoming), 7 busy. Types: -2 not drawn, -1
// undetermined, 1 voice, 2 data, 128 shown as voice.
//
// The row tells the window only of what changed (VMainWindowLink::
// showCallRow): its state picture (0 for -1, s + 1 for state s, -1 none),
// its type picture (0 undetermined, 1 voice, 2 data, -1 none), the number
// with its type of number ("123,129") and the state text.
class VCall {
public:
    VCall();
    VCall(const VCall&) = delete;
    VCall& operator=(const VCall&) = delete;
    virtual ~VCall();

    // Binds the row to its handler as row `index` and shows it undetermined.
    virtual void init(VPerifCalls* owner, uint8_t index);
    virtual void setState(int s);
    virtual void setType(int t);
    // The state text in the current language.
    virtual void refreshStateText();
    virtual bool isOutgoing() const;
    // This row takes over the other row's call; the other becomes free
    // without counting as a call that ended. Onto itself: nothing.
    virtual void moveFrom(VCall& other);

    VPerifCalls* owner = nullptr;
    uint8_t index = 0xFF;
    int state = -2;
    int type = -2;
    std::string number;       // the other party's number; empty when unknown
    uint8_t numberType = 0;   // 145 international, 129 other, 0 unknown
    bool hangupMark = false;  // to be hung up once the line is quiet
    bool outgoing = false;    // set by calling/connecting, cleared by alerting
    Protikus remote;          // the other station of a data call

private:
    // What the row's line shows.
    struct TView {
        int statePicture = -1;
        int typePicture = -1;
        std::string numberText;
        std::string stateText;
        bool operator==(const TView&) const = default;
    };
    // Tells the window what the row now shows, when it changed; not in
    // the middle of one of the row's own operations.
    void show();

    TView view;
    TView shownView;
    bool shown = false;
    int holdShow = 0;
    // The row is being emptied by moveFrom: its call goes on elsewhere.
    bool movingAway = false;
};
