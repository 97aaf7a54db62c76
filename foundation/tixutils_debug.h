#pragma once
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

// The developer debug sink and its log file, the text of a system error
// code, the reference helpers for C strings, a chunked line reader, and
// bit and memory functions.
namespace Tixutils {

// ---- Debug sink --------------------------------------------------------

// While the debug switch is on (it is from start-up), throws an exception
// carrying the text and catches it at once, so that a debugger set to stop
// on throws stops here, and hands the text to Platform::EmitDebugText
// (platform/debug_sink.h). The caller always continues.
void DoGlobalDebug(const std::string& text);
void SetGlobalDebug(bool on);
bool GlobalDebug();

// No effect; a fixed place for a breakpoint where a failure is noticed.
const void* DoNothing(const void* p);

// When set, failures of the debug log functions are not reported.
inline std::atomic<bool> InitWriteDebugSilent{false};

// A place for an out-value that nobody reads (a count a call insists on
// writing). Exported with the unit; nothing here reads it.
inline uint32_t dummyDWORD = 0;

// Where the debug log functions report a file they cannot open ("Cannot
// open " and the full path). The application shows it in a message box;
// without a handler the text goes to standard error. Returns the old one.
using DebugFileErrorHandler = std::function<void(const std::string& text)>;
DebugFileErrorHandler SetDebugFileErrorHandler(DebugFileErrorHandler handler);

// Makes fileName the debug log (nothing happens when append is set and it
// already is) and runs InitDebug2 with it.
void InitDebug(const std::string& fileName, bool append);
// Creates the file (emptied unless append) and, with writeHeader, writes the
// date and time, an empty line, a dashed line and an empty line.
void InitDebug2(const std::string& fileName, bool append);
void InitDebug2(const std::string& fileName, bool append, bool writeHeader);
// Appends the text and CR LF to the current debug log / to fileName.
// An empty name writes nothing.
void WriteDebug(const std::string& text);
void WriteDebug2(const std::string& text, const std::string& fileName);

// ---- System error texts ------------------------------------------------

// The system's text for an error code (errno values here), with line
// breaks and periods trimmed from its end ("Error 0000002A" style when the
// system knows no text). Insertion arguments are never expanded; the
// pointer is accepted for the callers' sake.
void SystemErrorMessage(uint32_t code, const void* arguments, std::string& text);
std::string SystemErrorMessage(uint32_t code);
// The end trimming on its own: line feeds, carriage returns and periods go,
// stopping at a second period; when a period went, one ends the text.
std::string TrimSystemMessage(const std::string& message);

// ---- Kept C strings ----------------------------------------------------

// A copy of the text that lives until DecStringRefCount is called with the
// returned pointer (for handing a string's characters to code that keeps
// them beyond the string's life).
const char* IncStringRefCount(const std::string& text);
// Releases one copy; a pointer that IncStringRefCount did not return is
// ignored.
void DecStringRefCount(const char* p);

// ---- Events ------------------------------------------------------------

// A bound method as code and data pointers; two are the same event when
// both pointers are equal.
struct TMethod {
    const void* Code = nullptr;
    const void* Data = nullptr;
};
bool CompareEvents(const TMethod& a, const TMethod& b);

// ---- Line reader -------------------------------------------------------

// State of TixLineReaderGetLine over blocks of data that the caller hands
// in one after another (Data and DataLength; Position 0 for a new block).
struct TTixLineReaderData {
    std::string Pending;     // start of a line whose end has not arrived
    int32_t Position = 0;    // characters of Data consumed
    bool NeedMore = false;   // the block ran out without a line end
    int32_t DataLength = 0;
    const char* Data = nullptr;
};

// Consumes Data up to and including the next line feed and returns true
// with that line (the pending start in front, the line feed kept). When
// the block ends first, its rest joins Pending, NeedMore is set, Position
// goes back to 0, line is left untouched and the result is false.
bool TixLineReaderGetLine(TTixLineReaderData& state, std::string& line);

// ---- Bits and memory ---------------------------------------------------

void SetBit(uint8_t& value, uint8_t mask, bool set);
// Position of the highest / lowest set bit; -1 for 0.
int IntegerLog2(uint32_t value);
int IntegerLog2Low(uint32_t value);
int CountBits(uint32_t value);
// The 32 bits in reverse order / the four bytes in reverse order.
uint32_t Reverse1(uint32_t value);
uint32_t Reverse8(uint32_t value);
// Swaps count bytes between the two areas.
void ExchangeMemory(void* a, void* b, int count);

}  // namespace Tixutils
