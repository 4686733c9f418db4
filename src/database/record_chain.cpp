// Text chains in a record file. Each record carries rec_size - 4 bytes of
// text followed by its link: the next record's offset, or, in the last
// record, minus the length of the whole text.
#include "database/record_file.h"

#include "platform/little_endian.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>
#include <vector>

namespace k4 {

namespace {

int32_t linkOf(const std::vector<uint8_t>& record) {
    Int32Le link;
    std::memcpy(&link, record.data() + record.size() - 4, 4);
    return link;
}

void setLink(std::vector<uint8_t>& record, int32_t value) {
    const Int32Le link = value;
    std::memcpy(record.data() + record.size() - 4, &link, 4);
}

// Fills the text part of a record with data and zeros after it.
void fillText(std::vector<uint8_t>& record, const uint8_t* data, int count) {
    const size_t textSize = record.size() - 4;
    std::fill(record.begin(), record.begin() + static_cast<std::ptrdiff_t>(textSize), uint8_t{0});
    if (count > 0) std::memcpy(record.data(), data, static_cast<size_t>(count));
}

} // namespace

// Stores data as a chain whose last record carries lastLink. The records are
// appended from the end of the text backwards, so each one already knows the
// offset of its successor when it is written and nothing is rewritten.
int RecordFile::writeChainTail(int32_t& first, const uint8_t* data, int length, int32_t lastLink) {
    const int textSize = header_.rec_size - 4;
    const int full = length / textSize;
    const int rest = length % textSize;
    std::vector<uint8_t> record(static_cast<size_t>(header_.rec_size));
    int32_t following = lastLink;
    auto appendPiece = [&](const uint8_t* piece, int count) {
        fillText(record, piece, count);
        setLink(record, following);
        if (CheckFreeHead() != 0) return -2;
        int32_t at = 0;
        if (AppendRecord(at, record.data()) != 0) return -1;
        following = at;
        return 0;
    };
    int result = 0;
    if (rest != 0) result = appendPiece(data + static_cast<size_t>(full) * textSize, rest);
    for (int k = full - 1; k >= 0 && result == 0; --k)
        result = appendPiece(data + static_cast<size_t>(k) * textSize, textSize);
    if (result != 0) {
        // What was appended already is a chain of its own; give it back
        // rather than leave it without an owner. Not when the free chain
        // itself is damaged: that is for the technician.
        if (result == -1 && following > 0) FreeChain(following);
        return -1;
    }
    first = following;
    return 0;
}

int RecordFile::WriteChain(int32_t& first, const void* data, int length) {
    if (!isOpen() || length <= 0) return -1;
    return writeChainTail(first, static_cast<const uint8_t*>(data), length, -length);
}

int RecordFile::ReadChain(int32_t first, void* buffer, int length) {
    if (!isOpen() || length < 0) return -1;
    const int textSize = header_.rec_size - 4;
    const int full = length / textSize;
    auto* out = static_cast<uint8_t*>(buffer);
    std::vector<uint8_t> record(static_cast<size_t>(header_.rec_size));
    int32_t at = first;
    for (int i = 0; i <= full; ++i) {
        if (ReadRecord(at, record.data()) != 0) return -1;
        const int count = i == full ? length % textSize : textSize;
        std::memcpy(out + static_cast<size_t>(i) * textSize, record.data(), static_cast<size_t>(count));
        const int32_t link = linkOf(record);
        if (link <= 0) return 0;
        at = link;
    }
    return -1; // the chain goes on past the text it was asked for
}

int RecordFile::ChainEnd(int32_t& offset, void* buffer) {
    if (!isOpen()) return -1;
    const int textSize = header_.rec_size - 4;
    const int64_t limit = recordCount();
    std::vector<uint8_t> record(static_cast<size_t>(header_.rec_size));
    int32_t at = offset;
    for (int64_t records = 1; records <= limit; ++records) {
        if (ReadRecord(at, record.data()) != 0) return -1;
        const int32_t link = linkOf(record);
        if (link > 0) {
            at = link;
            continue;
        }
        // A length the records walked cannot hold belongs to a damaged
        // chain; a reader must not size a buffer by it.
        const int64_t total = -int64_t(link);
        if (total > records * textSize) return -1;
        std::memcpy(buffer, record.data(), record.size());
        offset = at;
        return static_cast<int>(total);
    }
    return -1; // more links than the file has records: a loop
}

// Whether any of the records is on the free chain; a free chain that
// cannot be walked to its end counts as yes, for nothing can be ruled out.
bool RecordFile::anyFree(const std::vector<int32_t>& records) {
    const std::unordered_set<int32_t> wanted(records.begin(), records.end());
    int64_t steps = recordCount();
    int32_t link = header_.first_free;
    while (link != kNoFreeRecord) {
        if (steps-- <= 0 || wanted.count(link) != 0 || !isRecordOffset(link) || !readLink(link, link)) return true;
    }
    return false;
}

int RecordFile::RewriteChain(int32_t first, const void* data, int length) {
    if (!isOpen() || first <= 0 || length < 0) return -1;
    const int textSize = header_.rec_size - 4;
    const int full = length / textSize;
    const int rest = length % textSize;
    const auto* text = static_cast<const uint8_t*>(data);

    // Walk the part of the old chain that the new text will use before
    // anything is written, so a damaged chain (a link past the end, a loop)
    // is refused with the file untouched.
    std::vector<int32_t> records;
    std::unordered_set<int32_t> seen;
    std::vector<uint8_t> record(static_cast<size_t>(header_.rec_size));
    int32_t at = first;
    while (at > 0 && static_cast<int>(records.size()) <= full) {
        if (!seen.insert(at).second) return -1;
        if (ReadRecord(at, record.data()) != 0) return -1;
        records.push_back(at);
        at = linkOf(record);
    }
    const int32_t continuation = at; // the old chain after the records used
    // A damaged chain that ran into the free chain would have this rewrite
    // overwrite free links, and the records would later be handed out twice.
    if (anyFree(records)) return -1;

    // Each record takes its piece and keeps its link to the next one; only
    // the last record's link changes, and it is written last.
    const int used = static_cast<int>(records.size());
    for (int i = 0; i < used - 1; ++i) {
        fillText(record, text + static_cast<size_t>(i) * textSize, textSize);
        setLink(record, records[static_cast<size_t>(i) + 1]);
        if (WriteRecord(records[static_cast<size_t>(i)], record.data()) != 0) return -1;
    }
    const int last = used - 1;
    const int placed = last == full ? rest : textSize;
    fillText(record, text + static_cast<size_t>(last) * textSize, placed);

    if (used > full) {
        // All the text is placed; the old chain may go on beyond it.
        setLink(record, -length);
        if (WriteRecord(records.back(), record.data()) != 0) return -1;
        if (continuation > 0) {
            int32_t restOfChain = continuation;
            if (FreeChain(restOfChain) != 0) return -1;
        }
        return 0;
    }
    // The old chain ended early. The rest of the text goes into a new chain
    // that already ends with the length of the whole text, and is linked in
    // only once it is complete.
    const int64_t placedSoFar = int64_t(used) * textSize;
    int32_t link = -length;
    if (length > placedSoFar) {
        int32_t added = 0;
        if (writeChainTail(added, text + placedSoFar, static_cast<int>(length - placedSoFar), -length) != 0)
            return -1;
        link = added;
    }
    setLink(record, link);
    return WriteRecord(records.back(), record.data());
}

int RecordFile::FreeChain(int32_t& first) {
    if (!isOpen()) return -1;
    // The whole chain is walked first: a chain that runs past the end or
    // into a loop is refused before any of its records is freed.
    const int64_t limit = recordCount();
    std::vector<int32_t> records;
    std::unordered_set<int32_t> seen;
    std::vector<uint8_t> record(static_cast<size_t>(header_.rec_size));
    int32_t at = first;
    for (;;) {
        if (static_cast<int64_t>(records.size()) >= limit) return -1;
        if (!seen.insert(at).second) return -1;
        if (ReadRecord(at, record.data()) != 0) return -1;
        records.push_back(at);
        const int32_t link = linkOf(record);
        if (link < 1) break;
        at = link;
    }
    // A chain that shares a record with the free chain would be freed into
    // a loop; every record is checked as every delete is, all of them before
    // the first is freed.
    for (int32_t offset : records)
        if (CheckNotFree(offset) != 0) return -1;
    for (int32_t offset : records)
        if (FreeRecord(offset) != 0) return -1;
    first = 0;
    return 0;
}

} // namespace k4
