// "Lista Abonentów", "Nowy abonent" and "Zmiana numeru abonenta" over a
// small database: the list in Polish order by name and town, narrowed by
// ranges and filters; the search selects the subscriber found; the card,
// the deletion and the dialogs that make and renumber subscribers.
#include "../processing_station.h"

#include "database/codepage.h"
#include "database/number_change.h"
#include "database/subscriber_search.h"
#include "database/text_edge.h"
#include "database/ui/new_no.h"
#include "processing/ui/new_sbs.h"
#include "processing/ui/sbscrbrs.h"

#include "support/qt_test_app.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>

namespace k4 {
namespace {

struct ListWindow : ::testing::Test {
    test::ProcessingStation st;
    std::map<int, int32_t> offsets;

    struct Row {
        int number;
        const char* name;
        const char* town;
        uint8_t tracks;
    };
    ListWindow() {
        test::qtApp();
        const Row rows[] = {
            {11, "Żak", "Łódź", kTrackRadio},          {12, "Zając", "Lublin", kTrackDialUp},
            {13, "Łoś", "Łomża", kTrackGsm},            {14, "Lis", "Łask", kTrackRadio | kTrackDialUp},
            {15, "Ćma", "Zamość", kTrackFixedLine},     {16, "Cis", "Ełk", kTrackRadio},
            {17, "Świt", "Ścinawa", kTrackAdemco},      {18, "Sowa", "Siedlce", 0},
            {19, "Źródło", "Żary", kTrackContactId},
        };
        for (const Row& r : rows)
            offsets[r.number] = st.addSubscriber(r.number, [&r](SubscriberRecord& rec) {
                std::snprintf(rec.name, sizeof rec.name, "%s", mz(r.name).c_str());
                std::snprintf(rec.town, sizeof rec.town, "%s", mz(r.town).c_str());
                rec.tracks = r.tracks;
            });
    }
    static std::vector<int> numbers(TSbscrbrs& list) {
        std::vector<int> out;
        for (int i = 0; i < list.count(); ++i) out.push_back(list.line(i).left(4).toInt());
        return out;
    }
    static std::string key(const char* utf8) {
        std::string k = mz(utf8);
        UpperMazovia(k);
        return k;
    }
};

TEST_F(ListWindow, OrderedByNumberNameAndTownInPolishOrder) {
    TSbscrbrs list(st.indexes, st.db, st.shared, {}, false);
    EXPECT_EQ(list.windowTitle(), QString::fromUtf8("Lista Abonentów"));
    EXPECT_EQ(numbers(list), (std::vector<int>{11, 12, 13, 14, 15, 16, 17, 18, 19}));
    EXPECT_TRUE(list.line(0).startsWith(QString::fromUtf8("0011 - Żak")));
    EXPECT_EQ(list.current(), 0);

    list.sortBy(kIndexName, {}, {}, 0, false);
    EXPECT_EQ(numbers(list), (std::vector<int>{16, 15, 14, 13, 18, 17, 12, 19, 11}))
        << "C Ć L Ł S Ś Z Ź Ż";
    list.sortBy(kIndexTown, {}, {}, 0, false);
    EXPECT_EQ(numbers(list), (std::vector<int>{16, 12, 14, 13, 11, 18, 17, 15, 19}))
        << "Ełk Lublin Łask Łomża Łódź Siedlce Ścinawa Zamość Żary";

    // A range compares its end over its own length: Ł..Ł is every town
    // beginning with Ł, and nothing with L.
    list.sortBy(kIndexTown, key("Ł"), key("Ł"), 20, false);
    EXPECT_EQ(numbers(list), (std::vector<int>{14, 13, 11}));
    list.sortBy(kIndexTown, key("Łó"), key("Łó"), 20, false);
    EXPECT_EQ(numbers(list), (std::vector<int>{11}));
}

TEST_F(ListWindow, FiltersKeepThePathsAskedForAndRebuildingListsEveryone) {
    TSbscrbrs list(st.indexes, st.db, st.shared, {}, false);
    list.sortBy(kIndexName, {}, {}, 0, false);
    struct Case {
        uint16_t mask;
        std::vector<int> kept;
    };
    for (const Case& c : {Case{kTrackRadio, {16, 14, 11}}, Case{kTrackDialUp | kTrackGsm, {14, 13, 12}},
                          Case{kTrackAdemco | kTrackContactId, {17, 19}}, Case{0, {}},
                          Case{kNoFilter, {16, 15, 14, 13, 18, 17, 12, 19, 11}}}) {
        SCOPED_TRACE(c.mask);
        list.sorter().refilter(c.mask);
        list.rebuild();
        // rebuild drops the filter; the sorter's own list is what was kept.
        std::vector<int> kept;
        list.sorter().refilter(c.mask);
        for (int i = 0; i < list.sorter().count(); ++i)
            kept.push_back(Sbscrbr(st.db, AtOffset{list.sorter().offset(i)}).number());
        EXPECT_EQ(kept, c.kept);
    }
    list.rebuild();
    EXPECT_EQ(list.count(), 9) << "a rebuilt list is unfiltered";
    EXPECT_EQ(list.sorter().index(), kIndexName) << "and keeps its order";
}

TEST_F(ListWindow, SearchSelectsTheSubscriberFoundAndTheCardRebuildsTheList) {
    SubscriberFound answer{kSearchByName, offsets[13]};
    std::vector<int32_t> cards;
    TSbscrbrs::Actions actions;
    actions.find = [&] { return answer; };
    actions.openCard = [&](int32_t offset, QWidget*) {
        cards.push_back(offset);
        return true;
    };
    TSbscrbrs list(st.indexes, st.db, st.shared, actions, false);
    EXPECT_FALSE(list.Nowy->isVisibleTo(&list)) << "supervisor mode only";
    list.SzukajClick();
    EXPECT_EQ(list.sorter().index(), kIndexName) << "found by name: ordered by name";
    EXPECT_EQ(list.current(), 3);
    EXPECT_TRUE(list.line(list.current()).startsWith(QString::fromUtf8("0013 - Łoś")));
    list.ListDblClick();
    EXPECT_EQ(cards, std::vector<int32_t>{offsets[13]});

    list.sortBy(kIndexTown, key("Ł"), key("Ł"), 20, false);
    answer = {kSearchByNumber, offsets[18]};
    list.SzukajClick();
    EXPECT_EQ(st.shown(), std::vector<std::string>{" Nie ma takiego abonenta w liście"});
}

TEST_F(ListWindow, UsunDeletesTheSelectedSubscriberAfterTheQuestion) {
    TSbscrbrs list(st.indexes, st.db, st.shared, {}, true);
    EXPECT_TRUE(list.Usun->isVisibleTo(&list));
    list.select(2);
    st.ui.answers = {BoxAnswer::No};
    list.UsunClick();
    EXPECT_EQ(list.count(), 9);
    st.ui.answers = {BoxAnswer::Yes};
    list.UsunClick();
    EXPECT_EQ(st.shown(), (std::vector<std::string>{" Na pewno usunąć abonenta 0013?", " Na pewno usunąć abonenta 0013?"}));
    EXPECT_EQ(list.count(), 8);
    EXPECT_FALSE(st.indexes.recordOfNumber(13));
}

TEST_F(ListWindow, NewSubscriberNeedsAFreeNumberAndASharedList) {
    st.shared.setSlot(3, st.ownList({}), mz("Banki"));
    TNewSbs dialog(st.indexes, st.shared, st.messages);
    ASSERT_EQ(dialog.Lista->count(), 2);
    EXPECT_EQ(dialog.Lista->item(0)->text(), "00 standard");
    dialog.Numer->setText("12");
    dialog.Lista->setCurrentRow(1);
    dialog.UtworzClick();
    dialog.Numer->setText("40");
    dialog.Lista->clearSelection();
    dialog.UtworzClick();
    dialog.Lista->setCurrentRow(0);
    dialog.UtworzClick();
    EXPECT_EQ(st.shown(), (std::vector<std::string>{" W bazie istnieje już abonent o podanym numerze",
                                                    " Nie podano listy zdarzeń",
                                                    " Abonent nie powinien używać tej listy"}));
    EXPECT_EQ(dialog.result(), 0) << "still open";
    dialog.Lista->setCurrentRow(1);
    dialog.UtworzClick();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.number(), 40);
    EXPECT_EQ(dialog.listId(), st.shared.slot(3).listId);
}

TEST_F(ListWindow, NumberChangeDialogStaysOpenOnATakenNumber) {
    TNewNo dialog(st.db, st.indexes);
    EXPECT_EQ(dialog.windowTitle(), "Zmiana numeru abonenta");
    dialog.Stary->setText("0011");
    dialog.Nowy->setText("0012");
    dialog.ZmienClick();
    EXPECT_EQ(dialog.outcome(), kNumberTaken);
    dialog.Nowy->setText("0042");
    dialog.ZmienClick();
    EXPECT_EQ(dialog.outcome(), kNumberChanged);
    EXPECT_EQ(*st.indexes.recordOfNumber(42), offsets[11]);
    TSbscrbrs list(st.indexes, st.db, st.shared, {}, false);
    EXPECT_TRUE(list.line(list.count() - 1).startsWith(QString::fromUtf8("0042 - Żak")));
}

} // namespace
} // namespace k4
