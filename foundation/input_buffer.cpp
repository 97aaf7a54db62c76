#include "foundation/input_buffer.h"

#include <cstring>
#include <stdexcept>
#include <utility>

#include "foundation/utils.h"

TInputBuffer::TInputBuffer(const TInputBuffer& other)
    : capacity_(other.capacity_), stored_(other.stored_), terminated_(other.terminated_)
{
    if (other.data_) {
        data_ = std::make_unique_for_overwrite<char[]>(capacity_);
        std::memcpy(data_.get(), other.data_.get(), stored_);
    }
}

TInputBuffer& TInputBuffer::operator=(const TInputBuffer& other)
{
    if (this != &other) {
        TInputBuffer copy(other);
        *this = std::move(copy);
    }
    return *this;
}

TInputBuffer::TInputBuffer(TInputBuffer&& other) noexcept
    : data_(std::move(other.data_)),
      capacity_(std::exchange(other.capacity_, 0)),
      stored_(std::exchange(other.stored_, 0)),
      terminated_(std::exchange(other.terminated_, false))
{
}

TInputBuffer& TInputBuffer::operator=(TInputBuffer&& other) noexcept
{
    if (this != &other) {
        data_ = std::move(other.data_);
        capacity_ = std::exchange(other.capacity_, 0);
        stored_ = std::exchange(other.stored_, 0);
        terminated_ = std::exchange(other.terminated_, false);
    }
    return *this;
}

TInputBuffer::~TInputBuffer() = default;

uint8_t TInputBuffer::at(uint32_t Index) const
{
    return Index < stored_ ? uint8_t(data_[Index]) : 0;
}

void TInputBuffer::setAt(uint32_t Index, uint8_t Value)
{
    if (Index >= stored_)
        return;
    if (terminated_ && Index == stored_ - 1)
        return;  // the terminating NUL stays
    data_[Index] = char(Value);
}

bool TInputBuffer::equalsString(const char* Text) const
{
    const size_t n = Text ? std::strlen(Text) : 0;
    return n == length() && equalsBytes(Text, uint32_t(n));
}

bool TInputBuffer::startsWith(const char* Prefix)
{
    return Utils::StrIsPrefix(Prefix, c_str());
}

bool TInputBuffer::equalsBytes(const void* Bytes, uint32_t Count) const
{
    if (length() != Count)
        return false;
    if (Count == 0)
        return true;
    return Bytes && std::memcmp(data_.get(), Bytes, Count) == 0;
}

bool TInputBuffer::equalsBuffer(const TInputBuffer& Other) const
{
    return equalsBytes(Other.data(), Other.length());
}

void TInputBuffer::appendByte(uint8_t Value)
{
    if (terminated_) {
        // The byte takes the place of the terminating NUL.
        data_[stored_ - 1] = char(Value);
        terminated_ = false;
        return;
    }
    if (stored_ >= capacity_)
        growTo(capacity_ + capacity_ / 10 + 1);
    data_[stored_++] = char(Value);
}

void TInputBuffer::appendString(const char* Text)
{
    if (!Text)
        return;
    for (; *Text; ++Text)
        appendByte(uint8_t(*Text));
}

void TInputBuffer::appendBytes(const void* Bytes, int Count)
{
    if (!Bytes || Count <= 0)
        return;
    const auto* p = static_cast<const uint8_t*>(Bytes);
    for (int i = 0; i < Count; ++i)
        appendByte(p[i]);
}

char* TInputBuffer::c_str()
{
    if (!terminated_) {
        appendByte(0);
        terminated_ = true;
    }
    return data_.get();
}

char* TInputBuffer::data() { return data_.get(); }

const char* TInputBuffer::data() const { return data_.get(); }

bool TInputBuffer::isEmpty() const { return stored_ == 0; }

uint32_t TInputBuffer::length() const { return terminated_ ? stored_ - 1 : stored_; }

uint32_t TInputBuffer::rawLength() const { return stored_; }

void TInputBuffer::removeFront(uint32_t Count)
{
    if (Count == 0)
        return;
    if (Count > stored_)
        Count = stored_;
    std::memmove(data_.get(), data_.get() + Count, stored_ - Count);
    stored_ -= Count;
    if (stored_ == 0)
        terminated_ = false;
}

void TInputBuffer::removeAt(uint32_t Index)
{
    if (Index >= length())
        return;
    std::memmove(data_.get() + Index, data_.get() + Index + 1, stored_ - Index - 1);
    --stored_;
}

void TInputBuffer::clear()
{
    stored_ = 0;
    terminated_ = false;
}

void TInputBuffer::reserve(uint32_t N)
{
    if (N == UINT32_MAX)
        return;  // N + 1 bytes cannot be counted
    if (N + 1 > capacity_)
        growTo(N + 1);
}

void TInputBuffer::growTo(uint32_t newCapacity)
{
    if (newCapacity <= capacity_)
        throw std::length_error("TInputBuffer: too long");  // 32-bit count exhausted
    auto bigger = std::make_unique_for_overwrite<char[]>(newCapacity);
    if (stored_)
        std::memcpy(bigger.get(), data_.get(), stored_);
    data_ = std::move(bigger);
    capacity_ = newCapacity;
}
