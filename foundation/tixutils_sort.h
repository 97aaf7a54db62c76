#pragma once
#include <vector>

#include "foundation/tixlist.h"

// Sorting of pointer arrays: quicksort, two merge sorts, a ternary heap sort
// and a bitonic sorting network. Each takes a comparison that answers
// whether a must come before b, and hands userData through to it. A
// comparison that contradicts itself gives some order, never a crash.
namespace Tixutils {

using TTixCompare = bool (*)(void* a, void* b, void* userData);
// Must put the items at i and j in order (the one at i first).
using TTixCompareExchange = void (*)(int i, int j, void* userData);

// Middle element as pivot; the smaller part recursively, the larger in a loop.
void QSortA(void** items, int count, TTixCompare compare, void* userData);
void QSortA(std::vector<void*>& list, TTixCompare compare, void* userData);
void QSortA(VTixList& list, TTixCompare compare, void* userData);

// Merge sort through a scratch list kept between calls (per thread); on
// equal items the merge takes the right run's first.
void MergeSortA(void** items, int count, TTixCompare compare, void* userData);
void MergeSortA(std::vector<void*>& list, TTixCompare compare, void* userData);
void MergeSortA(VTixList& list, TTixCompare compare, void* userData);
// Merge sort whose merge splits the runs by binary search and merges the
// pieces recursively (stable).
void MergeSortB(void** items, int count, TTixCompare compare, void* userData);

// Heap sort on a ternary heap (children of i: 3i+1, 3i+2, 3i+3).
void HeapSortA(void** items, int count, TTixCompare compare, void* userData);
void HeapSortA(std::vector<void*>& list, TTixCompare compare, void* userData);
void HeapSortA(VTixList& list, TTixCompare compare, void* userData);

// Bitonic sorting network over indexes 0..count-1, or low..high (descending
// when ascending is false), for any length: the length is rounded up to a
// power of two and comparisons with the missing tail are left out.
void BitonicSort(int count, TTixCompareExchange exchange, void* userData);
void BitonicSort(int low, int high, bool ascending, TTixCompareExchange exchange, void* userData);
// The same network walked stage by stage instead of recursively.
void BitonicSortX(int count, TTixCompareExchange exchange, void* userData);
void BitonicSortX(int low, int high, bool ascending, TTixCompareExchange exchange, void* userData);

}  // namespace Tixutils
