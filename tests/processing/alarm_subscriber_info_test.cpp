#include "processing/alarm_subscriber_info.h"

#include "baselink/path_types.h"
#include "database/database_fixture.h"
#include "database/text_edge.h"
#include "processing/event_def.h"
#include "processing/event_table.h"

#include <gtest/gtest.h>

namespace k4 {
namespace {

struct SubscriberInfo : test::DatabaseTest {
    EventTable events;
    PathTypeTable types;
    SubscriberInfo() {
        events.setRecords({});
        EXPECT_EQ(events.putEvent(makeEventDef(0x130, "WLAMANIE", "Włamanie", 4), 0x130), 0);
        EXPECT_EQ(events.putEvent(makeEventDef(0x401, "ZAŁ", "Załączenie", 2, kEventArming), 0x401), 0);
    }
    static void put(char* field, size_t size, const std::string& utf8) {
        const std::string stored = mz(utf8);
        std::memset(field, 0, size);
        std::memcpy(field, stored.data(), std::min(stored.size(), size));
    }
    static AlarmRecord alarm(int subscriber, int code, int path) {
        AlarmRecord a;
        a.subscriber = static_cast<int16_t>(subscriber);
        a.subsystem = 1;
        a.sector = 3;
        a.codeWord = codeWordOf(code, 4);
        a.path = static_cast<int16_t>(path);
        return a;
    }
};

TEST_F(SubscriberInfo, RecordFieldsForTheDescriptionWindow) {
    Sbscrbr s(db);
    s.record.object = 42;
    put(s.record.name, sizeof s.record.name, "Sklep Pod Lipami");
    put(s.record.address, sizeof s.record.address, "ul. Długa 5");
    put(s.record.code, sizeof s.record.code, "26600");
    put(s.record.town, sizeof s.record.town, "Radom");
    put(s.record.tel, sizeof s.record.tel, "48 123 45 67");
    put(s.record.tel_gsm, sizeof s.record.tel_gsm, "600100200");
    put(s.record.contact1, sizeof s.record.contact1, "Jan Kowalski");
    put(s.record.passwd, sizeof s.record.passwd, "żółw");
    // A name that fills its whole field has no NUL after it.
    std::memset(s.record.contact2, 'x', sizeof s.record.contact2);
    storeSubscriber(s);

    const auto info = describeAlarmSubscriber(db, events, types, alarm(42, 0x130, -8));
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->name, "Sklep Pod Lipami");
    EXPECT_EQ(info->address, "ul. Długa 5, 26-600 Radom");
    EXPECT_EQ(info->phones, "48 123 45 67  GSM 600100200");
    EXPECT_EQ(info->contacts, "Jan Kowalski / " + std::string(30, 'x'));
    EXPECT_EQ(info->password, "żółw");
    EXPECT_EQ(info->subsystemText, " - BRAK INFORMACJI O PODSYSTEMIE!");
    EXPECT_EQ(info->sectorText, "BRAK INFORMACJI O SEKTORZE!");
    EXPECT_EQ(info->pathText, std::string(types[kPathLocal].name).substr(0, 2));

    const auto arming = describeAlarmSubscriber(db, events, types, alarm(42, 0x401, 3));
    ASSERT_TRUE(arming.has_value());
    EXPECT_EQ(arming->subsystemText, "") << "arming events name no subsystem";
    EXPECT_EQ(arming->pathText, "???");
}

TEST_F(SubscriberInfo, MissingSubscriberIsRefusedUnlessTheAlarmSaysItIsUnknown) {
    EXPECT_FALSE(describeAlarmSubscriber(db, events, types, alarm(77, 0x130, -8)).has_value());
    // Otherwise such an alarm could never be opened, and so never removed.
    AlarmRecord unknown = alarm(77, 0x130, -8);
    unknown.flags |= AlarmRecord::kUnknownSubscriber;
    AlarmRecord demo = alarm(1444, 0x130, -1);
    demo.origCodeWord = static_cast<uint16_t>(0x130 | (AlarmRecord::kStateDemonstration << 12));
    for (const AlarmRecord& a : {unknown, demo}) {
        const auto info = describeAlarmSubscriber(db, events, types, a);
        ASSERT_TRUE(info.has_value()) << a.subscriber;
        EXPECT_EQ(info->name, "");
    }
}

} // namespace
} // namespace k4
