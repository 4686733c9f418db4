#include "shell/text_links.h"

#include "baselink/forwarding_supervision.h"
#include "baselink/module_bus.h"
#include "baselink/module_poll.h"
#include "baselink/path_table.h"
#include "database/sbscrbr.h"
#include "database/subscriber_indexes.h"
#include "history/history_log.h"
#include "history/link_status.h"

#include <cstring>

namespace k4 {

std::optional<int> StationTrackedPaths::pathType(int slot) const {
    const Packet* path = paths_.at(slot);
    if (!path) return std::nullopt;
    return path->typeIndex;
}

bool StationTrackedPaths::selectModule(int slot) { return bus_.CheckModule(slot, -1) == 0; }

int StationTrackedPaths::pollSendOrder(int slot) { return paths_.poll(slot, kPollSendOrder, 0); }

void StationTrackedPaths::testOrderLost(int base) { forwarding_.ReportPathTestFailure(base, kTestPathTg); }

std::optional<MessagePath> StationMessageLinks::pathOf(int slot) {
    const Packet* path = p_.paths.at(slot);
    if (!path) return std::nullopt;
    return MessagePath{path->transmissionType(), path->number, path->type().name};
}

int StationMessageLinks::processReport(const Report& report) { return p_.reports.processReport(report); }

void StationMessageLinks::markProbeAnswered(int slot, int subscriber) { p_.paths.MarkProbeAnswered(slot, subscriber, 0); }

void StationMessageLinks::confirmForwarding(int subscriber, int base, int pathBit) {
    p_.forwarding.ConfirmForwarding(subscriber, base, pathBit);
}

void StationMessageLinks::confirmGprsForwarding(int slot, int subscriber, int base, int pathBit, int queueEntry) {
    p_.forwarding.ConfirmGprsForwarding(slot, subscriber, base, pathBit, queueEntry);
}

void StationMessageLinks::logEntry(int kind, const HistoryEntry& entry) {
    HistoryEntry written = entry;
    p_.history.LogEvent(kind, written);
}

void StationMessageLinks::linkStatus(int sourceKind, const LinkStatusRecord& record) {
    p_.linkStatus.LinkStatus(sourceKind, record);
}

std::optional<int> StationMessageLinks::ownerOfPhone(const std::string& phone) {
    return p_.indexes.ownerOfPhone(phoneKey(phone));
}

bool StationMessageLinks::phoneOfSubscriber(const std::string& phone, int subscriber) {
    return p_.indexes.phoneOfSubscriber(phoneKey(phone), subscriber);
}

std::optional<uint16_t> StationMessageLinks::forwardingWord(int subscriber) {
    Sbscrbr s(p_.database, ByNumber{subscriber});
    if (!s.valid || s.unindexed) return std::nullopt;
    return static_cast<uint16_t>(s.record.forw_flag1);
}

int StationMessageLinks::queueOrder(int slot, uint8_t alarmId, uint8_t entryType) {
    return p_.tracks.queueOrder(slot, alarmId, entryType);
}

int StationMessageLinks::pollSendOrder(int slot) { return p_.paths.poll(slot, kPollSendOrder, 0); }

void StationMessageLinks::notice(MessageGuard& guard, std::string_view mazoviaText, unsigned style) {
    p_.messages.ShowNotice(guard, mazoviaText, style);
}

void StationMessageLinks::wakeScreen() {
    if (wake_) wake_();
}

Stamp StationMessageLinks::now() { return nowStamp(p_.clock); }

} // namespace k4
