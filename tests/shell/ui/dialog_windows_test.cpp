#include "messages/messages.h"
#include "shell/ui/edit_key_filter.h"
#include "shell/ui/qt_operator_ui.h"
#include "shell/ui/spread_button_row.h"
#include "shell/ui/viewer.h"
#include "shell/ui/wait_form.h"
#include "support/qt_test_app.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace k4 {
namespace {

class NumberedViewer : public TViewer {
public:
    std::vector<int> doubleClicked;
    bool ViewLine(int line, std::string& text, int) override {
        text = "Linia " + std::to_string(line) + (line == 2 ? std::string(60, '#') : "");
        return line % 2 == 1;
    }
    void ListBoxDblClick(int line) override { doubleClicked.push_back(line); }
    QListView* list() { return ListBox; }
};

TEST(TViewer, LinesComeFromTheWindowRedWhenAskedAndCutAt50) {
    test::qtApp();
    NumberedViewer viewer;
    viewer.SetViewCount(4);
    EXPECT_EQ(viewer.viewCount(), 4);
    EXPECT_EQ(viewer.currentLine(), 3) << "the last line is selected";
    EXPECT_EQ(viewer.lineText(0), "Linia 0");
    EXPECT_EQ(viewer.lineText(2).size(), 50);
    EXPECT_TRUE(viewer.lineHighlighted(1));
    EXPECT_FALSE(viewer.lineHighlighted(2));
    viewer.SetViewCount(0);
    EXPECT_EQ(viewer.currentLine(), -1);
}

TEST(TViewer, SpaceActsAsDoubleClickAndKoniecCloses) {
    test::qtApp();
    NumberedViewer viewer;
    viewer.SetViewCount(3);
    viewer.show();
    QTest::keyClick(viewer.list(), Qt::Key_Space);
    EXPECT_EQ(viewer.doubleClicked, std::vector<int>{2});
    auto* end = viewer.findChild<QPushButton*>("EndBtn");
    ASSERT_NE(end, nullptr);
    EXPECT_EQ(end->text(), "&Koniec");
    EXPECT_TRUE(end->isDefault());
    end->click();
    EXPECT_FALSE(viewer.isVisible());
}

TEST(QtOperatorUi, BoxShowsTextCaptionButtonsAndAnswers) {
    test::qtApp();
    QtOperatorUi ui;
    Messages messages(ui);
    QString seenText, seenTitle;
    int buttons = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seenText = box->text();
        seenTitle = box->windowTitle();
        buttons = static_cast<int>(box->buttons().size());
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(messages.AskYesNo("\x03Usun\x86\x8D?"), kResultYes);
    EXPECT_EQ(seenText, QString::fromUtf8(" Usunąć?"));
    EXPECT_EQ(seenTitle, QString::fromUtf8("Ostrzeżenie"));
    EXPECT_EQ(buttons, 2);
}

TEST(QtOperatorUi, WaitWindowShowsAndHides) {
    test::qtApp();
    QtOperatorUi ui;
    {
        WaitDlg wait(ui, "\x03Trwa testowanie port\xF3w.");
        EXPECT_TRUE(ui.waitForm()->isVisible());
        EXPECT_EQ(ui.waitForm()->text(), QString::fromUtf8("Trwa testowanie portów."));
        EXPECT_EQ(ui.waitForm()->windowTitle(), "Poczekaj!");
    }
    EXPECT_FALSE(ui.waitForm()->isVisible());
}

TEST(EditKeyFilter, DropsAndReplacesKeysAsTheFieldAllows) {
    test::qtApp();
    QLineEdit hex, decimal, time;
    EditKeyFilter::install(&hex, EditKeyFilter::Kind::HexDigits);
    EditKeyFilter::install(&decimal, EditKeyFilter::Kind::Decimal);
    EditKeyFilter::install(&time, EditKeyFilter::Kind::DigitsPlus, ':');
    QTest::keyClicks(&hex, "1bg2");
    QTest::keyClicks(&decimal, "1.2.3x");
    QTest::keyClicks(&time, "19:25.");
    EXPECT_EQ(hex.text(), "1B2");
    EXPECT_EQ(decimal.text(), "1.23");
    EXPECT_EQ(time.text(), "19:25");
    QTest::keyClick(&time, Qt::Key_Backspace);
    EXPECT_EQ(time.text(), "19:2");
}

TEST(SpreadButtonRow, PlacesTheChildButtonsOfAGroupBox) {
    test::qtApp();
    QGroupBox box;
    box.resize(420, 50);
    box.setProperty("tag", 1);
    std::vector<QPushButton*> buttons;
    for (int tag : {0, 1, 2, 0}) {
        auto* b = new QPushButton("x", &box);
        b->resize(75, 25);
        b->setProperty("tag", tag);
        buttons.push_back(b);
    }
    box.show();
    SpreadButtonRow(&box);
    const int step = (75 + box.contentsRect().width()) / 4;
    EXPECT_FALSE(buttons[2]->isVisible());
    EXPECT_EQ(buttons[0]->x(), step - 75);
    EXPECT_EQ(buttons[1]->x(), 2 * step - 75);
    EXPECT_EQ(buttons[3]->x(), 3 * step - 75);
}

} // namespace
} // namespace k4
