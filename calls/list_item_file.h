#pragma once
#include <cstdint>
#include <string>

#include "calls/list_item.h"

// One row of a file list: a file to send (outgoing) or a file received,
// and at the same time the model of its transfer. Columns: the path, the
// length, the state text, the peer number.
//
// Transfer states (getState/setState; also the row's image):
//   0 not found, 1 ready, 2 sending, 3 sent, 4 send failed,
//   5 receiving, 6 receive failed, 7 received, 8 saved.
//
// A received row writes the incoming data into a temporary file
// "<folder>tixu<nnnn>.tmp" (writeBlock) that the user later saves under a
// name of their choice (save); a temporary file is removed whenever it is
// closed. The saved file stays open as the row's file, so later blocks go
// there and saving again copies from it.
class VListItemFile : public VListItem {
public:
    // Temporary names are tried with these numbers, in order.
    static constexpr int TempNumbers = 1000;
    // Longest name kept from the other station, in letters (its Name
    // frame's limit, in bytes).
    static constexpr size_t RemoteNameLimit = 20;

    explicit VListItemFile(int number);
    // Closes the row's file; a temporary one is removed.
    ~VListItemFile() override;

    // Path, length, state text and peer number.
    void refreshTexts(MirrorItem& Mirror) override;
    // Column 0: setPath; column 3: setPeerNumber; others: nothing.
    void setText(int Column, const std::string& Text) override;
    // The number in decimal.
    std::string getNumberText() const override;

    virtual void setOutgoing(bool outgoing);
    bool isOutgoing() const { return outgoing; }
    virtual std::string getPath() const;
    // An outgoing row looks at the file: ready (1) with its size when it
    // exists, not found (0) with size -1 otherwise; its progress becomes -1.
    // An incoming row only keeps the path.
    virtual void setPath(const std::string& path);
    virtual int getState() const;
    // A new state; the text of a failure (setFailed) goes with the old one.
    virtual void setState(int state);
    // Send failed (4), the state column showing `why` (cp1250) in place of
    // the state's text.
    void setFailed(const std::string& why);
    const std::string& getFailText() const { return failText; }
    virtual std::string getPeerNumber() const;
    virtual void setPeerNumber(const std::string& number);
    // File size in bytes; -1 when not known.
    int64_t getSize() const { return size; }
    void setSize(int64_t value);
    // Bytes confirmed (sending) or received without a gap; -1 when none.
    int64_t getProgress() const { return progress; }
    void setProgress(int64_t value);
    // Saved at least once.
    bool isSaved() const { return saved; }

    // Writes Count bytes of received data at Offset of the row's file (a
    // new temporary file on the first block). A failure closes and removes
    // the temporary file and sets state 6; later blocks are then ignored.
    // False when the row's file has failed, now or before.
    virtual bool writeBlock(int64_t offset, int count, const void* data);
    // Copies what the row holds into a new file Target (never over an
    // existing one). On success the old file is closed (a temporary one
    // removed), Target becomes the row's file and path, the row is saved
    // and state 7 becomes 8. On failure nothing of the row changes and no
    // part of Target is left; false. A row with no data yet saves an empty
    // Target; a row whose file failed, and an outgoing row, are refused.
    virtual bool save(const std::string& target);
    // The name the other station gave (incoming rows only): what follows
    // the last "/", "\" or ":", without control bytes, at most
    // RemoteNameLimit letters; "", "." and ".." leave the path empty. A
    // UTF-8 name is kept as it is; any other is read as text of the
    // system code page and held in UTF-8 (its letters may then take more
    // bytes than the frame did).
    void setRemoteName(const std::string& name);
    static std::string CleanRemoteName(const std::string& name);

    // The row's file is open.
    bool hasFile() const { return fd >= 0; }
    // Creating or writing the row's file failed.
    bool fileFailed() const { return failed; }
    // Path of the open temporary file; "" when the row's file is none.
    const std::string& temporaryName() const { return temporary; }
    // "Nenalezen" ... "Uložen" (cp1250), "??" for any other state.
    static const char* StateText(int state);

protected:
    // The folder temporary files go to ("/" added when missing); the
    // owning list's.
    virtual std::string tempFolder() const;

private:
    bool createTemporary();
    // Closes the row's file, removing a temporary one.
    void closeFile();
    void fail();

    int fd = -1;
    bool failed = false;
    std::string temporary;
    bool outgoing = false;
    std::string path;
    int fileState = 0;
    std::string failText;
    std::string peerNumber;
    int64_t size = 0;
    int64_t progress = 0;
    bool saved = false;
};
