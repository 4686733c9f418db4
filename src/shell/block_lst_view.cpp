#include "shell/block_lst_view.h"

#include "database/text_edge.h"

namespace k4 {

std::string BlockLstView::lineText(int i) const {
    if (i < 0 || i >= table_.count()) return {};
    return Utf8FromMazovia(table_.lineOf(i));
}

} // namespace k4
