#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/perif.h"
#include "sms/sms_list.h"

// The SMS handler: keeps the SMS list of the main window in step with the
// device in PDU mode. On its turn it settles the SMS centre ("AT+CSCA"),
// the new-message indications ("AT+CNMI") and the memories ("AT+CPMS"),
// then takes the next listing, read or delete from the list, then carries
// out the one store or send request the SMS page handed to it; between
// memories it switches memory 1 and returns to the home memory. It reads
// message headers and switches the engine to a one-line PDU mode, so that
// the next line becomes a record of the list, and pushes the PDU of a
// send or store after the device's "> " prompt.
//
// Devices answer anything, so every wait ends: a command unanswered,
// refused or answered without what it asked for is tried at most
// GiveUpAfter times in a row, with a pause that lets the other handlers
// send; a send or store without its final result ends unsent; a complete
// listing tells which messages a memory holds, and a read answered without
// a message that its slot is empty.
//
// Without a list (the window has none) it sends nothing.
//
// The tick (perif_smss.cpp), the responses (perif_smss_responses.cpp),
// the ends of commands and requests (perif_smss_results.cpp), and what a
// listing, a read or a memory switch leaves (perif_smss_listing.cpp).
class VPerifSMSs : public VPerif {
public:
    // Codes of the own command awaiting its final result.
    enum TPending : int {
        pdNone = 0,
        pdCscaSet = 1,
        pdCscaRead = 2,
        pdCscaTest = 3,
        pdCnmiSet = 4,
        pdCnmiRead = 5,
        pdCnmiTest = 6,
        pdCpmsSet = 7,
        pdCpmsRead = 8,
        pdCpmsTest = 9,
        pdCmglAll = 10,
        pdCmglOther = 11,
        pdCmgr = 12,
        pdCmgd = 13,
        pdCmgs = 14,
        pdCmss = 15,
        pdCmgw = 16,
        pdCancelled = 17,
    };
    // Pause after an error result, an answer that cannot be used or a
    // time-out: the other handlers get the line before the next try.
    static constexpr uint32_t ErrorPauseMs = 700;
    // Least time between two listings: a memory wanted again and again
    // does not take the line.
    static constexpr uint32_t ListPauseMs = 10000;
    // Wait for the final result of most commands; a long listing restarts
    // it with each message.
    static constexpr uint32_t CommandTimeoutMs = 10000;
    // Wait for the final result of a send or store: the network may take
    // this long to take the message.
    static constexpr uint32_t SendTimeoutMs = 40000;
    // Wait when nothing of this handler is pending, and after a cancelled
    // prompt (its OK comes at once).
    static constexpr uint32_t ShortTimeoutMs = 700;
    // A command refused, unanswered or answered unusably this often in a
    // row is given up, and a memory the device does not switch to after
    // this many tries is not asked for again on this connection, so that
    // neither blocks the steps after it.
    static constexpr int GiveUpAfter = 3;
    // How often the re-listing interval's text is read at most.
    static constexpr uint32_t RelistReadMs = 1000;
    // The re-listing interval in seconds when its text is no number.
    static constexpr int RelistDefaultSeconds = 15;
    // Model code of the devices that want PDUs without the SMS-centre part.
    static constexpr int ModelWithoutSCA = 0x101;
    // The five +CNMI parameters: mode, mt, bm, ds, bfr.
    static constexpr int CnmiCount = 5;
    // A current +CNMI value: the device offers no value for it.
    static constexpr int CnmiNone = -2;
    // bfr: the device has no fifth parameter.
    static constexpr int CnmiNoBfr = 200;
    // The largest value of the test answer taken as a parameter's value.
    static constexpr int CnmiMaxOffered = 99;

    explicit VPerifSMSs(VUniSET* owner);
    ~VPerifSMSs() override;

    void start(uint32_t now) override;
    void tick(uint32_t now) override;
    void restart(uint32_t now) override;
    void reset(uint32_t now) override;
    void onResponse(uint32_t now) override;
    void onCommandSent(uint32_t now) override;
    void onSms11(uint32_t now) override;
    void onSmsPromptEnd(uint32_t now, uint8_t cancelled) override;
    bool isBusy() const override;

