#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "foundation/tixlist.h"
#include "foundation/tixutils_debug.h"
#include "foundation/tixutils_misc.h"
#include "foundation/tixutils_sort.h"
#include "tests/support/files.h"

using namespace Tixutils;
namespace fs = std::filesystem;

namespace {

void* P(intptr_t v)
{
    return reinterpret_cast<void*>(v);
}

intptr_t V(void* p)
{
    return reinterpret_cast<intptr_t>(p);
}

// Items are small integers in pointers; userData counts the comparisons.
bool lessByValue(void* a, void* b, void* userData)
{
    ++*static_cast<int*>(userData);
    return V(a) < V(b);
}

// Compares only the tens, so items with the same tens are equal.
bool lessByTens(void* a, void* b, void*)
{
    return V(a) / 10 < V(b) / 10;
}

std::mt19937* g_rng = nullptr;
bool lessAtRandom(void*, void*, void*)
{
    return (*g_rng)() % 2 == 0;
}

void exchangeInts(int i, int j, void* userData)
{
    auto& v = *static_cast<std::vector<int>*>(userData);
    ASSERT_GE(i, 0);
    ASSERT_GE(j, 0);
    ASSERT_LT(size_t(i), v.size());
    ASSERT_LT(size_t(j), v.size());
    if (v[size_t(j)] < v[size_t(i)])
        std::swap(v[size_t(i)], v[size_t(j)]);
}

struct Counted {
    explicit Counted(int& c) : count(c) { ++count; }
    ~Counted() { --count; }
    int& count;
};

void writeIface(const fs::path& root, const std::string& name, const std::string& type,
                const std::string& address, bool physical, bool wireless = false)
{
    fs::create_directories(root / name);
    std::ofstream(root / name / "type") << type << "\n";
    std::ofstream(root / name / "address") << address << "\n";
    if (physical)
        fs::create_directories(root / name / "device");
    if (wireless)
        fs::create_directories(root / name / "wireless");
}

}  // namespace

TEST(VTixList, AddInsertDeleteRemove)
{
    VTixList list;
    EXPECT_EQ(list.GetList(), nullptr);
    for (intptr_t i = 1; i <= 5; ++i)
        EXPECT_EQ(list.Add(P(i)), int(i - 1));
    EXPECT_EQ(list.GetCapacity(), 8);  // 4, then 4 more
    list.Insert(0, P(9));
    list.Insert(6, P(10));
    EXPECT_EQ(list.GetCount(), 7);
    EXPECT_EQ(V(list.Get(0)), 9);
    EXPECT_EQ(V(list.Get(6)), 10);
    list.Delete(0);
    EXPECT_EQ(V(list.Get(0)), 1);
    EXPECT_EQ(list.Remove(P(3)), 2);
    EXPECT_EQ(list.Remove(P(3)), -1);
    EXPECT_EQ(list.IndexOf(P(4)), 2);
    list.Put(2, P(44));
    EXPECT_EQ(V(list.Get(2)), 44);
    list.Clear();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetCapacity(), 0);
}

TEST(VTixList, GrowthSteps)
{
    VTixList list;
    std::vector<int> capacities;
    for (int i = 0; i < 200; ++i) {
        list.Add(nullptr);
        if (capacities.empty() || capacities.back() != list.GetCapacity())
            capacities.push_back(list.GetCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118, 147, 183, 228}));
}

TEST(VTixList, BoundsAreReported)
{
    VTixList list;
    list.Add(P(1));
    try {
        list.Get(1);
        ADD_FAILURE();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (1)");
    }
    EXPECT_THROW(list.Get(-1), EListError);
    EXPECT_THROW(list.Put(5, nullptr), EListError);
    EXPECT_THROW(list.Insert(2, nullptr), EListError);
    EXPECT_THROW(list.Delete(1), EListError);
    try {
        list.SetCapacity(0);
        ADD_FAILURE();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List capacity out of bounds (0)");
    }
    EXPECT_THROW(list.SetCapacity(VTixList::MaxListSize), EListError);
    try {
        list.SetCount(-1);
        ADD_FAILURE();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List count out of bounds (-1)");
    }
    EXPECT_EQ(list.GetCount(), 1);  // nothing changed

    list.SetCount(5);
    EXPECT_EQ(list.GetCount(), 5);
    EXPECT_EQ(list.Get(4), nullptr);
    EXPECT_EQ(V(list.Get(0)), 1);
    list.SetCount(1);
    list.SetCount(3);
    EXPECT_EQ(list.Get(2), nullptr);  // items come back null
}

