#include "processing/order_sending.h"

#include "baselink/frame_buffer.h"
#include "baselink/module_bus.h"
#include "baselink/module_poll.h"
#include "baselink/packet.h"
#include "baselink/path_table.h"
#include "baselink/probe_orders.h"
#include "database/order_names_table.h"
#include "database/orders_table_list.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/text_edge.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

std::string fieldText(const char* field, size_t width) { return std::string(field, strnlen(field, width)); }

bool isDialOut(int kind) { return kind == kKindNtt || kind == kKindOnt; }
bool isSwitchedReceiver(int kind) { return kind == kKindOtt || kind == kKindAdemco || kind == kKindContactId; }

constexpr const char* kNoPhonePrefix = "\x03Nie znaleziono numeru telefonu do wysłania rozkazu w torze ";

} // namespace

OrderSending::OrderSending(const OrderSendingParts& parts) : p_(parts) {}

void OrderSending::registerHandler() {
    p_.scheduler.setHandler(kSchedSendOrder, [this](uint16_t key, uint8_t) {
        const int delay = orderRetry(key);
        if (delay > 0) p_.scheduler.schedule(delay, key, kSchedSendOrder, 0);
    });
}

void OrderSending::forgetInterruptedOrders() {
    MessageGuard readGuard, writeGuard;
    p_.paths.forEachSubscriber([&](Sbscrbr& s) {
        uint8_t extra[kExtraSize];
        if (s.ReadExtra(extra) != 0) {
            p_.messages.ShowNotice(readGuard, mz("\x03wczytania danych dodatkowych"), kNoticeError);
            return;
        }
        if (extra[2] == 0) return;
        extra[2] = 0;
        if (s.WriteExtra(extra) != 0)
            p_.messages.ShowNotice(writeGuard, mz("\x03zapisu danych dodatkowych"), kNoticeError);
    });
}

int OrderSending::firstOfKinds(int kindA, int kindB, int from) const {
    for (int slot = from; slot < kPathSlots; ++slot) {
        const Packet* p = p_.paths.at(slot);
        if (p && (p->kind == kindA || p->kind == kindB)) return slot;
    }
    return -1;
}

void OrderSending::setBusy(int slot, bool busy) {
    if (Packet* p = p_.paths.at(slot)) p->busy = busy ? 1 : 0;
}

int OrderSending::sendOrder(int subscriber, int pathSlot, int code) {
    // One question or refusal on screen at a time; a second order meanwhile
    // is refused without another box.
    if (sendGuard_.onScreen()) return -1;
    auto refuse = [this](const std::string& text, unsigned style) {
        p_.messages.ShowNotice(sendGuard_, text, style);
        return -1;
    };
    // 1.
    Sbscrbr s(p_.database, ByNumber{subscriber});
    uint8_t extra[kExtraSize];
    if (!s.valid || s.unindexed || s.ReadExtra(extra) != 0)
        return refuse(mz("\x03odczytu informacji o wysyłanym rozkazie"), kNoticeError);
    // 2.
    if (extra[2] != 0) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "\x03" "Do abonenta %4.4d jest wysyłany rozkaz %2.2X. Przerwać wysyłanie i wysłać rozkaz %2.2X?",
                      subscriber, extra[1], code & 0xFF);
        sendGuard_.value = kResultNo;
        sendGuard_.value = p_.messages.AskYesNo(mz(text));
        if (sendGuard_.value != kResultYes) return -1;
        p_.scheduler.cancel(subscriber, kSchedSendOrder, 0);
        setBusy(extra[0], false);
        extra[2] = 0;
    }
    // 3.
    int slot = pathSlot;
    const Packet* path = p_.paths.at(slot);
    if (!path) return refuse(mz("\x03" "Brak pakietu nadajnika do wysłania rozkazu"), kNoticeInfo);
    int kind = path->kind;
    if (kind == kKindOtg) {
        slot = firstOfKinds(kKindOng, kKindOng);
        if (slot < 0) return refuse(mz("\x03" "Brak pakietu nadajnika do wysłania rozkazu"), kNoticeInfo);
        kind = kKindOng;
    }
    if (kind == kKindOng && fieldText(s.record.tel_gsm, sizeof s.record.tel_gsm).empty())
        return refuse(mz(std::string(kNoPhonePrefix) + "GSM."), kNoticeInfo);
    if (isSwitchedReceiver(kind)) {
        if (fieldText(s.record.tel, sizeof s.record.tel).empty())
            return refuse(mz(std::string(kNoPhonePrefix) + "komutowanym."), kNoticeInfo);
        slot = firstOfKinds(kKindNtt, kKindOnt);
        if (slot < 0) return refuse(mz("\x03" "Brak pakietu nadajnika do wysłania rozkazu"), kNoticeInfo);
    }
    // 4.
    extra[0] = static_cast<uint8_t>(slot);
    extra[1] = static_cast<uint8_t>(code);
    extra[2] = 1;
    s.WriteExtra(extra);
    setBusy(slot, true);
    const int delay = orderRetry(subscriber);
    if (delay > 0) p_.scheduler.schedule(delay, subscriber, kSchedSendOrder, 0);
    return 0;
}

