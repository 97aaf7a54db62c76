#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "foundation/stated_object.h"

namespace {

// A row that can finish and link, and records who asked it to unlink.
class Row : public VStatedObject {
public:
    explicit Row(std::vector<const VStatedObject*>* log = nullptr) : log_(log) {}
    void finish() { state = stFinished; }
    void setState(uint32_t s) { state = s; }
    void link(VStatedObject* other) { addLink(other); }
    void unlinkFrom(VStatedObject* Other) override
    {
        if (log_)
            log_->push_back(this);
        VStatedObject::unlinkFrom(Other);
    }

private:
    std::vector<const VStatedObject*>* log_;
};

}  // namespace

TEST(StatedObject, RequestStopUntilFinished)
{
    Row r;
    EXPECT_EQ(r.getState(), VStatedObject::stActive);
    EXPECT_TRUE(r.isActive());
    EXPECT_TRUE(r.isNotStopping());
    EXPECT_FALSE(r.requestStop());
    EXPECT_EQ(r.getState(), VStatedObject::stStopping);
    EXPECT_TRUE(r.isActive());
    EXPECT_FALSE(r.isNotStopping());
    EXPECT_FALSE(r.requestStop());  // still stopping
    r.finish();
    EXPECT_TRUE(r.requestStop());
    EXPECT_EQ(r.getState(), VStatedObject::stFinished);
    EXPECT_FALSE(r.isActive());
}

TEST(StatedObject, ActivateOnlyFromNotStarted)
{
    Row r;
    r.setState(VStatedObject::stNotStarted);
    EXPECT_FALSE(r.isActive());
    EXPECT_TRUE(r.isNotStopping());
    r.activate();
    EXPECT_EQ(r.getState(), VStatedObject::stActive);
    r.setState(VStatedObject::stStopping);
    r.activate();
    EXPECT_EQ(r.getState(), VStatedObject::stStopping);
    r.setState(VStatedObject::stFinished);
    r.activate();
    EXPECT_EQ(r.getState(), VStatedObject::stFinished);
    // Not started: a stop request moves it to stopping.
    r.setState(VStatedObject::stNotStarted);
    EXPECT_FALSE(r.requestStop());
    EXPECT_EQ(r.getState(), VStatedObject::stStopping);
}

TEST(StatedObject, UnlinkEntryOfUnknownObjectChangesNothing)
{
    Row a, b, c;
    a.unlinkEntry(&b);  // no list at all
    EXPECT_EQ(a.linkCount(), 0);
    a.link(&b);
    a.unlinkEntry(&c);  // not in the list
    EXPECT_EQ(a.linkCount(), 1);
    a.unlinkEntry(&b);
    EXPECT_EQ(a.linkCount(), 0);
}

TEST(StatedObject, DestructionUnlinksLastToFirst)
{
    std::vector<const VStatedObject*> log;
    Row b(&log), c(&log), d(&log);
    {
        auto a = std::make_unique<Row>();
        a->link(&b);
        a->link(&c);
        a->link(&b);  // twice: told twice
        a->link(&d);
        EXPECT_EQ(a->linkCount(), 4);
    }
    // Index 2 first asks b, which removes its first entry; index 1 then
    // holds the second b.
    const std::vector<const VStatedObject*> expected{&d, &b, &b, &c};
    EXPECT_EQ(log, expected);
}

TEST(StatedObject, UnlinkAllEmptiesTheList)
{
    std::vector<const VStatedObject*> log;
    Row a, b(&log);
    a.link(&b);
    a.unlinkAll();
    EXPECT_EQ(a.linkCount(), 0);
    EXPECT_EQ(log.size(), 1u);
    a.unlinkAll();  // nothing left to tell
    EXPECT_EQ(log.size(), 1u);
    // Unlinking from another removes this object's entry there.
    a.link(&b);
    b.unlinkFrom(&a);
    EXPECT_EQ(a.linkCount(), 0);
}
