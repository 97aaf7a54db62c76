#pragma once
#include <cstdint>
#include <string>

#include "foundation/stated_object.h"

// One row of a file list: a file to send or a file received. This is the
// part the engine needs; the row's drawing and the transfer's file access
// belong to the file-transfer page.
//
// Two states live here: the run state of VStatedObject (the row must be
// written, or removed: VStatedObject::getState) and the transfer state
// (getState/setState below):
//   0 not found, 1 ready, 2 sending, 3 sent, 4 send failed,
//   5 receiving, 6 receive failed, 7 received, 8 saved.
class VListItemFile : public VStatedObject {
public:
    explicit VListItemFile(int number);

    int getNumber() const { return number; }

    virtual void setOutgoing(bool outgoing);
    bool isOutgoing() const { return outgoing; }
    // Outgoing rows look at the file: ready (1) with its size when it
    // exists, not found (0) otherwise.
    virtual void setPath(const std::string& path);
    virtual std::string getPath() const;
    virtual int getState() const;
    virtual void setState(int state);
    virtual void setPeerNumber(const std::string& number);
    virtual std::string getPeerNumber() const;
    int64_t getSize() const { return size; }

    // One step of the list's pass: a row to be written is marked written,
    // a row asked to stop is marked removed. True when anything changed.
    bool updateRow();

private:
    int number;
    bool outgoing = false;
    std::string path;
    int fileState = 0;
    std::string peerNumber;
    int64_t size = 0;
};