TEST(Sorting, EveryAlgorithmSortsEveryForm)
{
    std::mt19937 rng(42);
    for (int n : {0, 1, 2, 3, 4, 5, 7, 8, 16, 17, 100, 1000}) {
        std::vector<void*> data(static_cast<size_t>(n));
        for (auto& p : data)
            p = P(intptr_t(rng() % 50));
        std::vector<void*> want = data;
        std::sort(want.begin(), want.end(), [](void* a, void* b) { return V(a) < V(b); });

        int count = 0;
        auto a = data;
        QSortA(a, lessByValue, &count);
        EXPECT_EQ(a, want) << "QSortA " << n;
        auto b = data;
        MergeSortA(b, lessByValue, &count);
        EXPECT_EQ(b, want) << "MergeSortA " << n;
        auto c = data;
        MergeSortB(c.data(), n, lessByValue, &count);
        EXPECT_EQ(c, want) << "MergeSortB " << n;
        auto d = data;
        HeapSortA(d, lessByValue, &count);
        EXPECT_EQ(d, want) << "HeapSortA " << n;

        VTixList list;
        for (void* p : data)
            list.Add(p);
        QSortA(list, lessByValue, &count);
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(list.Get(i), want[size_t(i)]);
        if (n > 1) {
            EXPECT_GT(count, 0);  // userData reached the comparison
        }
    }
}

TEST(Sorting, EqualItemsInTheMerges)
{
    const std::vector<void*> data = {P(11), P(25), P(12), P(21), P(13), P(22), P(14), P(5)};
    auto b = data;
    MergeSortB(b.data(), int(b.size()), lessByTens, nullptr);
    // Stable: equal items keep their order.
    EXPECT_EQ(b, (std::vector<void*>{P(5), P(11), P(12), P(13), P(14), P(25), P(21), P(22)}));

    auto a = data;
    MergeSortA(a, lessByTens, nullptr);
    for (size_t i = 1; i < a.size(); ++i)
        EXPECT_LE(V(a[i - 1]) / 10, V(a[i]) / 10);
}

