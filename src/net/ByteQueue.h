#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace zonbode::net {

// A byte string that is appended at the back and taken from the front. Taking bytes only
// moves a read offset; the unread rest is moved to the front of the storage only when the
// room at the back runs out and the consumed part is at least as large as the unread part,
// so a reader taking small pieces stays linear in the bytes it reads.
class ByteQueue {
public:
    ByteQueue() = default;
    ByteQueue(ByteQueue&& other) noexcept;
    ByteQueue& operator=(ByteQueue&& other) noexcept;
    ByteQueue(const ByteQueue&) = delete;
    ByteQueue& operator=(const ByteQueue&) = delete;

    std::size_t Size() const { return end_ - begin_; }
    bool Empty() const { return begin_ == end_; }
    const std::uint8_t* Data() const { return storage_.get() + begin_; }
    std::string_view View() const { return {reinterpret_cast<const char*>(Data()), Size()}; }

    void Append(const void* bytes, std::size_t count);
    void Append(std::string_view bytes) { Append(bytes.data(), bytes.size()); }

    // Room for `count` more bytes at the back; CommitAppend makes the first `used` of them
    // part of the queue. Lets a receive call write straight into the queue.
    std::uint8_t* PrepareAppend(std::size_t count);
    void CommitAppend(std::size_t used) { end_ += used; }

    // Drops the first `count` bytes (at most Size()).
    void Consume(std::size_t count);
    void Clear() { begin_ = end_ = 0; }

private:
    void MakeRoom(std::size_t count);

    std::unique_ptr<std::uint8_t[]> storage_;
    std::size_t capacity_ = 0;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

}  // namespace zonbode::net
