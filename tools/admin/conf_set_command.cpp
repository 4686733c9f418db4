#include "admin/admin_commands.h"

#include "admin/admin_lock.h"
#include "config/config.h"
#include "platform/data_dir.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <ostream>
#include <string>

namespace k4::admin {

namespace {

// The fields a technician sets when the station goes onto its lines: the
// mode, the ports and speeds, the repeat delay and the option bits. The
// rest of the block belongs to the parameter window.
struct Settable {
    const char* name;
    long low, high;
    void (*assign)(ConfigBlock&, long);
    // Only the line speeds the bases run at, not any number between.
    bool speed = false;
};

// What the configuration window offers: COM1 to COM4 (0 "BRAK" for a base),
// and the base speeds 2400, 4800 and 9600.
constexpr long kSpeeds[] = {2400, 4800, 9600};

const Settable kSettable[] = {
    {"mode", 0, 3, [](ConfigBlock& b, long v) { b.mode = static_cast<int16_t>(v); }},
    {"event_printer", 0, 99, [](ConfigBlock& b, long v) { b.event_printer = static_cast<int16_t>(v); }},
    {"report_printer", 0, 99, [](ConfigBlock& b, long v) { b.report_printer = static_cast<int16_t>(v); }},
    {"inter_port", 1, 4, [](ConfigBlock& b, long v) { b.inter_port = static_cast<int16_t>(v); }},
    {"data_port", 1, 4, [](ConfigBlock& b, long v) { b.data_port = static_cast<int16_t>(v); }},
    {"base1_port", 0, 4, [](ConfigBlock& b, long v) { b.base1_port = static_cast<int16_t>(v); }},
    {"base2_port", 0, 4, [](ConfigBlock& b, long v) { b.base2_port = static_cast<int16_t>(v); }},
    {"base1_speed", 2400, 9600, [](ConfigBlock& b, long v) { b.base1_speed = static_cast<int16_t>(v); }, true},
    {"base2_speed", 2400, 9600, [](ConfigBlock& b, long v) { b.base2_speed = static_cast<int16_t>(v); }, true},
    {"send_speed", 2400, 9600, [](ConfigBlock& b, long v) { b.send_speed = static_cast<int16_t>(v); }, true},
    {"synopt_port", -1, 4, [](ConfigBlock& b, long v) { b.synopt_port = static_cast<int8_t>(v); }},
    {"repeat_delay", 0, 255, [](ConfigBlock& b, long v) { b.repeat_delay = static_cast<uint8_t>(v); }},
    {"options", 0, 255, [](ConfigBlock& b, long v) { b.options = static_cast<uint8_t>(v); }},
    {"options2", 0, 255, [](ConfigBlock& b, long v) { b.options2 = static_cast<uint8_t>(v); }},
};

const Settable* findSettable(const std::string& name) {
    for (const Settable& s : kSettable)
        if (name == s.name) return &s;
    return nullptr;
}

bool parseValue(const std::string& text, long& value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    auto [end, ec] = std::from_chars(first, last, value, hex ? 16 : 10);
    return ec == std::errc() && end == last && first != last;
}

} // namespace

int confSetCommand(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.empty() || args[0] == "--help") {
        (args.empty() ? err : out) << "kestrel4-admin conf set POLE=WARTOŚĆ... [KATALOG]\n"
                                      "  Ustawia pola pliku conf: ";
        for (const Settable& s : kSettable) (args.empty() ? err : out) << s.name << ' ';
        (args.empty() ? err : out) << "\n  Wartość dziesiętnie albo 0x... szesnastkowo.\n";
        return args.empty() ? 2 : 0;
    }
    std::string dirName = ".";
    std::vector<std::pair<const Settable*, long>> changes;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const size_t eq = arg.find('=');
        if (eq == std::string::npos) {
            if (i + 1 != args.size()) {
                err << "conf set: oczekiwano POLE=WARTOŚĆ, jest " << arg << '\n';
                return 2;
            }
            dirName = arg;
            continue;
        }
        const Settable* field = findSettable(arg.substr(0, eq));
        long value = 0;
        if (!field) {
            err << "conf set: nieznane pole " << arg.substr(0, eq) << '\n';
            return 2;
        }
        const bool parsed = parseValue(arg.substr(eq + 1), value);
        const bool listed = !field->speed || std::find(std::begin(kSpeeds), std::end(kSpeeds), value) != std::end(kSpeeds);
        if (!parsed || value < field->low || value > field->high || !listed) {
            err << "conf set: " << field->name << " przyjmuje ";
            if (!field->speed) {
                err << field->low << ".." << field->high;
            } else {
                for (long allowed : kSpeeds) err << (allowed == kSpeeds[0] ? "" : ", ") << allowed;
            }
            err << '\n';
            return 2;
        }
        changes.emplace_back(field, value);
    }
    WriteLock lock;
    if (!lock.take(dirName, err)) return kRefusedByLock;
    DataDir dir(dirName);
    Config config(dir);
    if (config.LoadConfig(1) != 0) {
        err << "conf set: nie można wczytać " << config.path() << ": " << config.lastError() << '\n';
        return 1;
    }
    for (const auto& change : changes) change.first->assign(config.block(), change.second);
    if (config.SaveConfig(1) != 0) {
        err << "conf set: nie można zapisać " << config.path() << ": " << config.lastError() << '\n';
        return 1;
    }
    for (const auto& change : changes) out << change.first->name << " = " << change.second << '\n';
    return 0;
}

} // namespace k4::admin
