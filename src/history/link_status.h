#pragma once
// "link.txt": one text line for every base message that carries link-quality
// values, for the technician who follows the radio and GSM links of the
// bases. It is renamed to the month's name at every change of month.
#include "platform/clock.h"
#include "platform/data_dir.h"
#include "messages/messages.h"

#include <cstdint>
#include <string>

namespace k4 {

// What the text parser read from one message of a base.
struct LinkStatusRecord {
    int subscriber = 0xFFFF;
    bool hexNumber = false;
    int subsystem = 0;
    int code = 0;
    int sector = 0;
    int quality1 = 0xFF; // 0xFF: the message carried no quality values
    int quality2 = 0;
    int quality3 = 0;    // tenths
    int quality4 = 0;
};

class LinkStatusFile {
public:
    LinkStatusFile(const DataDir& dir, Messages& messages, const Clock& clock);

    std::string path() const { return dir_.file("link.txt"); }
    // The line of "link.txt" for a record, without its line feed.
    static std::string statusLine(const LocalDateTime& now, int sourceKind, const LinkStatusRecord& record);

    // Appends the record's line; a record without quality values and a file
    // that cannot be opened are skipped silently.
    void LinkStatus(int sourceKind, const LinkStatusRecord& record);
    // Renames "link.txt" to "link_%02d_%02d.txt" of the month (in directory
    // when one is given). 0 renamed or nothing to rename, -1 refused.
    int RollLinkStatus(int year, int month, const std::string& directory = {});

private:
    DataDir dir_;
    Messages& messages_;
    const Clock& clock_;
};

} // namespace k4
