#pragma once
#include <cstdint>

// The file-transfer frames between two stations of a data call. The sender's
// frames carry their kind in the frame type; the receiver answers with frame
// type 0 and the kind as the first payload byte. Numbers are little-endian;
// offsets and sizes are 24 bits wide.
//
//   Offer     0x40  size(3)                      Accept         0 40 flags(1)
//   Name      0x43  01 name(<= 20)               Name received  0 43 flags(1)
//   Block     0x42  offset(3) count(2) data      Ack            0 42 end(3) n x (start(3) length(2)) resume(3)
//   End       0x41  -                            Complete       0 41
namespace FileFrames {

constexpr uint8_t Reply = 0x00;
constexpr uint8_t Offer = 0x40;
constexpr uint8_t End = 0x41;
constexpr uint8_t Block = 0x42;
constexpr uint8_t Name = 0x43;
// The receiver's answers use the kind of the frame they answer.
constexpr uint8_t Accept = Offer;
constexpr uint8_t Complete = End;
constexpr uint8_t Ack = Block;
constexpr uint8_t NameReceived = Name;

// Information kind of a Name frame, and the flag that wants it.
constexpr uint8_t InfoFileName = 0x01;

// The largest size and offset the 24-bit fields carry.
constexpr int64_t MaxSize = 0xFFFFFF;
// The fixed part of a Block payload (offset and count) and of an Ack
// payload (kind, end, resume); an Ack range is 5 bytes.
constexpr int BlockHeader = 5;
constexpr int AckFixed = 7;
constexpr int AckRange = 5;
// Ranges an Ack names that the ends keep.
constexpr int RangeSlots = 3;

inline uint32_t Get24(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16; }
inline uint32_t Get16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
inline void Put24(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
}
inline void Put16(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

// A stretch of the file, start included, end not.
struct TRange {
    int64_t start = 0;
    int64_t end = 0;
};

}  // namespace FileFrames
