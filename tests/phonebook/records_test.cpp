// Entries and memories of the phonebook model: device and edited values,
// the modified and pending marks, what the user may type, the sorted
// entry list with its notices, the read and write scans of one memory.
#include <gtest/gtest.h>

#include <string>

#include "phonebook/phonebook.h"
#include "tests/phonebook/checking_view.h"

namespace {

struct Memory : ::testing::Test {
    void SetUp() override
    {
        model.attachObserver(&view);
        model.setDisplayedStorage("SM");
        model.setDeviceStorage("SM");
        sm = model.getDeviceStorage();
        view.take();
    }
    void TearDown() override { EXPECT_TRUE(view.faults.empty()) << view.faults.front(); }
    // A memory with positions 1..250, lengths 20 and 18, writable.
    void writable()
    {
        model.setIndexRange(1, 250, 20, 18);
        model.setWriteLimits(1, 250, 20, 18);
    }
    VTixPhoneBookRecord* read(int index, const std::string& digits, int type, const std::string& text)
    {
        VTixPhoneBookRecord* r = model.recordAt(index);
        r->setDeviceDigits(digits);
        r->setDeviceType(type);
        r->setDeviceText(text);
        return r;
    }
    std::string indexes() const
    {
        std::string out;
        for (int i = 0; i < sm->recordCount(); ++i)
            out += (out.empty() ? "" : ",") + std::to_string(sm->recordAtPosition(i)->getIndex());
        return out;
    }

    TCheckingView view;
    VTixPhoneBook model;
    VTixPhoneBookStorage* sm = nullptr;
};

}  // namespace

TEST_F(Memory, DeviceValuesAreCopiedAndEditsMarkedUntilEqualAgain)
{
    VTixPhoneBookRecord* r = read(5, "420602123456", 145, "Jan");
    // Digits, then the type: the plus sign comes without a mark.
    EXPECT_EQ(r->deviceNumber(), "+420602123456");
    EXPECT_EQ(r->deviceDigits(), "420602123456");
    EXPECT_EQ(r->deviceType(), 145);
    EXPECT_EQ(r->getEditedNumber(), "+420602123456");
    EXPECT_EQ(r->getEditedText(), "Jan");
    EXPECT_FALSE(r->isNumberModified() || r->isTextModified() || r->isPending());

    EXPECT_TRUE(r->setEditedNumber("+420777888999"));
    EXPECT_EQ(r->getEditedNumber(), "+420777888999");
    EXPECT_TRUE(r->isNumberModified());
    EXPECT_FALSE(r->needsWrite()) << "not committed yet";
    r->markPending(false);
    EXPECT_TRUE(r->needsWrite());
    // Back to the device number: nothing modified, nothing pending.
    EXPECT_TRUE(r->setEditedNumber("+420602123456"));
    EXPECT_FALSE(r->isNumberModified());
    EXPECT_FALSE(r->isPending());

    // A type other than 129 and 145 travels after a comma.
    EXPECT_TRUE(r->setEditedNumber("602123456,161"));
    EXPECT_EQ(r->getEditedNumber(), "602123456,161");
    // Text the number parser refuses changes nothing.
    EXPECT_FALSE(r->setEditedNumber("\"\""));
    EXPECT_FALSE(r->setEditedNumber("123,999"));
    EXPECT_EQ(r->getEditedNumber(), "602123456,161");
    // Cleared: both values empty, type 0 (the handler's delete).
    EXPECT_TRUE(r->setEditedNumber(""));
    r->setEditedText("");
    r->markPending(false);
    EXPECT_TRUE(r->needsWrite());
    EXPECT_FALSE(r->isEmptyPending()) << "it is on the device: deleted there, not dropped";

    // Committing an unmodified entry does nothing; forced, it stays pending.
    VTixPhoneBookRecord* typed = model.recordAt(9);
    typed->markPending(false);
    EXPECT_FALSE(typed->isPending());
    typed->markPending(true);
    EXPECT_TRUE(typed->isPending());
    EXPECT_TRUE(typed->isEmptyPending());
    EXPECT_FALSE(typed->needsWrite());
    EXPECT_TRUE(typed->belongsTo(sm));
    EXPECT_FALSE(typed->belongsTo(nullptr));
}

