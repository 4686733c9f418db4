#include "history/archive_files.h"

#include "database/text_edge.h"
#include "history/file_copy.h"
#include "platform/file.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace k4 {

namespace {

std::string trimmed(std::string d) {
    while (d.size() > 1 && d.back() == '/') d.pop_back();
    return d;
}

} // namespace

std::vector<std::string> listLogFiles(const std::string& directory) {
    std::vector<std::string> names;
    const QDir dir(QString::fromStdString(directory));
    for (const QFileInfo& info : dir.entryInfoList({QStringLiteral("*.log")}, QDir::Files, QDir::Name))
        names.push_back(info.fileName().toStdString());
    std::sort(names.begin(), names.end());
    return names;
}

int dumpArchive(const DataDir& dir, const std::string& name, const std::string& target, Messages& messages) {
    // The same directory under another spelling is still the data directory.
    const QString base = QFileInfo(QString::fromStdString(dir.path())).canonicalFilePath().toUpper();
    const QString into = QFileInfo(QString::fromStdString(target)).canonicalFilePath().toUpper();
    if (into.isEmpty() || into == base) {
        messages.ShowNotice(mz("\x03" "Brak dyskietki lub próba zapisu w katalogu bazowym"), kNoticeInfo);
        return -1;
    }
    const std::string from = dir.file(name);
    File probe;
    if (!probe.open(from, File::Mode::ReadOnly)) {
        messages.ShowNotice(mz("\x03otwarcia archiwalnego pliku historii"), kNoticeError);
        return -1;
    }
    probe.close();
    std::string error;
    if (!copyFileDurably(from, trimmed(target) + "/" + name, error)) {
        messages.ShowNotice(mz("\x03zapisu archiwalnego pliku historii: " + error), kNoticeError);
        return -1;
    }
    return 0;
}

int restoreArchive(const DataDir& dir, const std::string& sourceDirectory, const std::string& name,
                   Messages& messages) {
    const std::string to = dir.file(name);
    if (fileExists(to)) {
        char text[256];
        std::snprintf(text, sizeof text, "\x03Plik %s już istnieje.\nCzy ma zostać nadpisany?", name.c_str());
        if (messages.AskYesNo(mz(text)) != kResultYes) {
            messages.ShowNotice(mz("\x03Kopiowanie zostaje porzucone."), kNoticeInfo);
            return 1;
        }
    }
    // Into a temporary name first: an archive that is already there is
    // replaced only by a whole copy.
    const std::string part = to + ".part";
    std::string error;
    if (!copyFileDurably(trimmed(sourceDirectory) + "/" + name, part, error) ||
        !renameDurably(part, to, &error)) {
        ::unlink(part.c_str());
        messages.ShowNotice(mz("\x03odczytu archiwalnego pliku historii: " + error), kNoticeError);
        return -1;
    }
    return 0;
}

int deleteArchive(const DataDir& dir, const std::string& name, Messages& messages) {
    char text[320];
    std::snprintf(text, sizeof text,
                  "\x03Plik %s zostanie usunięty. Wszystkie dane w nim zawarte ulegną zniszczeniu! Usunąć plik?",
                  name.c_str());
    if (messages.AskYesNo(mz(text)) != kResultYes) return 1;
    if (::unlink(dir.file(name).c_str()) != 0) {
        messages.ShowNotice(mz("\x03usuwania archiwalnego pliku historii"), kNoticeError);
        return -1;
    }
    return 0;
}

} // namespace k4
