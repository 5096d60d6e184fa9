#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

namespace vk {

// A growable byte buffer on malloc/realloc, so that a large buffer grown in
// fixed steps can often be extended in place instead of copied. Capacity
// changes only through Reserve, which reports failure instead of throwing.
// One byte beyond the size is always kept as a zero byte, so the content is a
// zero-terminated text.
class ByteBuffer {
public:
    ByteBuffer() = default;

    [[nodiscard]] const char* Data() const noexcept { return data_ ? data_.get() : ""; }
    [[nodiscard]] std::size_t Size() const noexcept { return size_; }
    [[nodiscard]] std::size_t Capacity() const noexcept { return capacity_; }
    [[nodiscard]] std::string_view View() const noexcept { return {Data(), size_}; }

    // Makes room for `capacity` bytes (the zero byte after the content
    // included). False, with the buffer unchanged, when memory is refused.
    [[nodiscard]] bool Reserve(std::size_t capacity) noexcept {
        if (capacity <= capacity_) return true;
        void* grown = std::realloc(data_.get(), capacity);
        if (grown == nullptr) return false;
        (void)data_.release();
        data_.reset(static_cast<char*>(grown));
        capacity_ = capacity;
        data_[size_] = '\0';
        return true;
    }

    // The caller has reserved room for the bytes and the zero byte after them.
    void AppendUnchecked(const char* bytes, std::size_t count) noexcept {
        std::memcpy(data_.get() + size_, bytes, count);
        size_ += count;
        data_[size_] = '\0';
    }

    // Writing position for up to Capacity() - Size() - 1 bytes; Commit
    // counts them in.
    [[nodiscard]] char* End() noexcept { return data_.get() + size_; }
    void Commit(std::size_t count) noexcept {
        size_ += count;
        data_[size_] = '\0';
    }

    // Gives back the capacity beyond the content and its zero byte. A
    // shrinking realloc keeps the block where it is, so nothing is copied.
    void ShrinkToFit() noexcept {
        if (!data_ || capacity_ == size_ + 1) return;
        void* shrunk = std::realloc(data_.get(), size_ + 1);
        if (shrunk == nullptr) return;  // keeping the larger block is harmless
        (void)data_.release();
        data_.reset(static_cast<char*>(shrunk));
        capacity_ = size_ + 1;
    }

    void Clear() noexcept {
        data_.reset();
        size_ = 0;
        capacity_ = 0;
    }

private:
    struct Free {
        void operator()(char* p) const noexcept { std::free(p); }
    };
    std::unique_ptr<char[], Free> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace vk
