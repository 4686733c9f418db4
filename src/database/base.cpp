#include "database/base.h"

#include "database/record_file.h"
#include "messages/messages.h"

#include <algorithm>
#include <cstdio>

namespace k4 {

Base::Base(RecordFile* file, int recSize)
    : buffer_(static_cast<size_t>(recSize > 0 ? recSize : 0), 0), file_(file), recSize_(recSize) {}

void Base::clearBuffer() { std::fill(buffer_.begin(), buffer_.end(), uint8_t{0}); }

int Base::Read(int32_t offset) {
    if (file_ && file_->isOpen() && file_->recordSize() == recSize_ &&
        file_->ReadRecord(offset, buffer_.data()) == 0) {
        current_ = loaded_ = offset;
        return 0;
    }
    // A caller that ignores the result sees an empty record, not the one
    // loaded before.
    clearBuffer();
    current_ = loaded_ = 0;
    return -1;
}

int Base::Append(int32_t& offset) {
    if (!file_ || !file_->isOpen() || file_->recordSize() != recSize_) return -1;
    if (file_->CheckFreeHead() != 0) return -1;
    int32_t at = 0;
    if (file_->AppendRecord(at, buffer_.data()) != 0) return -1;
    offset = current_ = loaded_ = at;
    return 0;
}

int Base::Delete(int32_t offset) {
    if (!file_ || !file_->isOpen()) return -1;
    if (file_->CheckNotFree(offset) != 0) return -1;
    return file_->FreeRecord(offset);
}

int Base::Rewrite() {
    if (buffer_.empty() || !file_ || !file_->isOpen() || current_ == 0) return -1;
    if (current_ == loaded_) return file_->WriteRecord(current_, buffer_.data());
    // The buffer holds another record than the one about to be overwritten.
    char positions[64];
    std::snprintf(positions, sizeof positions, "%X%s%X", static_cast<uint32_t>(current_),
                  file_->name().c_str(), static_cast<uint32_t>(loaded_));
    file_->reportFault(8, std::string("\x03Niezgodne identyfikatory ") + "modyfikacji " + positions,
                       kNoticeError);
    return -1;
}

} // namespace k4
