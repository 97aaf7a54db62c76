#include "foundation/tixutils_sort.h"

#include <algorithm>
#include <utility>

namespace Tixutils {

namespace {

struct Less {
    TTixCompare compare;
    void* userData;
    bool operator()(void* a, void* b) const { return compare(a, b, userData); }
};

// Orders two or three items by direct comparisons.
void smallSort(void** p, int n, const Less& less)
{
    if (n >= 2 && less(p[1], p[0]))
        std::swap(p[0], p[1]);
    if (n == 3) {
        if (less(p[2], p[1])) {
            std::swap(p[1], p[2]);
            if (less(p[1], p[0]))
                std::swap(p[0], p[1]);
        }
    }
}

void quickSort(void** p, int lo, int hi, const Less& less)
{
    while (hi - lo >= 1) {
        if (hi - lo < 3) {
            smallSort(p + lo, hi - lo + 1, less);
            return;
        }
        void* pivot = p[lo + (hi - lo) / 2];
        int i = lo, j = hi;
        while (i <= j) {
            while (i < hi && less(p[i], pivot))
                ++i;
            while (j > lo && less(pivot, p[j]))
                --j;
            if (i <= j) {
                std::swap(p[i], p[j]);
                ++i;
                --j;
            }
        }
        // [lo, j] and [i, hi]: the smaller one recursively.
        if (j - lo < hi - i) {
            if (lo < j)
                quickSort(p, lo, j, less);
            lo = i;
        } else {
            if (i < hi)
                quickSort(p, i, hi, less);
            hi = j;
        }
    }
}

// The scratch list of the merge sorts: kept between calls, grown to
// n + n/10 when too small and shrunk again when far too large.
std::vector<void*>& scratchFor(int n)
{
    thread_local std::vector<void*> scratch;
    const size_t want = size_t(n) + size_t(n) / 10;
    if (scratch.size() < size_t(n) || scratch.size() > 2 * size_t(n) + 1000) {
        scratch.assign(want, nullptr);
        scratch.shrink_to_fit();
    }
    return scratch;
}

void mergeRuns(void** p, int lo, int mid, int hi, void** tmp, const Less& less)
{
    int a = lo, b = mid, k = 0;
    while (a < mid && b < hi)
        tmp[k++] = less(p[a], p[b]) ? p[a++] : p[b++];
    while (a < mid)
        tmp[k++] = p[a++];
    while (b < hi)
        tmp[k++] = p[b++];
    std::copy(tmp, tmp + k, p + lo);
}

void mergeSortA(void** p, int lo, int hi, void** tmp, const Less& less)
{
    if (hi - lo <= 3) {
        smallSort(p + lo, hi - lo, less);
        return;
    }
    const int mid = lo + (hi - lo) / 2;
    mergeSortA(p, lo, mid, tmp, less);
    mergeSortA(p, mid, hi, tmp, less);
    mergeRuns(p, lo, mid, hi, tmp, less);
}

// Stable merge of [lo, mid) and [mid, hi) by binary splitting.
void splitMerge(void** p, int lo, int mid, int hi, void** tmp, const Less& less)
{
    if (lo >= mid || mid >= hi)
        return;
    if (hi - lo <= 16) {
        // Small pieces: stable linear merge (the left item first on ties).
        int a = lo, b = mid, k = 0;
        while (a < mid && b < hi)
            tmp[k++] = less(p[b], p[a]) ? p[b++] : p[a++];
        while (a < mid)
            tmp[k++] = p[a++];
        while (b < hi)
            tmp[k++] = p[b++];
        std::copy(tmp, tmp + k, p + lo);
        return;
    }
    int cut1, cut2;
    if (mid - lo >= hi - mid) {
        cut1 = lo + (mid - lo) / 2;
        cut2 = int(std::lower_bound(p + mid, p + hi, p[cut1], less) - p);
    } else {
        cut2 = mid + (hi - mid) / 2;
        cut1 = int(std::upper_bound(p + lo, p + mid, p[cut2], less) - p);
    }
    std::rotate(p + cut1, p + mid, p + cut2);
    const int newMid = cut1 + (cut2 - mid);
    splitMerge(p, lo, cut1, newMid, tmp, less);
    splitMerge(p, newMid, cut2, hi, tmp, less);
}

void mergeSortB(void** p, int lo, int hi, void** tmp, const Less& less)
{
    if (hi - lo <= 3) {
        // Stable for the small runs too: insertion.
        for (int i = lo + 1; i < hi; ++i)
            for (int j = i; j > lo && less(p[j], p[j - 1]); --j)
                std::swap(p[j], p[j - 1]);
        return;
    }
    const int mid = lo + (hi - lo) / 2;
    mergeSortB(p, lo, mid, tmp, less);
    mergeSortB(p, mid, hi, tmp, less);
    splitMerge(p, lo, mid, hi, tmp, less);
}

void siftDown(void** p, int i, int n, const Less& less)
{
    for (;;) {
        int best = i;
        for (int c = 3 * i + 1; c <= 3 * i + 3 && c < n; ++c)
            if (less(p[best], p[c]))
                best = c;
        if (best == i)
            return;
        std::swap(p[i], p[best]);
        i = best;
    }
}

// The bitonic network with every comparator ordering its lower index first,
// so the missing tail (beyond n) would never move and can be left out.
class Network {
public:
    Network(int low, int n, bool ascending, TTixCompareExchange exchange, void* userData)
        : low_(low), n_(n), ascending_(ascending), exchange_(exchange), userData_(userData)
    {
        size_ = 1;
        while (size_ < n)
            size_ <<= 1;
    }
    int size() const { return size_; }

