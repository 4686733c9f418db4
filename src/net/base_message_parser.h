#pragma once
// What a report message of an Ethernet base means, once its tokens are
// read: a report for processing, a probe answered, a forwarded alarm
// confirmed, an answer of a partner centre in the history, a partner's
// report answered, a telephone line lost or back, an incomplete report.
#include "baselink/frame_buffer.h"
#include "config/config_block.h"
#include "database/stamp.h"
#include "history/history_entry.h"
#include "history/link_status.h"
#include "messages/messages.h"
#include "net/base_message.h"
#include "net/track_queue.h"
#include "net/udp_links.h"
#include "processing/report.h"

#include <optional>
#include <string>
#include <string_view>

namespace k4 {

// The answers of a partner centre's operator: the forwarded alarm taken
// into service, and its service ended.
enum : int {
    kHistoryPartnerServiced = 72,
    kHistoryPartnerServiceEnded = 73,
};

// The path a message came over, as its entries and boxes name it.
struct MessagePath {
    int transmissionType = 0;
    int number = 0;       // shown plus 1
    std::string typeName; // Mazovia
};

// What the parser reaches around it.
class BaseMessageLinks {
public:
    virtual ~BaseMessageLinks() = default;
    virtual std::optional<MessagePath> pathOf(int slot) = 0;
    virtual int processReport(const Report& report) = 0;
    virtual void markProbeAnswered(int slot, int subscriber) = 0;
    virtual void confirmForwarding(int subscriber, int base, int pathBit) = 0;
    virtual void confirmGprsForwarding(int slot, int subscriber, int base, int pathBit, int queueEntry) = 0;
    virtual void logEntry(int kind, const HistoryEntry& entry) = 0;
    virtual void linkStatus(int sourceKind, const LinkStatusRecord& record) = 0;
    // The phone index "telefon".
    virtual std::optional<int> ownerOfPhone(const std::string& phone) = 0;
    virtual bool phoneOfSubscriber(const std::string& phone, int subscriber) = 0;
    // forw_flag1 of the subscriber; nothing when it cannot be loaded.
    virtual std::optional<uint16_t> forwardingWord(int subscriber) = 0;
    // The order staged at 180 queued and sent (type 9), or sent at once.
    virtual int queueOrder(int slot, uint8_t alarmId, uint8_t entryType) = 0;
    virtual int pollSendOrder(int slot) = 0;
    virtual void notice(MessageGuard& guard, std::string_view mazoviaText, unsigned style) = 0;
    virtual void wakeScreen() = 0;
    virtual Stamp now() = 0;
};

// The 17-byte GPRS block of an order to a partner centre at 180 of the
// frame buffer (20 bytes cleared first); its sequence byte 0.
void stageGprsOrder(FrameBuffer& frame, const uint8_t address[4], uint8_t type, int subscriber, bool hexNumber,
                    int subsystem, int code, int sector, uint8_t parameter);

class BaseMessageParser final : public TextMessageParser, private TokenLookups {
public:
    static constexpr uint8_t kPartnerParameter = 3;
    static constexpr uint8_t kPartnerAnswerType = 0x90;

    BaseMessageParser(const ConfigBlock& config, FrameBuffer& frame, BaseMessageLinks& links);

    // -1 when the text holds no token at all, else the record's
    // confirmMode (1: the base wants the report confirmed).
    int parseBaseMessage(std::string_view text, int slot);
    int parseTextMessage(std::string_view message, int slot) override { return parseBaseMessage(message, slot); }
    // A report goes on to the subscriber's GPRS partner centre, when its
    // forwarding word asks for it, as a queued order of type 9.
    void passToPartner(int subscriber, bool hexNumber, int subsystem, int code, int sector, int slot);

private:
    // TokenLookups
    int phoneOwner(const std::string& phone, int sourceKind) override;
    void clockCheck(const std::array<uint8_t, 12>& digits) override;

    void results(MessageReading& r, int slot);
    void telephone(MessageReading& r, int slot);
    void report(MessageReading& r, int slot);
    void orderAnswer(const MessageReading& r, int slot);
    void partnerConfirmation(const MessageReading& r, int slot);
    void partnerMessage(const MessageReading& r, int slot);
    void lineState(const MessageReading& r, int slot);
    void incompleteReport(const std::string& text, int slot);

    HistoryEntry pathEntry(int slot);
    void orderAnswerEntry(const MessageReading& r, int slot, int detail);
    int baseOfPartner(const std::array<uint8_t, 4>& ip) const;

    const ConfigBlock& config_;
    FrameBuffer& frame_;
    BaseMessageLinks& links_;
    MessageGuard lineFaultGuard_;
    MessageGuard incompleteGuard_;
};

} // namespace k4
