#pragma once
#include <string>

// Number lists: sets of non-negative integers written as ascending items
// "Lo-Hi" or "N" separated by commas, e.g. "1-5,8,10-12". Normalised lists
// have no overlapping or touching items; the empty set is "".
namespace Tixutils {

// Reads the item at the 1-based position pos into lo and hi (hi = lo for a
// single number), but only when hi is -1 on entry and pos lies within the
// text. A "-" without a second number leaves hi at -1. Pos then moves one
// past the item's separator (or past a character that starts no item).
void NumberListGetInterval(const std::string& list, int& pos, int& lo, int& hi);
// Union of two lists, normalised.
std::string NumberListAdd(const std::string& a, const std::string& b);
// The numbers of a that are not in b, normalised.
std::string NumberListSub(const std::string& a, const std::string& b);
// Whether n lies in one of the items (they need not be sorted); reading
// stops at the first item that cannot be read.
bool NumberListContains(const std::string& list, int n);
// A value list of an AT test answer such as "(0,1,4)" as a normalised
// list. Only the first bracketed group counts: "(0,1,4,5),(0,1)" gives
// "0-1,4-5". Flag is false when the text started with such a group, true
// when it was read as it is.
std::string NumberListFix(const std::string& text, bool& flag);

}  // namespace Tixutils
