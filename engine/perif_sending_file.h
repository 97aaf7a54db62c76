#pragma once
#include <vector>

#include "engine/perif.h"

class VListItemFile;

// The file sender. Until it is built this stand-in keeps the queue of
// rows ready to send that the engine's send-list operations fill, and
// sends nothing. The queue holds its rows (VListItem::hold): a row taken
// off the list stays alive until the queue lets go of it.
class VPerifSendingFile : public VPerif {
public:
    explicit VPerifSendingFile(VUniSET* owner);

    bool isBusy() const override;
    // Readiness: always true.
    virtual bool isSettled() const;
    // A new pass over the send list: the queue is emptied.
    virtual void clearQueue();
    virtual void enqueue(VListItemFile* item);
    virtual void dequeue(VListItemFile* item);

    const std::vector<VListItemFile*>& getQueue() const { return queue; }

protected:
    std::vector<VListItemFile*> queue;
};
