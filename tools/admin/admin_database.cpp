#include "admin/admin_database.h"

#include "platform/file.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <ostream>

namespace k4::admin {

BoxAnswer StreamOperatorUi::showBox(const BoxRequest& box) {
    out_ << prefix_ << box.text << '\n';
    ++shown_;
    return box.defaultButton;
}

void CommandIndexFailure::indexFailed(const std::string& message, const std::string& path, int64_t offset) {
    // Closing what is open after the first failure may fail again; that one
    // is not told and must not throw out of a destructor.
    if (failed_) return;
    failed_ = true;
    char where[48];
    std::snprintf(where, sizeof where, "Numer rekordu %llx", static_cast<unsigned long long>(offset));
    err_ << message << ' ' << path << '\n' << where << '\n'
         << "Plik indeksowy jest uszkodzony albo nieczytelny: kestrel4-admin db check wskaże szkody, "
            "kestrel4-admin index rebuild odbuduje indeksy\n";
    throw IndexBroken{};
}

AdminDatabase::AdminDatabase(const std::string& directory, std::ostream& err)
    : dir_(directory), err_(err), ui_(err), messages_(ui_), failure_(err), indexes_(dir_, cache_, failure_, messages_),
      link_(indexes_), db_(dir_, messages_, history_, config_, {link_, sharedLists_, paths_}) {}

AdminDatabase::~AdminDatabase() {
    try {
        close();
    } catch (const IndexBroken&) {
    }
}

bool AdminDatabase::open(bool create) {
    std::vector<std::string> present, missing;
    for (const RecordFileDescriptor& d : kRecordFileSet)
        (fileExists(dir_.file(d.name)) ? present : missing).push_back(d.name);
    for (int i = 0; i < kSubscriberIndexCount; ++i)
        (fileExists(dir_.file(indexDescriptor(i).name)) ? present : missing).push_back(indexDescriptor(i).name);
    if (present.empty() && !create) {
        err_ << "Baza danych nie została jeszcze utworzona w " << dir_.path() << '\n';
        return false;
    }
    if (!present.empty() && !missing.empty()) {
        err_ << "Niepełna baza danych w " << dir_.path() << ", brak plików:";
        for (const std::string& name : missing) err_ << ' ' << name;
        err_ << '\n';
        return false;
    }
    std::error_code ec;
    if (create && present.empty() && !std::filesystem::is_directory(dir_.path(), ec) &&
        !std::filesystem::create_directories(dir_.path(), ec)) {
        err_ << "Nie można utworzyć katalogu " << dir_.path() << ": " << ec.message() << '\n';
        return false;
    }
    for (int i = 0; i < kDbFileCount; ++i) {
        const auto which = static_cast<DbFile>(i);
        const RecordFileDescriptor& d = descriptorOf(which);
        if (db_.file(which).OpenOrCreate(d.name, d.recordSize) < 0) {
            err_ << "Nie można otworzyć pliku " << dir_.file(d.name) << '\n';
            close();
            return false;
        }
        if (d.onDemand) db_.file(which).Close();
    }
    if (indexes_.openAll(create) != 0) {
        err_ << "Nie można otworzyć plików indeksowych w " << dir_.path() << '\n';
        close();
        return false;
    }
    open_ = true;
    return true;
}

void AdminDatabase::beginBulk() {
    indexes_.beginBulk();
    db_.file(DbFile::Dane).DeferSyncs(true);
}

bool AdminDatabase::endBulk() {
    const bool indexes = indexes_.endBulk() == 0;
    const bool records = db_.file(DbFile::Dane).DeferSyncs(false) == 0;
    if (!indexes || !records) err_ << "Błąd zapisu na dysk w " << dir_.path() << '\n';
    return indexes && records;
}

void AdminDatabase::close() {
    indexes_.closeAll();
    for (int i = 0; i < kDbFileCount; ++i)
        if (db_.file(static_cast<DbFile>(i)).isOpen()) db_.file(static_cast<DbFile>(i)).Close();
    open_ = false;
}

} // namespace k4::admin