    void sortRecursive(int lo, int size)
    {
        if (size <= 1 || lo >= n_)
            return;
        const int half = size / 2;
        sortRecursive(lo, half);
        sortRecursive(lo + half, half);
        for (int i = 0; i < half; ++i)
            cx(lo + i, lo + size - 1 - i);
        clean(lo, half);
        clean(lo + half, half);
    }

    void sortByStages()
    {
        for (int k = 2; k <= size_; k <<= 1) {
            for (int i = 0; i < size_; ++i) {
                const int partner = i ^ (k - 1);
                if (partner > i)
                    cx(i, partner);
            }
            for (int j = k >> 2; j > 0; j >>= 1)
                for (int i = 0; i < size_; ++i) {
                    const int partner = i ^ j;
                    if (partner > i)
                        cx(i, partner);
                }
        }
    }

private:
    void clean(int lo, int size)
    {
        if (size <= 1 || lo >= n_)
            return;
        const int half = size / 2;
        for (int i = 0; i < half; ++i)
            cx(lo + i, lo + i + half);
        clean(lo, half);
        clean(lo + half, half);
    }
    void cx(int i, int j)
    {
        if (j >= n_)
            return;
        if (ascending_)
            exchange_(low_ + i, low_ + j, userData_);
        else
            exchange_(low_ + j, low_ + i, userData_);
    }

    int low_, n_, size_ = 1;
    bool ascending_;
    TTixCompareExchange exchange_;
    void* userData_;
};

}  // namespace

void QSortA(void** items, int count, TTixCompare compare, void* userData)
{
    if (items == nullptr || count < 2 || compare == nullptr)
        return;
    quickSort(items, 0, count - 1, Less{compare, userData});
}

void QSortA(std::vector<void*>& list, TTixCompare compare, void* userData)
{
    QSortA(list.data(), int(list.size()), compare, userData);
}

void QSortA(VTixList& list, TTixCompare compare, void* userData)
{
    QSortA(list.GetList(), list.GetCount(), compare, userData);
}

void MergeSortA(void** items, int count, TTixCompare compare, void* userData)
{
    if (items == nullptr || count < 2 || compare == nullptr)
        return;
    std::vector<void*>& scratch = scratchFor(count);
    mergeSortA(items, 0, count, scratch.data(), Less{compare, userData});
}

void MergeSortA(std::vector<void*>& list, TTixCompare compare, void* userData)
{
    MergeSortA(list.data(), int(list.size()), compare, userData);
}

void MergeSortA(VTixList& list, TTixCompare compare, void* userData)
{
    MergeSortA(list.GetList(), list.GetCount(), compare, userData);
}

void MergeSortB(void** items, int count, TTixCompare compare, void* userData)
{
    if (items == nullptr || count < 2 || compare == nullptr)
        return;
    std::vector<void*>& scratch = scratchFor(count);
    mergeSortB(items, 0, count, scratch.data(), Less{compare, userData});
}

void HeapSortA(void** items, int count, TTixCompare compare, void* userData)
{
    if (items == nullptr || count < 2 || compare == nullptr)
        return;
    const Less less{compare, userData};
    for (int i = (count - 2) / 3; i >= 0; --i)
        siftDown(items, i, count, less);
    for (int n = count - 1; n > 0; --n) {
        std::swap(items[0], items[n]);
        siftDown(items, 0, n, less);
    }
}

void HeapSortA(std::vector<void*>& list, TTixCompare compare, void* userData)
{
    HeapSortA(list.data(), int(list.size()), compare, userData);
}

void HeapSortA(VTixList& list, TTixCompare compare, void* userData)
{
    HeapSortA(list.GetList(), list.GetCount(), compare, userData);
}

void BitonicSort(int count, TTixCompareExchange exchange, void* userData)
{
    BitonicSort(0, count - 1, true, exchange, userData);
}

void BitonicSort(int low, int high, bool ascending, TTixCompareExchange exchange, void* userData)
{
    if (exchange == nullptr || high <= low || high - low >= (1 << 30))
        return;
    Network net(low, high - low + 1, ascending, exchange, userData);
    net.sortRecursive(0, net.size());
}

void BitonicSortX(int count, TTixCompareExchange exchange, void* userData)
{
    BitonicSortX(0, count - 1, true, exchange, userData);
}

void BitonicSortX(int low, int high, bool ascending, TTixCompareExchange exchange, void* userData)
{
    if (exchange == nullptr || high <= low || high - low >= (1 << 30))
        return;
    Network net(low, high - low + 1, ascending, exchange, userData);
    net.sortByStages();
}

}  // namespace Tixutils
