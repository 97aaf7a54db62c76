// The engine's receive path with all its real handlers: the input is the
// byte stream from the device, broken by control bytes that move the
// clock (the ticks in between poll the handlers) and switch the mode
// (commands, PDU line, SMS text, data call).
//
// Input: a stream of bytes; 0xFE introduces a control pair
// (0xFE, c): c < 0x80 ticks the engine after c * 37 ms (c = 0x7F jumps
// by about a day), c in 0x80..0x83 switches to mode c - 0x80, 0x84 resets
// the engine, 0x85 restarts it, 0x86 makes the message boxes say yes,
// 0x87 no, 0xFE receives 0xFE itself.
#include <cstdint>
#include <string>

#include "fuzz/support/engine_rig.h"
#include "fuzz/support/fuzzer_flags.h"

// The engine targets run thousands of code edges per input. libFuzzer's
// default schedule (entropic) keeps a frequency per edge and updates it on
// every run: a third of the time from the seeds, a tenth to a fifth with a
// grown corpus. The plain schedule leaves the checks as they are.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::DefaultFlags(argc, argv, {"-entropic=0"});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    // The clock starts where the input says, so the wrap of the tick is
    // reachable.
    const uint32_t start = uint32_t(data[0]) << 24 | uint32_t(data[1]) << 16 | uint32_t(data[2]) << 8 | data[3];
    Fuzz::TEngineRig rig(start);
    for (size_t i = 4; i < size; ++i) {
        const uint8_t b = data[i];
        if (b != 0xFE || i + 1 >= size) {
            rig.receive(b);
            continue;
        }
        const uint8_t c = data[++i];
        if (c < 0x7F) {
            rig.tick(uint32_t(c) * 37u);
        } else if (c == 0x7F) {
            rig.tick(86400000u + 1);
        } else if (c <= 0x83) {
            const int mode = c - 0x80;
            if (mode == 1)
                rig.engine->expectPduLine();
            else if (mode == 2)
                rig.engine->beginSmsText();
            else
                rig.engine->setMode(mode);
            rig.checkInvariants();
        } else if (c == 0x84) {
            rig.engine->resetAll(rig.now);
        } else if (c == 0x85) {
            rig.engine->restart(rig.now);
        } else if (c == 0x86) {
            rig.window.answer = VMainWindowLink::IDYES;
        } else if (c == 0x87) {
            rig.window.answer = VMainWindowLink::IDNO;
        } else if (c == 0xFE) {
            rig.receive(0xFE);
        } else {
            rig.tick(1);
        }
    }
    rig.tick(VUniSET::FrameIdleGap + 1);
    return 0;
}
