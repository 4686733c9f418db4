#include "database/database_agreement.h"

#include "database/index_check.h"
#include "database/record_file_audit.h"
#include "database/record_file_header.h"
#include "database/subscriber_record.h"
#include "database/text_edge.h"
#include "messages/messages.h"

namespace k4 {

DatabaseAgreement compareNumberIndexWithRecords(const DataDir& dir) {
    DatabaseAgreement agreement;
    // Read as the technician's check reads it: a damaged page is a finding
    // here, not the end of the station.
    const IndexCheckReport numer = checkIndexFile(dir.file("numer"), true);
    agreement.numberIndexSound = numer.ok();
    agreement.keys = numer.keys;
    const RecordFileAudit dane = AuditRecordFile(dir.file("dane"), "dane", kSubscriberRecordSize);
    agreement.recordsInUse = dane.inUse();
    const int64_t end = kRecordFileHeaderSize + dane.records * kSubscriberRecordSize;
    for (const auto& entry : numer.entries) {
        const int64_t at = entry.second;
        if (at < kRecordFileHeaderSize || (at - kRecordFileHeaderSize) % kSubscriberRecordSize != 0 || at >= end)
            ++agreement.keysOutside;
    }
    return agreement;
}

void warnWhenDatabaseDisagrees(const DataDir& dir, Messages& messages) {
    const DatabaseAgreement a = compareNumberIndexWithRecords(dir);
    if (a.agree()) return;
    std::string what;
    if (!a.numberIndexSound)
        what = "indeks numer jest uszkodzony";
    else
        what = "indeks numer nie zgadza się z plikiem dane (abonentów w indeksie: " + std::to_string(a.keys) +
               ", rekordów w użyciu: " + std::to_string(a.recordsInUse) +
               (a.keysOutside ? ", kluczy poza plikiem: " + std::to_string(a.keysOutside) : std::string()) + ")";
    messages.ShowNotice(mz("\x03UWAGA - " + what + ".\nMeldunki mogą trafiać do nieznanych abonentów. Sprawdź bazę "
                           "poleceniem kestrel4-admin db check (naprawa: kestrel4-admin index rebuild)."),
                        kNoticeInfo);
}

} // namespace k4
