#pragma once
#include <string>
#include <vector>

// One command of an AT command line, and the splitting of a line into its
// commands after V.25ter: basic commands (a letter or "&" and a letter with
// an optional number, S-registers, D with the rest of the line) run
// together; extended commands ("+", "^", "*", "$", "%" and a name) end at
// ";" or the end of the line.
namespace ModemSim {

enum class TCmdKind { Exec, Set, Read, Test };

struct TAtCommand {
    std::string name;  // upper case: "+CGMI", "^SMSO", "E", "&F", "S", "D", "I"
    TCmdKind kind = TCmdKind::Exec;
    std::string args;  // Set: text after "="; basic: the number; D: the dial string
    int sreg = -1;     // S-register number for "S"
    std::string text;  // the command as written (e.g. "+cpin=\"1234\"")

    // The form key used for per-command delays: name plus "=?", "?" or "="
    // ("+COPS=?", "+CPIN?", "+CPIN=", "+CGMI").
    std::string FormKey() const;
};

// Splits the text after "AT". Returns false on a syntax error (the whole
// line is then answered ERROR and nothing of it runs).
bool SplitCommandLine(const std::string& afterAt, std::vector<TAtCommand>& out);

// Parameter list of a set command: comma-separated, quotes removed from
// quoted items (quoted items may hold commas and semicolons). `quoted`
// tells, per item, whether it stood in quotes. Returns false for an
// unterminated quote.
bool SplitArgs(const std::string& args, std::vector<std::string>& items, std::vector<bool>* quoted = nullptr);

// Decimal integer of the whole text (blanks around allowed); false if not.
bool ParseInt(const std::string& text, int& value);

std::string UpperAscii(std::string s);
// A command line as the simulator looks it up: upper case, a leading "AT"
// dropped ("at+cpin?" -> "+CPIN?").
std::string CommandKey(const std::string& line);

}  // namespace ModemSim
