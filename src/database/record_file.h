#pragma once
// Record files: a 32-byte header followed by fixed-size records, each named
// by its byte offset in the file (0 means none). Deleted records form a free
// chain through their first four bytes and are reused before the file grows;
// texts of any length are stored as chains of records.
//
// Every operation that changes the file is on the disk (fdatasync) before it
// returns, and the pieces of one operation are written in an order that a
// crash between them leaves at worst an unreferenced record, never a free
// chain that points into a record in use.
#include "database/history_sink.h"
#include "database/record_file_header.h"
#include "platform/data_dir.h"
#include "platform/file.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace k4 {

class Messages;

class RecordFile {
public:
    RecordFile(DataDir dir, Messages& messages, HistorySink& history);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Each gives 0 on success and -1 on failure unless said otherwise.
    int Create(const std::string& name, int recSize);
    // Fails when the header cannot be read or names another file or size.
    int Open(const std::string& name, int recSize);
    int Close();
    // 0 opened, 1 created, -1 failure.
    int OpenOrCreate(const std::string& name, int recSize);

    int ReadRecord(int32_t offset, void* buffer);
    int ReadPart(int32_t offset, void* buffer, int fieldOffset, int length);
    // Reads length bytes at offset + fieldOffset wherever they are.
    int ReadAt(int32_t offset, void* buffer, int length, int fieldOffset);
    int AppendRecord(int32_t& offset, const void* data);
    int WriteRecord(int32_t offset, const void* data);
    // 0, or -1 (offset below 32), -2 (not inside one record of the file),
    // -3 (write failed), -4 (flush failed).
    int WritePart(int32_t offset, const void* data, int fieldOffset, int length);
    int FreeRecord(int32_t offset);

    // Run before every delete: the record must not be free already. Shows
    // the message and writes the history entry of what it found.
    int CheckNotFree(int32_t offset);
    // Run before every append: the head of the free chain must be usable.
    int CheckFreeHead();

    // Text chains: rec_size - 4 bytes of text per record and a link at its
    // end; the last link holds minus the length of the whole text.
    int WriteChain(int32_t& first, const void* data, int length);
    int ReadChain(int32_t first, void* buffer, int length);
    // Leaves offset at the last record (its bytes in buffer) and gives the
    // chain's length, or -1.
    int ChainEnd(int32_t& offset, void* buffer);
    int RewriteChain(int32_t first, const void* data, int length);
    // Frees every record of the chain and sets first to 0.
    int FreeChain(int32_t& first);

    bool isOpen() const { return file_.isOpen(); }
    // Bulk work run again after a crash writes without waiting for the
    // disk; ending it syncs the file once (0, or -1 when that fails).
    int DeferSyncs(bool deferred) { return file_.deferSyncs(deferred) ? 0 : -1; }
    // The name stored in the header (empty while closed).
    std::string name() const;
    int recordSize() const { return header_.rec_size; }
    int32_t firstFree() const { return header_.first_free; }
    // The file length, -1 when it cannot be had.
    int64_t length();
    // Whether offset names a whole record inside the file.
    bool isRecordOffset(int64_t offset);
    // The number of whole records the file holds.
    int64_t recordCount();

    Messages& messages() { return messages_; }
    HistorySink& history() { return history_; }
    // A consistency error: the history entry of kind 55 and the message.
    void reportFault(int detail, const std::string& text, unsigned style);

private:
    bool writeHeader();
    bool readLink(int64_t at, int32_t& link);
    int appendOne(int32_t& offset, const void* data);
    int writeChainTail(int32_t& first, const uint8_t* data, int length, int32_t lastLink);
    bool anyFree(const std::vector<int32_t>& records);
    void forget();

    DataDir dir_;
    Messages& messages_;
    HistorySink& history_;
    File file_;
    RecordFileHeader header_{};
    RecordFileHeader onDisk_{}; // the header bytes as last read or written
};

} // namespace k4