    virtual void scaReceived(const std::string& number, uint8_t type);
    virtual void pduReceived(const std::string& storage, const std::string& pdu);
    virtual void commandSeen(const std::string& command);
    virtual void storageListed(int group, const std::string& name);
    virtual void registerStorages();
    // A store request: wantSendWrite(record, false).
    virtual void wantWrite(VTixSMSRecord* sms);
    // A send or store request of the SMS page. Taken only while no other
    // request is current (the record then becomes BeingSent or
    // BeingStored); otherwise ignored and the record keeps its state.
    virtual void wantSendWrite(VTixSMSRecord* sms, bool send);
    virtual void joinUserAndMy(bool ok);
    // The +CNMI values are settled (set, or offered by no value) and no
    // return to the home memory is pending.
    virtual bool isInitialised() const;
    // "+..." gives the digits and type 145, any other text type 129; a
    // text without a digit is no number and is ignored (it would empty
    // the device's centre).
    virtual void setWantedSCA(const std::string& number);

    // ---- State, for the window and for tests ------------------------------------
    int getPending() const { return pending; }
    bool getErrorPause() const { return errorPause; }
    const std::string& getWantedSCA() const { return wantedSCA; }
    int getWantedSCAType() const { return wantedSCAType; }
    const std::string& getDeviceSCA() const { return deviceSCA; }
    int getDeviceSCAType() const { return deviceSCAType; }
    int getScaKnown() const { return scaKnown; }
    int getCnmi(int k) const { return k >= 0 && k < CnmiCount ? cnmi[k] : -1; }
    bool getStoragesListed() const { return storagesListed; }
    uint32_t getLastListTick() const { return lastListTick; }
    const std::string& getHomeStorage() const { return homeStorage; }
    const std::string& getMem(int k) const { return mem[k < 0 || k > 2 ? 0 : k]; }
    int getUsed(int k) const { return used[k < 0 || k > 2 ? 0 : k]; }
    int getTotal(int k) const { return total[k < 0 || k > 2 ? 0 : k]; }
    int getMsgIndex() const { return msgIndex; }
    bool getSendInProgress() const { return sendInProgress; }
    bool getPduSent() const { return pduSent; }
    VTixSMSRecord* getMySMS() const { return mySMS; }
    VTixSMSRecord* getUserSMS() const { return userSMS; }
    // Refusals or time-outs in a row of the command last failed.
    int getFailures() const { return failures; }

    // A memory name that can stand between the quotes of "AT+CPMS=" without
    // ending the parameter or the command.
    static bool Quotable(const std::string& name);

protected:
    // The window's SMS list (null: none); keeps the handler told of the
    // records the list removes.
    VTixSMSList* list();
    bool modelWithoutSCA() const;

    // ---- The tick's steps (perif_smss.cpp) -----------------------------------------
    uint32_t pendingTimeout() const;
    bool stepSCA(uint32_t now);
    bool stepCNMI(uint32_t now);
    bool stepMemories(uint32_t now);
    // Reads and deletes; false with `stop` set when the tick ends there.
    bool stepReadsAndDeletes(uint32_t now, bool& stop);
    bool switchMemory(uint32_t now, const std::string& storage);
    bool stepRequest(uint32_t now, bool& stop);
    bool stepHomeStorage(uint32_t now);
    void stepRelisting(uint32_t now);
    // The timed-out own command: counted, and a wait for the prompt ended.
    bool timedOut(uint32_t now);

    // ---- Responses (perif_smss_responses.cpp) --------------------------------------
    // Split the text after a prefix into the container's scratch list.
    std::vector<std::string>& split(const std::string& text);
    void takeCmt(const std::string& rest);
    void takeCnmi(const std::string& rest);
    void takeCpmsRead(const std::string& rest);
    void takeCpmsTest(const std::string& rest);
    void finalResult(uint32_t now, bool ok);

    // ---- Ends (perif_smss_results.cpp) ---------------------------------------------
    void succeeded(uint32_t now);
    void failedResult(uint32_t now);
    // Both memories' names, used and total counts are known.
    bool memoriesKnown() const;
    // An OK that leaves the step's condition standing (a bare OK, an
    // answer without the values asked for): counted as a refusal.
    bool answerUnusable() const;
    // A refusal or a time-out of the last own command; the third in a row
    // gives it up.
    void countFailure(uint32_t now);
    void giveUp();
    // The request ends without a result: a send SendFailed, a store back
    // to SIMUnsent.
    void releaseRequest();
    // The device copy of a send or store in flight goes.
    void dropUserSMS();
    // A send or store whose command went out got no final result: it ends
    // unsent (its outcome unknown); a store's memory is listed again, so
    // that a copy the device did keep shows.
    void endUnanswered();

