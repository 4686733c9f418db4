#pragma once
// A data directory opened for one command of the technician: the record
// files and the six index files of the subscriber database, wired as the
// station wires them, with every box of the station written as a line to
// the command's error stream.
#include "config/config_block.h"
#include "database/database_files.h"
#include "database/history_sink.h"
#include "database/subscriber_database.h"
#include "database/subscriber_index_link.h"
#include "database/subscriber_indexes.h"
#include "database/text_edge.h"
#include "platform/operator_ui.h"
#include "messages/messages.h"

#include <cstring>
#include <iosfwd>
#include <memory>
#include <string>

namespace k4::admin {

// Boxes become lines "PREFIX text"; questions take their default answer,
// which is No wherever data would go.
class StreamOperatorUi final : public OperatorUi {
public:
    explicit StreamOperatorUi(std::ostream& out) : out_(out) {}
    // Put before every line: the row of an import, for one.
    void setPrefix(std::string prefix) { prefix_ = std::move(prefix); }
    int shown() const { return shown_; }

    BoxAnswer showBox(const BoxRequest& box) override;
    void showWait(const std::string&) override {}
    void hideWait() override {}
    std::optional<std::string> askDirectory(const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> askText(const std::string&, const std::string&, const std::string&) override {
        return {};
    }

private:
    std::ostream& out_;
    std::string prefix_;
    int shown_ = 0;
};

// An index that cannot be read or written ends the command with status 1,
// as it ends the station.
struct IndexBroken {};
class CommandIndexFailure final : public IndexFailure {
public:
    explicit CommandIndexFailure(std::ostream& err) : err_(err) {}
    void indexFailed(const std::string& message, const std::string& path, int64_t offset) override;

private:
    std::ostream& err_;
    bool failed_ = false;
};

class AdminDatabase {
public:
    AdminDatabase(const std::string& directory, std::ostream& err);
    ~AdminDatabase();
    AdminDatabase(const AdminDatabase&) = delete;
    AdminDatabase& operator=(const AdminDatabase&) = delete;

    // Opens the whole set. With create, a directory holding none of its
    // files gets them all, empty. A set with some files missing is refused.
    // false after the reason went to the error stream.
    bool open(bool create);
    void close();

    // One pass of many writes, with the directory's lock held: "dane" and
    // the indexes are written without waiting for the disk and synced once
    // by endBulk (false when a sync failed, told on the error stream).
    void beginBulk();
    bool endBulk();

    const DataDir& dataDir() const { return dir_; }
    SubscriberDatabase& database() { return db_; }
    SubscriberIndexes& indexes() { return indexes_; }
    StreamOperatorUi& ui() { return ui_; }

private:
    DataDir dir_;
    std::ostream& err_;
    StreamOperatorUi ui_;
    Messages messages_;
    CommandIndexFailure failure_;
    IndexPageCache cache_;
    SubscriberIndexes indexes_;
    SubscriberIndexLink link_;

    // The tool writes no history (the log is the running station's), deletes
    // no subscriber and runs no paths; if a deletion is ever added, every
    // event list counts as shared, so none is lost by it.
    struct NoHistory final : HistorySink {
        int LogSystemEvent(int, int, int, int, int) override { return 0; }
    } history_;
    struct EveryListKept final : SharedEventLists {
        bool IsSharedList(int32_t) const override { return true; }
    } sharedLists_;
    struct NoPaths final : SupervisedSubscriberLists {
        void ForgetSubscriber(int, uint8_t, uint8_t) override {}
    } paths_;
    ConfigBlock config_{};
    SubscriberDatabase db_;
    bool open_ = false;
};

// Text of a record field (Mazovia, NUL-terminated within its width) as UTF-8.
template <size_t N>
std::string fieldUtf8(const char (&field)[N]) {
    return Utf8FromMazovia(std::string(field, strnlen(field, N)));
}

} // namespace k4::admin
