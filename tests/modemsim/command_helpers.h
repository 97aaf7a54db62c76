#pragma once
#include <string>
#include <vector>

#include "tests/modemsim/command_registry.h"

// Small pieces the command families share.
namespace ModemSim {

// A profile test answer of "ERROR" marks a command the device lacks: every
// form of it answers ERROR. Returns true (and sets the reply) then.
bool Absent(TCommandContext& ctx, const std::string& testAnswer);
// The test form: the profile's answer line, or a bare OK when it is empty.
void AnswerTest(TCommandContext& ctx, const std::string& testAnswer);
// The opening of a command with a profile test answer: ERROR for an absent
// command, the answer for the test form. True when that answered it.
bool AbsentOrTest(TCommandContext& ctx, const std::string& testAnswer);
// The command's optional number (none: 0) in lo..hi; false, with ERROR
// set, otherwise.
bool OptionalInt(TCommandContext& ctx, int lo, int hi, int& value);
// The numbers of the first parenthesised list of a test answer, e.g.
// "+CFUN: (0,1,5-8),(0,1)" gives 0 1 5 6 7 8; "0-2" gives 0 1 2.
std::vector<int> FirstNumberList(const std::string& testAnswer);
bool ListContains(const std::vector<int>& list, int value);
// Set-command parameters; false (and ERROR set) when they do not parse.
bool Params(TCommandContext& ctx, std::vector<std::string>& items, std::vector<bool>* quoted = nullptr);
std::string Quote(const std::string& s);

}  // namespace ModemSim