    // ---- Listings, reads and memory switches (perif_smss_listing.cpp) --------------
    // After a complete listing of memory 1: its records the listing did not
    // give are gone from the device (the request, the copy in flight and
    // messages announced meanwhile stay).
    void dropUnlisted();
    // A listed message whose PDU line never came is shown as unreadable.
    void settleOwedPdu();
    // A read that left its record to be read: answered without a message
    // the slot is empty (the record goes), with one it cannot be read.
    void endRead();
    // The record a listed or read PDU goes to: the known one, else a copy
    // stored without an index that holds the same PDU (it takes the
    // index), else a new one.
    VTixSMSRecord* recordFor(const std::string& storage, const std::string& pdu);
    // The record keeps its state: it waits to be deleted, or it is the request.
    bool keepsState(const VTixSMSRecord* sms) const;
    // The AT+CPMS? after a memory switch the device took with OK: did
    // memory 1 change?
    void checkSwitch();
    bool unselectable(const std::string& name) const;
    // Memory 1 is not switched to that memory again on this connection.
    void giveUpSwitch(const std::string& name);
    // The memory counts as listed; its messages still to be read cannot
    // be, nor, when it cannot be reached, those to be deleted. An empty
    // name stands for every memory of the device.
    void giveUpMemory(const std::string& name, bool unreachable);
    // The list removes a record.
    void listChanged(VTixItemOperation operation, VTixSMSRecord* sms);

    // The fields of the Parts, in their order.
    int pending = pdNone;
    bool errorPause = false;
    std::string sentSCA;
    std::string wantedSCA;
    std::string deviceSCA;
    int sentSCAType = -1;
    int wantedSCAType = 0;
    int deviceSCAType = 0;
    int scaKnown = 0;
    int cnmi[CnmiCount] = {-1, -1, -1, -1, -1};
    int cnmiSent[CnmiCount] = {-1, -1, -1, -1, -1};
    bool storagesListed = false;
    uint32_t lastListTick = 0;
    std::string homeStorage;
    std::string mem[3];
    int used[3] = {-1, -1, -1};
    int total[3] = {-1, -1, -1};
    int cpmsLine = 0;
    int msgIndex = 0;
    int msgStat = 0;
    int msgLength = 0;
    bool sendNotStore = false;
    bool sendInProgress = false;
    bool pduSent = false;
    VTixSMSRecord* mySMS = nullptr;
    VTixSMSRecord* userSMS = nullptr;

    // The memory of the last "AT+CPMS=" seen.
    std::string cpmsTarget;
    // What keeps the steps from sticking.
    std::string lastCommand;   // the own command last sent, without "AT"
    std::string failedCommand; // the command of the failures counted
    int failures = 0;
    // The own prompt was cancelled by another's line: the device still
    // waits for the PDU and gets Esc on the next tick.
    bool escapeOwed = false;
    // The own PDU went out after the prompt (the device holds what we sent).
    bool ownPduWent = false;

    // The indexes the listing in progress gave, and those announced while
    // it ran; the index of the read in progress, and whether it gave a
    // message header.
    std::vector<int> listedIndexes;
    std::vector<int> announcedWhileListing;
    int readIndex = -1;
    bool readGotMessage = false;
    // The listed index whose PDU line has not come (the engine drops a
    // line too long to hold); -1 none.
    int owedPdu = -1;
    // The memory of the last switch the device took with OK, until the
    // AT+CPMS? after it tells whether memory 1 changed; the memory whose
    // switches did not take, and how often in a row.
    std::string switchAsked;
    std::string switchMissed;
    int switchMisses = 0;
    // Memories the device does not switch to, for this connection.
    std::vector<std::string> unselectableMemories;
    // The memories could not be read: not asked again on this connection.
    bool memoriesGivenUp = false;
    // Device copies stored without an index get -1, -2, ... until a
    // listing gives their place, so that no two are one record.
    int nextIndexless = -1;

    // The list the handler is registered with, and the registration.
    VTixSMSList* registeredList = nullptr;
    TNotifySMSEvent onListChange;
    // Nothing to read or delete as of this change count of the list and
    // this memory 1; -1 unknown.
    int64_t idleChangeCount = -1;
    std::string idleMem1;
    // The re-listing interval as last read, and when.
    uint32_t relistInterval = RelistDefaultSeconds * 1000u;
    uint32_t relistReadTick = 0;
    bool relistRead = false;
};
