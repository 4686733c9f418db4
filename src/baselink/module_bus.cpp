#include "baselink/module_bus.h"

#include "database/text_edge.h"

#include <algorithm>

namespace k4 {

namespace {
constexpr int kNoAnswer = 0xFFFF;
constexpr int kChunk = 16;
constexpr int kMaxChunks = 10;
} // namespace

bool isModuleType(uint8_t byte) { return byte >= 0x10 && byte <= 0xB0 && (byte & 0x0F) == 0; }

ModuleBus::ModuleBus(const Services& services) : s_(services) {}

int ModuleBus::SelectModule(int slot) {
    if (slot > 6 || slot < 0) return 1;
    if (!interfacePort().writeByte(static_cast<uint8_t>(slot + 1))) return kNoAnswer;
    const auto status = interfacePort().readByte();
    return status ? *status : kNoAnswer;
}

bool ModuleBus::drainTraced(SerialLine& line, int slot, int expectedType, bool dataSide) {
    int count = 0;
    while (count < 100) {
        const auto byte = line.readByte();
        if (!byte) break;
        ++count;
        if (dataSide)
            s_.trace.Trace("diff %d: r:%x s:%x", count, static_cast<unsigned>(expectedType), *byte);
        else
            s_.trace.Trace("pakiet %d - %X ", slot, *byte);
    }
    if (count < 100) return false;
    s_.messages.ShowNotice(checkPacketsGuard_, mz("\x03Konieczne sprawdzenie pakietów"), kNoticeInfo);
    return true;
}

int ModuleBus::CheckModule(int slot, int expectedType) {
    if (slot > 6) return 0;
    const int status = SelectModule(slot);
    if (status == kNoAnswer || !(status & 1)) {
        drainTraced(interfacePort(), slot, expectedType, false);
        return -1;
    }
    if (expectedType == -1) return 0;
    dataPort().clearInput();
    if (!dataPort().writeByte(0x00)) return -1;
    const auto type = dataPort().readByte();
    if (type && *type == expectedType) return 0;
    drainTraced(dataPort(), slot, expectedType, true);
    return -1;
}

int ModuleBus::answerBlock(int count, uint8_t sum, bool storeChecksums, int received, const BlockGate& gate) {
    SerialLine& data = dataPort();
    const auto checksum = data.readByte();
    if (!checksum) return 0x20;
    if (*checksum != sum) {
        if (!data.writeByte(kBlockRefused)) return 0x30;
        if (storeChecksums) {
            s_.frame[count] = *checksum;
            s_.frame[count + 1] = sum;
        }
        return 0x40;
    }
    if (gate && !gate(std::span<const uint8_t>(s_.frame.bytes.data(), static_cast<size_t>(received))))
        return kBlockNotStored;
    if (!data.writeByte(kBlockAccepted)) return 0x50;
    const auto confirmation = data.readByte();
    if (confirmation && *confirmation == kBlockAccepted) return 0;
    if (confirmation && *confirmation == kBlockRefused) return 0x60;
    return 0x0F;
}

int ModuleBus::ReceiveBlock(int count, const BlockGate& gate) {
    // The block and the two checksum bytes stored after it must fit.
    count = std::clamp(count, 0, FrameBuffer::kSize - 2);
    uint8_t sum = 0;
    for (int i = 0; i < count; ++i) {
        const auto byte = dataPort().readByte();
        if (!byte) return 0x10;
        s_.frame[i] = *byte;
        sum = static_cast<uint8_t>(sum + *byte);
    }
    return answerBlock(count, sum, true, count, gate);
}

int ModuleBus::ReceiveChunkedBlock(const BlockGate& gate) {
    std::fill_n(s_.frame.bytes.begin(), kChunk * kMaxChunks, 0);
    chunkedLength_ = 0;
    uint8_t sum = 0;
    for (int k = 0;; ++k) {
        for (int i = 0; i < kChunk; ++i) {
            const auto byte = dataPort().readByte();
            if (!byte) return k * 4096 + i * 256 + 0x10;
            s_.frame[kChunk * k + i] = *byte;
            sum = static_cast<uint8_t>(sum + *byte);
        }
        chunkedLength_ = kChunk * (k + 1);
        if (!(k + 1 <= s_.frame[0] && k + 1 < kMaxChunks)) break;
    }
    return answerBlock(0, sum, false, chunkedLength_, gate);
}

int ModuleBus::SendBlockFrom160(int count) {
    count = std::clamp(count, 0, FrameBuffer::kSize - FrameBuffer::kStage160);
    const int pacing = s_.ports.pacingMs();
    uint8_t sum = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t b = s_.frame[FrameBuffer::kStage160 + i];
        if (!dataPort().writeByte(b)) return 0x100 + i;
        sum = static_cast<uint8_t>(sum + b);
        s_.clock.sleepMs(pacing);
    }
    if (!dataPort().writeByte(sum)) return 0x200;
    s_.clock.sleepMs(pacing);
    const auto answer = dataPort().readByte();
    if (!answer) return 0x2FF;
    return *answer == kBlockAccepted ? 0 : 0x300 + *answer;
}