TEST(Sorting, ContradictingComparisonsStayInBounds)
{
    std::mt19937 rng(9);
    g_rng = &rng;
    for (int round = 0; round < 200; ++round) {
        const int n = int(rng() % 300);
        std::vector<void*> data(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            data[size_t(i)] = P(i);
        auto check = [&](std::vector<void*> v) {
            std::sort(v.begin(), v.end());
            EXPECT_EQ(v, data);  // a permutation: nothing lost or doubled
        };
        auto a = data;
        QSortA(a, lessAtRandom, nullptr);
        check(a);
        auto b = data;
        MergeSortA(b, lessAtRandom, nullptr);
        check(b);
        auto c = data;
        MergeSortB(c.data(), n, lessAtRandom, nullptr);
        check(c);
        auto d = data;
        HeapSortA(d, lessAtRandom, nullptr);
        check(d);
    }
    g_rng = nullptr;
}

TEST(Sorting, BitonicNetworksForAnyLength)
{
    std::mt19937 rng(77);
    for (int n = 0; n <= 40; ++n) {
        std::vector<int> v(static_cast<size_t>(n));
        for (int& x : v)
            x = int(rng() % 20);
        std::vector<int> want = v;
        std::sort(want.begin(), want.end());

        auto a = v;
        BitonicSort(n, exchangeInts, &a);
        EXPECT_EQ(a, want) << n;
        auto b = v;
        BitonicSortX(n, exchangeInts, &b);
        EXPECT_EQ(b, want) << n;
    }
    // A sub-range, descending; the rest stays.
    std::vector<int> v = {9, 3, 1, 4, 1, 5, 9, 2, 6, 0};
    BitonicSort(2, 7, false, exchangeInts, &v);
    EXPECT_EQ(v, (std::vector<int>{9, 3, 9, 5, 4, 2, 1, 1, 6, 0}));
    std::vector<int> w = {9, 3, 1, 4, 1, 5, 9, 2, 6, 0};
    BitonicSortX(2, 7, false, exchangeInts, &w);
    EXPECT_EQ(w, v);
}

TEST(Gcd, BinaryMethod)
{
    EXPECT_EQ(gcd(12, 18), 6u);
    EXPECT_EQ(gcd(17, 5), 1u);
    EXPECT_EQ(gcd(1u << 31, 1u << 20), 1u << 20);
    EXPECT_EQ(gcd(0, 5), 0u);
    EXPECT_EQ(gcd(5, 0), 0u);
    EXPECT_EQ(gcd(4294967295u, 65535u), 65535u);
    std::mt19937 rng(1);
    for (int i = 0; i < 1000; ++i) {
        const uint32_t a = rng() % 100000 + 1, b = rng() % 100000 + 1;
        EXPECT_EQ(gcd(a, b), std::gcd(a, b));
    }
}

TEST(EthernetAddress, FromTheInterfaceFolder)
{
    TestSupport::TempDir dir;
    const fs::path root = dir.File("net");
    EXPECT_EQ(GetEthernetAddress(root.string()), "");  // no folder at all
    writeIface(root, "lo", "772", "00:00:00:00:00:00", false);
    writeIface(root, "wlan0", "1", "aa:aa:aa:aa:aa:aa", true, true);
    writeIface(root, "docker0", "1", "02:42:ac:11:00:01", false);
    EXPECT_EQ(GetEthernetAddress(root.string()), "0242AC110001");  // only a virtual one
    writeIface(root, "enp3s0", "1", "00:1a:2b:3c:4d:5e", true);
    writeIface(root, "eth9", "1", "00:00:00:00:00:00", true);
    writeIface(root, "eth8", "1", "garbage", true);
    EXPECT_EQ(GetEthernetAddress(root.string()), "001A2B3C4D5E");
    // The machine's own answer is hex or empty.
    const std::string own = GetEthernetAddress();
    EXPECT_EQ(own.find_first_not_of("0123456789ABCDEF"), std::string::npos);
}

TEST(ScrambledFile, RoundTripAndDamage)
{
    TestSupport::TempDir dir;
    const std::string name = dir.File("lines.dat");
    const std::vector<std::string> lines = {"first", "", "t\xE9xt with\r\nbreak", std::string("nul\0in", 6)};
    ASSERT_TRUE(TixEncodeFile(name, lines, "secret"));
    std::ifstream raw(name, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(raw)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.find("first"), std::string::npos);  // not readable as it is

    std::vector<std::string> back = {"untouched"};
    EXPECT_FALSE(TixDecodeFile(name, back, "wrong"));
    EXPECT_EQ(back, std::vector<std::string>{"untouched"});
    ASSERT_TRUE(TixDecodeFile(name, back, "secret"));
    EXPECT_EQ(back, lines);

    std::string damaged = bytes;
    damaged[10] = char(damaged[10] ^ 1);
    std::ofstream(name, std::ios::binary) << damaged;
    EXPECT_FALSE(TixDecodeFile(name, back, "secret"));
    EXPECT_FALSE(TixDecodeFile(dir.File("missing"), back, "secret"));
    EXPECT_FALSE(TixEncodeFile(dir.File("no/dir"), lines, "k"));

    ASSERT_TRUE(TixEncodeFile(name, {}, ""));
    back = {"x"};
    EXPECT_TRUE(TixDecodeFile(name, back, ""));
    EXPECT_TRUE(back.empty());

    std::mt19937 rng(5);
    for (int i = 0; i < 300; ++i) {
        std::string junk = bytes.substr(0, rng() % (bytes.size() + 1));
        if (!junk.empty() && i % 2)
            junk[rng() % junk.size()] = char(rng());
        std::ofstream(name, std::ios::binary | std::ios::trunc) << junk;
        std::vector<std::string> out;
        if (TixDecodeFile(name, out, "secret")) {
            EXPECT_EQ(out, lines);
        }
    }
}

TEST(StringLists, ClearFreesObjectsAndKeepsTexts)
{
    int alive = 0;
    TStringObjectList<Counted> list;
    list.push_back({"a", std::make_unique<Counted>(alive)});
    list.push_back({"b", nullptr});
    list.push_back({"c", std::make_unique<Counted>(alive)});
    ASSERT_EQ(alive, 2);
    ClearTStrings(&list);
    EXPECT_EQ(alive, 0);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[2].text, "c");
    EXPECT_EQ(list[0].object, nullptr);

    list[1].object = std::make_unique<Counted>(alive);
    ClearTStrings2(&list);
    EXPECT_EQ(alive, 0);
    EXPECT_TRUE(list.empty());

    TStringObjectList<Counted>* none = nullptr;
    ClearTStrings(none);
    ClearTStrings2(none);
}

