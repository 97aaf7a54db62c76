#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Small helpers: string lists that own an object per item, comma text,
// the greatest common divisor, the machine's Ethernet address, and line
// lists stored as a keyed scrambled file.
namespace Tixutils {

// One item of a string list that owns an object per item.
template <class T>
struct TStringItem {
    std::string text;
    std::unique_ptr<T> object;
};
template <class T>
using TStringObjectList = std::vector<TStringItem<T>>;

// Frees every item's object (the texts stay). Any container of items with
// an owning `object` member will do; a null list is left alone.
template <class List>
void ClearTStrings(List* list)
{
    if (list == nullptr)
        return;
    for (auto& item : *list)
        item.object.reset();
}
// ClearTStrings, then the list is emptied.
template <class List>
void ClearTStrings2(List* list)
{
    if (list == nullptr)
        return;
    ClearTStrings(list);
    list->clear();
}

// Fills the list from comma text: items separated by commas or blanks,
// quoted items with doubled quotes; a final "," gives a final empty item.
void VSetCommaText(std::vector<std::string>& list, const std::string& text);
// The list as comma text, the class library's way: items joined by ",",
// an item holding a blank, a control character, "," or a double quote in
// double quotes (quotes inside doubled); a list of one empty item gives
// "\"\"". VSetCommaText reads it back.
std::string VGetCommaText(const std::vector<std::string>& list);

// Greatest common divisor (binary method); 0 when either is 0.
uint32_t gcd(uint32_t a, uint32_t b);

// The hardware address of the first Ethernet interface as upper-case hex
// ("0011223344AA"): physical wired interfaces first, then virtual ones;
// loopback, wireless and all-zero addresses are left out. Empty when none.
std::string GetEthernetAddress();
// The same from another copy of the interface folder (for tests).
std::string GetEthernetAddress(const std::string& sysClassNet);

// Writes the lines to a file scrambled with the key, with a checksum;
// false when the file cannot be written.
bool TixEncodeFile(const std::string& fileName, const std::vector<std::string>& lines,
                   const std::string& key);
// Reads such a file back; false (lines untouched) for a missing or damaged
// file or the wrong key.
bool TixDecodeFile(const std::string& fileName, std::vector<std::string>& lines,
                   const std::string& key);

}  // namespace Tixutils
