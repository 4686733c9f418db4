#include "shell/index_rebuild_command.h"

#include "database/sbscrbr.h"
#include "database/subscriber_index_link.h"
#include "database/subscriber_indexes.h"
#include "database/text_edge.h"
#include "messages/messages.h"

namespace k4 {

int runIndexRebuild(Messages& messages, SubscriberDatabase& database, SubscriberIndexes& indexes) {
    if (messages.AskYesNo(mz("Odtworzenie indeksów trwa długo i może spowodować przerwanie komunikacji z bazą. "
                             "Kontynuować?")) != kResultYes)
        return 1;
    return indexes.rebuildDerived([&](int32_t record) -> std::optional<SubscriberKeys> {
        Sbscrbr s(database, AtOffset{record});
        if (!s.valid) return std::nullopt;
        return subscriberKeysOf(s);
    }) == 0 ? 0 : -1;
}

} // namespace k4
