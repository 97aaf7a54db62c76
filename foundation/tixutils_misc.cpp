#include "foundation/tixutils_misc.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>

#include "foundation/tixutils_quote.h"

namespace Tixutils {

namespace {

bool blankOrControl(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 1 && b <= ' ';
}

std::string readSmallFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::string s;
    std::getline(in, s);
    return s;
}

// The bytes of "00:11:22:aa:bb:cc"; empty for anything else.
std::string parseMac(const std::string& text)
{
    std::string bytes;
    size_t i = 0;
    while (i + 1 < text.size()) {
        const int hi = Asc2Hex(text[i], -1), lo = Asc2Hex(text[i + 1], -1);
        if (hi < 0 || lo < 0)
            return std::string();
        bytes += char(hi * 16 + lo);
        i += 2;
        if (i < text.size()) {
            if (text[i] != ':')
                return std::string();
            ++i;
        }
    }
    return i == text.size() ? bytes : std::string();
}

constexpr char kMagic[4] = {'T', 'I', 'X', 'E'};

void putLE(std::string& out, uint32_t v)
{
    for (int k = 0; k < 4; ++k)
        out += char((v >> (8 * k)) & 0xFF);
}

uint32_t getLE(const std::string& s, size_t at)
{
    uint32_t v = 0;
    for (int k = 3; k >= 0; --k)
        v = (v << 8) | static_cast<unsigned char>(s[at + size_t(k)]);
    return v;
}

// A key stream from the key: xorshift over a seed taken from the key.
void scramble(std::string& data, const std::string& key)
{
    uint32_t state = 0x9E3779B9u;
    UpdateChecksum4(state, key);
    if (state == 0)
        state = 1;
    for (char& c : data) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = char(static_cast<unsigned char>(c) ^ (state & 0xFF));
    }
}

uint32_t keyedChecksum(const std::string& key, const std::string& payload)
{
    uint32_t c = 0;
    UpdateChecksum4(c, key);
    UpdateChecksum4(c, payload);
    return c;
}

}  // namespace

void VSetCommaText(std::vector<std::string>& list, const std::string& text)
{
    list.clear();
    // A NUL ends the text, as it ends the C string the list reads.
    const std::string s = text.substr(0, text.find('\0'));
    size_t p = 0;
    while (p < s.size() && blankOrControl(s[p]))
        ++p;
    while (p < s.size()) {
        std::string item;
        if (s[p] == '"') {
            ++p;
            while (p < s.size()) {
                if (s[p] == '"') {
                    if (p + 1 < s.size() && s[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += s[p++];
            }
        } else {
            const size_t start = p;
            while (p < s.size() && !blankOrControl(s[p]) && s[p] != ',')
                ++p;
            item = s.substr(start, p - start);
        }
        list.push_back(std::move(item));
        while (p < s.size() && blankOrControl(s[p]))
            ++p;
        if (p < s.size() && s[p] == ',') {
            do
                ++p;
            while (p < s.size() && blankOrControl(s[p]));
        }
    }
    if (!s.empty() && s.back() == ',')
        list.emplace_back();
}

std::string VGetCommaText(const std::vector<std::string>& list)
{
    if (list.size() == 1 && list[0].empty())
        return "\"\"";
    std::string text;
    for (size_t i = 0; i < list.size(); ++i) {
        if (i > 0)
            text += ',';
        const std::string& item = list[i];
        const bool quote = std::any_of(item.begin(), item.end(),
                                       [](char c) { return blankOrControl(c) || c == ',' || c == '"'; });
        text += quote ? AnsiQuotedStr(item) : item;
    }
    return text;
}

uint32_t gcd(uint32_t a, uint32_t b)
{
    if (a == 0 || b == 0)
        return 0;
    const int shift = __builtin_ctz(a | b);
    a >>= __builtin_ctz(a);
    do {
        b >>= __builtin_ctz(b);
        if (a > b)
            std::swap(a, b);
        b -= a;
    } while (b != 0);
    return a << shift;
}

std::string GetEthernetAddress()
{
    return GetEthernetAddress("/sys/class/net");
}

std::string GetEthernetAddress(const std::string& sysClassNet)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<std::tuple<bool, std::string, std::string>> found;  // virtual?, name, bytes
    for (fs::directory_iterator it(sysClassNet, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path dir = it->path();
        if (readSmallFile(dir / "type") != "1")  // ARPHRD_ETHER
            continue;
        std::error_code e2;
        if (fs::exists(dir / "wireless", e2) || fs::exists(dir / "phy80211", e2))
            continue;
        const std::string bytes = parseMac(readSmallFile(dir / "address"));
        if (bytes.empty() || std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == 0; }))
            continue;
        const bool physical = fs::exists(dir / "device", e2);
        found.emplace_back(!physical, dir.filename().string(), bytes);
    }
    if (found.empty())
        return std::string();
    std::sort(found.begin(), found.end());
    const std::string& bytes = std::get<2>(found.front());
    return BytesToHexaString2(bytes.data(), int(bytes.size()));
}

bool TixEncodeFile(const std::string& fileName, const std::vector<std::string>& lines,
                   const std::string& key)
{
    std::string payload;
    for (const auto& line : lines) {
        putLE(payload, uint32_t(line.size()));
        payload += line;
    }
    const uint32_t check = keyedChecksum(key, payload);
    std::string data(kMagic, sizeof kMagic);
    putLE(data, uint32_t(payload.size()));
    scramble(payload, key);
    data += payload;
    putLE(data, check);

    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(data.data(), std::streamsize(data.size()));
    out.close();
    return !out.fail();
}

bool TixDecodeFile(const std::string& fileName, std::vector<std::string>& lines,
                   const std::string& key)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in)
        return false;
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (data.size() < 12 || data.compare(0, 4, kMagic, 4) != 0)
        return false;
    const uint32_t length = getLE(data, 4);
    if (uint64_t(length) + 12 != data.size())
        return false;
    std::string payload = data.substr(8, length);
    scramble(payload, key);
    if (keyedChecksum(key, payload) != getLE(data, 8 + size_t(length)))
        return false;
    std::vector<std::string> result;
    size_t p = 0;
    while (p < payload.size()) {
        if (payload.size() - p < 4)
            return false;
        const uint32_t n = getLE(payload, p);
        p += 4;
        if (n > payload.size() - p)
            return false;
        result.push_back(payload.substr(p, n));
        p += n;
    }
    lines = std::move(result);
    return true;
}

}  // namespace Tixutils
