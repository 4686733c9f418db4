#include "sim/module_blocks_sim.h"

#include <cstdio>

namespace k4::sim {

namespace {

// Nibbles, high half first, into bytes.
std::vector<uint8_t> pack(const std::vector<int>& nibbles, size_t length) {
    std::vector<uint8_t> bytes(length, 0);
    for (size_t k = 0; k < nibbles.size() && k / 2 < length; ++k)
        bytes[k / 2] |= static_cast<uint8_t>((nibbles[k] & 0x0F) << (k % 2 == 0 ? 4 : 0));
    return bytes;
}

void digits(std::vector<int>& out, int value, int count, int base) {
    std::vector<int> d(static_cast<size_t>(count));
    for (int i = count - 1; i >= 0; --i) {
        d[static_cast<size_t>(i)] = value % base;
        value /= base;
    }
    out.insert(out.end(), d.begin(), d.end());
}

void chars(std::vector<uint8_t>& out, int value, int count) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", count, value);
    out.insert(out.end(), text, text + count);
}

std::vector<uint8_t> phoneDigits(const std::string& phone) {
    std::string p = phone.size() >= 9 ? phone.substr(phone.size() - 9) : std::string(9 - phone.size(), '0') + phone;
    std::vector<uint8_t> out;
    for (char c : p) out.push_back(static_cast<uint8_t>(c - '0'));
    return out;
}

std::vector<uint8_t> standard(int first, int subscriber, int subsystem, int code, int sector) {
    std::vector<int> n{first};
    digits(n, subscriber, 4, 10);
    // The scenario's digits as written, also where the block reads them as
    // decimal.
    digits(n, subsystem & 0xFF, 2, 16);
    digits(n, code & 0xFF, 2, 16);
    digits(n, sector & 0xFFF, 3, 16);
    return pack(n, 6);
}

std::vector<uint8_t> gsmHeader(const std::string& phone, int subscriber, int chunks) {
    std::vector<uint8_t> b(16 * (chunks + 1), 0);
    b[0] = static_cast<uint8_t>(chunks);
    const auto p = phoneDigits(phone);
    for (size_t i = 0; i < 9; ++i) b[1 + i] = p[i];
    for (int i = 3, v = subscriber; i >= 0; --i, v /= 10) b[10 + static_cast<size_t>(i)] = static_cast<uint8_t>(v % 10);
    return b;
}

std::vector<uint8_t> gprs(int type, int subscriber, int subsystem, int code, int sector) {
    std::vector<uint8_t> b(17, 0);
    b[0] = 17;
    b[1] = 10, b[2] = 0, b[3] = 0, b[4] = 1;
    b[5] = static_cast<uint8_t>(type);
    std::vector<int> n;
    digits(n, subscriber, 4, 10);
    const auto s = pack(n, 2);
    b[7] = s[0], b[8] = s[1];
    b[9] = static_cast<uint8_t>(subsystem);
    std::vector<int> cs;
    digits(cs, code & 0xFFF, 3, 16);
    digits(cs, sector & 0xFFF, 3, 16);
    const auto packed = pack(cs, 3);
    b[10] = packed[0], b[11] = packed[1], b[12] = packed[2];
    return b;
}

int bcd(const std::vector<uint8_t>& b, size_t at) {
    return ((b[at] >> 4) * 1000) + ((b[at] & 0x0F) * 100) + ((b[at + 1] >> 4) * 10) + (b[at + 1] & 0x0F);
}

std::string packedPhone(const std::vector<uint8_t>& b) {
    std::string text;
    for (size_t k = 0; k < 9 && k / 2 < b.size(); ++k) {
        const int d = k % 2 == 0 ? b[k / 2] >> 4 : b[k / 2] & 0x0F;
        if (d == 0xF) break;
        text += d == 0xE ? ':' : static_cast<char>('0' + d);
    }
    return text;
}

} // namespace

