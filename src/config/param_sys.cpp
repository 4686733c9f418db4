#include "config/param_sys.h"

#include "config/version.h"
#include "database/text_edge.h"

#include <cstdarg>
#include <cstdio>

namespace k4 {

namespace {

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...) {
    char buffer[256];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buffer, sizeof buffer, fmt, args);
    va_end(args);
    return buffer;
}

} // namespace

std::string freeSpaceText(const std::string& volume, uint64_t freeBytes) {
    const long kb = static_cast<long>(freeBytes / 1024);
    if (kb < 999999) return format("%s %ld KB", volume.c_str(), kb);
    return format("%s %ld MB", volume.c_str(), kb / 1024);
}

ParamSys::ParamSys(const ConfigBlock& b, const DataDir& dir) {
    auto add = [this](std::string line) { lines_.push_back(std::move(line)); };
    const int mode = b.mode;

    switch (mode) {
    case 0: add(format("%s %s (%d.%d.%d)", "BAZA", mz("ZWYKŁA").c_str(), kVersionMajor, kVersionMinor, kVersionRelease)); break;
    case 1: add(format("%s %s (%d.%d.%d)", "BAZA", "NADAWCZA", kVersionMajor, kVersionMinor, kVersionRelease)); break;
    case 2: add(format("%s %s (%d.%d.%d)", "BAZA", "ODBIORCZA", kVersionMajor, kVersionMinor, kVersionRelease)); break;
    case 3: add(format("%s (%d.%d.%d)", "KONCENTRATOR", kVersionMajor, kVersionMinor, kVersionRelease)); break;
    default: break;
    }

    if (mode == 0 || mode == 1) {
        add(format("Port interface'u: COM%d 9600", int(b.inter_port)));
        add(format("Port danych     : COM%d 9600", int(b.data_port)));
        if (mode == 1) {
            if (b.base2_port) {
                add(format("Port nadawczy  1: COM%d %d", int(b.base1_port), int(b.base1_speed)));
                add(format("Port nadawczy  2: COM%d %d", int(b.base2_port), int(b.base2_speed)));
            } else if (b.base1_port) {
                add(format("Port nadawczy   : COM%d %d", int(b.base1_port), int(b.base1_speed)));
            }
        }
    } else if (mode == 2) {
        if (b.base2_port) {
            add(format("Port odbiorczy 1: COM%d %d", int(b.data_port), int(b.base1_speed)));
            add(format("Port odbiorczy 2: COM%d %d", int(b.base2_port), int(b.base2_speed)));
        } else {
            add(format("Port odbiorczy : COM%d %d", int(b.data_port), int(b.base1_speed)));
        }
    } else if (mode == 3) {
        add(format("Port odbiorczy 1: COM%d %d", int(b.data_port), int(b.base1_speed)));
        add(format("Port odbiorczy 2: COM%d %d", int(b.inter_port), int(b.base2_speed)));
        if (b.base1_port) add(format("Port nadawczy   : COM%d %d", int(b.base1_port), int(b.send_speed)));
    }

    if (mode == 0 || mode == 1) {
        add(std::string("Wersja GSM      : ") + ((b.options & kOptGsmNew) ? "nowa" : "stara"));
        add(std::string("Wersja OTR      : ") + ((b.options & kOptOtrNew) ? "nowa" : "stara"));
    }

    add(format("Param. odb.     : %d", b.recv_delay));
    if (mode == 1 || mode == 2) add(format("Param. nad.     : %d", b.send_delay));

    if (mode == 0 || mode == 1)
        add("Pakiet LINK - " + mz("Obsługa") + ((b.options & kOptLinkReduced) ? std::string("  LNA ") : mz(" pełna")));

    if (auto free = dir.freeBytes())
        add("Miejsce na dysku: " + freeSpaceText(dir.volumeName(), *free));
}

} // namespace k4
