// The phonebook handler's answers and the model behind it: echoes of its
// commands (which set what it waits for), answer lines of +CPBS, +CPBR and
// +CPBW made of a known start and bytes of the input, final results, the
// user's edits, the window's memory choices and time. After every step
// the model must still be whole: entries sorted without twins, cursors in
// range, names unique and upper-case, the tracked memories in the list,
// and every row notice fitting the list it describes.
//
// Input: steps of one op byte and a text up to the next 0x01 byte.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/perif_modem.h"
#include "engine/perif_phonebook.h"
#include "fuzz/support/engine_rig.h"
#include "fuzz/support/fuzz_input.h"
#include "phonebook/phonebook.h"
#include "phonebook/phonebook_observer.h"

namespace {

void Require(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "phonebook: %s\n", what);
        std::abort();
    }
}

// Row notices must fit the list as a Qt item model needs them to.
class TStrictView : public VTixPhoneBookObserver {
public:
    void rowWillBeInserted(const VTixPhoneBookStorage& s, int row) override { begin(s, row, s.recordCount(), +1); }
    void rowWillBeRemoved(const VTixPhoneBookStorage& s, int row) override { begin(s, row, s.recordCount() - 1, -1); }
    void rowChangeDone(const VTixPhoneBookStorage& s) override
    {
        Require(open == &s && s.recordCount() == expected, "done does not fit its change");
        open = nullptr;
    }
    void rowChanged(const VTixPhoneBookStorage& s, int row) override
    {
        Require(!open && row >= 0 && row < s.recordCount(), "changed row out of range");
    }

private:
    void begin(const VTixPhoneBookStorage& s, int row, int maxRow, int delta)
    {
        Require(!open && row >= 0 && row <= maxRow, "row notice out of range");
        open = &s;
        expected = s.recordCount() + delta;
    }
    const VTixPhoneBookStorage* open = nullptr;
    int expected = 0;
};

const char* const Commands[] = {"S=?", "S?", "S=\"SM\"", "S=\"ME\"", "S=", "R=?", "R=1,250", "R=", "W=?", "W=", "W=7,\""};

const char* const Prefixes[] = {"+CPBS: ", "+CPBS: (", "+CPBS: \"", "+CPBR: ", "+CPBR: (", "+CPBR: 1,\"",
                                "+CPBR: 7,\"\",129,", "+CPBW: ", "+CPBW: (", "+CME ERROR: ", ""};

const char* const Finals[] = {"OK\r\n", "ERROR\r\n", "+CME ERROR: INCORRECT PASSWORD\r\n", "+CMS ERROR: 1\r\n",
                              "\r\n"};

void CheckModel(const VTixPhoneBook& model)
{
    Require(model.getWriteCursor() >= 0 && model.getWriteCursor() <= model.storageCount(), "model cursor");
    bool deviceFound = !model.getDeviceStorage(), displayedFound = !model.getDisplayedStorage();
    for (int i = 0; i < model.storageCount(); ++i) {
        const VTixPhoneBookStorage* s = model.storageAt(i);
        deviceFound |= s == model.getDeviceStorage();
        displayedFound |= s == model.getDisplayedStorage();
        Require(!s->getName().empty(), "a memory without a name");
        for (char c : s->getName())
            Require(!(c >= 'a' && c <= 'z'), "a name not upper-case");
        for (int j = 0; j < i; ++j)
            Require(model.storageAt(j)->getName() != s->getName(), "a name twice");
        Require(s->getFailures() >= 0 && s->getFailures() <= VTixPhoneBookStorage::MaxFailures, "failures");
        Require(s->getWriteCursor() >= 0 && s->getWriteCursor() <= s->recordCount(), "memory cursor");
        for (int r = 0; r < s->recordCount(); ++r) {
            const VTixPhoneBookRecord* e = s->recordAtPosition(r);
            Require(e->belongsTo(s), "an entry of another memory");
            Require(r == 0 || s->recordAtPosition(r - 1)->getIndex() < e->getIndex(), "entries out of order");
            Require(e->isPending() || !e->needsWrite(), "written without being committed");
            Require(e->isNumberModified() == (e->getEditedNumber() != e->deviceNumber()), "number mark");
            Require(e->isTextModified() == (e->getEditedText() != e->getDeviceText()), "text mark");
        }
    }
    Require(deviceFound && displayedFound, "a tracked memory outside the list");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::TInput in(data, size);
    Fuzz::TEngineRig rig(in.u32());
    VPerifPhonebook& pb = rig.engine->getHandlers().phonebook();
    VTixPhoneBook& model = pb.getPhonebook();
    TStrictView view;
    model.attachObserver(&view);
    for (int steps = 0; !in.empty() && steps < 512; ++steps) {
        const uint8_t op = in.byte();
        switch (op % 8) {
        case 0:  // the echo of a command, as sent or typed
        {
            // The input is read in a fixed order: first the table entry.
            const std::string command = Commands[in.below(std::size(Commands))];
            rig.receive("AT+CPB" + command + in.text() + "\r\r\n");
            break;
        }
        case 1:
        case 2:
        case 3:  // an answer line
        {
            const std::string prefix = Prefixes[in.below(std::size(Prefixes))];
            rig.receive(prefix + in.text() + "\r\n");
            break;
        }
        case 4:
            rig.receive(Finals[in.below(std::size(Finals))]);
            break;
        case 5:  // the user edits an entry of a memory
        {
            VTixPhoneBookStorage* s = model.storageAt(int(in.below(unsigned(model.storageCount()) + 1)));
            if (!s)
                break;
            VTixPhoneBookRecord* e = nullptr;
            if (in.flag())
                e = s->getRecord(in.interestingInt());
            else
                e = s->recordAtPosition(int(in.below(unsigned(s->recordCount()) + 1)));
            if (!e)
                break;
            switch (in.below(4)) {
            case 0: e->setEditedNumber(in.text()); break;
            case 1: e->setEditedText(in.text()); break;
            case 2: e->markPending(in.flag()); break;
            default: s->removeRecord(e); break;
            }
            break;
        }
        case 6:  // the window's choices
            if (in.flag())
                pb.setWantedStorage(in.text());
            else
                pb.setDisplayedStorage(in.text());
            break;
        default:  // time passes
            rig.tick(uint32_t(in.byte()) * 97u);
            break;
        }
        pb.isReady();
        CheckModel(model);
    }
    model.attachObserver(nullptr);
    return 0;
}
