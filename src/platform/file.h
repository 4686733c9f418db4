#pragma once
// Data files of the station: a POSIX descriptor with explicit offsets and
// durable writes. A completed write is on the disk before the call returns,
// so a crash or a pulled plug never costs a report that was already taken.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace k4 {

class File {
public:
    enum class Mode {
        ReadOnly,        // the file must exist
        ReadWrite,       // the file must exist ("for update")
        ReadWriteCreate, // created empty when missing
    };

    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // False when the file cannot be opened; errorText() then says why.
    bool open(const std::string& path, Mode mode);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    const std::string& errorText() const { return error_; }
    // The errno of the last failure (0 before any), for callers that must
    // tell a full disk from a read-only one.
    int errorNumber() const { return errno_; }

    // Reads exactly size bytes at offset; false on a short read or an error.
    bool readAt(int64_t offset, void* data, size_t size);
    // Reads up to size bytes at offset and gives the count (-1 on error).
    int64_t readSomeAt(int64_t offset, void* data, size_t size);
    // Writes all bytes at offset and syncs the data to the disk.
    bool writeAt(int64_t offset, const void* data, size_t size);
    // Writes without syncing; the caller groups several and calls sync().
    bool writeAtNoSync(int64_t offset, const void* data, size_t size);
    bool sync();
    // Sets the length (and syncs it); the NoSync form leaves the sync to the
    // write that follows.
    bool truncate(int64_t size);
    bool resizeNoSync(int64_t size);
    // Bulk work that is run again after a crash (an import, a rebuild) asks
    // for no sync while it writes: sync() then only notes that one is owed,
    // and ending the deferral (or closing) pays it with one sync. false when
    // that sync fails.
    bool deferSyncs(bool deferred);
    int64_t size();
    // The open file still has its name: not unlinked (its directory removed
    // under a running station) and not replaced by another file of that name.
    bool stillAtItsPath();

    // The sequential position, used by passes that read a file in order and
    // by the input poll that runs in their middle.
    int64_t position() const { return position_; }
    void seek(int64_t position) { position_ = position; }

private:
    bool fail(const char* what);

    int fd_ = -1;
    bool syncsDeferred_ = false;
    bool syncOwed_ = false;
    int64_t position_ = 0;
    std::string path_;
    std::string error_;
    int errno_ = 0;
};

// Replaces the file at path with data as one step: the new bytes go to a
// temporary file beside it, are synced, and are renamed over the old file, so
// a crash leaves either the old or the new file, never a torn one.
bool replaceFileDurably(const std::string& path, std::string_view data, std::string* error);

// Puts the file at from in the place of the file at to, durably (the
// directory synced): a crash leaves one or the other under the name.
bool renameDurably(const std::string& from, const std::string& to, std::string* error);

// Reads a whole file; false when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& data, std::string* error);

bool fileExists(const std::string& path);

} // namespace k4
