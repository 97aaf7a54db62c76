#pragma once
#include <cstdint>
#include <memory>
#include <vector>

// Base of objects with a small run state that their owner polls before
// destroying them (list rows, list bindings), and with a list of linked
// objects that are told to let go when this object goes away.
class VStatedObject {
public:
    // Run states.
    static constexpr uint32_t stNotStarted = 0;
    static constexpr uint32_t stActive = 1;
    static constexpr uint32_t stStopping = 2;
    static constexpr uint32_t stFinished = 3;

    VStatedObject() = default;
    VStatedObject(const VStatedObject&) = delete;
    VStatedObject& operator=(const VStatedObject&) = delete;
    // Unlinks every linked object first (last to first). A derived class
    // that overrides unlinkAll() must call it from its own destructor: a
    // base destructor cannot reach the override any more.
    virtual ~VStatedObject();

    // Not started -> active; other states stay.
    virtual void activate();
    // Not started or active.
    virtual bool isNotStopping() const;
    // Asks a running object to stop; true once it has finished. The owner
    // calls it until it returns true.
    virtual bool requestStop();
    // Active or stopping.
    virtual bool isActive() const;
    // Tells every linked object, last to first, to unlink from this one,
    // then drops the list.
    virtual void unlinkAll();
    // Removes this object from Other's link list.
    virtual void unlinkFrom(VStatedObject* Other);

    // Removes Object's entry (the first one) from the link list; the list
    // is dropped when it becomes empty.
    void unlinkEntry(VStatedObject* Object);

    uint32_t getState() const { return state; }
    // Number of linked objects (0 while there is no list).
    int linkCount() const;

protected:
    // Adds an entry for Object to this object's link list (created on
    // first use).
    void addLink(VStatedObject* Object);

    uint32_t state = stActive;

private:
    std::unique_ptr<std::vector<VStatedObject*>> links;
};
