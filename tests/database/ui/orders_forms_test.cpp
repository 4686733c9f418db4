// The order windows offscreen: the table with its order dialog and its
// questions, and a subscriber's orders over its record in memory, with the
// chooser, the sent code and the saving of "&Koniec".
#include "database/ui/orders_forms.h"

#include "../database_fixture.h"
#include "database/orders_table_list.h"
#include "database/text_edge.h"
#include "support/qt_test_app.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace k4 {
namespace {

using test::DatabaseTest;

// The next modal dialog of type T, as the operator meets it.
template <class T>
void whenShown(std::function<void(T&)> act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

bool hasButton(const QWidget& w, const char* caption) {
    for (const auto* b : w.findChildren<QPushButton*>())
        if (b->text() == QString::fromUtf8(caption)) return true;
    return false;
}

struct OrderWindows : DatabaseTest {
    OrderNamesTable& names = db.orderNames();
    OrderWindows() {
        test::qtApp();
        EXPECT_EQ(names.Load(), 0);
        EXPECT_EQ(names.StoreOrder(0, 0x05, mz("Otwórz bramę")), 0);
        EXPECT_EQ(names.StoreOrder(0, 0x0A, "Zamknij"), 0);
        EXPECT_EQ(names.StoreOrder(0, 0x30, "Syrena"), 0);
    }
};

TEST_F(OrderWindows, TheTableIsEditedThroughItsOrderDialog) {
    TOrdersTab table(names, messages, nullptr);
    ASSERT_EQ(table.count(), 3);
    EXPECT_EQ(table.line(0), QString::fromUtf8("05 Otwórz bramę"));
    EXPECT_FALSE(hasButton(table, "Kopiuj &wszystkie"));

    // A new order under a code that is taken: No keeps the dialog open,
    // then a free code is stored.
    ui.answers = {BoxAnswer::No};
    whenShown<TOrderForm>([](TOrderForm& form) {
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Rozkaz"));
        form.Numer->setText("0a");
        form.Opis->setText(QString::fromUtf8("Włącz światło"));
        EXPECT_EQ(form.ZapiszClick(), 1);
        EXPECT_TRUE(form.isVisible());
        form.Numer->setText("0b");
        EXPECT_EQ(form.ZapiszClick(), 0);
    });
    table.NowyClick();
    ASSERT_EQ(table.count(), 4);
    EXPECT_EQ(table.line(2), QString::fromUtf8("0B Włącz światło"));
    EXPECT_EQ(Utf8FromMazovia(names.OrderRecord(0x0A).name), "Zamknij");

    // A double click edits: the order moves to a new code.
    table.select(0);
    whenShown<TOrderForm>([](TOrderForm& form) {
        EXPECT_EQ(form.Numer->text(), QStringLiteral("05"));
        EXPECT_EQ(form.Opis->text(), QString::fromUtf8("Otwórz bramę"));
        form.Numer->setText("06");
        EXPECT_EQ(form.ZapiszClick(), 0);
    });
    table.ListDblClick();
    EXPECT_FALSE(names.IsDefined(5));
    EXPECT_EQ(table.line(0), QString::fromUtf8("06 Otwórz bramę"));

    ui.answers = {BoxAnswer::No, BoxAnswer::Yes};
    table.select(1);
    table.UsunClick();
    EXPECT_EQ(table.count(), 4);
    table.UsunClick();
    EXPECT_EQ(table.count(), 3);
    EXPECT_FALSE(names.IsDefined(0x0A));
    EXPECT_EQ(ui.boxes.back().text, " Usunąć rozkaz 0A ?");
    // Nothing to print through: told.
    table.WydrukClick();
    EXPECT_NE(ui.boxes.back().text.find("wydruku (drukarka)"), std::string::npos);
}

TEST_F(OrderWindows, ALegacyListIsShownAndComesBackWhenTheDialogIsLeftUnsaved) {
    Sbscrbr s(db, ByNumber{1});
    s.record.orders[0] = 0x05;
    s.record.orders[1] = 0x0A;
    s.record.orders[2] = 0x00;
    const std::string legacy(reinterpret_cast<char*>(s.record.orders), 100);
    {
        TSbsOrders dialog(db, s.record, true);
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Lista rozkazów abonenta"));
        ASSERT_EQ(dialog.count(), 2);
        EXPECT_EQ(dialog.line(0).left(20), QString::fromUtf8("05 (05) Otwórz bramę"));
        EXPECT_EQ(dialog.line(1).left(15), QStringLiteral("0A (0A) Zamknij"));
        dialog.select(1);
        dialog.UsunClick();
        EXPECT_EQ(dialog.count(), 1);
        dialog.reject();
    }
    EXPECT_EQ(std::string(reinterpret_cast<char*>(s.record.orders), 100), legacy);
    EXPECT_EQ(test::recordsIn(bytes("orders"), 256), 0);
    // Viewing: nothing to change, and nothing changes.
    TSbsOrders view(db, s.record, false);
    EXPECT_FALSE(hasButton(view, "&Dodaj"));
    EXPECT_FALSE(hasButton(view, "Usuń &wszystkie"));
    view.select(0);
    view.ListDblClick(); // no sent-code dialog
    view.KoniecClick();
    EXPECT_FALSE(view.saved());
}

TEST_F(OrderWindows, ChosenOrdersAndASentCodeAreSavedByKoniec) {
    Sbscrbr s(db, ByNumber{2}); // current form, no set yet
    const std::string before = bytes("orders");
    bool saved = false;
    whenShown<TSbsOrders>([](TSbsOrders& dialog) {
        EXPECT_EQ(dialog.count(), 0);
        // "&Dodaj": a double click in the table permits one order.
        whenShown<TOrdersTab>([](TOrdersTab& chooser) {
            EXPECT_TRUE(hasButton(chooser, "Kopiuj &wszystkie"));
            EXPECT_FALSE(hasButton(chooser, "&Nowy"));
            chooser.select(2);
            chooser.ListDblClick();
            chooser.accept();
        });
        dialog.DodajClick();
        ASSERT_EQ(dialog.count(), 1);
        EXPECT_EQ(dialog.line(0).left(14), QStringLiteral("30 (30) Syrena"));
        // Then every order at once.
        whenShown<TOrdersTab>([](TOrdersTab& chooser) { chooser.KopiujClick(); });
        dialog.DodajClick();
        ASSERT_EQ(dialog.count(), 3);
        // 05 goes out as 15, then as 25; a value out of range changes nothing.
        dialog.select(0);
        for (const char* typed : {"15", "25", "0"}) {
            whenShown<TSentCodeForm>([typed](TSentCodeForm& form) {
                EXPECT_EQ(form.findChild<QLineEdit*>("Kod")->text().size(), 2);
                form.Kod->setText(QString::fromLatin1(typed));
                form.accept();
            });
            dialog.ListDblClick();
        }
        // Cancel changes nothing either.
        whenShown<TSentCodeForm>([](TSentCodeForm& form) {
            form.Kod->setText("77");
            form.reject();
        });
        dialog.ListDblClick();
        EXPECT_EQ(dialog.line(0).left(8), QStringLiteral("05 (25) "));
        // Chosen again, it keeps the code it goes out under.
        whenShown<TOrdersTab>([](TOrdersTab& chooser) {
            chooser.select(0);
            chooser.ListDblClick();
            chooser.accept();
        });
        dialog.DodajClick();
        EXPECT_EQ(dialog.line(0).left(8), QStringLiteral("05 (25) "));
        dialog.KoniecClick();
    });
    saved = openSubscriberOrders(db, s.record, true);
    EXPECT_TRUE(saved);
    EXPECT_EQ(shown(), std::vector<std::string>{" Numer rozkazu spoza zakresu"});
    // The set is appended to "orders" and the field names it.
    const std::string field(reinterpret_cast<char*>(s.record.orders), 8);
    EXPECT_EQ(field.substr(0, 4), std::string("\x00\xFF\xFF\x00", 4));
    const int32_t at = test::int32At(field, 4);
    ASSERT_GT(at, 0);
    std::string expected(256, '\0');
    expected[0x05] = 0x25;
    expected[0x0A] = 0x0A;
    expected[0x30] = 0x30;
    EXPECT_EQ(bytes("orders").substr(static_cast<size_t>(at), 256), expected);
    EXPECT_GT(bytes("orders").size(), before.size());
    // What a later list sees of it.
    OrdersTableList list(db.files(), names, s.record.orders);
    EXPECT_EQ(list.ShownCode(0x25), 0x05);
}

} // namespace
} // namespace k4
