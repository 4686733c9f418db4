#include "config/config_form.h"

#include "config/config.h"
#include "config/start_config.h"
#include "database/text_edge.h"
#include "messages/messages.h"
#include "platform/file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace k4 {

namespace {

constexpr uint8_t kOptGsm = 0x01, kOptOtr = 0x02, kOptMultiBlock = 0x08, kOptLinkNa = 0x10,
                  kOptNoIncomplete = 0x20, kOptTestAA = 0x40, kOptInnerConv = 0x80;

int speedIndex(int speed) {
    const int index = speed / 2400 / 2;
    return index < 0 ? 0 : index > 2 ? 2 : index;
}
int speedOf(int index) { return 2400 << index; }
int clampChoice(int value, int high) { return value < 0 ? 0 : value > high ? high : value; }

// An edit's number, or the fallback when it is empty or not a number.
int numberOr(const std::string& text, int fallback) {
    if (text.empty()) return fallback;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0') return fallback;
    return static_cast<int>(v);
}

std::string fieldText(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

void putText(char* field, size_t size, const std::string& text) {
    std::memset(field, 0, size);
    std::memcpy(field, text.data(), std::min(text.size(), size - 1));
}

bool usesInnerConversion(int tab) { return tab == kTabStandard || tab == kTabStdRecv; }

} // namespace

std::string intToIp(uint32_t value) {
    char text[20];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", value >> 24, (value >> 16) & 0xFF, (value >> 8) & 0xFF,
                  value & 0xFF);
    return text;
}

uint32_t ipToInt(const std::string& dotted) {
    uint32_t value = 0;
    size_t at = 0;
    for (int k = 0; k < 4; ++k) {
        const size_t dot = dotted.find('.', at);
        std::string octet = dotted.substr(at, dot == std::string::npos ? std::string::npos : dot - at);
        while (!octet.empty() && octet.front() == ' ') octet.erase(0, 1);
        while (!octet.empty() && octet.back() == ' ') octet.pop_back();
        const int n = numberOr(octet, 0);
        value = (value << 8) | static_cast<uint32_t>(n < 0 || n > 255 ? 0 : n);
        at = dot == std::string::npos ? dotted.size() : dot + 1;
    }
    return value;
}

std::string correctedRepeatDelay(const std::string& text) {
    const int n = numberOr(text, -1);
    return n < 0 || n > 255 ? std::string("60") : text;
}

ConfigFormState ConfigFormState::fromBlock(const ConfigBlock& b) {
    ConfigFormState s;
    s.interPort = clampChoice(b.inter_port - 1, 3);
    s.dataPort = clampChoice(b.data_port - 1, 3);
    s.speed1 = speedIndex(b.base1_speed);
    s.speed2 = speedIndex(b.base2_speed);
    s.gsm = b.options & kOptGsm;
    s.otr = b.options & kOptOtr;
    s.noIncomplete = b.options & kOptNoIncomplete;
    s.linkNa = b.options & kOptLinkNa;
    s.multiAlarmBlock = b.options & kOptMultiBlock;
    s.recvDelay = std::to_string(b.recv_delay);
    s.sendDelay = std::to_string(b.send_delay);
    s.noLineDelay = std::to_string(b.no_line_delay);
    s.repeatDelay = std::to_string(b.repeat_delay);
    s.autosave = b.autosave_flags & 1;
    s.autosaveDir = fieldText(b.autosave_dir, sizeof b.autosave_dir);
    s.town = fieldText(b.town, sizeof b.town);
    s.recvIp = intToIp(static_cast<uint32_t>(b.recv_ip.value()));
    s.recvMarkF = b.recv_mark == 15;
    s.layOutTab(clampChoice(b.mode, 3), b);
    return s;
}

void ConfigFormState::layOutTab(int newTab, const ConfigBlock& b) {
    tab = newTab;
    optionBox = b.options & (usesInnerConversion(tab) ? kOptInnerConv : kOptTestAA);
    if (tab == kTabReceiving) {
        base1 = clampChoice(b.data_port, 4);
        base2 = clampChoice(b.base2_port, 4);
        speed2 = speedIndex(b.base2_speed);
        synopt = false;
        return;
    }
    base1 = clampChoice(b.base1_port, 4);
    if (b.synopt_port != 0) {
        synopt = true;
        base2 = b.synopt_port < 0 ? 0 : clampChoice(b.synopt_port, 4);
        speed2 = 2;
    } else {
        synopt = false;
        base2 = clampChoice(b.base2_port, 4);
    }
}

