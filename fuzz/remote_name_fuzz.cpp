// The file name the other station sends with a file: whatever it holds,
// the row keeps a plain short name or none.
#include <cstdint>
#include <string>

#include "calls/list_item_file.h"
#include "fuzz/support/fuzz_input.h"
#include "platform/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::TInput in(data, size);
    const bool outgoing = in.flag();
    const std::string name = in.rest();

    const std::string kept = VListItemFile::CleanRemoteName(name);
    // A file-system name: UTF-8 of at most RemoteNameLimit letters.
    FUZZ_REQUIRE(Platform::Utf8ValidLength(kept) == kept.size());
    size_t letters = 0;
    for (const char c : kept)
        letters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    FUZZ_REQUIRE(letters <= VListItemFile::RemoteNameLimit);
    FUZZ_REQUIRE(kept != "." && kept != "..");
    for (const char c : kept) {
        const auto b = static_cast<unsigned char>(c);
        FUZZ_REQUIRE(b >= 0x20 && b != 0x7F && c != '/' && c != '\\' && c != ':');
    }
    // Cleaning again changes nothing.
    FUZZ_REQUIRE(VListItemFile::CleanRemoteName(kept) == kept);

    VListItemFile row(1);
    row.setOutgoing(outgoing);
    row.setPath("kept");
    row.setRemoteName(name);
    FUZZ_REQUIRE(row.getPath() == (outgoing ? "kept" : kept));
    VListItem::MirrorItem mirror;
    row.refreshTexts(mirror);
    FUZZ_REQUIRE(mirror.caption == row.getPath());
    return 0;
}
