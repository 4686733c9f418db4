#include "database/description_text.h"

#include "database/record_file.h"
#include "database/sbscrbr.h"
#include "database/text_edge.h"
#include "messages/messages.h"

namespace k4 {

int readDescriptionText(SubscriberDatabase& db, int32_t first, std::string& text) {
    // The subscriber's own reading, over a record that names this chain.
    Sbscrbr holder(db);
    holder.record.desc = first;
    return holder.ReadDescription(text);
}

int storeDescription(RecordFile& opis, int32_t& desc, const std::string& text, Messages& messages) {
    const int length = static_cast<int>(text.size());
    if (desc != 0 && length > 0) {
        if (opis.RewriteChain(desc, text.data(), length) == 0) return kDescriptionStored;
    } else if (desc != 0) {
        if (opis.FreeChain(desc) == 0) return kDescriptionStored;
        messages.ShowNotice(mz("\x03usuwania opisu abonenta"), kNoticeError);
        return kDescriptionNotStored;
    } else if (length > 0) {
        int32_t first = 0;
        if (opis.WriteChain(first, text.data(), length) == 0) {
            desc = first;
            return kDescriptionStored;
        }
    } else {
        return kDescriptionStored;
    }
    messages.ShowNotice(mz("\x03zapisu opisu abonenta"), kNoticeError);
    return kDescriptionNotStored;
}

} // namespace k4
