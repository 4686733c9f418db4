// The history window offscreen over a small history: its lines, the filter
// dialog's boxes, the text file and the cut; the archive files window.
#include "history/archive_files.h"
#include "history/ui/filtr_hist_dlg.h"
#include "history/ui/hist_files.h"
#include "history/ui/history_form.h"

#include "../history_entries.h"
#include "../history_fixture.h"
#include "support/qt_test_app.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>

namespace k4 {
namespace {

using test::localStamp;
using test::reportEntry;

struct WindowStation {
    test::HistoryStation s;
    HistoryWindowParts parts;

    WindowStation() {
        std::vector<HistoryEntry> all;
        for (int d = 1; d <= 20; ++d) all.push_back(reportEntry(localStamp(2026, 10, d, 12), d % 4 == 0 ? 1234 : 5, 0x130));
        for (int d = 1; d <= 10; ++d) all.push_back(reportEntry(localStamp(2026, 11, d, 12), 5, 0x130));
        s.dir.write("logf", test::historyFileOf(all));
        EXPECT_EQ(s.log.OpenHistory("logf"), kHistoryCurrent);
        test::setLocal(s.clock, 2026, 11, 14, 9, 5);
        parts.file = &s.log.historyFile();
        parts.log = &s.log;
        parts.messages = &s.messages;
        parts.clock = &s.clock;
        parts.knowledge = test::testKnowledge();
        parts.format = [](const HistoryEntry& e) {
            char line[64];
            std::snprintf(line, sizeof line, "%d ~%04d~ %03X", static_cast<int>(e.time), static_cast<int>(e.subscriber), e.kindCode());
            return std::string(line);
        };
        parts.dataDir = s.dir.path();
    }
};

TEST(THistory, ShowsTheLinesAndNarrowsToASubscriber) {
    test::qtApp();
    WindowStation w;
    THistory window(w.parts);
    ASSERT_EQ(window.count(), 30);
    EXPECT_TRUE(window.line(0).endsWith(QStringLiteral(" 0005 130")));
    EXPECT_FALSE(window.line(3).contains(QLatin1Char('~')));
    EXPECT_TRUE(window.line(3).contains(QStringLiteral("1234")));
    HistFilter f;
    f.subscriber = 1234;
    window.applyFilter(f, true);
    EXPECT_EQ(window.count(), 5);
    EXPECT_EQ(w.s.boxText(0), " Znaleziono 5 pozycji");
    // Opened for one subscriber: narrowed from the start, and the archive
    // buttons are off for a file that is not the station's history.
    WindowStation other;
    other.parts.subscriber = 1234;
    other.parts.log = nullptr;
    THistory one(other.parts);
    EXPECT_EQ(one.count(), 5);
    EXPECT_FALSE(one.Usun->isEnabled());
}

TEST(THistory, TextFileOfTheFilteredList) {
    test::qtApp();
    WindowStation w;
    THistory window(w.parts);
    HistFilter f;
    f.subscriber = 1234;
    window.applyFilter(f, false);
    const std::string target = w.s.dir.file("pendrive");
    ASSERT_EQ(::mkdir(target.c_str(), 0755), 0);
    w.s.ui.directoryAnswers = {target};
    window.PlikTxtClick();
    const std::string text = w.s.dir.read("pendrive/hb140905.txt");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
    EXPECT_FALSE(fileExists(w.s.dir.file("log_txt.tmp")));
    // Cancelled: nothing left behind.
    w.s.ui.directoryAnswers = {std::nullopt};
    window.PlikTxtClick();
    EXPECT_FALSE(fileExists(w.s.dir.file("log_txt.tmp")));
}

TEST(THistory, CutBeforeADateRecountsTheList) {
    test::qtApp();
    WindowStation w;
    THistory window(w.parts);
    w.s.ui.answers = {BoxAnswer::Yes};
    LocalDateTime day;
    day.year = 2026;
    day.month = 11;
    day.day = 1;
    window.deleteBefore(day);
    // The ten November entries and the removal's own entry.
    EXPECT_EQ(window.list().fileEntries(), 11);
    EXPECT_EQ(window.count(), 11);
}

TEST(TFiltr_hist_dlg, TheBoxesGiveTheFilter) {
    test::qtApp();
    test::HistoryStation s;
    HistFilter start;
    TFiltr_hist_dlg dialog(start, s.messages, [](const std::string& code) -> std::optional<int> {
        if (code == "1111") return 4;
        return std::nullopt;
    }, {});
    EXPECT_TRUE(dialog.Kategorie[4]->isChecked()); // "BEZ Początek pracy" by default
    dialog.OdDaty->setText(QStringLiteral("2026.11.01"));
    dialog.OdCzasu->setText(QStringLiteral("08:30"));
    dialog.DoDaty->setText(QStringLiteral("2026.11.30"));
    dialog.NumerAbonenta->setText(QStringLiteral("1234"));
    dialog.NumerZdarzenia->setText(QStringLiteral("fff"));
    dialog.NrPodsys->setText(QStringLiteral("3"));
    dialog.KodOperatora->setText(QStringLiteral("1111"));
    dialog.Kategorie[2]->setChecked(true);
    dialog.Tory[1]->setChecked(true);
    dialog.Bazy[1]->setText(QStringLiteral("3"));
    dialog.Wszystkich->setChecked(true);
    ASSERT_TRUE(dialog.readBoxes());
    const HistFilter& f = dialog.filter();
    EXPECT_EQ(f.from, localStamp(2026, 11, 1, 8, 30));
    EXPECT_EQ(f.to, localStamp(2026, 11, 30));
    EXPECT_EQ(f.subscriber, 1234);
    EXPECT_EQ(f.code, -1); // 0xFFF is no event code
    EXPECT_EQ(f.subsystem, 3);
    EXPECT_EQ(f.sector, 4095);
    EXPECT_EQ(f.operatorNumber, 4);
    EXPECT_EQ(f.unknown, 1);
    EXPECT_EQ(f.categories, kCategoryNoWorkStart);
    EXPECT_EQ(f.tracks, 1 << kFilterTrackRadio);
    EXPECT_EQ(f.bases[kFilterTrackRadio], 3);
    EXPECT_EQ(f.service, 2);
    // An unknown code: No keeps the dialog open.
    dialog.KodOperatora->setText(QStringLiteral("9999"));
    s.ui.answers = {BoxAnswer::No};
    EXPECT_FALSE(dialog.readBoxes());
    EXPECT_TRUE(test::contains(s.ui.boxes.back().text, "Podany kod nie należy do żadnego abonenta."));
}

TEST(THistFiles, ListsArchivesAndRemovesOneAfterYes) {
    test::qtApp();
    WindowStation w;
    w.s.dir.write("26_10.log", test::historyFileOf({}));
    w.s.dir.write("26_11_a.log", test::historyFileOf({}));
    w.s.dir.write("notatki.txt", "x");
    THistFiles files(w.s.log, w.parts);
    ASSERT_EQ(files.Files->count(), 2);
    EXPECT_EQ(files.selected(), QStringLiteral("26_10.log"));
    // Into the data directory itself: refused.
    w.s.ui.directoryAnswers = {w.s.dir.path() + "/"};
    files.ZrzutClick();
    EXPECT_TRUE(test::contains(w.s.boxText(0), "Brak dyskietki lub próba zapisu w katalogu bazowym"));
    const std::string target = w.s.dir.file("usb");
    ASSERT_EQ(::mkdir(target.c_str(), 0755), 0);
    w.s.ui.directoryAnswers = {target};
    files.ZrzutClick();
    EXPECT_EQ(w.s.dir.read("usb/26_10.log"), test::historyFileOf({}));
    w.s.ui.answers = {BoxAnswer::Yes};
    files.UsunClick();
    EXPECT_FALSE(fileExists(w.s.dir.file("26_10.log")));
    ASSERT_EQ(files.Files->count(), 1);
    // Brought back from the medium, an existing one only after Yes.
    EXPECT_EQ(restoreArchive(DataDir(w.s.dir.path()), target, "26_10.log", w.s.messages), 0);
    EXPECT_TRUE(fileExists(w.s.dir.file("26_10.log")));
    w.s.ui.answers = {BoxAnswer::No};
    EXPECT_EQ(restoreArchive(DataDir(w.s.dir.path()), target, "26_10.log", w.s.messages), 1);
    EXPECT_TRUE(test::contains(w.s.ui.boxes.back().text, "Kopiowanie zostaje porzucone."));
}

} // namespace
} // namespace k4
