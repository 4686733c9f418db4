#pragma once
// A bounded list laid over an array of items, usually an array of record
// offsets inside a parent record, whose bytes it then changes in place.
// Built without an array it owns a zeroed one of its capacity.
#include <cstdint>
#include <cstring>
#include <memory>
#include <type_traits>

namespace k4 {

template <typename T>
class ListT {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    ListT(T* items, int capacity) : items_(items), capacity_(static_cast<int16_t>(capacity)) {}
    explicit ListT(int capacity)
        : owned_(std::make_unique<T[]>(static_cast<size_t>(capacity))), items_(owned_.get()),
          capacity_(static_cast<int16_t>(capacity)), owns_(true) {
        std::memset(static_cast<void*>(items_), 0, sizeof(T) * static_cast<size_t>(capacity));
    }
    virtual ~ListT() = default;
    ListT(const ListT&) = delete;
    ListT& operator=(const ListT&) = delete;

    // Shifts the items at and after `at` one place up and stores the item.
    virtual int Insert(const T& item, int at) {
        if (!sound() || at < 0 || at > count_ || count_ >= capacity_) return -1;
        std::memmove(static_cast<void*>(items_ + at + 1), items_ + at, sizeof(T) * static_cast<size_t>(count_ - at));
        items_[at] = item;
        ++count_;
        return 0;
    }
    // Stores the item at `at`; counts it when it extends the list.
    virtual int Put(const T& item, int at) {
        if (!sound() || at < 0 || at >= capacity_) return -1;
        items_[at] = item;
        if (at == count_) ++count_;
        return 0;
    }
    virtual int Add(const T& item) {
        if (!sound() || count_ >= capacity_) return -1;
        items_[count_++] = item;
        return 0;
    }
    // Zeroes one slot without moving the others.
    virtual int Clear(int at) {
        if (!sound() || at < 0 || at >= capacity_ || count_ == 0) return -1;
        zero(at);
        --count_;
        return 0;
    }
    // Moves the items after `at` down and zeroes the freed last slot.
    virtual int Remove(int at) {
        if (!sound() || at < 0 || at >= capacity_ || at >= count_ || count_ == 0) return -1;
        std::memmove(static_cast<void*>(items_ + at), items_ + at + 1, sizeof(T) * static_cast<size_t>(count_ - at - 1));
        zero(count_ - 1);
        --count_;
        return 0;
    }
    // Derived lists count their used slots in their own way.
    virtual int Recount() {
        count_ = 0;
        return 0;
    }

    int Count() const { return count_; }
    int Capacity() const { return capacity_; }
    T& Item(int at) { return items_[at]; }
    const T& Item(int at) const { return items_[at]; }
    bool InRange(int at) const { return at >= 0 && at < capacity_; }

protected:
    bool sound() const { return items_ && count_ >= 0 && count_ <= capacity_; }
    void zero(int at) { std::memset(static_cast<void*>(items_ + at), 0, sizeof(T)); }

    std::unique_ptr<T[]> owned_;
    T* items_;
    int16_t capacity_;
    int16_t count_ = 0;
    bool owns_ = false;
};

} // namespace k4
