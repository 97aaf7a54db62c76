#include "calls/list_item_file.h"

#include <algorithm>
#include <iterator>

#include "foundation/utils.h"
#include "platform/codepage.h"

namespace {

// Texts of the transfer states, in the system code page (cp1250).
const char* const StateTexts[] = {
    "Nenalezen",       // 0 not found
    "P\xF8ipraven",    // 1 ready
    "Pos\xEDl\xE1m",   // 2 sending
    "Odesl\xE1n",      // 3 sent
    "Chyba od.",       // 4 send failed
    "P\xF8ij\xEDm\xE1m",  // 5 receiving
    "Chyba p\xF8.",    // 6 receive failed
    "P\xF8ijat",       // 7 received
    "Ulo\x9E" "en",    // 8 saved
};

// The length column.
std::string LengthText(int64_t size, int64_t progress)
{
    if (size >= 0) {
        // A size of 0 has no share to show.
        if (progress >= 0 && progress != size && size != 0)
            return std::to_string(int64_t(__int128(progress) * 100 / size)) + " %";
        return Utils::FormatByteSize(uint64_t(size), "B", "");
    }
    if (progress >= 0)
        return Utils::FormatByteSize(uint64_t(progress), "B", "+");
    return "-";
}

// The bytes the first `letters` letters of well-formed UTF-8 take (at
// most `size`).
size_t Utf8LettersLength(const std::string& text, size_t size, size_t letters)
{
    size_t i = 0;
    char32_t cp = 0;
    for (; i < size && letters > 0; --letters)
        if (!Platform::DecodeUtf8At(text, i, cp))
            ++i;
    return std::min(i, size);
}

// What follows `head` is the start of one UTF-8 letter whose last bytes
// are missing: the name was cut within it.
bool TruncatedUtf8Tail(const std::string& text, size_t head)
{
    const size_t rest = text.size() - head;
    if (rest == 0 || rest > 3)
        return false;
    const auto lead = static_cast<unsigned char>(text[head]);
    const size_t need = lead >= 0xF0 && lead <= 0xF4   ? 4
                        : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xC2 && lead <= 0xDF ? 2
                                                       : 0;
    if (need <= rest)
        return false;
    for (size_t i = head + 1; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            return false;
    return true;
}

}  // namespace

VListItemFile::VListItemFile(int number) : VListItem(number) {}

VListItemFile::~VListItemFile() { closeFile(); }

const char* VListItemFile::StateText(int state)
{
    if (state < 0 || state >= int(std::size(StateTexts)))
        return "??";
    return StateTexts[state];
}

void VListItemFile::refreshTexts(MirrorItem& Mirror)
{
    Mirror.caption = path;
    Mirror.image = fileState;
    Mirror.setSubItem(0, LengthText(size, progress));
    // The state texts are Czech whatever the language, held like every
    // text of the program in the system code page; a failure's text takes
    // the state text's place.
    Mirror.setSubItem(1, failText.empty() ? std::string(StateText(fileState)) : failText);
    Mirror.setSubItem(2, peerNumber);
}

void VListItemFile::setText(int Column, const std::string& Text)
{
    if (Column == 0)
        setPath(Text);
    else if (Column == 3)
        setPeerNumber(Text);
}

std::string VListItemFile::getNumberText() const { return std::to_string(number); }

void VListItemFile::setOutgoing(bool value) { outgoing = value; }

std::string VListItemFile::getPath() const { return path; }

void VListItemFile::setPath(const std::string& value)
{
    if (value == path)
        return;
    path = value;
    if (outgoing) {
        progress = -1;
        size = Utils::GetFileSize64(path);
        fileState = size >= 0 ? 1 : 0;
    }
    activate();
}

int VListItemFile::getState() const { return fileState; }

void VListItemFile::setState(int value)
{
    fileState = value;
    failText.clear();
    activate();
}

void VListItemFile::setFailed(const std::string& why)
{
    setState(4);
    failText = why;
}

std::string VListItemFile::getPeerNumber() const { return peerNumber; }

void VListItemFile::setPeerNumber(const std::string& value)
{
    peerNumber = value;
    activate();
}

void VListItemFile::setSize(int64_t value)
{
    size = value;
    activate();
}

void VListItemFile::setProgress(int64_t value)
{
    progress = value;
    activate();
}

std::string VListItemFile::CleanRemoteName(const std::string& name)
{
    const size_t cut = name.find_last_of("/\\:");
    std::string clean;
    for (size_t i = cut == std::string::npos ? 0 : cut + 1; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c >= 0x20 && c != 0x7F)
            clean += char(c);
    }
    // The row's path is a file-system name (UTF-8). A name in UTF-8 is
    // kept (a sender that cut a full-length name within a letter loses
    // that letter only); any other name is text of the system code page.
    // Either way at most RemoteNameLimit letters.
    const size_t valid = Platform::Utf8ValidLength(clean);
    if (valid == clean.size() || (clean.size() >= RemoteNameLimit && TruncatedUtf8Tail(clean, valid)))
        clean.resize(Utf8LettersLength(clean, valid, RemoteNameLimit));
    else
        clean = Platform::AnsiToUtf8(clean.substr(0, RemoteNameLimit), Platform::SystemCodePage());
    if (clean == "." || clean == "..")
        clean.clear();
    return clean;
}

void VListItemFile::setRemoteName(const std::string& name)
{
    // Only a name: never a folder of the other station's choice.
    if (outgoing)
        return;
    path = CleanRemoteName(name);
    activate();
}