TEST_F(Memory, TypedTextCannotBreakTheWriteCommand)
{
    writable();
    VTixPhoneBookRecord* r = read(3, "603555111", 129, "Dev \"quoted\"");
    // Control characters never stay (no file line could hold them);
    // quotes stay as typed: only the write command leaves them out.
    r->setEditedText("A\"\rAT+CFUN=0");
    EXPECT_EQ(r->getEditedText(), "A\"AT+CFUN=0");
    r->setEditedText("O\"Brien");
    EXPECT_EQ(r->getEditedText(), "O\"Brien");
    r->setEditedText(std::string("x\x00y\x7F\tz\x1A", 8));
    EXPECT_EQ(r->getEditedText(), "xyz");
    // The device's own text is taken as it is (a saved list loads back).
    r->setEditedText("Dev \"quoted\"");
    EXPECT_EQ(r->getEditedText(), "Dev \"quoted\"");
    EXPECT_FALSE(r->isTextModified());
    // Cut to the memory's text length; cp1250 letters stay.
    r->setEditedText("Abcdefghijklmnopqrstuvwxy");
    EXPECT_EQ(r->getEditedText(), "Abcdefghijklmnopqr");
    r->setEditedText("\x8A\xE8" "ek");
    EXPECT_EQ(r->getEditedText(), "\x8A\xE8" "ek");

    // Digits with a quote or a control character, or too many of them.
    EXPECT_FALSE(r->setEditedNumber("12\"34"));
    EXPECT_FALSE(r->setEditedNumber("12\r34"));
    EXPECT_FALSE(r->setEditedNumber("\"1\x7F" "2\""));
    EXPECT_FALSE(r->setEditedNumber("123456789012345678901"));
    EXPECT_EQ(r->getEditedNumber(), "603555111");
    EXPECT_TRUE(r->setEditedNumber("+12345678901234567890")) << "20 digits and the plus sign";

    // Lengths not known (0): nothing is cut.
    model.setDeviceStorage("ME");
    VTixPhoneBookRecord* me = model.recordAt(1);
    me->setEditedText(std::string(60, 'n'));
    EXPECT_EQ(me->getEditedText().size(), 60u);
    EXPECT_TRUE(me->setEditedNumber(std::string(30, '5')));
}

TEST_F(Memory, EntriesStaySortedAndEveryChangeIsAnnounced)
{
    read(1, "1", 129, "a");
    read(3, "3", 129, "c");
    read(7, "7", 129, "g");
    view.take();
    // Created between 3 and 7.
    VTixPhoneBookRecord* five = sm->getRecord(5);
    EXPECT_EQ(indexes(), "1,3,5,7");
    EXPECT_EQ(view.take(), "insert SM 2|done SM|changed SM 2");
    EXPECT_EQ(sm->findRecord(5, false), five);
    EXPECT_EQ(sm->findRecord(6, false), nullptr);
    EXPECT_EQ(view.take(), "");
    // Any index is stored, below 1 too.
    sm->getRecord(-4);
    sm->getRecord(0);
    EXPECT_EQ(indexes(), "-4,0,1,3,5,7");
    view.take();

    five->setDeviceText("e");
    EXPECT_EQ(view.take(), "changed SM 4");
    sm->removeRecord(five);
    EXPECT_EQ(indexes(), "-4,0,1,3,7");
    EXPECT_EQ(view.take(), "remove SM 4|done SM");
    sm->removeRecord(nullptr);
    EXPECT_EQ(view.take(), "");

    // Another memory's rows are announced as its own.
    model.setDeviceStorage("ME");
    model.recordAt(2);
    EXPECT_EQ(view.take(), "insert ME 0|done ME|changed ME 0");
    // The view shows another memory; a memory leaving the model goes
    // without row notices once it is no longer shown.
    model.setDisplayedStorage("me");
    EXPECT_EQ(view.take(), "shown ME");
    model.clear();
    EXPECT_EQ(view.take(), "shown -");
    EXPECT_EQ(model.storageCount(), 0);
    EXPECT_EQ(model.getDeviceStorage(), nullptr);
}