SimBlock simReportBlock(int kind, int subscriber, int code, int subsystem, int sector, const std::string& phone) {
    SimBlock block;
    switch (kind) {
    case 0x10:
    case 0x40:
        if (code <= 0xFF) {
            block.bytes = standard(0, subscriber, subsystem, code, sector);
            break;
        }
        // A code of three digits needs the extended block.
        block.status = 4;
        block.bytes = {0, static_cast<uint8_t>(subscriber / 1000 % 10), static_cast<uint8_t>(subscriber / 100 % 10),
                       static_cast<uint8_t>(subscriber / 10 % 10), static_cast<uint8_t>(subscriber % 10)};
        chars(block.bytes, code, 3);
        chars(block.bytes, subsystem, 2);
        chars(block.bytes, sector, 3);
        block.bytes.resize(15, 0);
        break;
    case 0xA0: {
        std::vector<uint8_t>& b = block.bytes;
        b.push_back(15);
        b.push_back(0x11);
        b.push_back('2');
        char text[8];
        std::snprintf(text, sizeof text, "%04d", subscriber);
        b.insert(b.end(), text, text + 4);
        b.push_back(0x14);
        chars(b, code, 3);
        chars(b, subsystem, 2);
        chars(b, sector, 3);
        break;
    }
    case 0x50: {
        std::vector<int> n{0};
        digits(n, subscriber, 4, 10);
        for (size_t i = 1; i < 5; ++i)
            if (n[i] == 0) n[i] = 0xA; // the receiver sends a digit 0 as 0xA
        digits(n, code & 0xFF, 2, 16);
        block.bytes = pack(n, 6);
        break;
    }
    case 0x70: {
        // A Contact Id message: account, 18, qualifier, event, group, zone.
        const bool restore = code >= 0x800;
        const int e = ((code >> 8) & 0x0F) - (restore ? 8 : 0);
        std::vector<int> n{0, 2};
        digits(n, subscriber, 4, 10);
        n.push_back(1), n.push_back(8);
        n.push_back(restore ? 3 : 1);
        n.push_back(e);
        n.push_back((code >> 4) & 0x0F), n.push_back(code & 0x0F);
        digits(n, subsystem & 0xFF, 2, 16);
        digits(n, sector & 0xFFF, 3, 16);
        n.push_back(5);
        for (size_t i = 2; i < n.size(); ++i)
            if (n[i] == 0) n[i] = 0xA;
        block.bytes = pack(n, 10);
        break;
    }
    case 0x80:
    case 0x90: {
        block.bytes = gsmHeader(phone, subscriber, 1);
        std::vector<uint8_t> record{3};
        chars(record, code, 3);
        chars(record, subsystem, 2);
        chars(record, sector, 3);
        std::copy(record.begin(), record.end(), block.bytes.begin() + 16);
        break;
    }
    case 0xB0: block.bytes = gprs(10, subscriber, subsystem, code, sector); break;
    default: block.bytes = standard(0, subscriber, subsystem, code, sector); break;
    }
    return block;
}

SimBlock simProbeAnswer(int kind, int subscriber, int order, const std::string& phone) {
    SimBlock block;
    switch (kind) {
    case 0x80:
    case 0x90: {
        block.bytes = gsmHeader(phone, subscriber, 1);
        const uint8_t record[] = {1, 0, 9, static_cast<uint8_t>(order >> 4), static_cast<uint8_t>(order & 0x0F), 0, 0, 0};
        std::copy(std::begin(record), std::end(record), block.bytes.begin() + 16);
        break;
    }
    case 0xB0: block.bytes = gprs(32, subscriber, 5, order, 0); break;
    default: block.bytes = standard(1, subscriber, 0, 0, order); break;
    }
    return block;
}

SimBlock simBareCall(const std::string& phone) {
    SimBlock block;
    block.bytes = gsmHeader(phone, 0, 0);
    for (size_t i = 10; i < 14; ++i) block.bytes[i] = 0;
    return block;
}

SimBlock simGsmConfirmation(const std::string& baseNumber, int subscriber, int gsmParam) {
    SimBlock block;
    block.status = 5;
    block.bytes = gsmHeader(baseNumber, subscriber, 0);
    block.bytes[15] = static_cast<uint8_t>(gsmParam);
    return block;
}

SimGsmForward readGsmForward(const std::vector<uint8_t>& order) {
    SimGsmForward f;
    if (order.size() < 7) return f;
    f.number = packedPhone(order);
    f.gsmParam = order[4] & 0x0F;
    f.subscriber = bcd(order, 5);
    return f;
}

int simOrderLength(int kind, int mode, const std::vector<uint8_t>& soFar) {
    switch (kind) {
    case 0x10:
    case 0x40:
    case 0xA0: return mode == 3 ? 15 : 3;
    case 0x90:
        if (soFar.size() < 5) return 0;
        return (soFar[4] & 0x0F) == 0x0F ? 6 : 11;
    case 0xB0: return soFar.empty() ? 0 : soFar[0];
    default: return 6;
    }
}

SimOrder readSimOrder(int kind, int mode, const std::vector<uint8_t>& order) {
    SimOrder o;
    switch (kind) {
    case 0x10:
    case 0x40:
    case 0xA0:
        if (mode == 2 && order.size() >= 3) {
            o.subscriber = bcd(order, 0);
            o.code = order[2];
        }
        break;
    case 0xB0:
        if (order.size() >= 10) {
            o.subscriber = bcd(order, 7);
            o.code = order[9];
        }
        break;
    default:
        if (order.size() >= 6) {
            o.phone = packedPhone(order);
            o.code = order[5];
        }
        break;
    }
    return o;
}

} // namespace k4::sim