void ConfigFormState::applyTo(ConfigBlock& c) const {
    c.mode = static_cast<int16_t>(tab);
    if (tab == kTabReceiving) {
        c.data_port = static_cast<int16_t>(base1);
    } else {
        c.inter_port = static_cast<int16_t>(interPort + 1);
        c.data_port = static_cast<int16_t>(dataPort + 1);
    }
    if (tab == kTabSending || tab == kTabStdRecv) c.base1_port = static_cast<int16_t>(base1);
    if (tab == kTabSending || tab == kTabReceiving) {
        c.base2_port = static_cast<int16_t>(base2);
        c.base1_speed = static_cast<int16_t>(speedOf(speed1));
        c.base2_speed = static_cast<int16_t>(speedOf(speed2));
    }
    if (tab == kTabStdRecv) c.base1_speed = static_cast<int16_t>(speedOf(speed1));

    uint8_t o = c.options;
    auto set = [&o](uint8_t bit, bool on) { o = static_cast<uint8_t>(on ? (o | bit) : (o & ~bit)); };
    set(kOptGsm, gsm);
    set(kOptOtr, otr);
    set(usesInnerConversion(tab) ? kOptInnerConv : kOptTestAA, optionBox);
    set(kOptNoIncomplete, noIncomplete);
    set(kOptLinkNa, linkNa);
    set(kOptMultiBlock, multiAlarmBlock);
    c.options = o;

    c.recv_delay = static_cast<uint8_t>(numberOr(recvDelay, 3));
    c.send_delay = static_cast<uint8_t>(numberOr(sendDelay, 5));
    c.no_line_delay = static_cast<int16_t>(numberOr(noLineDelay, 15));
    c.repeat_delay = static_cast<uint8_t>(numberOr(repeatDelay, 60));

    c.autosave_flags = static_cast<uint16_t>(autosave ? (c.autosave_flags | 1) : (c.autosave_flags & ~1));
    if (autosave) putText(c.autosave_dir, sizeof c.autosave_dir, autosaveDir);
    putText(c.town, sizeof c.town, town);
    c.recv_ip = static_cast<int32_t>(ipToInt(recvIp));
    c.recv_mark = recvMarkF ? 15 : 0;

    if (synopt) {
        c.synopt_port = static_cast<int8_t>(base2 == 0 ? -1 : base2);
        c.base2_port = 0;
        c.base2_speed = 9600;
    } else {
        c.synopt_port = 0;
    }
}

std::array<uint8_t, 12> menusBytes(const MenuChecks& menus) {
    std::array<uint8_t, 12> bytes{};
    for (size_t m = 0; m < menus.size() && m < 5; ++m) {
        bool anyChecked = false;
        uint8_t mask = 0;
        for (size_t i = 0; i < menus[m].size(); ++i) {
            anyChecked = anyChecked || menus[m][i];
            // One byte a menu: only the first eight items can be locked.
            if (i < 8 && !menus[m][i]) mask = static_cast<uint8_t>(mask | (1u << i));
        }
        bytes[m] = anyChecked ? 0 : 1;
        bytes[6 + m] = mask;
    }
    return bytes;
}

MenuChecks checksOf(const std::vector<MenuCopyTop>& menus) {
    MenuChecks checks;
    for (const MenuCopyTop& top : menus) {
        checks.emplace_back();
        for (const MenuCopyItem& item : top.items) checks.back().push_back(item.checked);
    }
    return checks;
}

bool writeMenus(const DataDir& dir, const MenuChecks& menus) {
    const std::array<uint8_t, 12> bytes = menusBytes(menus);
    return replaceFileDurably(dir.file("menus"), std::string_view(reinterpret_cast<const char*>(bytes.data()), 12),
                              nullptr);
}

bool portSettingsDiffer(const ConfigBlock& a, const ConfigBlock& b) {
    return a.mode != b.mode || a.inter_port != b.inter_port || a.data_port != b.data_port ||
           a.base1_port != b.base1_port || a.base2_port != b.base2_port || a.base1_speed != b.base1_speed ||
           a.base2_speed != b.base2_speed || a.synopt_port != b.synopt_port;
}

bool applyWorkingCopy(Config& config, const ConfigBlock& copy, SerialStartStep& serial, PathTypeTable& pathTypes,
                      Messages& messages) {
    ConfigBlock& live = config.block();
    if (std::memcmp(&copy, &live, sizeof copy) == 0) return false;
    const char* saveFault = "\x03" "zapisu konfiguracji. Konieczne ponowne uruchomienie programu";
    if (!portSettingsDiffer(copy, live)) {
        live = copy;
        if (config.SaveConfig(1) != 0) messages.ShowNotice(mz(saveFault), kNoticeError);
        serial.setLinkDelays(live.send_delay, live.recv_delay);
        return false;
    }
    serial.closeSerialPorts(live);
    live = copy;
    const int started = StartConfig(config, 0, serial, pathTypes);
    if (started != kStartConfigOk) {
        // The old settings come back from the file, with their ports.
        config.LoadConfig(1);
        StartConfig(config, 0, serial, pathTypes);
        if (started == kStartConfigPortsFailed)
            messages.ShowNotice(mz("Błąd konfiguracji RS"), kNoticeInfo);
        else
            messages.ShowNotice(mz("\n\nNiepoprawna inicjalizacja programu\n"), kNoticeInfo);
        return false;
    }
    // The lines are the new ones now, saved or not: the paths on them must
    // be rebuilt either way, or they would poll through ports that moved.
    if (config.SaveConfig(1) != 0) messages.ShowNotice(mz(saveFault), kNoticeError);
    serial.setLinkDelays(live.send_delay, live.recv_delay);
    return true;
}

} // namespace k4