TEST_F(Memory, FirstFreeIndexSkipsEntriesWithContent)
{
    read(1, "1", 129, "a");
    read(2, "", 0, "b");
    sm->getRecord(3);  // nothing in it
    read(5, "5", 129, "");
    EXPECT_EQ(sm->firstFreeIndex(1), 3);
    EXPECT_EQ(sm->firstFreeIndex(4), 4);
    EXPECT_EQ(sm->firstFreeIndex(5), 6);
    EXPECT_EQ(sm->firstFreeIndex(-1), -1);
}

TEST_F(Memory, ReadRangesComeIntervalByInterval)
{
    int first = 0, last = 0;
    EXPECT_TRUE(sm->nextReadRange(first, last));
    EXPECT_EQ(first, -1) << "range unknown: ask for it";
    EXPECT_EQ(last, -1);
    model.setIndexRange(1, 250, 20, 18);
    sm->addReadRange(1, 100);
    EXPECT_TRUE(sm->nextReadRange(first, last));
    EXPECT_EQ(first, 101);
    EXPECT_EQ(last, 250);
    model.rangeRead(200, 200);
    EXPECT_TRUE(sm->nextReadRange(first, last));
    EXPECT_EQ(last, 199);
    model.rangeRead(101, 250);
    EXPECT_FALSE(sm->nextReadRange(first, last));
    EXPECT_EQ(sm->getReadRange(), "1-250");
    EXPECT_EQ(sm->getMaxNumberLength(), 20);
    EXPECT_EQ(sm->getMaxTextLength(), 18);

    // Three failed selections give the memory up.
    VTixPhoneBookStorage* fd = model.storageByName("FD");
    for (int i = 0; i < 5; ++i)
        model.storageFailed("fd");
    EXPECT_EQ(fd->getFailures(), 3);
    EXPECT_FALSE(fd->nextReadRange(first, last));
    int position = 0;
    EXPECT_FALSE(fd->nextWrite(position));
    // Until it is the device memory again.
    model.setDeviceStorage("FD");
    EXPECT_EQ(fd->getFailures(), 0);
    EXPECT_TRUE(fd->nextReadRange(first, last));
}

TEST_F(Memory, WritableRangeIsTheOneIntervalOfPositions)
{
    int first = 5, last = 5;
    EXPECT_FALSE(sm->writableRange(first, last)) << "limits not known";
    EXPECT_EQ(first, 5);
    model.setIndexRange(1, 100, 20, 18);
    model.addUsedRange(200, 250);
    model.setWriteLimits(1, 250, 20, 18);
    EXPECT_FALSE(sm->writableRange(first, last));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 100);
    model.addUsedRange(101, 199);
    EXPECT_TRUE(sm->writableRange(first, last));
    EXPECT_EQ(last, 250);
}

TEST_F(Memory, WriteLimitsDecideBetweenWritableAndReadOnly)
{
    EXPECT_TRUE(sm->isReadOnly());
    // A single position is no writable memory: no new-entry row.
    model.setWriteLimits(1, 1, 20, 18);
    EXPECT_TRUE(sm->isReadOnly());
    EXPECT_TRUE(sm->isLimitsKnown());
    EXPECT_EQ(sm->recordCount(), 0);
    model.setWriteLimits(0, 10, 20, 18);
    EXPECT_TRUE(sm->isReadOnly()) << "positions start at 1";
    view.take();
    model.setWriteLimits(1, 250, 20, 18);
    EXPECT_FALSE(sm->isReadOnly());
    ASSERT_EQ(sm->recordCount(), 1);
    EXPECT_EQ(sm->recordAtPosition(0)->getIndex(), VTixPhoneBookRecord::NewEntryIndex);
    EXPECT_EQ(view.take(), "insert SM 0|done SM|changed SM 0");
    // Once only.
    model.setWriteLimits(1, 250, 20, 18);
    EXPECT_EQ(sm->recordCount(), 1);
    // An error later: read-only, the row stays.
    model.setWriteLimits(-1, -1, 0, 0);
    EXPECT_TRUE(sm->isReadOnly());
    EXPECT_EQ(sm->recordCount(), 1);
}

