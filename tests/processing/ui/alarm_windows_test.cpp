#include "processing/ui/al_desc.h"
#include "processing/ui/al_serv.h"
#include "processing/ui/qt_alarm_windows.h"

#include "database/text_edge.h"
#include "processing/event_table.h"
#include "messages/messages.h"
#include "support/qt_test_app.h"
#include "support/scripted_operator_ui.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace k4 {
namespace {

const std::array<std::string, 8> kSteps = {"Telefon do abonenta", "Policja", "Straż", "Pogotowie",
                                           "Patrol",              "Klucze",  "Raport", "Inne"};

TEST(TAlServ, CtrlLettersTickStepsAndEveryTickRewritesTheMask) {
    test::qtApp();
    TAlServ dialog(kSteps, 0x02);
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Typ obsługi"));
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_TRUE(dialog.step(1)->isChecked()) << "pre-ticked from the alarm";

    QTest::keyClick(&dialog, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&dialog, Qt::Key_H, Qt::ControlModifier);
    QTest::keyClick(&dialog, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(dialog.service(), 0x81);
    dialog.step(2)->click();
    EXPECT_EQ(dialog.service(), 0x85);

    // Each step shows its letter in bold before the text.
    auto* label = dialog.findChild<QLabel*>("StepLabel3");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("<b>C</b>"))) << label->text().toStdString();
    EXPECT_TRUE(label->text().contains(QString::fromUtf8("Straż")));
}

TEST(TAlServ, OnlyUsunRemoves) {
    test::qtApp();
    const std::pair<const char*, int> buttons[] = {
        {"RemoveBtn", kServiceRemove}, {"LeaveBtn", kServiceKeep}, {"SetBtn", kServiceKeep}};
    for (const auto& [name, outcome] : buttons) {
        TAlServ dialog(kSteps, 0);
        dialog.show();
        dialog.findChild<QPushButton*>(name)->click();
        EXPECT_EQ(dialog.outcome(), outcome) << name;
        EXPECT_FALSE(dialog.isVisible());
    }
}

class Description : public ::testing::Test {
protected:
    test::ScriptedOperatorUi ui;
    Messages messages{ui};
    EventTable events;
    AlarmSubscriberInfo info{"Sklep Pod Lipami", "ul. Długa 5, 00-950 Warszawa", "022 123 45 67", "Jan Kowalski",
                             "tajne", "TE", " - Parter", "004 - Drzwi"};
    void SetUp() override {
        test::qtApp();
        events.setRecords({});
        ASSERT_EQ(events.putEvent(makeEventDef(0x130, "WLAMANIE", "Włamanie - strefa wewnętrzna", 4), 0x130), 0);
    }
    static AlarmRecord alarm(int subscriber, int subsystem, uint8_t flags = 0, int state = 0) {
        AlarmRecord a;
        a.subscriber = static_cast<int16_t>(subscriber);
        a.subsystem = static_cast<int16_t>(subsystem);
        a.codeWord = codeWordOf(0x130, 4);
        a.sector = 4;
        a.flags = flags;
        a.origCodeWord = static_cast<uint16_t>(0x130 | (state << 12));
        return a;
    }
};

TEST_F(Description, FieldsOfTheAlarm) {
    struct Case {
        AlarmRecord alarm;
        const char* subscriber;
        const char* description;
        const char* subsystem;
    };
    const Case cases[] = {
        {alarm(12, 1), "0012", "Włamanie - strefa wewnętrzna", "01 - Parter"},
        {alarm(0x1A2B, 1, AlarmRecord::kHexSubscriber), "1A2B", "Włamanie - strefa wewnętrzna", "01 - Parter"},
        {alarm(12, 1, 0, 1), "0012", "# ALARM TESTOWY!", "01 - Parter"},
        {alarm(12, 92), "0012", "Włamanie - strefa wewnętrzna", "92 OSTATNI MELDUNEK!"},
    };
    for (const Case& c : cases) {
        TAlDesc dialog(c.alarm, &events, info);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Opis alarmu"));
        EXPECT_EQ(dialog.fieldText("SubscriberLbl"), QString::fromUtf8(c.subscriber));
        EXPECT_EQ(dialog.fieldText("DescriptionLbl"), QString::fromUtf8(c.description)) << c.subscriber;
        EXPECT_EQ(dialog.fieldText("SubsystemLbl"), QString::fromUtf8(c.subsystem));
        EXPECT_EQ(dialog.fieldText("CodeLbl"), QStringLiteral("130"));
        EXPECT_EQ(dialog.fieldText("NameLbl"), QString::fromUtf8("Sklep Pod Lipami"));
    }
}

