#include "foundation/stated_object.h"

#include <algorithm>

VStatedObject::~VStatedObject() { VStatedObject::unlinkAll(); }

void VStatedObject::activate()
{
    if (state == stNotStarted)
        state = stActive;
}

bool VStatedObject::isNotStopping() const { return state == stNotStarted || state == stActive; }

bool VStatedObject::requestStop()
{
    if (isNotStopping())
        state = stStopping;
    return state == stFinished;
}

bool VStatedObject::isActive() const { return state == stActive || state == stStopping; }

void VStatedObject::unlinkAll()
{
    if (links) {
        // The count is taken once; each linked object removes its own
        // entry, and removing the last one drops the list.
        const int count = int(links->size());
        for (int i = count - 1; i >= 0; --i) {
            if (!links || i >= int(links->size()))
                continue;
            (*links)[size_t(i)]->unlinkFrom(this);
        }
    }
    links.reset();
}

void VStatedObject::unlinkFrom(VStatedObject* Other)
{
    if (Other)
        Other->unlinkEntry(this);
}

void VStatedObject::unlinkEntry(VStatedObject* Object)
{
    if (!links)
        return;
    auto it = std::find(links->begin(), links->end(), Object);
    if (it == links->end())
        return;
    links->erase(it);
    if (links->empty())
        links.reset();
}

int VStatedObject::linkCount() const { return links ? int(links->size()) : 0; }

void VStatedObject::addLink(VStatedObject* Object)
{
    if (!links)
        links = std::make_unique<std::vector<VStatedObject*>>();
    links->push_back(Object);
}
