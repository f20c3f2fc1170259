#include "net/ByteQueue.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace zonbode::net {

ByteQueue::ByteQueue(ByteQueue&& other) noexcept
    : storage_(std::move(other.storage_)),
      capacity_(std::exchange(other.capacity_, 0)),
      begin_(std::exchange(other.begin_, 0)),
      end_(std::exchange(other.end_, 0)) {}

ByteQueue& ByteQueue::operator=(ByteQueue&& other) noexcept {
    if (this != &other) {
        storage_ = std::move(other.storage_);
        capacity_ = std::exchange(other.capacity_, 0);
        begin_ = std::exchange(other.begin_, 0);
        end_ = std::exchange(other.end_, 0);
    }
    return *this;
}

void ByteQueue::MakeRoom(std::size_t count) {
    if (capacity_ - end_ >= count) {
        return;
    }
    const std::size_t size = Size();
    // Moving the unread bytes down is cheap when at least as many have been consumed.
    if (begin_ >= size && capacity_ - size >= count) {
        if (size > 0) {
            std::memmove(storage_.get(), storage_.get() + begin_, size);
        }
        begin_ = 0;
        end_ = size;
        return;
    }
    const std::size_t capacity = std::max({capacity_ * 2, size + count, std::size_t{4096}});
    auto storage = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
    if (size > 0) {
        std::memcpy(storage.get(), storage_.get() + begin_, size);
    }
    storage_ = std::move(storage);
    capacity_ = capacity;
    begin_ = 0;
    end_ = size;
}

void ByteQueue::Append(const void* bytes, std::size_t count) {
    if (count == 0) {
        return;
    }
    std::memcpy(PrepareAppend(count), bytes, count);
    end_ += count;
}

std::uint8_t* ByteQueue::PrepareAppend(std::size_t count) {
    MakeRoom(count);
    return storage_.get() + end_;
}

void ByteQueue::Consume(std::size_t count) {
    begin_ += std::min(count, Size());
    if (begin_ == end_) {
        begin_ = end_ = 0;
    }
}

}  // namespace zonbode::net
