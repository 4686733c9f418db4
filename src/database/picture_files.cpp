#include "database/picture_files.h"

#include "database/text_edge.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace k4 {

namespace {

const char* const kGroups[] = {"pcx", "jpg", "bmp"};

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool endsWithExtension(const std::string& name, const char* extension) {
    const size_t dot = name.rfind('.');
    return dot != std::string::npos && lower(name.substr(dot + 1)) == extension;
}

// The characters of a UTF-8 name, each with its continuation bytes.
std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> out;
    for (size_t i = 0; i < text.size();) {
        size_t n = 1;
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
        out.push_back(text.substr(i, n));
        i += n;
    }
    return out;
}

std::string joined(const std::vector<std::string>& chars, size_t from, size_t count) {
    std::string out;
    for (size_t i = from; i < chars.size() && i < from + count; ++i) out += chars[i];
    return out;
}

// The directory's plain files in its own order, for each extension group.
std::vector<std::string> filesOf(const std::string& directory, const std::function<bool(const std::string&)>& keep) {
    std::vector<std::string> all;
    if (DIR* d = ::opendir(directory.c_str())) {
        while (dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (!keep(name)) continue;
            struct stat st {};
            if (::stat((directory + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) all.push_back(name);
        }
        ::closedir(d);
    }
    std::vector<std::string> grouped;
    for (const char* group : kGroups)
        for (const std::string& name : all)
            if (endsWithExtension(name, group)) grouped.push_back(name);
    return grouped;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// The slot: the subscriber and the number digit.
std::string slotOf(const std::string& name) { return name.substr(0, 5); }
// The name from the number on: without the subscriber.
std::string fromNumberOn(const std::string& name) { return name.size() > 4 ? name.substr(4) : std::string(); }

} // namespace

PictureNameParts splitPictureName(const std::string& name) {
    PictureNameParts parts;
    const size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    parts.extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    const std::vector<std::string> chars = characters(stem);
    parts.subscriber = joined(chars, 0, 4);
    if (chars.size() > 4 && chars[4].size() == 1 && chars[4][0] >= '0' && chars[4][0] <= '9')
        parts.number = chars[4][0] - '0';
    parts.shortName = joined(chars, 5, 3);
    return parts;
}

std::string pictureLineText(const std::string& name) {
    const size_t dot = name.rfind('.');
    const std::vector<std::string> chars = characters(dot == std::string::npos ? name : name.substr(0, dot));
    if (chars.size() <= 4) return "0";
    std::string line = chars[4];
    if (chars.size() > 5) line += "  " + joined(chars, 5, 3);
    return line;
}

std::string pictureFileName(int subscriber, int number, const std::string& shortName, const std::string& extension) {
    char head[16];
    std::snprintf(head, sizeof head, "%4.4d%1.1d", subscriber, number);
    return head + shortName + "." + extension;
}

std::string shortPictureName(const std::string& typed) { return joined(characters(typed), 0, 3); }

std::vector<std::string> pictureFilesIn(const std::string& directory) {
    return filesOf(directory, [](const std::string& name) {
        for (const char* group : kGroups)
            if (endsWithExtension(name, group)) return true;
        return false;
    });
}

SubscriberPictures::SubscriberPictures(const DataDir& dir, int subscriber, Messages& messages, CopyIn copyIn)
    : dir_(dir), subscriber_(subscriber), messages_(messages), copyIn_(std::move(copyIn)) {}

std::string SubscriberPictures::directory() const { return dir_.file(kPictureDirectory); }
std::string SubscriberPictures::pathOf(const std::string& name) const { return directory() + "/" + name; }

void SubscriberPictures::listPictures() {
    char prefix[8];
    std::snprintf(prefix, sizeof prefix, "%4.4d", subscriber_);
    const std::string head = prefix;
    names_ = filesOf(directory(), [&head](const std::string& name) {
        if (name.compare(0, head.size(), head) != 0) return false;
        for (const char* group : kGroups)
            if (endsWithExtension(name, group)) return true;
        return false;
    });
}

std::string SubscriberPictures::inSlot(const std::string& fileName, const std::string& except) const {
    for (const std::string& name : names_)
        if (name != except && slotOf(name) == slotOf(fileName)) return name;
    return {};
}

void SubscriberPictures::abandoned() { messages_.ShowNotice(mz("\x03Kopiowanie zostaje porzucone."), kNoticeInfo); }

int SubscriberPictures::add(const std::string& sourceDirectory, const std::string& sourceName, int number,
                            const std::string& shortName) {
    const size_t dot = sourceName.rfind('.');
    if (dot == std::string::npos) {
        abandoned();
        return 1;
    }
    const std::string extension = sourceName.substr(dot + 1, 4);
    const std::string target = pictureFileName(subscriber_, number, shortPictureName(shortName), extension);
    const std::string targetPath = pathOf(target);
    const std::string shownPath = std::string(kPictureDirectory) + "/" + target;
    if (exists(targetPath) &&
        messages_.AskYesNo(mz("\x03Plik " + shownPath + " już istnieje.\nCzy ma zostać nadpisany?")) != kResultYes) {
        abandoned();
        return 1;
    }
    const std::string other = inSlot(target, target);
    if (!other.empty()) {
        if (messages_.AskYesNo(mz("\x03Podany numer należy do innej grafiki. Usunąć " + fromNumberOn(other) + "?")) !=
            kResultYes) {
            abandoned();
            return 1;
        }
        if (messages_.AskYesNo(mz("\x03Grafika zostanie bezpowrotnie usunięta!")) != kResultYes) return 1;
    }
    // A missing "grafika" is made: a fresh installation has none until its
    // first picture.
    ::mkdir(directory().c_str(), 0755);
    const std::string incoming = pathOf(kIncomingPicture);
    const int fd = ::open(incoming.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        messages_.ShowNotice(mz("\x03otwarcia pliku grafiki"), kNoticeError);
        return -1;
    }
    ::close(fd);
    if (!copyIn_ || copyIn_(incoming, sourceName, sourceDirectory) != 0) {
        ::unlink(incoming.c_str());
        return -1;
    }
    if (::rename(incoming.c_str(), targetPath.c_str()) != 0) {
        ::unlink(incoming.c_str());
        messages_.ShowNotice(mz("\x03zapisu pliku grafiki"), kNoticeError);
        return -1;
    }
    if (!other.empty()) ::unlink(pathOf(other).c_str());
    listPictures();
    return 0;
}

int SubscriberPictures::change(const std::string& name, int number, const std::string& shortName) {
    const PictureNameParts old = splitPictureName(name);
    const int subscriber = std::atoi(old.subscriber.c_str());
    const std::string target = pictureFileName(subscriber, number, shortPictureName(shortName), old.extension);
    if (target == name) return 1;
    std::string swapped;
    if (number != old.number) {
        const std::string other = inSlot(target, name);
        if (!other.empty()) {
            const int answer = messages_.AskChoice(
                mz("\x03Podany numer należy do innej grafiki. Zamienić je miejscami? Wybór 'Nie' oznacza usunięcie '" +
                   fromNumberOn(other) + "'"),
                kChoiceYesNoCancel);
            if (answer == kResultYes) {
                if (::rename(pathOf(other).c_str(), dir_.file(kSwapFileName).c_str()) == 0) swapped = other;
            } else if (answer == kResultNo) {
                if (messages_.AskYesNo(mz("\x03Grafika zostanie bezpowrotnie usunięta!")) != kResultYes) return 1;
                ::unlink(pathOf(other).c_str());
            } else {
                return 1;
            }
        }
    }
    // Another file of exactly the new name (a second picture of the same
    // slot) is never overwritten by a rename.
    bool moved = false;
    if (exists(pathOf(target)))
        messages_.ShowNotice(mz("\x03Plik " + std::string(kPictureDirectory) + "/" + target + " już istnieje."),
                             kNoticeInfo);
    else
        moved = ::rename(pathOf(name).c_str(), pathOf(target).c_str()) == 0;
    if (!swapped.empty()) {
        // The other picture takes the freed number, or its own place again
        // when the selected one could not move.
        std::string back = swapped;
        if (moved && back.size() > 4) back[4] = static_cast<char>('0' + old.number);
        ::rename(dir_.file(kSwapFileName).c_str(), pathOf(back).c_str());
    }
    listPictures();
    return 0;
}

int SubscriberPictures::remove(const std::string& name) {
    if (messages_.AskYesNo(mz("\x03Grafika '" + fromNumberOn(name) + "' zostanie bezpowrotnie usunięta!")) !=
        kResultYes) {
        messages_.ShowNotice(mz("\x03Usuwanie pliku grafiki zostaje porzucone."), kNoticeInfo);
        return 1;
    }
    if (::unlink(pathOf(name).c_str()) != 0) {
        messages_.ShowNotice(mz("\x03usuwania pliku grafiki"), kNoticeError);
        return -1;
    }
    listPictures();
    return 0;
}

} // namespace k4
