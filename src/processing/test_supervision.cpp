#include "processing/test_supervision.h"

#include "database/index_file.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/subscriber_indexes.h"
#include "database/text_edge.h"
#include "processing/subscriber_state.h"

#include <cstddef>
#include <cstdio>

namespace k4 {

namespace {

enum : int { kHistoryTestsChanged = 40 };

constexpr size_t kStateAt = offsetof(SubscriberRecord, test_state) - kStateBlockOffset;
constexpr size_t kMiss1At = offsetof(SubscriberRecord, test_miss1) - kStateBlockOffset;
constexpr size_t kMiss2At = offsetof(SubscriberRecord, test_miss2) - kStateBlockOffset;

uint8_t receivedBit(int test) { return test == 2 ? kTest2Received : kTest1Received; }
uint8_t missingBit(int test) { return test == 2 ? kTest2Missing : kTest1Missing; }
size_t missAt(int test) { return test == 2 ? kMiss2At : kMiss1At; }

} // namespace

int testDeadlineSeconds(int type, int delayMinutes, int repeat) {
    int interval = 0;
    const int halfHours = static_cast<uint8_t>(repeat);
    switch (type) {
    case kTestArming: interval = 86400; break;
    case kTestEvery29h: interval = 104400; break;
    case kTestDaily: interval = 86400; break;
    case kTestTwiceDaily: interval = 43200; break;
    case kTestRepeated: case kTestFromArming: case kTestFromAnyReport: interval = halfHours * 1800; break;
    default: return -2;
    }
    const int seconds = delayMinutes * 60 + interval;
    return seconds == 0 ? -1 : seconds;
}

TestSettings testSettings(const SubscriberRecord& r, int number) {
    TestSettings t;
    t.number = number;
    const uint16_t flags = r.test_flags;
    if (number == 2) {
        t.type = r.test_type2;
        t.repeat = r.test_repeat2;
        t.delay = (flags >> 4) & 0x0FFF;
        t.active = (flags & kTest2Active) != 0;
        t.path = r.test_track2;
    } else {
        t.type = r.test_type1;
        t.repeat = r.test_repeat1;
        t.delay = static_cast<int16_t>(r.test_delay1);
        t.active = (flags & kTest1Active) != 0;
        t.path = r.test_track1;
    }
    return t;
}

char testPathLetter(int path) {
    static const char letters[] = "KRSGACDE";
    return path >= 0 && path < 8 ? letters[path] : 'x';
}

std::string testDisplay(const SubscriberRecord& r) {
    std::string text;
    for (int test = 1; test <= 2; ++test) {
        const TestSettings t = testSettings(r, test);
        char part[8];
        const int misses = test == 2 ? r.test_miss2 : r.test_miss1;
        if (r.test_state & missingBit(test))
            std::snprintf(part, sizeof part, "%c%2.2d", testPathLetter(t.path), misses % 100);
        else if (r.test_state & receivedBit(test))
            std::snprintf(part, sizeof part, "%c+ ", testPathLetter(t.path));
        else
            std::snprintf(part, sizeof part, "   ");
        text += part;
    }
    return text;
}

TestSupervisor::TestSupervisor(const Parts& parts) : parts_(parts) {
    parts_.scheduler.setHandler(kSchedCheckTest, [this](uint16_t key, uint8_t arg) {
        const int next = testMissed(key, arg);
        if (next != -1) parts_.scheduler.schedule(next, key, kSchedCheckTest, arg);
    });
}

TestSupervisor::~TestSupervisor() { parts_.scheduler.setHandler(kSchedCheckTest, {}); }

int TestSupervisor::testDeadline(int type, int delayMinutes, int repeat) {
    const int seconds = testDeadlineSeconds(type, delayMinutes, repeat);
    if (seconds == -2) {
        parts_.messages.ShowNotice(typeGuard_, mz("\x03Nieprawidłowy kod testu"), kNoticeInfo);
        return -1;
    }
    return seconds;
}

void TestSupervisor::stateFailure(int result, int number) {
    char text[96];
    if (result == 0) std::snprintf(text, sizeof text, "\x03wczytania danych o flagach testu - %4.4d", number);
    else std::snprintf(text, sizeof text, "\x03%d zapisu danych o flagach testu - %4.4d", result, number);
    parts_.messages.ShowNotice(stateGuard_, mz(text), kNoticeError);
}

int TestSupervisor::checkTest(int kind, Sbscrbr& subscriber, int reportPath) {
    if (!subscriber.valid) return 0;
    const TestSettings t1 = testSettings(subscriber.record, 1);
    const TestSettings t2 = testSettings(subscriber.record, 2);
    if (!t1.active && !t2.active) return 0;
    int path = swapTestPath(reportPath);
    if (path != t1.path && path != t2.path) {
        // A Contact ID receiver stands in for the ADEMCO path.
        if (path == 5) path = 4;
        if (path != t1.path && path != t2.path) return 0;
    }
    const TestSettings* t = nullptr;
    if (t2.active && t2.path == path) t = &t2;
    else if (t1.active && t1.path == path) t = &t1;
    if (!t) return 0;
    const int d = testDeadline(t->type, t->delay, t->repeat);
    if (t->type == kTestFromAnyReport) {
        restartTest(subscriber, d, path);
        return 1;
    }
    switch (kind) {
    case 6:
        if (t->type == kTestFromArming || t->type == kTestArming) restartTest(subscriber, d, path);
        break;
    case 5:
        if (t->type != kTestFromArming) restartTest(subscriber, d, path);
        break;
    case -1:
        if (t->type == kTestArming) restartTest(subscriber, d, path);
        break;
    case -2:
        if (t->type == kTestFromArming) stopTest(subscriber.number(), path);
        else if (t->type == kTestArming) restartTest(subscriber, d, path);
        break;
    default: break;
    }
    return 0;
}

void TestSupervisor::restartTest(Sbscrbr& subscriber, int deadline, int path) {
    const int number = subscriber.number();
    parts_.scheduler.cancel(number, kSchedCheckTest, path + 1);
    uint8_t block[kStateBlockSize];
    if (subscriber.ReadState(block) != 0) {
        stateFailure(0, number);
        return;
    }
    const int test = path == subscriber.record.test_track2 ? 2 : 1;
    block[kStateAt] = static_cast<uint8_t>((block[kStateAt] | receivedBit(test)) & ~missingBit(test));
    block[missAt(test)] = 0;
    const int result = subscriber.WriteState(block);
    if (result != 0) {
        stateFailure(result, number);
        return;
    }
    if (deadline != -1) parts_.scheduler.schedule(deadline, number, kSchedCheckTest, path + 1);
}

void TestSupervisor::stopTest(int subscriber, int path) { parts_.scheduler.cancel(subscriber, kSchedCheckTest, path + 1); }

void TestSupervisor::scheduleTests(Sbscrbr& subscriber, bool atStartup) {
    const int number = subscriber.number();
    uint8_t block[kStateBlockSize];
    if (subscriber.ReadState(block) != 0) {
        stateFailure(0, number);
        return;
    }
    uint8_t before[kStateBlockSize];
    std::copy(block, block + kStateBlockSize, before);
    if (!atStartup) parts_.scheduler.cancel(number, kSchedCheckTest, 0);
    for (int test = 1; test <= 2; ++test) {
        const TestSettings t = testSettings(subscriber.record, test);
        const bool hasPath = t.path != kNoTestPath;
        if (t.active && hasPath) {
            if (atStartup && parts_.scheduler.exists(number, kSchedCheckTest, t.path + 1)) continue;
            // A test from arming starts with the first arming test.
            if (t.type == kTestFromArming) continue;
            const int d = testDeadline(t.type, t.delay, t.repeat);
            if (d != -1) parts_.scheduler.schedule(d, number, kSchedCheckTest, t.path + 1);
            continue;
        }
        // The other test may run on the same path (a new subscriber has both
        // on path 0): its deadline is not this one's to cancel.
        const TestSettings other = testSettings(subscriber.record, 3 - test);
        if (hasPath && !(other.active && other.path == t.path))
            parts_.scheduler.cancel(number, kSchedCheckTest, t.path + 1);
        const uint8_t bits = static_cast<uint8_t>(receivedBit(test) | missingBit(test));
        if (block[kStateAt] & bits) {
            block[kStateAt] = static_cast<uint8_t>(block[kStateAt] & ~bits);
            block[missAt(test)] = 0;
        }
    }
    if (std::equal(block, block + kStateBlockSize, before)) return;
    const int result = subscriber.WriteState(block);
    if (result != 0) stateFailure(result, number);
}

int TestSupervisor::testMissed(int number, int arg) {
    int32_t offset = 0;
    const int found = parts_.database.index().FindNumber(number, offset);
    // A subscriber deleted meanwhile has no test to miss.
    if (found == 0) return -1;
    Sbscrbr subscriber(parts_.database, AtOffset{offset});
    if (found < 0 || !subscriber.valid || subscriber.number() != number) {
        parts_.messages.ShowNotice(loadGuard_, mz("\x03wczytania abonenta"), kNoticeError);
        return -1;
    }
    const int test = arg == subscriber.record.test_track2 + 1 ? 2 : 1;
    const TestSettings t = testSettings(subscriber.record, test);
    const int path = swapTestPath(t.path);
    int type = kPathLocal;
    for (int i = 0; i < kPathLocal; ++i)
        if (parts_.pathTypes[i].testIndex == path) {
            type = i;
            break;
        }
    Report missing;
    missing.subscriber = number;
    missing.subsystem = Report::kNoSubsystem;
    missing.code = specialCode(parts_.config, kSpecialNoTest);
    missing.sector = Report::kNoSector;
    missing.path = -(type + 1);
    parts_.processor.processReport(missing);

    uint8_t block[kStateBlockSize];
    if (subscriber.ReadState(block) != 0) {
        stateFailure(0, number);
        return -1;
    }
    block[kStateAt] = static_cast<uint8_t>((block[kStateAt] | missingBit(test)) & ~receivedBit(test));
    uint8_t& misses = block[missAt(test)];
    misses = misses >= 99 ? 0 : static_cast<uint8_t>(misses + 1);
    const int result = subscriber.WriteState(block);
    if (result != 0) {
        stateFailure(result, number);
        return -1;
    }
    return t.active ? testDeadline(t.type, t.delay, t.repeat) : -1;
}

int TestSupervisor::scheduleAll() {
    IndexHandle& numer = parts_.indexes.handle(kIndexNumber);
    if (!numer.isOpen()) {
        parts_.messages.ShowNotice(mz("\x03" "Brak indeksu"), kNoticeInfo);
        return -1;
    }
    IndexKey key;
    int r = numer.First(key);
    for (; r == kIndexFound; r = numer.Next(key)) {
        Sbscrbr subscriber(parts_.database, AtOffset{key.value});
        if (!subscriber.valid) {
            parts_.messages.ShowNotice(loadGuard_, mz("\x03wczytania danych o abonencie"), kNoticeError);
            continue;
        }
        scheduleTests(subscriber, true);
    }
    if (r == -1) {
        parts_.messages.ShowNotice(mz("\x03" "Brak indeksu"), kNoticeInfo);
        return -1;
    }
    return 0;
}

void TestSupervisor::testsChanged(Sbscrbr& subscriber) {
    if (static_cast<int16_t>(parts_.config.mode) == 2) return;
    scheduleTests(subscriber, false);
    parts_.history.LogEvent(kHistoryTestsChanged, subscriber.number());
}

} // namespace k4
