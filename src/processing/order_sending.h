#pragma once
// Orders to the subscribers' panels: the order is remembered in the
// subscriber's record, tried at once and once more ten seconds later, over
// the path the operator (or report processing) chose; the outcome is shown
// and, when the order went out, written to the history with the path byte.
#include "history/history_log.h"
#include "messages/messages.h"
#include "processing/report_links.h"
#include "processing/scheduler.h"

#include <cstdint>

namespace k4 {

class ModuleBus;
class PathTable;
class SubscriberDatabase;
struct FrameBuffer;

enum : int {
    kHistoryOrderSent = 9,
    kOrderServiceInfo = 0x88,
    kOrderUserTestAnswer = 3,
    kOrderRetrySeconds = 10,
};

// The path choice of the path dialog: 0 TK, 1 TR, 2 TS, 3 TG, 4 TE.
enum : int { kChoiceTk = 0, kChoiceTr = 1, kChoiceTs = 2, kChoiceTg = 3, kChoiceTe = 4 };

struct OrderSendingParts {
    SubscriberDatabase& database;
    PathTable& paths;
    ModuleBus& bus;
    FrameBuffer& frame;
    Scheduler& scheduler;
    HistoryLog& history;
    Messages& messages;
};

class OrderSending final : public OrderSender {
public:
    explicit OrderSending(const OrderSendingParts& parts);

    // Registers the retry entries' handler (scheduler type 4).
    void registerHandler();
    // At start (every mode but "Odbiorcza"): orders the last run left in
    // progress are forgotten, silently.
    void forgetInterruptedOrders();

    int sendOrder(int subscriber, int pathSlot, int code) override;
    // 10: try again in ten seconds; -1: the order has ended.
    int orderRetry(int subscriber);
    // The path for an order or an on-demand probe: a slot, or -1 after the
    // operator was told why there is none.
    int chooseOrderPath(int selection, uint8_t tracks, int choice);

private:
    int orderAttempt(uint8_t pending[3], int subscriber, uint8_t& pathByte);
    void orderResult(int subscriber, const uint8_t pending[3], uint8_t pathByte);
    int firstOfKinds(int kindA, int kindB, int from = 0) const;
    void setBusy(int slot, bool busy);

    OrderSendingParts p_;
    MessageGuard sendGuard_;    // every refusal of sendOrder
    MessageGuard phoneGuard_;   // no number found at an attempt
    MessageGuard writeGuard_;   // the pending order could not be stored
};

} // namespace k4