int OrderSending::orderRetry(int subscriber) {
    Sbscrbr s(p_.database, ByNumber{subscriber});
    uint8_t extra[kExtraSize];
    if (!s.valid || s.unindexed || s.ReadExtra(extra) != 0) return -1;
    if (extra[2] == 0) {
        orderResult(subscriber, extra, 0xFF);
        return -1;
    }
    uint8_t pathByte = 0xFF;
    const int attempt = orderAttempt(extra, subscriber, pathByte);
    if (attempt == 2) {
        ++extra[2];
        if (extra[2] < 3) {
            if (s.WriteExtra(extra) != 0)
                p_.messages.ShowNotice(writeGuard_, mz("\x03zapisu danych o wysyłanym rozkazie"), kNoticeError);
            return kOrderRetrySeconds;
        }
        pathByte = 0xFF;
    } else if (attempt == 1) {
        pathByte = 0xFF;
    }
    orderResult(subscriber, extra, pathByte);
    extra[2] = 0;
    if (s.WriteExtra(extra) != 0)
        p_.messages.ShowNotice(writeGuard_, mz("\x03zapisu danych o wysyłanym rozkazie"), kNoticeError);
    return -1;
}

int OrderSending::orderAttempt(uint8_t pending[3], int subscriber, uint8_t& pathByte) {
    const int slot = pending[0];
    Packet* path = p_.paths.at(slot);
    // The path went with a module check since the order was stored.
    if (!path) return 2;
    const uint8_t code = pending[1];
    Sbscrbr s(p_.database, ByNumber{subscriber});
    const int kind = path->kind;
    // 1. The order in the probe order's place.
    switch (kind) {
    case kKindOtr:
    case kKindOts: stageRadioProbe(p_.frame, subscriber, code); break;
    case kKindNtt:
    case kKindOnt: {
        const std::string tel = fieldText(s.record.tel, sizeof s.record.tel);
        if (tel.empty()) {
            p_.messages.ShowNotice(phoneGuard_, mz(std::string(kNoPhonePrefix) + "komutowanym."), kNoticeInfo);
            return 1;
        }
        stageDialUpProbe(p_.frame, tel, code);
        break;
    }
    case kKindOng: {
        // Loading gives the number without its leading "0" already.
        const std::string gsm = fieldText(s.record.tel_gsm, sizeof s.record.tel_gsm);
        if (gsm.empty()) {
            p_.messages.ShowNotice(phoneGuard_, mz(std::string(kNoPhonePrefix) + "GSM."), kNoticeInfo);
            return 1;
        }
        stageGsmProbe(p_.frame, gsm, code);
        break;
    }
    case kKindGprs:
    case kKindEthernetChannel:
    case kKindVgprsChannel: {
        std::array<uint8_t, 4> ip{};
        std::memcpy(ip.data(), &s.record.ip, 4);
        stageGprsProbe(p_.frame, ip, subscriber, code);
        break;
    }
    default: break;
    }
    // 2.
    const int selected = p_.bus.SelectModule(slot);
    if (selected == 0xFFFF || !(selected & 1)) return 2;
    // 3.
    const int status = path->poll(kPollSendOrder, 0);
    if (status == 2 || status == 3) {
        pathByte = static_cast<uint8_t>(((path->typeIndex & 0x0F) << 4) | ((path->number + 1) & 0x0F));
        return 0;
    }
    // 4. A GSM module without its network: the next one, higher up.
    if (status == 15 && kind == kKindOng) {
        const int next = firstOfKinds(kKindOng, kKindOng, slot + 1);
        if (next >= 0) pending[0] = static_cast<uint8_t>(next);
    }
    // 5. Another dial-out module for the second attempt.
    if (isDialOut(kind)) {
        for (int i = 1; i < kPathSlots; ++i) {
            const int other = (slot + i) % kPathSlots;
            const Packet* p = p_.paths.at(other);
            if (p && isDialOut(p->kind)) {
                pending[0] = static_cast<uint8_t>(other);
                break;
            }
        }
    }
    return 2;
}

