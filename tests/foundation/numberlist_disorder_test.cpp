// Number lists out of order, as a damaged or unusual test answer may bring
// them: items in any order still give normalised unions and differences,
// and a descending item ("100-12") holds no number, so it must neither
// survive a merge nor change what a subtraction leaves.
#include <gtest/gtest.h>

#include "foundation/tixutils_numberlist.h"

using namespace Tixutils;

TEST(NumberListDisorder, ItemHoldsNothing)
{
    EXPECT_FALSE(NumberListContains("100-12", 50));
    EXPECT_FALSE(NumberListContains("100-12", 12));
    EXPECT_FALSE(NumberListContains("100-12", 100));
}

TEST(NumberListDisorder, DroppedByUnion)
{
    EXPECT_EQ(NumberListAdd("1-5,8,100-12", ""), "1-5,8");
    EXPECT_EQ(NumberListAdd("1-5,8,100-12", "1-5,8,100-12"), "1-5,8");
    EXPECT_EQ(NumberListAdd("100-12", "100-12"), "");
    EXPECT_EQ(NumberListAdd("9-3,4", "5"), "4-5");
    bool flag = true;
    EXPECT_EQ(NumberListFix("(1-5,8,100-12),(0)", flag), "1-5,8");
    EXPECT_FALSE(flag);
}

TEST(NumberListDisorder, SubtractsNothing)
{
    EXPECT_EQ(NumberListSub("1-20", "10-5"), "1-20");
    EXPECT_EQ(NumberListSub("1-20", "10-5,15"), "1-14,16-20");
    EXPECT_EQ(NumberListSub("30-10,1-20", "5"), "1-4,6-20");
}

TEST(NumberListDisorder, UnsortedItemsGiveNormalisedResults)
{
    EXPECT_EQ(NumberListAdd("3,1", ""), "1,3");
    EXPECT_EQ(NumberListAdd("5,1-3", "4"), "1-5");
    EXPECT_EQ(NumberListAdd("1-5,8,10-12-9", ""), "1-5,8-12");
    EXPECT_EQ(NumberListAdd("5-7,1-3", "2"), "1-3,5-7");
    EXPECT_EQ(NumberListAdd("10-20,1-15", "30,25"), "1-20,25,30");
    EXPECT_EQ(NumberListSub("10-20,1-5", "4,15"), "1-3,5,10-14,16-20");
    EXPECT_EQ(NumberListSub("1-20", "15,3-4,8"), "1-2,5-7,9-14,16-20");
    bool flag = true;
    EXPECT_EQ(NumberListFix("(4,0,1)", flag), "0-1,4");
}

TEST(NumberListDisorder, StopsAtAnUnreadableItem)
{
    EXPECT_EQ(NumberListAdd("5,x,1", ""), "5");
    EXPECT_EQ(NumberListSub("5,x,1", "x,5"), "5");
    EXPECT_EQ(NumberListSub("5,x,1", "5,x"), "");
}
