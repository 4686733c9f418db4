// The subscriber card offscreen over a small station: its button rows in
// each mode, editing and saving with the history entry of editing, the
// results of "&Usuń" and of "&Historia" in history mode, supervisor mode
// switched on by the card and off again when it closes, a new subscriber's
// card, and the arming window and the subsystems window it opens.
#include "processing/processing_station.h"

#include "database/lines_list.h"
#include "database/subsystem_editing.h"
#include "database/text_edge.h"
#include "database/ui/abonent.h"
#include "database/ui/arms_form.h"
#include "database/ui/lines_form.h"
#include "database/ui/persons_form.h"

#include "support/qt_test_app.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

namespace k4 {
namespace {

struct CardWindowRig : test::ProcessingStation {
    bool supervisor = false;
    int left = 0;     // supervisor mode left by the card
    int saved = 0;    // the rescheduling after a save
    int pathsOf = -1; // the record whose path dialog was asked for

    CardWindowRig() { test::qtApp(); }

    CardLinks links() {
        CardLinks l{db, indexes, messages, config, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}};
        l.supervisorOn = [this] { return supervisor; };
        l.enterSupervisor = [this] { return supervisor = true; };
        l.leaveSupervisor = [this] {
            supervisor = false;
            ++left;
        };
        l.paths = [this](int32_t offset, bool, QWidget*) { pathsOf = offset; };
        l.history = [](int, QWidget*) {};
        l.afterSave = [this](Sbscrbr&) { ++saved; };
        return l;
    }
    std::vector<std::pair<int, int>> kinds() const {
        std::vector<std::pair<int, int>> out;
        for (const HistoryEntry& e : entries()) out.emplace_back(e.kindCode(), e.subscriber);
        return out;
    }
};

std::vector<QString> rowOf(TAbonent& card) {
    std::vector<QString> row;
    for (QPushButton* b : {card.KoniecZmian, card.Edycja, card.Usun, card.Wydruk, card.Nadzor, card.Badania,
                           card.Historia, card.Koniec})
        if (!b->isHidden()) row.push_back(b->text());
    return row;
}

TEST(TAbonent, TheButtonRowOfEachMode) {
    CardWindowRig rig;
    const int32_t at = rig.addSubscriber(301);
    {
        TAbonent card(rig.links(), -1, 0, at, nullptr);
        EXPECT_EQ(card.windowTitle(), QStringLiteral("Abonent 0301"));
        EXPECT_EQ(rowOf(card), (std::vector<QString>{QString::fromUtf8("&Nadzór"), "&Badania", "&Historia", "&Koniec"}));
        EXPECT_TRUE(card.Nazwa->isReadOnly());
        EXPECT_FALSE(card.Tory->isEnabled());
        EXPECT_TRUE(card.Diody->isHidden());
        EXPECT_TRUE(card.Pomiary->isHidden());
        EXPECT_FALSE(card.Rozkazy->isEnabled()) << "the orders dialog is not linked";
        EXPECT_FALSE(card.Opis->isEnabled());
    }
    rig.supervisor = true;
    TAbonent card(rig.links(), -1, 0, at, nullptr);
    EXPECT_EQ(rowOf(card), (std::vector<QString>{"&Edycja", QString::fromUtf8("&Usuń"), "Wy&druk", "&Badania",
                                                 "&Historia", "&Koniec"}));
    card.EdycjaClick();
    EXPECT_EQ(rowOf(card), (std::vector<QString>{"&Koniec zmian", "&Badania", "&Historia"}));
    EXPECT_FALSE(card.Nazwa->isReadOnly());
    EXPECT_TRUE(card.Tory->isEnabled());
}

// KESTREL4_CARD_SCREENSHOT=FILE keeps a picture of the card as shown.
TEST(TAbonent, TheFieldsShowTheStoredRecordInTheWindowsCodePage) {
    CardWindowRig rig;
    const int32_t at = rig.addSubscriber(1, [](SubscriberRecord& r) {
        std::strcpy(r.name, mz("Sklep \"Żabka\" - Główna").c_str());
        std::strcpy(r.town, mz("Łódź").c_str());
        std::strcpy(r.code, "90001");
        std::strcpy(r.address, mz("ul. Piotrkowska 12").c_str());
        std::strcpy(r.tel, "0426301234");
        std::strcpy(r.tel_gsm, "600100200");
        r.ip = static_cast<int32_t>(10u | 20u << 8 | 30u << 16 | 40u << 24);
        std::strcpy(r.contact1, "602 111 222 (kierownik)");
        std::strcpy(r.passwd, "wiosna");
        std::strcpy(r.central, "CA-64");
        r.tracks = 0x01 | kTrackRadio | kTrackGsm;
        r.tracks_nbr = 0x20;
        r.gsm_operator = 2;
    });
    rig.supervisor = true;
    TAbonent card(rig.links(), -1, 0, at, nullptr);
    EXPECT_EQ(card.Nazwa->text(), QString::fromUtf8("Sklep \"Żabka\" - Główna"));
    EXPECT_EQ(card.Miejscowosc->text(), QString::fromUtf8("Łódź"));
    EXPECT_EQ(card.Kod->text(), QStringLiteral("90-001"));
    EXPECT_EQ(card.NumerIP->text(), QStringLiteral("10.20.30.40"));
    EXPECT_EQ(card.IloscPodsystemow->text(), QStringLiteral("1"));
    EXPECT_EQ(card.IloscSektorow->text(), QStringLiteral("1"));
    EXPECT_EQ(card.BazaRadiowa->currentIndex(), 2);
    EXPECT_FALSE(card.BazaRadiowa->isHidden());
    EXPECT_TRUE(card.BazaSztywna->isHidden()) << "no fixed line ticked";
    EXPECT_EQ(card.OperatorGSM->currentText(), QStringLiteral("Orange"));
    if (const char* shot = std::getenv("KESTREL4_CARD_SCREENSHOT")) {
        card.show();
        QApplication::processEvents();
        EXPECT_TRUE(card.grab().save(QString::fromLocal8Bit(shot)));
    }
}

TEST(TAbonent, AnEditedPhoneIsSavedWithItsKeysAndEditingIsNoted) {
    CardWindowRig rig;
    const int32_t at = rig.addSubscriber(302, [](SubscriberRecord& r) { std::strcpy(r.tel, "0481111111"); });
    rig.supervisor = true;
    TAbonent card(rig.links(), -1, 0, at, nullptr);
    EXPECT_EQ(card.Telefon->text(), QStringLiteral("0481111111"));
    card.EdycjaClick();
    card.Telefon->setText(QStringLiteral("0482222222"));
    card.Nazwa->setText(QString::fromUtf8("Łąka Źdźbło"));
    card.KoniecZmianClick();
    EXPECT_EQ(card.result(), QDialog::Accepted);
    EXPECT_EQ(rig.saved, 1);
    EXPECT_STREQ(rig.stored(302).tel, "0482222222");
    EXPECT_EQ(rig.stored(302).name, mz("Łąka Źdźbło")) << "stored in Mazovia";
    EXPECT_EQ(rig.indexes.ownerOfPhone("482222222"), std::optional<int>(302));
    EXPECT_FALSE(rig.indexes.ownerOfPhone("481111111"));
    EXPECT_EQ(rig.kinds().back(), (std::pair<int, int>{71, 302}));
}

TEST(TAbonent, ATakenNumberKeepsTheCardOpenInEditMode) {
    CardWindowRig rig;
    rig.addSubscriber(10);
    const int32_t at = rig.addSubscriber(11);
    rig.supervisor = true;
    TAbonent card(rig.links(), -1, 0, at, nullptr);
    card.EdycjaClick();
    card.Numer->setText(QStringLiteral("10"));
    card.KoniecZmianClick();
    EXPECT_NE(card.result(), QDialog::Accepted);
    EXPECT_TRUE(card.editing());
    EXPECT_EQ(rig.saved, 0);
    EXPECT_EQ(rig.indexes.recordOfNumber(11), std::optional<int32_t>(at));
}

TEST(TAbonent, DeleteAndHistoryAndTestModeResults) {
    CardWindowRig rig;
    const int32_t at = rig.addSubscriber(303);
    rig.supervisor = true;
    {
        TAbonent card(rig.links(), -1, 0, at, nullptr);
        rig.ui.answers = {BoxAnswer::No};
        card.UsunClick();
        EXPECT_EQ(card.result(), kCardDeleted) << "the list is rebuilt whatever the answer";
        EXPECT_EQ(rig.ui.boxes.back().text, " Na pewno usunąć abonenta 0303?");
        EXPECT_TRUE(rig.indexes.recordOfNumber(303));
    }
    {
        TAbonent card(rig.links(), -1, 303, kCardByNumberForHistory, nullptr);
        EXPECT_EQ(card.mode(), CardMode::History);
        card.HistoriaClick();
        EXPECT_EQ(card.result(), kCardBackToHistory);
    }
    {
        TAbonent card(rig.links(), -1, 0, at, nullptr);
        card.BadaniaClick();
        EXPECT_EQ(rig.pathsOf, at);
        card.setTestMode();
        rig.pathsOf = -1;
        card.BadaniaClick();
        EXPECT_EQ(card.result(), QDialog::Accepted) << "in test mode it closes instead";
        EXPECT_EQ(rig.pathsOf, -1);
    }
    TAbonent card(rig.links(), -1, 0, at, nullptr);
    rig.ui.answers = {BoxAnswer::Yes};
    card.UsunClick();
    EXPECT_EQ(card.result(), kCardDeleted);
    EXPECT_FALSE(rig.indexes.recordOfNumber(303));
}

TEST(TAbonent, SupervisorModeSwitchedOnByTheCardIsLeftWhenItCloses) {
    CardWindowRig rig;
    const int32_t at = rig.addSubscriber(304);
    {
        TAbonent card(rig.links(), -1, 0, at, nullptr);
        card.NadzorClick();
        EXPECT_TRUE(rig.supervisor);
        EXPECT_FALSE(card.Edycja->isHidden());
    }
    EXPECT_EQ(rig.left, 1);
    rig.supervisor = true;
    { TAbonent card(rig.links(), -1, 0, at, nullptr); }
    EXPECT_EQ(rig.left, 1) << "a mode the card did not switch on stays";
}

TEST(TAbonent, ANewSubscribersCardStartsInEditModeAndIsFoundAfterTheSave) {
    CardWindowRig rig;
    std::strcpy(rig.config.town, "Radom");
    TAbonent card(rig.links(), -1, 4321, kCardByNumber, nullptr);
    EXPECT_EQ(card.windowTitle(), QStringLiteral("Abonent 4321"));
    EXPECT_EQ(card.Miejscowosc->text(), QStringLiteral("Radom"));
    card.EdycjaClick();
    EXPECT_EQ(rig.kinds().back(), (std::pair<int, int>{71, 4321}));
    card.Nazwa->setText(QStringLiteral("Nowy obiekt"));
    card.NumerIP->setText(QStringLiteral("10.20.30.40"));
    card.Tory->item(3)->setCheckState(Qt::Checked);
    card.OperatorGSM->setCurrentIndex(1);
    card.KoniecZmianClick();
    EXPECT_EQ(card.result(), QDialog::Accepted);
    const SubscriberRecord r = rig.stored(4321);
    EXPECT_STREQ(r.name, "Nowy obiekt");
    EXPECT_EQ(static_cast<uint32_t>(static_cast<int32_t>(r.ip)) & 0xFF, 10u);
    EXPECT_EQ(r.tracks, kTrackGsm);
    EXPECT_EQ(r.gsm_operator, 1);
}

// A schedule of position 0 in "uzbroj", office hours every day.
int32_t officeSchedule(test::ProcessingStation& st) {
    OnDemandFile uzbroj(st.db.files(), DbFile::Uzbroj, "");
    EXPECT_TRUE(uzbroj.ok());
    ArmingSchedule s{};
    s.identification = kPanelSubsystemBit | 1;
    for (auto& d : s.days) d = {7 * 60, 30, 16 * 60, 60, 0};
    int32_t offset = 0;
    EXPECT_EQ(uzbroj.file().AppendRecord(offset, &s), 0);
    return offset;
}

TEST(TArms, AChangedArmingTimeIsAskedForAndWrittenWhenThePositionChanges) {
    CardWindowRig rig;
    SubscriberRecord r{};
    r.arm_plans[0] = officeSchedule(rig);
    r.lines[1] = rig.subsystem(1, {5});
    TArms arms(rig.db, true, r, nullptr);
    EXPECT_EQ(arms.shownPosition(), 0);
    EXPECT_EQ(arms.SubsysLB->item(0)->text(), QStringLiteral("01 BRAK OPISU PODSYSTEMU"));
    EXPECT_EQ(arms.SubsysLB->item(1)->text(), QStringLiteral("........."));
    EXPECT_EQ(arms.WeekGrid->item(2, 0)->text(), QStringLiteral("wtorek"));
    EXPECT_EQ(arms.WeekGrid->item(2, 3)->text(), QStringLiteral("16:00"));

    // Switching without a change asks nothing.
    arms.SubsysLBClick(1);
    EXPECT_TRUE(rig.ui.boxes.empty());
    EXPECT_EQ(arms.shownPosition(), 255);
    arms.SubsysLBClick(0);

    arms.WeekGrid->item(2, 3)->setText(QStringLiteral("07:30"));
    arms.WeekGridToggle(7, 5); // Sunday's "Pomiń" twice: as it was
    arms.WeekGridToggle(7, 5);
    rig.ui.answers = {BoxAnswer::Yes};
    arms.SubsysLBClick(1);
    EXPECT_EQ(rig.shown(), (std::vector<std::string>{" Dane zostały zmienione!\nZapisać je?"}));
    EXPECT_TRUE(arms.changed());
    ArmingSchedule onDisk{};
    const std::string image = rig.dir.read("uzbroj");
    std::memcpy(&onDisk, image.data() + r.arm_plans[0], sizeof onDisk);
    EXPECT_EQ(onDisk.days[1].arm_time, 450);
    EXPECT_EQ(onDisk.days[6].skip, 0);

    // A typed hour out of range is refused when it is committed.
    arms.SubsysLBClick(0);
    arms.WeekGrid->item(3, 1)->setText(QStringLiteral("25:00"));
    EXPECT_NE(rig.shown().back().find("Niepoprawna godzina"), std::string::npos);
}

TEST(TArms, ArmersAreInsertedInOrderAndTheGridIsStoredOnSave) {
    CardWindowRig rig;
    SubscriberRecord r{};
    r.arm_plans[2] = officeSchedule(rig);
    r.armers[0] = {3, 0};
    r.armers[1] = {10, 0};
    TArms arms(rig.db, true, r, nullptr);
    arms.addArmer(5, 0b1);
    arms.addArmer(10, 0b10); // there already: nothing changes
    ASSERT_EQ(arms.Grid->rowCount(), 4);
    EXPECT_EQ(arms.Grid->item(2, 0)->text(), QStringLiteral("005"));
    EXPECT_EQ(arms.Grid->item(2, 1)->text(), QStringLiteral("X"));
    arms.GridToggle(1, 3); // armer 003, position 2
    arms.GridToggle(0, 3); // the header: nothing
    // Ticking supervises only a position that has a schedule.
    arms.SubsysLB->item(2)->setCheckState(Qt::Checked);
    arms.SubsysLB->item(4)->setCheckState(Qt::Checked);
    EXPECT_EQ(arms.SubsysLB->item(4)->checkState(), Qt::Unchecked);
    arms.SaveBtnClick();
    EXPECT_EQ(arms.result(), kArmsSaved);
    EXPECT_EQ(r.armers[0].mask, 0b100);
    EXPECT_EQ(r.armers[1].code, 5);
    EXPECT_EQ(r.armers[2].code, 10);
    EXPECT_EQ(r.armers[2].mask, 0);
    EXPECT_EQ(r.arm_mask, 0b100);
}

TEST(TArms, InViewModeNothingChangesAndNothingIsAsked) {
    CardWindowRig rig;
    SubscriberRecord r{};
    r.arm_plans[0] = officeSchedule(rig);
    r.armers[0] = {3, 1};
    TArms arms(rig.db, false, r, nullptr);
    EXPECT_TRUE(arms.SaveBtn->isHidden());
    EXPECT_FALSE(arms.EndBtn->isHidden());
    EXPECT_FALSE(arms.WeekGrid->item(2, 3)->flags() & Qt::ItemIsEditable);
    arms.WeekGridToggle(1, 5);
    arms.GridToggle(1, 1);
    arms.SubsysLBClick(1);
    EXPECT_TRUE(rig.ui.boxes.empty());
    EXPECT_EQ(arms.WeekGrid->item(1, 5)->text(), QString());
    EXPECT_EQ(arms.Grid->item(1, 1)->text(), QStringLiteral("X"));
}

TEST(TLines, AnEditedSectorDescriptionDeclinedShowsTheOldOneAgain) {
    CardWindowRig rig;
    Sbscrbr s(rig.db);
    {
        LinesList lines(rig.db.files(), s.record.lines);
        ASSERT_EQ(NewSubsystem(lines, 2, "Biuro"), 0);
        SectorsList sectors(lines);
        ASSERT_EQ(NewSector(lines, sectors, 4, "CZ", "Okno"), 0);
    }
    TLines window(rig.db, true, s.record.lines, nullptr);
    ASSERT_EQ(window.LinesListBox->count(), 1);
    EXPECT_EQ(window.LinesListBox->item(0)->text(), QStringLiteral("02 - Biuro "));
    EXPECT_EQ(window.SectorsListBox->item(0)->text(), QStringLiteral("04 - Okno "));
    window.DBMemo2->setText(QStringLiteral("Drzwi"));
    rig.ui.answers = {BoxAnswer::No};
    window.GroupBox3Exit();
    EXPECT_EQ(window.DBMemo2->text(), QStringLiteral("Okno"));
    window.DBMemo1->setText(QString::fromUtf8("Biuro górne"));
    rig.ui.answers = {BoxAnswer::Yes};
    window.GroupBox2Exit();
    EXPECT_EQ(window.LinesListBox->item(0)->text(), QString::fromUtf8("02 - Biuro górne "));

    TLines viewing(rig.db, false, s.record.lines, nullptr);
    EXPECT_TRUE(viewing.NewLine->isHidden());
    EXPECT_TRUE(viewing.DBMemo1->isReadOnly());
    EXPECT_EQ(viewing.CloseBtn->text(), QStringLiteral("&Koniec"));
}

TEST(TPersons, PersonsAddedAndAPlaceHolderShowAsTheirLines) {
    CardWindowRig rig;
    Sbscrbr s(rig.db);
    TPersons window(rig.db, true, s.record.persons, nullptr);
    PersonRecord p{};
    std::strcpy(p.name, "Kowalski");
    std::strcpy(p.tel, "600100200");
    std::strcpy(p.passwd, "haslo");
    p.alarm = 0x130;
    window.storeNew(p);
    window.PustaClick();
    ASSERT_EQ(window.count(), 2);
    EXPECT_EQ(window.line(0), QString());
    EXPECT_EQ(window.line(1), QStringLiteral("Kowalski                          600100200 haslo       130"));
    EXPECT_EQ(s.record.persons[0], -1) << "the place-holder went before the selected person";
    EXPECT_GT(s.record.persons[1], 0);
}

} // namespace
} // namespace k4
