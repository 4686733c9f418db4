#pragma once
// The blockade table as the main window's list shows it.
#include "processing/block_lst.h"
#include "shell/station_commands.h"

namespace k4 {

class BlockLstView final : public BlockadeView {
public:
    explicit BlockLstView(BlockLst& table) : table_(table) {}
    ~BlockLstView() override { table_.setObserver(nullptr); }

    int count() const override { return table_.count(); }
    std::string lineText(int i) const override;
    void removeAt(int i) override { table_.removeAt(i); }
    void setObserver(BlockListObserver* observer) override { table_.setObserver(observer); }

private:
    BlockLst& table_;
};

} // namespace k4
