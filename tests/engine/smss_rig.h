#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/perif_smss.h"
#include "sms/sca_combo.h"
#include "tests/engine/handler_rig.h"

// The SMS handler alone over a byte sink: every other handler is a
// settled stand-in (device answering, registered, nobody waiting), the
// window's own SMS list holds the records, a plain combo box the
// SMS-centre list. Only the SMS handler ticks (`step`).
namespace SmssTest {

// "Hello" read (24 octets), the unread one from "Banka" (23), "Ahoj" to
// +420777123456 unsent (18), "Cau" from +420602123456 (22).
extern const char* const kHello;
extern const char* const kBanka;
extern const char* const kAhoj;
extern const char* const kCau;

// A combo box as plain data.
class TPlainCombo : public VTixSCACombo {
public:
    std::vector<std::string> items;
    int selected = -1;
    std::string typed;

    int count() const override { return int(items.size()); }
    std::string item(int index) const override;
    void clear() override;
    void add(const std::string& text) override { items.push_back(text); }
    int itemIndex() const override { return selected; }
    void setItemIndex(int index) override;
    std::string text() const override;
    void setText(const std::string& text) override;
};

struct TSmsRig : THandlerRig {
    explicit TSmsRig(uint32_t start = 100000, int modelCode = -1);

    // One tick of the SMS handler after `ms`; what it wrote.
    std::string step(uint32_t ms = 10) { return turn(ms, *sms); }
    // Ticks every 10 ms until it writes something or `limit` ms passed;
    // what it wrote ("" when nothing).
    std::string stepUntilSent(uint32_t limit);
    // The device's answer to the SMS handler's last command: echo, info
    // lines (each framed), final.
    void answer(const std::string& command, const std::vector<std::string>& info,
                const std::string& final = "OK");
    // Runs the first `steps` settings of a fresh connection: +CSCA?,
    // +CNMI=?, the +CNMI set command, +CPMS=?, +CPMS? with SM (and ME
    // when `twoMemories`).
    void settle(bool twoMemories = false, int steps = 5);
    // Settled, and memory 1 (SM) listed empty.
    void ready(bool twoMemories = false);
    // The device's prompt after the echo of the command.
    void prompt(const std::string& command) { line(command + "\r\r\n\r\n> "); }
    // The record of (storage, index).
    VTixSMSRecord* at(const std::string& storage, int index) { return list.getSMSByIndex(storage, index); }
    // A composed message to +420777123456 with the text, in "PC".
    VTixSMSRecord* draft(const std::string& text, const std::string& number = "+420777123456");

    VPerifSMSs* sms = nullptr;
    VTixSMSList& list;
    TPlainCombo combo;
};

}  // namespace SmssTest
