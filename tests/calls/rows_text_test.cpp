// List rows as text lines: one row's text, its number from a text, and
// saving and loading all rows of a list.
#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <memory>
#include <string>
#include <vector>

#include "tests/calls/test_list.h"

using CallsTest::TTestItem;
using CallsTest::TTestList;

namespace {

// Number, image and caption of every item of a list, "5:1:abc 7:-1:".
std::string Items(const TTestList& list)
{
    std::string all;
    for (int i = 0; i < list.getCount(); ++i) {
        const TTestItem* item = list.at(i);
        all += (i ? " " : "") + std::to_string(item->getNumber()) + ":" + std::to_string(item->getImage()) + ":" +
               item->caption;
    }
    return all;
}

}  // namespace

TEST(RowsText, OneRowAsALine)
{
    const struct {
        const char* caption;
        int image;
        std::vector<std::string> subItems;
        const char* text;
    } cases[] = {
        {"abc", 2, {"1 KB", "Odesl\xE1n"}, "abc=2,\"1 KB\",Odesl\xE1n"},
        {"", -1, {}, "=-1,"},
        {"a,b", 0, {"", "x"}, "a,b=0,,x"},
        {"/tmp/f", 7, {"say \"hi\""}, "/tmp/f=7,\"say \"\"hi\"\"\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TTestList list;
        TTestItem* item = list.add(1, c.caption);
        item->subItems = c.subItems;
        item->setImage(c.image);
        EXPECT_EQ(item->rowText(), c.text);
    }
    // Without an owner there is no row to describe.
    TTestItem alone(3, "abc");
    alone.setImage(4);
    EXPECT_EQ(alone.rowText(), "=-1,");
}

TEST(RowsText, NumberFromText)
{
    const struct {
        const char* text;
        int number;
    } cases[] = {
        {"12", 12}, {"0", 0}, {"-3", 0}, {"abc", 7}, {"", 7},
        {"12x", 7}, {" 12", 7}, {"99999999999", 7}, {"2147483647", 2147483647},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TTestItem item(7);
        item.setFromText(c.text);
        EXPECT_EQ(item.getNumber(), c.number);
    }
}

TEST(RowsText, SaveAndLoadAllRows)
{
    TTestList source;
    source.add(5, "10")->setImage(1);
    source.add(2, "abc")->subItems = {"x y"};
    source.add(9, "")->setImage(3);
    std::vector<std::string> lines = {"kept"};
    source.saveRows(lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"kept", "abc=-1,\"x y\"", "10=1,", "=3,", ""}));

    TTestList empty;
    std::vector<std::string> none;
    empty.saveRows(none);
    EXPECT_EQ(none, std::vector<std::string>{""});

    const struct {
        const char* name;
        std::vector<std::string> lines;
        const char* items;  // after loading
    } cases[] = {
        // Numeric captions become numbers (the list keeps number order);
        // others take the next number.
        {"saved rows", {"abc=-1,\"x y\"", "10=1,", "=3,", ""}, "0:-1: 10:1: 11:3:"},
        {"reading stops at an empty line", {"4=2,a", "", "6=1,"}, "4:2:"},
        {"and at a line that does not parse", {"4=2,a", "5=x,", "6=1,"}, "4:2:"},
        {"blanks before a row are skipped", {"   8=0,a"}, "8:0:"},
        {"no rows", {}, ""},
        {"a first line that does not parse", {"no equals sign"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TTestList list;
        QItemSelectionModel marks(&list.getModel());
        list.bindListView(&marks);
        list.add(1, "old");
        list.add(3, "older");
        list.tick();
        ASSERT_EQ(list.rows(), "old older");
        list.loadRows(c.lines);
        EXPECT_EQ(Items(list), c.items);
        list.tick();
        EXPECT_EQ(list.getModel().rowCount(), list.getCount());
    }

    // A held row leaves the view but stays an item until released.
    TTestList list;
    TTestItem* held = list.add(1, "held");
    held->hold();
    list.tick();
    list.loadRows({"20=5,"});
    EXPECT_EQ(Items(list), "1:-1:held 20:5:");
    list.tick();
    EXPECT_EQ(list.getModel().rowCount(), 1);  // only the new item's row
    held->release();
    list.tick();
    EXPECT_EQ(Items(list), "20:5:");
}
