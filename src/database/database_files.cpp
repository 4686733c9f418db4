#include "database/database_files.h"

#include "messages/messages.h"

namespace k4 {

DatabaseFiles::DatabaseFiles(const DataDir& dir, Messages& messages, HistorySink& history)
    : dir_(dir), messages_(messages), history_(history) {
    for (auto& file : files_) file = std::make_unique<RecordFile>(dir_, messages_, history_);
}

OnDemandFile::OnDemandFile(DatabaseFiles& files, DbFile which, std::string_view openFailure,
                           std::string_view closeFailure)
    : file_(files.file(which)), messages_(files.messages()), closeFailure_(closeFailure) {
    const RecordFileDescriptor& d = descriptorOf(which);
    if (file_.isOpen()) {
        ok_ = file_.recordSize() == d.recordSize;
        return;
    }
    if (file_.Open(d.name, d.recordSize) == 0) {
        ok_ = opened_ = true;
    } else if (!openFailure.empty()) {
        messages_.ShowNotice(openFailure, kNoticeError);
    }
}

OnDemandFile::~OnDemandFile() {
    if (opened_ && file_.Close() != 0 && !closeFailure_.empty())
        messages_.ShowNotice(closeFailure_, kNoticeError);
}

} // namespace k4
