// "zdarzen": the standard table as a table file of 999 records of 43 bytes,
// loaded whole at the database's start and written whole after each change.
#include "processing/event_table.h"

#include "database/table.h"
#include "database/text_edge.h"
#include "messages/messages.h"

namespace k4 {

int EventTable::loadEventTable(const DataDir& dir, const std::string& fileName) {
    release();
    std::vector<EventDef> loaded(kRecords);
    Table table(dir, loaded.data());
    // A file of another record size or count is refused whole: read with the
    // wrong layout, every name and colour would be shifted.
    if (table.Load(fileName, static_cast<int>(sizeof(EventDef)), kRecords) != 0) return -1;
    setRecords(loaded);
    return 0;
}

int EventTable::saveEventTable(const DataDir& dir, const std::string& fileName) const {
    std::vector<EventDef> image = records_;
    Table table(dir, image.data());
    return table.Save(fileName, static_cast<int>(sizeof(EventDef)), kRecords);
}

int EventTable::saveEventTable(const DataDir& dir, Messages& messages) const {
    if (saveEventTable(dir, "zdarzen") == 0) return 0;
    messages.ShowNotice(mz("\x03zapisu pliku zdarzen"), kNoticeError);
    return -1;
}

} // namespace k4
