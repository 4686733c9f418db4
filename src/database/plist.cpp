#include "database/plist.h"

#include "database/text_edge.h"
#include "messages/messages.h"

namespace k4::plist_detail {

void ShowBlockLimit(Messages& messages) {
    messages.ShowNotice(mz("\x03Osiągnięto MAX_BLOCK_NBR w PList"), kNoticeInfo);
}

void ShowBadBlock(Messages& messages) {
    messages.ShowNotice(mz("\x03Nieprawidłowa alokacja bloków w PList"), kNoticeInfo);
}

void ShowNoMemory(Messages& messages) { messages.ShowNotice(mz("\x03w PList"), kNoticeMemory); }

} // namespace k4::plist_detail
