#pragma once
// Subscribers as CSV (RFC 4180, UTF-8): a header line naming record fields,
// then one line per subscriber. Quoted fields may hold commas, quotes
// (doubled) and line breaks.
#include "database/subscriber_record.h"

#include <string>
#include <string_view>
#include <vector>

namespace k4::admin {

struct CsvRow {
    int line; // where the row starts in the file, from 1
    std::vector<std::string> fields;
};

// false and the reason when a quoted field is never closed.
bool parseCsv(std::string_view text, std::vector<CsvRow>& rows, std::string& error);
// A field as it is written: quoted only when it must be.
std::string csvField(const std::string& value);

// The record fields a CSV column may name, in the order export writes them.
const std::vector<std::string>& subscriberColumns();
bool isSubscriberColumn(const std::string& name);

// The text of one column of a record (UTF-8).
std::string columnValue(const SubscriberRecord& record, const std::string& column);
// Sets one column from its CSV text; false and the reason (UTF-8) when the
// text does not fit the field.
bool setColumn(SubscriberRecord& record, const std::string& column, const std::string& value, std::string& error);

} // namespace k4::admin