int ModuleBus::sendReadAtOnce(const uint8_t* bytes, int count) {
    const int pacing = s_.ports.pacingMs();
    uint8_t sum = 0;
    for (int i = 0; i < count; ++i) {
        if (!dataPort().writeByte(bytes[i])) return -(i + 1);
        sum = static_cast<uint8_t>(sum + bytes[i]);
        s_.clock.sleepMs(pacing);
    }
    if (!dataPort().writeByte(sum)) return 0x100;
    const auto answer = dataPort().readByte();
    return answer && *answer == kBlockAccepted ? 0 : 0x200;
}

int ModuleBus::SendBlockFrom180(int count) {
    count = std::clamp(count, 0, FrameBuffer::kSize - FrameBuffer::kStage180);
    return sendReadAtOnce(s_.frame.bytes.data() + FrameBuffer::kStage180, count);
}

int ModuleBus::SendCountedBlock(const uint8_t* block) { return sendReadAtOnce(block, block[0]); }

bool ModuleBus::probeSlot(int slot) {
    bool selected = false;
    for (int attempt = 0; attempt < 3; ++attempt) {
        dataPort().clearInput();
        if (!selected) {
            const int status = SelectModule(slot);
            if (status == kNoAnswer || !(status & 1)) continue;
            selected = true;
        }
        dataPort().clearInput();
        if (!dataPort().writeByte(0x00)) continue;
        const auto first = dataPort().readByte();
        if (!first || !isModuleType(*first)) continue;
        dataPort().clearInput();
        if (!dataPort().writeByte(0x00)) continue;
        const auto second = dataPort().readByte();
        if (second && *second == *first) return true;
    }
    return false;
}

int ModuleBus::PortAutotest(Config& config) {
    WaitDlg wait(s_.messages.ui(), Cp1250FromUtf8("\x03Trwa testowanie portów."));
    interfacePort().close();
    dataPort().close();
    const std::vector<std::string> present = s_.ports.refreshPresentPorts();
    const int n = static_cast<int>(present.size());
    for (int j = 1; j <= n; ++j) {
        if (!interfacePort().open(present[static_cast<size_t>(j - 1)], 9600)) continue;
        for (int k = 1; k <= n; ++k) {
            if (k == j || !dataPort().open(present[static_cast<size_t>(k - 1)], 9600)) continue;
            for (int slot = 0; slot < kModuleSlots; ++slot) {
                if (!probeSlot(slot)) continue;
                config.block().inter_port = static_cast<int16_t>(j);
                config.block().data_port = static_cast<int16_t>(k);
                if (config.SaveConfig(0) != 0)
                    s_.messages.ShowNotice(mz("\x03zapisu konfiguracji"), kNoticeError);
                return 0;
            }
            dataPort().close();
        }
        interfacePort().close();
    }
    return -1;
}

} // namespace k4