TEST_F(Memory, WriteScanTakesCommittedEntriesInPositionOrder)
{
    int position = 0;
    EXPECT_TRUE(sm->nextWrite(position));
    EXPECT_EQ(position, -1) << "limits unknown: ask for them";
    writable();
    for (int i : {2, 4, 6, 8})
        read(i, std::to_string(i), 129, "n");
    position = 0;
    EXPECT_FALSE(sm->nextWrite(position));
    EXPECT_EQ(position, 0);
    EXPECT_EQ(sm->getWriteCursor(), 5) << "past every entry, the new-entry row too";

    VTixPhoneBookRecord* six = sm->findRecord(6, false);
    VTixPhoneBookRecord* two = sm->findRecord(2, false);
    six->setEditedText("six");
    six->markPending(false);
    EXPECT_EQ(sm->getWriteCursor(), 2);
    two->setEditedText("two");
    EXPECT_TRUE(sm->nextWrite(position));
    EXPECT_EQ(position, 2) << "two is not committed";
    two->markPending(false);
    EXPECT_TRUE(sm->nextWrite(position));
    EXPECT_EQ(position, 0);

    // An entry leaving below the cursor keeps the cursor on its entry.
    two->setEditedText("n");
    EXPECT_FALSE(two->isPending());
    EXPECT_TRUE(sm->nextWrite(position));
    EXPECT_EQ(sm->getWriteCursor(), 2);
    sm->removeRecord(two);
    EXPECT_EQ(sm->getWriteCursor(), 1);
    EXPECT_TRUE(sm->nextWrite(position));
    EXPECT_EQ(sm->recordAtPosition(position), six);
    six->setDeviceText("six");
    EXPECT_FALSE(sm->nextWrite(position));

    // A filled new-entry row heads the queue: nothing of the memory is
    // written behind it.
    VTixPhoneBookRecord* fresh = sm->findRecord(VTixPhoneBookRecord::NewEntryIndex, false);
    fresh->setEditedText("new");
    fresh->markPending(false);
    position = 0;
    EXPECT_FALSE(sm->nextWrite(position));
    EXPECT_EQ(position, -1);

    // A typed entry given up is dropped, nothing written.
    VTixPhoneBookRecord* typed = sm->getRecord(9);
    typed->markPending(true);
    ASSERT_NE(sm->findRecord(9, false), nullptr);
    view.take();
    sm->nextWrite(position);
    EXPECT_EQ(sm->findRecord(9, false), nullptr);
    EXPECT_EQ(view.take(), "remove SM 3|done SM");
}

TEST_F(Memory, ClearedEntryOfAReadOnlyMemoryIsNotWritten)
{
    model.setIndexRange(1, 10, 20, 18);
    model.setWriteLimits(-1, -1, 0, 0);
    VTixPhoneBookRecord* r = read(1, "603555111", 129, "");
    r->setEditedNumber("");
    r->markPending(false);
    ASSERT_TRUE(r->needsWrite());
    int position = 0;
    EXPECT_FALSE(sm->nextWrite(position));
    EXPECT_EQ(position, 0) << "nothing there, not blocked";
    std::string name, number, text;
    int index = 0, type = 0;
    EXPECT_FALSE(model.nextWrite(name, index, number, type, text));
    EXPECT_EQ(model.getWriteCursor(), 1) << "past the memory";
}

