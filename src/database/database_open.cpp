#include "database/database_open.h"

#include "database/database_agreement.h"
#include "database/text_edge.h"
#include "messages/messages.h"
#include "platform/file.h"

namespace k4 {

namespace {

// 0 opened, 1 created, -1 failed.
int openOrCreateIndex(SubscriberIndexes& indexes, const DataDir& dir, int index) {
    const IndexDescriptor& d = indexDescriptor(index);
    IndexHandle& handle = indexes.handle(index);
    if (fileExists(dir.file(d.name))) return handle.OpenIndex(dir, d.name, d.duplicates) == 0 ? 0 : -1;
    return handle.CreateIndex(dir, d.name, d.duplicates) == 0 ? 1 : -1;
}

} // namespace

int OpenDatabase(DatabaseFiles& files, SubscriberIndexes& indexes) {
    Messages& messages = files.messages();
    const RecordFileDescriptor& dane = kRecordFileSet[0];
    const int reference = files.file(DbFile::Dane).OpenOrCreate(dane.name, dane.recordSize);
    if (reference < 0) {
        messages.ShowNotice(mz("\x03otwarcia opisu"), kNoticeError);
        return -1;
    }
    for (int i = 1; i < kDbFileCount; ++i) {
        const RecordFileDescriptor& d = kRecordFileSet[i];
        const int result = files.file(static_cast<DbFile>(i)).OpenOrCreate(d.name, d.recordSize);
        if (result != reference) {
            // "dane" made now while the others were there: the file missing
            // was "dane", and that is the name the technician must hear.
            const char* missing = result == 0 && reference == 1 ? dane.name : d.name;
            messages.ShowNotice(mz(std::string("\x03otwarcia bazy ") + missing), kNoticeError);
            return -1;
        }
    }
    for (int i = 0; i < kDbFileCount; ++i)
        if (kRecordFileSet[i].onDemand) files.file(static_cast<DbFile>(i)).Close();

    for (int i = 0; i < kSubscriberIndexCount; ++i) {
        if (openOrCreateIndex(indexes, files.dataDir(), i) != reference) {
            messages.ShowNotice(mz("\x03otwarcia indeksu"), kNoticeError);
            return -1;
        }
        if (!indexDescriptor(i).keptOpen) indexes.handle(i).CloseIndex();
    }
    // A set that was there already is looked at once: the station starts
    // anyway, but not silently on an index that no longer fits its records.
    if (reference == 0) warnWhenDatabaseDisagrees(files.dataDir(), messages);
    return 0;
}

void CloseDatabase(DatabaseFiles& files, SubscriberIndexes& indexes) {
    indexes.closeAll();
    for (int i = 0; i < kDbFileCount; ++i) {
        RecordFile& file = files.file(static_cast<DbFile>(i));
        if (file.isOpen()) file.Close();
    }
}

} // namespace k4
