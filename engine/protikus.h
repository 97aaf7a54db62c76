#pragma once
#include <array>
#include <cstdint>
#include <string>

class VMainWindowLink;

// What is known of the station at the other end of a data call on one
// call row. Two stations of this program tell each other who they are
// (the identity block: program signature, version, modem type) and what
// they can do (the capability block: whether they take files, how fast
// blocks may follow each other). Every call row holds one; the remote-party
// handler fills it, the file sender reads it.
class Protikus {
public:
    // The blocks as they travel in the exchange frames.
    static constexpr int IdentitySize = 8;
    static constexpr int CapabilitiesSize = 5;
    using TIdentityBlock = std::array<uint8_t, IdentitySize>;
    using TCapabilitiesBlock = std::array<uint8_t, CapabilitiesSize>;

    Protikus();
    Protikus(const Protikus&) = delete;
    Protikus& operator=(const Protikus&) = delete;
    virtual ~Protikus();

    // The call ended: identity and capabilities are to be asked again on
    // the next call (the values stay until then).
    virtual void reset();
    virtual bool isIdentityMissing() const;
    virtual bool isCapabilitiesMissing() const;
    // The station takes files.
    virtual bool acceptsFiles() const;
    // Milliseconds to wait between file blocks.
    virtual uint32_t getBlockInterval() const;
    // A received identity block; fewer than 8 bytes are ignored.
    virtual void setIdentity(const uint8_t* bytes, int length);
    // A received capability block; fewer than 5 bytes are ignored.
    virtual void setCapabilities(const uint8_t* bytes, int length);
    // "Zelvitor  V1.0 (Ericsson GM22)", or the untested text in brackets
    // while the identity is missing; words in the window's language.
    virtual std::string description(VMainWindowLink& window) const;

    // This station's blocks: the identity carries the modem type code low
    // byte first; the capabilities offer files on the models that can take
    // them (model part 0x101, 0x102, 0x103 or 0x203).
    static TIdentityBlock OwnIdentity(uint16_t modemTypeCode);
    static TCapabilitiesBlock OwnCapabilities(uint16_t modemTypeCode);

    bool outgoing = false;    // this station made the call
    bool autoHangup = false;  // the call row's hang-up mark when the party was taken over
    bool idleMark = false;    // the link has nothing to do
    std::array<uint8_t, 6> identity{};
    uint16_t modemType = 0;
    int cap0 = 0, cap1 = 0, cap2 = 0, cap3 = 0;
    uint32_t blockInterval = 2000;
    uint32_t blockSize = 8;
    bool flagA = false, flagB = false;
    int fileLevel = 0;  // non-zero: the station takes files
    bool identityMissing = true;
    bool capabilitiesMissing = true;
};