TEST_F(Description, TheForwardingButtonsFalseAlarmAndTheOrderButton) {
    std::vector<int> forwarded;
    int falseAlarms = 0, orders = 0;
    AlarmDescriptionActions actions;
    actions.captions = {"Ba&za1", ""};
    actions.forwardNow = [&](int which) { forwarded.push_back(which); };
    actions.firePending = true;
    actions.falseAlarm = [&] { ++falseAlarms; };
    actions.sendOrder = [&](QWidget*) { ++orders; };
    TAlDesc dialog(alarm(12, 1), &events, info, nullptr, &actions);
    auto* first = dialog.findChild<QPushButton*>("Forward1Btn");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->text(), QStringLiteral("Ba&za1"));
    EXPECT_EQ(dialog.findChild<QPushButton*>("Forward2Btn"), nullptr) << "no second base";
    first->click();
    EXPECT_EQ(forwarded, std::vector<int>{2});
    dialog.findChild<QPushButton*>("FalseAlarmBtn")->click();
    EXPECT_EQ(falseAlarms, 1);
    dialog.findChild<QPushButton*>("SendOrderBtn")->click();
    EXPECT_EQ(orders, 1);
    TAlDesc plain(alarm(12, 1), &events, info);
    EXPECT_EQ(plain.findChild<QPushButton*>("SendOrderBtn"), nullptr);
}

TEST_F(Description, UnknownSubscriberIsToldAndNoWindowIsMade) {
    QtAlarmWindows windows(messages, &events, [](const AlarmRecord&) { return std::optional<AlarmSubscriberInfo>{}; },
                           kSteps);
    EXPECT_EQ(windows.createDescription(alarm(321, 1)), nullptr);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Brak informacji o abonencie 321");
}

} // namespace
} // namespace k4

#include "processing/block_lst.h"
#include "processing/scheduler.h"
#include "processing/ui/sbs_blockade.h"
#include "support/manual_clock.h"
#include "support/temp_dir.h"

#include <QLineEdit>
#include <QRadioButton>

namespace k4 {
namespace {

TEST(TSbsBlockade, TimedBlockadeNeedsItsMinutesAndUstawSetsIt) {
    test::qtApp();
    test::TempDir dir;
    test::ManualClock clock;
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    bool suspended = false;
    HistoryLog history(DataDir(dir.path()), messages, clock, suspended);
    ASSERT_GE(history.OpenHistory("logf"), 0);
    Scheduler scheduler(DataDir(dir.path()), clock, messages, history);
    BlockLst blockades(DataDir(dir.path()), messages, history, scheduler);
    ASSERT_EQ(blockades.load(), 0);

    TSbsBlockade dialog({42, "Sklep", "tajne", {}}, blockades, scheduler, messages);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Blokada abonenta 0042"));
    EXPECT_EQ(dialog.findChild<QLabel*>("PasswordLbl")->text(), QString::fromUtf8("Hasło tajne"));
    auto* minutes = dialog.findChild<QLineEdit*>("Minutes");
    EXPECT_EQ(minutes->text(), QStringLiteral("60"));
    dialog.show();

    dialog.findChild<QRadioButton*>("Niepelnych")->setChecked(true);
    dialog.findChild<QRadioButton*>("Czasowa")->setChecked(true);
    minutes->clear();
    dialog.UstawClick();
    EXPECT_EQ(blockades.kindOf(42), 0) << "no lasting blockade in place of a timed one";
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(dialog.isVisible());

    minutes->setText(QStringLiteral("90"));
    dialog.UstawClick();
    EXPECT_EQ(blockades.kindOf(42), kBlockIncomplete | kBlockTimed);
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace
} // namespace k4