void OrderSending::orderResult(int subscriber, const uint8_t pending[3], uint8_t pathByte) {
    const Packet* path = p_.paths.at(pending[0]);
    // A path gone with a module check has no busy mark left to clear, but
    // the operator still hears how the order ended.
    setBusy(pending[0], false);
    const bool sent = pathByte != 0xFF;
    const int code = pending[1];
    if (code == kOrderServiceInfo) {
        if (!sent)
            p_.messages.ShowNotice(mz("\x03Informacja o obsłudze nie została przesłana! Ponów próbę."), kNoticeInfo);
        else
            p_.history.LogEvent(kHistoryOrderSent, subscriber, kOrderServiceInfo, 0, pathByte);
        return;
    }
    if (code == kOrderUserTestAnswer && path &&
        (path->kind == kKindOtt || path->kind == kKindAdemco || path->kind == kKindOnt || path->kind == kKindContactId)) {
        if (!sent)
            p_.messages.ShowNotice(
                mz("\x03Próba wysłania odpowiedzi na test użytkownika zakończyła się niepowodzeniem!"), kNoticeInfo);
        return;
    }
    char text[200];
    if (!sent) {
        std::snprintf(text, sizeof text, "%2.2X", code);
        p_.messages.ShowNotice(mz("\x03Próba wysłania rozkazu ") + text + mz(" zakończyła się niepowodzeniem!"),
                               kNoticeInfo);
        return;
    }
    int shown = code;
    Sbscrbr s(p_.database, ByNumber{subscriber});
    if (s.valid && !s.unindexed) {
        OrdersTableList orders(p_.database.files(), p_.database.orderNames(), s.record.orders);
        if (orders.usable()) shown = orders.ShownCode(code);
    }
    const OrderNameRecord& name = p_.database.orderNames().OrderRecord(shown);
    const std::string description = name.code != 0 ? fieldText(name.name, sizeof name.name) : std::string();
    std::snprintf(text, sizeof text, "%2.2X (%2.2X)- %-60.60s", shown, code, description.c_str());
    p_.messages.ShowNotice(mz("\x03Wysłano rozkaz ") + text, kNoticeInfo);
    p_.history.LogEvent(kHistoryOrderSent, subscriber, shown, code, pathByte);
}

int OrderSending::chooseOrderPath(int selection, uint8_t tracks, int choice) {
    const int bit = choice == kChoiceTe ? 6 : choice;
    if (choice < kChoiceTk || choice > kChoiceTe || !(tracks & (1 << bit))) {
        p_.messages.ShowNotice(mz("\x03" "Abonent nie jest podłączony do podanego toru"), kNoticeInfo);
        return -1;
    }
    for (int slot = 0; slot < kPathSlots; ++slot) {
        const Packet* p = p_.paths.at(slot);
        if (!p) continue;
        // The module paths have no GSM operator of their own.
        const int op = 0;
        bool fits = false;
        switch (choice) {
        case kChoiceTk: fits = isDialOut(p->kind); break;
        case kChoiceTr: fits = p->kind == kKindOtr && p->number == (selection >> 4); break;
        case kChoiceTs: fits = p->kind == kKindOts && p->number == (selection & 0x0F); break;
        case kChoiceTg:
            if (selection <= 0) fits = p->kind == kKindOng && p->gsm && (selection == 0 || op == -selection);
            else fits = (p->kind == kKindGprs || p->kind == kKindVgprsChannel) && p->gsm &&
                        (selection == 1 || op + 1 == selection);
            break;
        case kChoiceTe: fits = p->kind == kKindEthernetChannel; break;
        default: break;
        }
        if (fits) return slot;
    }
    p_.messages.ShowNotice(mz("\x03Nie znaleziono nadajnika dla podanego toru"), kNoticeInfo);
    return -1;
}

} // namespace k4
