#include "database/lines_list.h"

#include "database/text_edge.h"
#include "messages/messages.h"

#include <utility>

namespace k4 {

namespace {

void usedSlots(const ListT<Int32Le>& list, std::vector<int>& used) {
    used.clear();
    for (int slot = 0; slot < list.Capacity(); ++slot)
        if (list.Item(slot) != 0) used.push_back(slot);
}

int findIn(const std::vector<int>& used, int number) {
    for (size_t i = 0; i < used.size(); ++i)
        if (used[i] == number) return static_cast<int>(i);
    return -1;
}

} // namespace

LinesList::LinesList(DatabaseFiles& files, Int32Le (&lines)[kLineSlots])
    : Base(&files.file(DbFile::Linie), descriptorOf(DbFile::Linie).recordSize),
      ListT<Int32Le>(lines, kLineSlots), files_(files),
      linie_(files, DbFile::Linie, mz("\x03otwarcia pliku"), mz("\x03zwolnienia podsystemu")),
      sektory_(files, DbFile::Sektory, mz("\x03otwarcia pliku"), mz("\x03zwolnienia sektora")) {
    Recount();
}

int LinesList::Recount() {
    usedSlots(*this, used_);
    count_ = static_cast<int16_t>(used_.size());
    return 0;
}

int LinesList::ReadIndex(int listIndex) {
    if (!usable() || listIndex < 0 || listIndex >= static_cast<int>(used_.size())) {
        clearBuffer();
        setPositions(0);
        return -1;
    }
    return Read(Item(used_[static_cast<size_t>(listIndex)]));
}

int LinesList::Find(int number) const { return findIn(used_, number); }

int LinesList::Count(int& subsystems, int& sectors) {
    subsystems = static_cast<int>(used_.size());
    sectors = 0;
    for (size_t i = 0; i < used_.size(); ++i) {
        if (ReadIndex(static_cast<int>(i)) != 0) {
            files_.messages().ShowNotice(mz("\x03odczytu podsystemu"), kNoticeError);
            return -1;
        }
        for (const Int32Le& sector : subsystem().sectors)
            if (sector != 0) ++sectors;
    }
    return 0;
}

int LinesList::DeleteSubsystem(int32_t offset) {
    Messages& messages = files_.messages();
    if (!usable() || Read(offset) != 0) {
        messages.ShowNotice(mz("\x03odczytu podsystemu"), kNoticeError);
        return -1;
    }
    RecordFile& sectors = sectorsFile();
    for (Int32Le& sector : subsystem().sectors) {
        if (sector == 0) continue;
        if (sectors.CheckNotFree(sector) != 0 || sectors.FreeRecord(sector) != 0) {
            messages.ShowNotice(mz("\x03usunięcia sektora"), kNoticeError);
            return -1;
        }
    }
    if (Delete(offset) != 0) {
        messages.ShowNotice(mz("\x03usunięcia podsystemu"), kNoticeError);
        return -1;
    }
    setPositions(0);
    return 0;
}

int LinesList::DeleteAll() {
    const std::vector<int> slots = used_;
    for (int slot : slots) {
        if (DeleteSubsystem(Item(slot)) != 0) return -1;
        // The array never keeps an offset that was freed.
        Item(slot) = 0;
        Recount();
    }
    return 0;
}

SectorsList::SectorsList(Int32Le (&sectors)[kSectorSlots], RecordFile& sectorsFile)
    : Base(&sectorsFile, descriptorOf(DbFile::Sektory).recordSize), ListT<Int32Le>(sectors, kSectorSlots) {
    Recount();
}

int SectorsList::Recount() {
    usedSlots(*this, used_);
    count_ = static_cast<int16_t>(used_.size());
    return 0;
}

int SectorsList::ReadIndex(int listIndex) {
    if (listIndex < 0 || listIndex >= static_cast<int>(used_.size())) {
        clearBuffer();
        setPositions(0);
        return -1;
    }
    return Read(Item(used_[static_cast<size_t>(listIndex)]));
}

int SectorsList::Find(int number) const { return findIn(used_, number); }

int SectorsList::CopyTo(RecordFile& target) {
    Messages& messages = file_->messages();
    std::vector<std::pair<int, int32_t>> copied; // slot, old offset
    auto undo = [&] {
        for (const auto& [slot, old] : copied) {
            target.FreeRecord(Item(slot));
            Item(slot) = old;
        }
    };
    for (int slot : used_) {
        if (Read(Item(slot)) != 0) {
            messages.ShowNotice(mz("\x03odczytu sektora"), kNoticeError);
            undo();
            return -1;
        }
        int32_t at = 0;
        if (target.recordSize() != RecordSize() || target.CheckFreeHead() != 0 ||
            target.AppendRecord(at, buffer()) != 0) {
            messages.ShowNotice(mz("\x03zapisu sektora"), kNoticeError);
            undo();
            return -1;
        }
        copied.emplace_back(slot, Item(slot));
        Item(slot) = at;
    }
    return 0;
}

} // namespace k4