TEST_F(Memory, NumbersAreTakenAsTypedWhenADialStringCanBeThem)
{
    writable();
    VTixPhoneBookRecord* r = read(4, "603555111", 129, "Petr");
    using R = VTixPhoneBookRecord;
    struct TCase {
        std::string typed;
        R::TNumberCheck check;
        std::string kept;    // the edited number after it ("" : unchanged)
        std::string dialed;  // the digits the write sends
    };
    const std::vector<TCase> cases = {
        {"+420 603 555 111", R::ncGood, "+420 603 555 111", "420603555111"},
        {"603-555-112", R::ncGood, "603-555-112", "603555112"},
        {" 603 555 113 ", R::ncGood, "603 555 113", "603555113"},
        {"*31#603555114", R::ncGood, "*31#603555114", "*31#603555114"},
        {"12345,161", R::ncGood, "12345,161", "12345"},
        {"\"777 1\",145", R::ncGood, "+777 1", "7771"},
        {"603a555", R::ncBadCharacters, "", ""},
        {"603;555", R::ncBadCharacters, "", ""},
        {"603\"555", R::ncBadCharacters, "", ""},
        {"42+0", R::ncBadCharacters, "", ""},
        {"+", R::ncBadCharacters, "", ""},
        {"- -", R::ncBadCharacters, "", ""},
        {"60\x01" "3", R::ncBadCharacters, "", ""},
        {"1 2345 6789 0123 4567 890", R::ncGood, "1 2345 6789 0123 4567 890", "12345678901234567890"},
        {"1 2345 6789 0123 4567 8901", R::ncTooLong, "", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(R::CheckNumber(c.typed, 20), c.check);
        ASSERT_TRUE(r->setEditedNumber("603555111"));
        const bool taken = r->setEditedNumber(c.typed);
        EXPECT_EQ(taken, c.check == R::ncGood);
        EXPECT_EQ(r->getEditedNumber(), c.kept.empty() ? "603555111" : c.kept);
        if (!taken)
            continue;
        r->markPending(false);
        std::string name, number, text;
        int index = 0, type = 0;
        ASSERT_TRUE(model.nextWrite(name, index, number, type, text));
        EXPECT_EQ(number, c.dialed);
    }
    EXPECT_EQ(R::CheckNumber("", 20), R::ncGood) << "clearing the number";
    EXPECT_EQ(R::CheckNumber(std::string(30, '5'), 0), R::ncGood) << "no limit known";
}

TEST_F(Memory, ARefusedEntryIsGivenUpUntilItIsEditedAnew)
{
    writable();
    VTixPhoneBookRecord* r = read(4, "603555111", 129, "Petr");
    VTixPhoneBookRecord* later = read(9, "609", 129, "Devet");
    r->setEditedText("Petra");
    r->markPending(false);
    later->setEditedText("Deveta");
    later->markPending(false);
    for (int i = 1; i < VTixPhoneBookRecord::MaxWriteRefusals; ++i) {
        r->noteRefusal("+CME ERROR: " + std::to_string(i));
        EXPECT_TRUE(r->needsWrite()) << i;
    }
    r->noteRefusal("+CME ERROR: invalid characters in text string");
    EXPECT_TRUE(r->isGivenUp());
    EXPECT_FALSE(r->needsWrite());
    EXPECT_EQ(r->getRefusalText(), "+CME ERROR: invalid characters in text string");
    std::string name, number, text;
    int index = 0, type = 0;
    ASSERT_TRUE(model.nextWrite(name, index, number, type, text));
    EXPECT_EQ(index, 9) << "the memory goes on past it";
    // The same text again is no new edit; another one is.
    r->setEditedText("Petra");
    EXPECT_TRUE(r->isGivenUp());
    r->setEditedText("Petra N");
    EXPECT_EQ(r->getRefusals(), 0);
    EXPECT_EQ(r->getRefusalText(), "");
    EXPECT_TRUE(r->needsWrite());
    // Edited back to what the device holds: nothing to write, nothing refused.
    r->noteRefusal("ERROR");
    r->setEditedText("Petr");
    EXPECT_FALSE(r->isPending());
    EXPECT_EQ(r->getRefusals(), 0);
}
