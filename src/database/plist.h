#pragma once
// A growable in-memory list kept in at most 16 blocks of a size fixed at
// construction: element i lives in block i / blockSize at i % blockSize.
// Blocks come on demand and the last one goes when it empties.
#include <cstdint>
#include <memory>
#include <new>

namespace k4 {

class Messages;

constexpr int MAX_BLOCK_NBR = 16;

namespace plist_detail {
// The three refusals of Add, shown to the operator.
void ShowBlockLimit(Messages& messages);
void ShowBadBlock(Messages& messages);
void ShowNoMemory(Messages& messages);
} // namespace plist_detail

template <typename T>
class PList {
public:
    PList(Messages& messages, int blockSize) : messages_(messages), blockSize_(blockSize > 0 ? blockSize : 1) {}
    PList(const PList&) = delete;
    PList& operator=(const PList&) = delete;

    int Add(T value) {
        if (count_ / blockSize_ == MAX_BLOCK_NBR) {
            plist_detail::ShowBlockLimit(messages_);
            return -1;
        }
        const int block = count_ / blockSize_;
        const int index = count_ % blockSize_;
        if (index == 0) {
            if (blocks_[block]) {
                plist_detail::ShowBadBlock(messages_);
                return -1;
            }
            blocks_[block].reset(new (std::nothrow) T[static_cast<size_t>(blockSize_)]());
            if (!blocks_[block]) {
                plist_detail::ShowNoMemory(messages_);
                return -1;
            }
        }
        blocks_[block][index] = value;
        ++count_;
        return 0;
    }

    // position 0..count; the elements from there on move one place up.
    int InsertAt(T value, int position) {
        if (position < 0 || position > count_) return -1;
        if (Add(value) != 0) return -1;
        for (int i = count_ - 1; i > position; --i) at(i) = at(i - 1);
        at(position) = value;
        return 0;
    }

    int RemoveAt(int position) {
        if (position < 0 || position >= count_) return -1;
        for (int i = position; i < count_ - 1; ++i) at(i) = at(i + 1);
        at(count_ - 1) = T{};
        --count_;
        if (count_ % blockSize_ == 0) blocks_[count_ / blockSize_].reset();
        return 0;
    }

    // Outside the list it gives a zero value rather than reading anywhere.
    T Get(int index) const { return index >= 0 && index < count_ ? blocks_[index / blockSize_][index % blockSize_] : T{}; }
    bool IsAllocated() const { return blocks_[0] != nullptr; }
    void Clear() {
        for (auto& block : blocks_) block.reset();
        count_ = 0;
    }
    int Count() const { return count_; }
    int BlockSize() const { return blockSize_; }

private:
    T& at(int i) { return blocks_[i / blockSize_][i % blockSize_]; }

    Messages& messages_;
    int count_ = 0;
    int blockSize_;
    std::unique_ptr<T[]> blocks_[MAX_BLOCK_NBR];
};

using PListInt = PList<int16_t>;
using PListLong = PList<int32_t>;

} // namespace k4
