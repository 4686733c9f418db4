#pragma once
// One record file seen through one record buffer: the building block of the
// list classes over the subscriber's related records. The buffer remembers
// the record it was loaded from, so a rewrite can never land on another.
#include <algorithm>
#include <cstdint>
#include <vector>

namespace k4 {

class RecordFile;

class Base {
public:
    // The buffer is zeroed; the file is not owned.
    Base(RecordFile* file, int recSize);
    virtual ~Base() = default;
    Base(const Base&) = delete;
    Base& operator=(const Base&) = delete;

    // Loads the record; on failure the buffer is zeroed and both positions 0.
    virtual int Read(int32_t offset);
    // Checks the free chain, appends the buffer and takes its offset.
    virtual int Append(int32_t& offset);
    // Frees a record once it is known not to be free already.
    virtual int Delete(int32_t offset);
    // Writes the buffer back where it was loaded from.
    virtual int Rewrite();
    virtual int RecordSize() const { return recSize_; }

    uint8_t* buffer() { return buffer_.data(); }
    const uint8_t* buffer() const { return buffer_.data(); }
    void clearBuffer();
    int32_t currentPosition() const { return current_; }
    int32_t loadedPosition() const { return loaded_; }
    // Aims the next Rewrite at another record (the buffer stays).
    void setCurrentPosition(int32_t offset) { current_ = offset; }
    RecordFile* recordFile() const { return file_; }

    // The buffer with the record it belongs to, kept by an editing step so
    // that a step which fails half way leaves both as they were: a buffer
    // left changed under the positions of another record would be written
    // over that record by the next Rewrite.
    struct State {
        std::vector<uint8_t> buffer;
        int32_t current = 0;
        int32_t loaded = 0;
    };
    State state() const { return {buffer_, current_, loaded_}; }
    // The buffer keeps its storage: lists over parts of it stay valid.
    void restore(const State& s) {
        if (s.buffer.size() == buffer_.size()) std::copy(s.buffer.begin(), s.buffer.end(), buffer_.begin());
        current_ = s.current;
        loaded_ = s.loaded;
    }
    // Nothing loaded: an empty buffer that belongs to no record.
    void forgetRecord() {
        clearBuffer();
        current_ = loaded_ = 0;
    }

    // The buffer read as one of the record layouts.
    template <typename T> T& as() {
        static_assert(alignof(T) == 1);
        return *reinterpret_cast<T*>(buffer_.data());
    }
    template <typename T> const T& as() const {
        static_assert(alignof(T) == 1);
        return *reinterpret_cast<const T*>(buffer_.data());
    }

protected:
    // The buffer now belongs to the record at offset.
    void setPositions(int32_t offset) { current_ = loaded_ = offset; }

    std::vector<uint8_t> buffer_;
    RecordFile* file_;
    int recSize_;
    int32_t current_ = 0; // the record the buffer belongs to
    int32_t loaded_ = 0;  // where the buffer was last read from or appended to
};

} // namespace k4
