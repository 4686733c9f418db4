#include "net/dc09_accounts.h"

#include "platform/data_dir.h"
#include "platform/file.h"

#include <cctype>
#include <charconv>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace k4 {

namespace {

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && std::isspace(static_cast<unsigned char>(line[at]))) ++at;
        size_t end = at;
        while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end]))) ++end;
        if (end > at) out.push_back(line.substr(at, end - at));
        at = end;
    }
    return out;
}

template <typename F>
void eachLine(std::string_view text, F f) {
    int number = 0;
    while (!text.empty()) {
        ++number;
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (const size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
        const auto w = words(line);
        if (!w.empty()) f(number, w);
    }
}

bool validAccount(std::string_view a) {
    if (a.size() < 3 || a.size() > 16) return false;
    for (char c : a) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

bool Dc09AccountTable::add(std::string_view account, int32_t subscriber, std::string_view keyHex, std::string* reason) {
    auto refuse = [&](const char* why) {
        if (reason) *reason = why;
        return false;
    };
    if (!validAccount(account)) return refuse("Numer konta: od 3 do 16 cyfr szesnastkowych.");
    if (subscriber < 0 || subscriber > 9999) return refuse("Numer abonenta: od 0 do 9999.");
    Dc09Account entry;
    entry.account = upper(account);
    entry.subscriber = subscriber;
    if (keyHex != "-") {
        const auto key = dc09KeyFromHex(keyHex);
        if (!key) return refuse("Klucz: 32, 48 lub 64 cyfry szesnastkowe (AES-128, -192, -256) albo \"-\".");
        entry.key = *key;
        entry.encryptionRequired = true;
    }
    accounts_[entry.account] = std::move(entry);
    return true;
}

bool Dc09AccountTable::remove(std::string_view account) {
    const auto it = accounts_.find(upper(account));
    if (it == accounts_.end()) return false;
    accounts_.erase(it);
    return true;
}

const Dc09Account* Dc09AccountTable::find(std::string_view account) const {
    const auto it = accounts_.find(upper(account));
    return it == accounts_.end() ? nullptr : &it->second;
}

std::vector<int> Dc09AccountTable::parse(std::string_view text) {
    std::vector<int> bad;
    eachLine(text, [&](int number, const std::vector<std::string_view>& w) {
        int32_t subscriber = -1;
        if (w.size() != 3) {
            bad.push_back(number);
            return;
        }
        const auto [ptr, ec] = std::from_chars(w[1].data(), w[1].data() + w[1].size(), subscriber);
        if (ec != std::errc{} || ptr != w[1].data() + w[1].size() || !add(w[0], subscriber, w[2], nullptr))
            bad.push_back(number);
    });
    return bad;
}

std::string Dc09AccountTable::text() const {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out = "# konto abonent klucz\n";
    for (const auto& [name, a] : accounts_) {
        out += name + " " + std::to_string(a.subscriber) + " ";
        if (a.key.empty()) {
            out += "-";
        } else {
            for (uint8_t b : a.key) {
                out.push_back(digits[b >> 4]);
                out.push_back(digits[b & 0x0F]);
            }
        }
        out += "\n";
    }
    return out;
}

std::string Dc09AccountTable::keyHint(const Dc09Account& a) {
    if (a.key.empty()) return "bez klucza";
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string tail;
    for (size_t i = a.key.size() - 2; i < a.key.size(); ++i) {
        tail.push_back(digits[a.key[i] >> 4]);
        tail.push_back(digits[a.key[i] & 0x0F]);
    }
    return "AES-" + std::to_string(a.key.size() * 8) + " ...." + tail;
}

bool Dc09AccountTable::load(const DataDir& dir, std::string* error, std::vector<int>* badLines) {
    accounts_.clear();
    const std::string path = dir.file(kFileName);
    if (!fileExists(path)) return true;
    std::string data;
    if (!readWholeFile(path, data, error)) return false;
    const auto bad = parse(data);
    if (badLines) *badLines = bad;
    return true;
}

bool Dc09AccountTable::save(const DataDir& dir, std::string* error) const {
    const std::string path = dir.file(kFileName);
    // The replacement takes the mode of the file it replaces: a new file is
    // made 0600 first, an old one is set to 0600 in case a hand made it wider.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0) {
        ::fchmod(fd, 0600);
        ::close(fd);
    }
    if (!replaceFileDurably(path, text(), error)) return false;
    ::chmod(path.c_str(), 0600);
    return true;
}

Dc09Settings Dc09Settings::load(const DataDir& dir) {
    Dc09Settings s;
    std::string data;
    if (readWholeFile(dir.file(kFileName), data, nullptr)) {
        eachLine(data, [&](int, const std::vector<std::string_view>& w) {
            if (w.size() != 2) return;
            if (w[0] == "port") {
                unsigned port = 0;
                const auto [ptr, ec] = std::from_chars(w[1].data(), w[1].data() + w[1].size(), port);
                if (ec == std::errc{} && ptr == w[1].data() + w[1].size() && port <= 65535)
                    s.port = static_cast<uint16_t>(port);
            } else if (w[0] == "unknown") {
                if (w[1] == "refuse") s.refuseUnknownAccounts = true;
                if (w[1] == "receive") s.refuseUnknownAccounts = false;
            }
        });
    }
    if (const char* env = std::getenv("KESTREL4_DC09_PORT")) {
        unsigned port = 0;
        const std::string_view v(env);
        const auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), port);
        if (ec == std::errc{} && ptr == v.data() + v.size() && port <= 65535) s.port = static_cast<uint16_t>(port);
    }
    return s;
}

} // namespace k4
