#include "database/ui/find_sbs.h"

#include "database/index_page_cache.h"
#include "database/subscriber_indexes.h"
#include "messages/messages.h"
#include "support/qt_test_app.h"
#include "support/scripted_operator_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include <stdexcept>

namespace k4 {
namespace {

struct NoIndexFailure final : IndexFailure {
    void indexFailed(const std::string& m, const std::string&, int64_t) override { throw std::runtime_error(m); }
};

TEST(TFindSbs, StaysOpenWhenNobodyIsFoundKeepsItsFieldsAndPorzucGivesNobody) {
    test::qtApp();
    test::TempDir tmp;
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    IndexPageCache cache;
    NoIndexFailure failure;
    SubscriberIndexes indexes(DataDir(tmp.path()), cache, failure, messages);
    ASSERT_EQ(indexes.openAll(true), 0);
    SubscriberSearch search(DataDir(tmp.path()), indexes, messages);
    TFindSbs dialog(search);
    EXPECT_EQ(dialog.windowTitle(), "Znajdź abonenta");
    EXPECT_EQ(dialog.Nazwa->maxLength(), 29);
    EXPECT_EQ(dialog.Haslo->maxLength(), 10);
    EXPECT_EQ(dialog.Telefon->maxLength(), 9);

    bool stillOpen = false;
    QTimer::singleShot(0, [&] {
        dialog.Numer->setText("42");
        dialog.Szukaj->click();
        stillOpen = dialog.isVisible();
        dialog.Porzuc->click();
    });
    const SubscriberFound none = dialog.find();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(none.offset, -1);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Nie ma takiego abonenta");

    QString kept;
    QTimer::singleShot(0, [&] {
        kept = dialog.Numer->text();
        EXPECT_FALSE(dialog.Nastepny->isVisible());
        dialog.Porzuc->click();
    });
    dialog.find();
    EXPECT_EQ(kept, "42");
    indexes.closeAll();
}

// An operator who found someone once and then leaves the search by Escape or
// by closing the window has chosen nobody: the command must stop, not act on
// the subscriber of the search before.
TEST(TFindSbs, EscapeOrClosingAfterAnEarlierSearchGivesNobody) {
    test::qtApp();
    test::TempDir tmp;
    test::ScriptedOperatorUi ui;
    Messages messages(ui);
    IndexPageCache cache;
    NoIndexFailure failure;
    SubscriberIndexes indexes(DataDir(tmp.path()), cache, failure, messages);
    ASSERT_EQ(indexes.openAll(true), 0);
    ASSERT_EQ(indexes.handle(kIndexNumber).InsertKey("1012", 4242), 1);
    SubscriberSearch search(DataDir(tmp.path()), indexes, messages);
    TFindSbs dialog(search);

    QTimer::singleShot(0, [&] {
        dialog.Numer->setText("1012");
        dialog.Szukaj->click();
    });
    EXPECT_EQ(dialog.find().offset, 4242);

    const std::function<void()> leaveWithoutChoice[] = {
        [&] { QTest::keyClick(&dialog, Qt::Key_Escape); },
        [&] { dialog.close(); },
    };
    for (const auto& leave : leaveWithoutChoice) {
        QTimer::singleShot(0, leave);
        const SubscriberFound none = dialog.find();
        EXPECT_EQ(none.offset, -1);
        EXPECT_EQ(none.kind, -1);
    }
    EXPECT_TRUE(ui.boxes.empty());
    indexes.closeAll();
}

} // namespace
} // namespace k4
