#include "engine/protikus.h"

#include <cstdio>

#include "engine/main_window_link.h"
#include "engine/modem_type_name.h"

namespace {

const uint32_t BlockIntervals[16] = {0, 1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1024, 2048, 4096, 8192, 16384};
const uint32_t BlockSizes[16] = {8, 12, 16, 24, 32, 48, 64, 96, 128, 192, 256, 384, 512, 768, 1024, 2048};

// The program's signature in identity bytes 0-2, and its version 1.0.
const uint8_t Signature[3] = {0x01, 0x01, 0x50};

}  // namespace

Protikus::Protikus() = default;
Protikus::~Protikus() = default;

void Protikus::reset()
{
    identityMissing = true;
    capabilitiesMissing = true;
}

bool Protikus::isIdentityMissing() const { return identityMissing; }
bool Protikus::isCapabilitiesMissing() const { return capabilitiesMissing; }
bool Protikus::acceptsFiles() const { return fileLevel != 0; }
uint32_t Protikus::getBlockInterval() const { return blockInterval; }

void Protikus::setIdentity(const uint8_t* bytes, int length)
{
    if (!bytes || length < IdentitySize)
        return;
    for (size_t i = 0; i < identity.size(); ++i)
        identity[i] = bytes[i];
    modemType = uint16_t(bytes[6] | bytes[7] << 8);
    identityMissing = false;
}

void Protikus::setCapabilities(const uint8_t* bytes, int length)
{
    if (!bytes || length < CapabilitiesSize)
        return;
    cap0 = bytes[0] >> 4;
    cap1 = bytes[0] & 0x0F;
    cap2 = bytes[1] >> 4;
    cap3 = bytes[1] & 0x0F;
    flagA = (bytes[2] & 0x01) != 0;
    flagB = (bytes[2] & 0x02) != 0;
    fileLevel = (bytes[2] >> 2) & 0x03;
    blockInterval = BlockIntervals[bytes[4] >> 4];
    blockSize = BlockSizes[bytes[4] & 0x0F];
    capabilitiesMissing = false;
}

std::string Protikus::description(VMainWindowLink& window) const
{
    if (identityMissing)
        return "[" + window.getLangText("Texts", "OtherUntested", "Nezji\x9At\xECno") + "]";
    std::string text;
    if (identity[0] == Signature[0] && identity[1] == Signature[1] && identity[2] == Signature[2])
        text = "Zelvitor ";
    else
        text = "[" + window.getLangText("Texts", "OtherUnknown", "Nezn\xE1m\xFD") + "]";
    char version[32];
    std::snprintf(version, sizeof version, " V%d.%d ", identity[4], identity[3]);
    return text + version + "(" + Uniset::ModemTypeName(window, modemType, std::string(), std::string()) + ")";
}

Protikus::TIdentityBlock Protikus::OwnIdentity(uint16_t modemTypeCode)
{
    return {Signature[0], Signature[1], Signature[2], 0x00, 0x01, 0xFF, uint8_t(modemTypeCode & 0xFF),
            uint8_t(modemTypeCode >> 8)};
}

Protikus::TCapabilitiesBlock Protikus::OwnCapabilities(uint16_t modemTypeCode)
{
    switch (modemTypeCode & 0x0FFF) {
    case 0x101:
    case 0x102:
    case 0x103:
    case 0x203:
        // Files taken; 32 ms between blocks of 256 bytes.
        return {0x00, 0x00, 0x0C, 0x00, 0x6A};
    default:
        // No files; 32 ms, blocks of 8 bytes.
        return {0x00, 0x00, 0x00, 0x00, 0x60};
    }
}
