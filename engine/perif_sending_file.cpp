#include "engine/perif_sending_file.h"

#include <algorithm>

#include "calls/list_item_file.h"

VPerifSendingFile::VPerifSendingFile(VUniSET* owner) : VPerif(owner) {}

bool VPerifSendingFile::isBusy() const { return false; }
bool VPerifSendingFile::isSettled() const { return true; }

void VPerifSendingFile::clearQueue()
{
    for (VListItemFile* item : queue)
        item->release();
    queue.clear();
}

void VPerifSendingFile::enqueue(VListItemFile* item)
{
    if (item && std::find(queue.begin(), queue.end(), item) == queue.end()) {
        item->hold();
        queue.push_back(item);
    }
}

void VPerifSendingFile::dequeue(VListItemFile* item)
{
    auto it = std::find(queue.begin(), queue.end(), item);
    if (it != queue.end()) {
        queue.erase(it);
        item->release();
    }
}
