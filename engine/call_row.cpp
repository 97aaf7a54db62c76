#include "engine/call_row.h"

#include "engine/main_window_link.h"
#include "engine/perif_calls.h"
#include "engine/uniset.h"

namespace {

// Czech defaults of the state texts, by state 1..7.
const char* const StateTexts[8] = {
    "",
    "Vyt\xE1\xE8\xEDm",
    "Spojuji",
    "Prob\xEDh\xE1",
    "P\xF8idr\x9E" "en",
    "\xC8" "ek\xE1",
    "P\xF8\xED" "choz\xED",
    "Pracuje",
};

}  // namespace

VCall::VCall() = default;
VCall::~VCall() = default;

void VCall::init(VPerifCalls* newOwner, uint8_t newIndex)
{
    owner = newOwner;
    index = newIndex;
    state = -2;
    type = -2;
    shown = false;
    setState(-1);
    setType(-1);
}

bool VCall::isOutgoing() const
{
    return outgoing;
}

void VCall::setState(int s)
{
    ++holdShow;
    if (s == 1 || s == 2)
        outgoing = true;
    else if (s == 6)
        outgoing = false;

    if (s != 0 && s != -1) {
        view.numberText = !number.empty() && numberType != 0 ? number + "," + std::to_string(numberType) : std::string();
    } else {
        number.clear();
        view.numberText.clear();
        numberType = 0;
        // A free row has nothing left to hang up: a mark kept here would
        // hang up the next call that takes the row.
        hangupMark = false;
        setType(-1);
    }

    if (owner && index == owner->getTempRow() && (s == 0 || s == 3 || s == 4))
        owner->setTempRow(0);

    if (s != state) {
        const int old = state;
        state = s;
        view.statePicture = s >= -1 && s <= 7 ? s + 1 : -1;
        refreshStateText();
        if (owner) {
            owner->refreshCallButtons();
            if (old >= 1 && old <= 7 && s == 0 && !movingAway)
                owner->callReleased(*this);
        }
    }
    --holdShow;
    show();
}

void VCall::setType(int t)
{
    if (t == type)
        return;
    type = t;
    if (t == -1)
        view.typePicture = 0;
    else if (t == 1 || t == 128)
        view.typePicture = 1;
    else if (t == 2)
        view.typePicture = 2;
    else
        view.typePicture = -1;
    refreshStateText();
    show();
}

void VCall::refreshStateText()
{
    if (state < 1 || state > 7 || !owner) {
        view.stateText.clear();
    } else {
        VMainWindowLink& w = owner->getOwner()->getWindow();
        view.stateText = w.getLangText("Texts", "CallState", StateTexts[state], state);
        if (type == 1 || type == 128)
            view.stateText += " (" + w.getLangText("Texts", "CallTypeVoice", "Hlas") + ")";
        else if (type == 2)
            view.stateText += " (" + w.getLangText("Texts", "CallTypeData", "Data") + ")";
    }
    show();
}

void VCall::moveFrom(VCall& other)
{
    if (&other == this)
        return;
    ++holdShow;
    number = other.number;
    numberType = other.numberType;
    hangupMark = other.hangupMark;
    setType(other.type);
    setState(other.state);
    other.number.clear();
    other.numberType = 0;
    other.hangupMark = false;
    other.movingAway = true;
    other.setType(-2);
    other.setState(0);
    other.movingAway = false;
    --holdShow;
    show();
}

void VCall::show()
{
    // Nothing is drawn before the row is bound to a handler (state -2).
    if (!owner || state == -2 || holdShow > 0)
        return;
    if (shown && view == shownView)
        return;
    shownView = view;
    shown = true;
    owner->getOwner()->getWindow().showCallRow(index, view.statePicture, view.typePicture, view.numberText,
                                               view.stateText);
}
