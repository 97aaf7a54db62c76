#include "engine/list_item_file.h"

#include "foundation/utils.h"

VListItemFile::VListItemFile(int number) : number(number < 0 ? 0 : number) {}

void VListItemFile::setOutgoing(bool value)
{
    outgoing = value;
}

void VListItemFile::setPath(const std::string& value)
{
    if (value == path)
        return;
    path = value;
    if (outgoing) {
        size = Utils::GetFileSize64(path);
        fileState = size >= 0 ? 1 : 0;
    }
    activate();
}

std::string VListItemFile::getPath() const
{
    return path;
}

int VListItemFile::getState() const
{
    return fileState;
}

void VListItemFile::setState(int value)
{
    fileState = value;
    activate();
}

void VListItemFile::setPeerNumber(const std::string& value)
{
    peerNumber = value;
    activate();
}

std::string VListItemFile::getPeerNumber() const
{
    return peerNumber;
}

bool VListItemFile::updateRow()
{
    if (state == stActive) {
        state = stNotStarted;
        return true;
    }
    if (state == stStopping) {
        state = stFinished;
        return true;
    }
    return false;
}
