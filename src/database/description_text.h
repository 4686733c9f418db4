#pragma once
// The object description of a subscriber: a text chain in "opis" whose
// first record the subscriber's desc field names. Mazovia text.
#include <cstdint>
#include <string>

namespace k4 {

class RecordFile;
class Messages;
class SubscriberDatabase;

// The text of the chain from first (none when first is 0); its length, or
// -1 after the box that said why.
int readDescriptionText(SubscriberDatabase& db, int32_t first, std::string& text);

enum : int {
    kDescriptionStored = 0,
    kDescriptionNotStored = -1,
};

// The edited text into the chain: rewritten in place, freed when emptied
// (desc becomes 0), or a new chain whose first record desc then names.
// "opis" must be open. A failure is told and desc keeps what the file holds.
int storeDescription(RecordFile& opis, int32_t& desc, const std::string& text, Messages& messages);

} // namespace k4
