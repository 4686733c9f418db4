#include "admin/admin_commands.h"

#include "admin/admin_lock.h"

#include "config/config.h"
#include "config/param_sys.h"
#include "database/text_edge.h"
#include "platform/data_dir.h"

#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>

namespace k4::admin {

namespace {

std::string fieldText(const char* field, size_t size) {
    return Utf8FromMazovia(std::string(field, strnlen(field, size)));
}

std::string hex(const uint8_t* bytes, size_t size) {
    std::string text;
    char part[4];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(part, sizeof part, i ? " %02X" : "%02X", bytes[i]);
        text += part;
    }
    return text;
}

std::string ipv4(const uint8_t* octets) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", octets[0], octets[1], octets[2], octets[3]);
    return text;
}

std::string bits(unsigned value, std::initializer_list<std::pair<unsigned, const char*>> names) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    std::string out = text;
    for (const auto& [bit, name] : names)
        if (value & bit) out += std::string(" [") + name + "]";
    return out;
}

const char* modeName(int mode) {
    switch (mode) {
    case 0: return "Standard";
    case 1: return "Nadawcza";
    case 2: return "Odbiorcza";
    case 3: return "Std/Odb";
    default: return "nieznany";
    }
}

void printBlock(const ConfigBlock& b, std::ostream& out) {
    auto line = [&](const char* name, const std::string& value) {
        out << name << " = " << value << '\n';
    };
    auto num = [&](const char* name, long value) { line(name, std::to_string(value)); };

    line("mode", std::to_string(b.mode) + " (" + modeName(b.mode) + ")");
    num("event_printer", b.event_printer);
    num("report_printer", b.report_printer);
    num("inter_port", b.inter_port);
    num("data_port", b.data_port);
    num("base1_port", b.base1_port);
    num("base2_port", b.base2_port);
    num("base1_speed", b.base1_speed);
    num("base2_speed", b.base2_speed);
    num("send_speed", b.send_speed);
    num("event_cp", b.event_cp);
    num("report_cp", b.report_cp);
    line("super_pass", hex(b.super_pass, sizeof b.super_pass) + " (zakodowane)");
    line("periods", "tk " + std::to_string(b.periods.tk) + " tkr " + std::to_string(b.periods.tkr) +
                        " min, tr " + std::to_string(b.periods.tr) + " trr " +
                        std::to_string(b.periods.trr) + " s, ts " + std::to_string(b.periods.ts) +
                        " tsr " + std::to_string(b.periods.tsr) + " s, tg " +
                        std::to_string(b.periods.tg) + " tgr " + std::to_string(b.periods.tgr) +
                        " min");
    num("periods_irregular", b.periods_irregular);
    line("base_dir", fieldText(b.base_dir, sizeof b.base_dir));
    line("recv_ip", ipv4(reinterpret_cast<const uint8_t*>(&b.recv_ip)));
    num("recv_mark", b.recv_mark);
    num("repeat_delay", b.repeat_delay);
    num("synopt_port", b.synopt_port);
    num("send_delay", b.send_delay);
    num("recv_delay", b.recv_delay);
    num("no_line_delay", b.no_line_delay);
    line("options", bits(b.options, {{kOptGsmNew, "GSM nowy"},
                                     {kOptOtrNew, "OTR nowy"},
                                     {kOptBlockRepeatedAlarms, "Blok wielok. al."},
                                     {kOptLinkReduced, "Link NA"},
                                     {kOptNoIncompleteCheck, "Brak Niepełnych"},
                                     {kOptTestTypeAA, "Typ testu (AA)"},
                                     {kOptInternalConverter, "Konw. wewn."}}));
    line("options2", bits(b.options2, {{kOpt2BlockBase1Test, "Blokada testu RS bazy 1"},
                                       {kOpt2BlockBase2Test, "Blokada testu RS bazy 2"}}));
    line("town", fieldText(b.town, sizeof b.town));
    num("holiday_date", b.holiday_date);
    num("holiday_flag", b.holiday_flag);
    for (int i = 0; i < kToneProfiles; ++i) {
        std::string name = "tones[" + std::to_string(i) + "]";
        line(name.c_str(), hex(b.tones[i], kToneProfileSize));
    }
    num("packet_supervision", b.packet_supervision);
    num("autosave_flags", b.autosave_flags);
    line("autosave_dir", fieldText(b.autosave_dir, sizeof b.autosave_dir));
    num("time_adjust", b.time_adjust);
    std::string codes;
    for (int i = 0; i < kSpecialCodes; ++i) {
        char code[8];
        std::snprintf(code, sizeof code, i ? " %03X" : "%03X", b.special_codes[i] & 0xFFFF);
        codes += code;
    }
    line("special_codes", codes);
    for (int i = 0; i < kBaseEntries; ++i) {
        const BaseEntry& e = b.bases[i];
        char text[320];
        std::snprintf(text, sizeof text,
                      "flags 0x%02X name \"%s\" rsLink %u radio 0x%02X trSubscriber %u trAlarm %u "
                      "gsmNumber \"%s\" gprsAddress %s gsmParam %u tgSubscriber %u tgAlarm %u "
                      "ethAddress %s ethParam %u teSubscriber %u teAlarm %u",
                      e.flags, fieldText(e.name, sizeof e.name).c_str(), e.rsLink, e.radio,
                      unsigned(e.trSubscriber), e.trAlarm, std::string(e.gsmNumber, strnlen(e.gsmNumber, sizeof e.gsmNumber)).c_str(),
                      ipv4(e.gprsAddress).c_str(), e.gsmParam, unsigned(e.tgSubscriber), e.tgAlarm,
                      ipv4(e.ethAddress).c_str(), e.ethParam, unsigned(e.teSubscriber), e.teAlarm);
        std::string name = "bases[" + std::to_string(i) + "]";
        line(name.c_str(), text);
    }
}

} // namespace

int confShowCommand(const Args& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && args[0] == "--help") {
        out << "kestrel4-admin conf show [KATALOG]\n"
               "  Wypisuje każde pole pliku conf z nazwą i wartością, potem parametry systemu.\n";
        return 0;
    }
    if (args.size() > 1) {
        err << "conf show: za dużo argumentów\n";
        return 2;
    }
    noteLiveDirectory(args.empty() ? "." : args[0], err);
    DataDir dir(args.empty() ? "." : args[0]);
    Config config(dir);
    if (config.LoadConfig(1) != 0) {
        err << "conf show: nie można wczytać " << config.path() << ": " << config.lastError() << '\n';
        return 1;
    }
    if (config.loadedPreviousLayout())
        out << "# conf w układzie poprzedniej wersji (979 B), pokazany po przekształceniu\n";
    printBlock(config.block(), out);
    out << "\n# Parametry systemu\n";
    for (const auto& text : ParamSys(config.block(), dir).lines()) out << Utf8FromMazovia(text) << '\n';
    return 0;
}

} // namespace k4::admin
