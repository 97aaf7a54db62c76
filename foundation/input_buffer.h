#pragma once
#include <cstdint>
#include <memory>
#include <string_view>

// A growable byte string: the engine collects the response line being
// received and the line being sent in one each, and the handlers test it
// for an exact match ("ERROR\r\n") or a prefix ("CONNECT").
//
// It holds arbitrary bytes. c_str() appends a terminating NUL on demand
// (the "terminated" flag) so the content can be read as a C string; the
// next append overwrites that NUL, so the text simply continues. The
// storage grows to capacity + capacity/10 + 1 when full, and clear() keeps
// it, so reusing one buffer per line does not allocate.
//
// "Text" below means the stored bytes without the terminating NUL.
// Indexes are 0-based.
class TInputBuffer {
public:
    TInputBuffer() = default;
    TInputBuffer(const TInputBuffer& other);
    TInputBuffer& operator=(const TInputBuffer& other);
    TInputBuffer(TInputBuffer&& other) noexcept;
    TInputBuffer& operator=(TInputBuffer&& other) noexcept;
    virtual ~TInputBuffer();

    // Stored byte at Index (the terminating NUL can be read); 0 past the end.
    virtual uint8_t at(uint32_t Index) const;
    // Overwrites one stored byte; ignored past the end and on the
    // terminating NUL.
    virtual void setAt(uint32_t Index, uint8_t Value);
    // Whole-content match: same length and the same bytes.
    virtual bool equalsString(const char* Text) const;
    // Prefix test. Terminates the buffer as a side effect (it reads the
    // content as a C string); an empty prefix always matches.
    virtual bool startsWith(const char* Prefix);
    // Whole-content match with Count bytes; Count 0 matches an empty text.
    virtual bool equalsBytes(const void* Bytes, uint32_t Count) const;
    virtual bool equalsBuffer(const TInputBuffer& Other) const;
    virtual void appendByte(uint8_t Value);
    // Appends the characters before the NUL (a null pointer appends nothing).
    virtual void appendString(const char* Text);
    // Nothing for Count <= 0.
    virtual void appendBytes(const void* Bytes, int Count);
    // Terminates the content with a NUL (once) and returns the array.
    virtual char* c_str();
    // The array; null until the first byte was stored. Not terminated
    // unless c_str() was called.
    virtual char* data();
    virtual const char* data() const;
    // Nothing stored (a buffer holding only the NUL of c_str() is not empty).
    virtual bool isEmpty() const;
    // Text length (the stored length less the terminating NUL).
    virtual uint32_t length() const;
    // Stored length, the terminating NUL included.
    virtual uint32_t rawLength() const;
    // Drops the first Count stored bytes (the NUL counts among them).
    virtual void removeFront(uint32_t Count);
    // Removes the text byte at Index (only Index < length()).
    virtual void removeAt(uint32_t Index);
    // Empties the buffer; the array and its capacity stay.
    virtual void clear();
    // Makes room for N bytes plus a NUL: capacity becomes exactly N + 1
    // when it was smaller. Never shrinks.
    virtual void reserve(uint32_t N);

    uint32_t capacity() const { return capacity_; }
    bool isTerminated() const { return terminated_; }
    // The text as a view (valid until the next change).
    std::string_view view() const { return {data_.get(), length()}; }

private:
    void growTo(uint32_t newCapacity);

    std::unique_ptr<char[]> data_;
    uint32_t capacity_ = 0;
    uint32_t stored_ = 0;
    bool terminated_ = false;
};