TEST(StringLists, CommaText)
{
    std::vector<std::string> list = {"old"};
    VSetCommaText(list, "a,b c,\"d,\"\"e\"\" f\",,g");
    EXPECT_EQ(list, (std::vector<std::string>{"a", "b", "c", "d,\"e\" f", "", "g"}));
    VSetCommaText(list, "a,b,");
    EXPECT_EQ(list, (std::vector<std::string>{"a", "b", ""}));
    VSetCommaText(list, "");
    EXPECT_TRUE(list.empty());
    VSetCommaText(list, "  x  ");
    EXPECT_EQ(list, std::vector<std::string>{"x"});
    VSetCommaText(list, "\"unterminated");
    EXPECT_EQ(list, std::vector<std::string>{"unterminated"});
    VSetCommaText(list, std::string("a\0,b", 4));
    EXPECT_EQ(list, std::vector<std::string>{"a"});

    std::mt19937 rng(12);
    for (int i = 0; i < 2000; ++i) {
        std::string junk(rng() % 20, '\0');
        for (char& c : junk)
            c = ",\" a\t"[rng() % 5];
        VSetCommaText(list, junk);
        EXPECT_LE(list.size(), junk.size() + 1);
    }
}

TEST(StringLists, CommaTextWritten)
{
    const struct {
        std::vector<std::string> list;
        const char* text;
    } cases[] = {
        {{}, ""},
        {{""}, "\"\""},
        {{"a", "b"}, "a,b"},
        {{"a", ""}, "a,"},
        {{"", "a"}, ",a"},
        {{"b c", "d,e", "say \"hi\"", "tab\t"}, "\"b c\",\"d,e\",\"say \"\"hi\"\"\",\"tab\t\""},
        {{"12 345 B", "Odesl\xE1n"}, "\"12 345 B\",Odesl\xE1n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(VGetCommaText(c.list), c.text);
        std::vector<std::string> back;
        VSetCommaText(back, c.text);
        EXPECT_EQ(back, c.list);
    }
    // Any list without NUL characters comes back from its comma text.
    std::mt19937 rng(7);
    for (int i = 0; i < 2000; ++i) {
        std::vector<std::string> list(rng() % 5);
        for (auto& item : list) {
            item.assign(rng() % 6, ' ');
            for (char& c : item)
                c = ",\" a\tb\x01\xE9"[rng() % 8];
        }
        std::vector<std::string> back;
        VSetCommaText(back, VGetCommaText(list));
        EXPECT_EQ(back, list) << VGetCommaText(list);
    }
}

TEST(ExportedVariables, StartValuesAndNoEffectOnTheList)
{
    EXPECT_EQ(dummyDWORD, 0u);
    EXPECT_FALSE(VTixList_IKnowInsert);
    // The flag belongs to the list's users: inserting works the same with
    // it set or clear.
    for (bool flag : {false, true}) {
        VTixList_IKnowInsert = flag;
        VTixList list;
        list.Add(P(1));
        list.Insert(0, P(2));
        EXPECT_EQ(V(list.Get(0)), 2);
        EXPECT_EQ(V(list.Get(1)), 1);
    }
    VTixList_IKnowInsert = false;
    dummyDWORD = 42;
    EXPECT_EQ(dummyDWORD, 42u);
    dummyDWORD = 0;
}
