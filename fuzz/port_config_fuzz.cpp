// The serial port's settings as a configuration line and as keys of an ini
// file, both read from files the user may have edited.
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz/support/fuzz_input.h"
#include "fuzz/support/qt_core_app.h"
#include "fuzz/support/refusing_port.h"
#include "platform/ini_file.h"
#include "serial/vtscomm32.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::EnsureCoreApp();
    Fuzz::SettlePostedEvents();  // what the components of the last input posted
    Fuzz::TInput in(data, size);
    const uint8_t control = in.byte();
    const std::string line = in.text();
    const std::string section = in.text();
    const std::string file = in.rest();

    TVTSComm32 comm;
    comm.SetPortFactory(Fuzz::RefusingPortFactory());
    comm.SetAutoReconnect(control & 1);

    comm.SetConfigAsString(line);
    // What the component writes it reads back unchanged.
    const std::string text = comm.GetConfigAsString();
    {
        TVTSComm32 other;
        other.SetPortFactory(Fuzz::RefusingPortFactory());
        other.SetConfigAsString(text);
        if (other.GetConfigAsString() != text)
            std::fprintf(stderr, "written: %s\nread back: %s\n", text.c_str(), other.GetConfigAsString().c_str());
        FUZZ_REQUIRE(other.GetConfigAsString() == text);
    }

    Platform::TIniFile ini = Platform::TIniFile::InMemory(file);
    ini.SetWriteThrough(false);
    comm.LoadFromIni(ini, section.empty() ? "Comm" : section);
    comm.SaveToIni(ini, "Saved");
    {
        TVTSComm32 other;
        other.SetPortFactory(Fuzz::RefusingPortFactory());
        other.LoadFromIni(ini, "Saved");
        // An ini value cannot hold a line break: every other port name
        // comes back whole.
        if (comm.GetCommPort().find_first_of("\r\n") == std::string::npos)
            FUZZ_REQUIRE(other.GetConfigAsString() == comm.GetConfigAsString());
    }
    comm.StopComm();
    return 0;
}
