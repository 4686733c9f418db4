// "Opis" over a real "opis": a long text with Polish letters goes into a
// chain of many records and comes back the same; view mode keeps it as it
// is; an emptied text frees the chain. The pictures of the subscriber are
// listed, shown (decoded from files the test writes) and a damaged one is
// told instead of shown. With KESTREL4_SCREENSHOT_DESC=path the window with
// a shown picture is saved, to look at.
#include "../../processing/processing_station.h"

#include "database/description_text.h"
#include "database/picture_writing.h"
#include "database/text_edge.h"
#include "database/ui/desc.h"
#include "database/ui/graph.h"
#include "database/ui/mod_graph_form.h"

#include "support/qt_test_app.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <fstream>
#include <sys/stat.h>

namespace k4 {
namespace {

// Runs what is given on the next modal window that comes up.
void onNextModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start(5);
}

struct DescWindow : ::testing::Test {
    test::ProcessingStation st;
    DescriptionParts parts{st.db, {}, nullptr};
    Int32Le desc = 0;

    DescWindow() {
        test::qtApp();
        ::mkdir(st.dir.file("grafika").c_str(), 0755);
    }
    int64_t opisRecords() const { return (static_cast<int64_t>(st.dir.read("opis").size()) - 32) / 256; }
    std::string storedText() {
        std::string text;
        EXPECT_GE(readDescriptionText(st.db, desc, text), 0);
        return text;
    }
};

QString longPolishText() {
    QString text;
    for (int i = 0; i < 40; ++i)
        text += QString::fromUtf8("%1. Wejście od podwórza, klucze u sąsiada: Łukasz Żółkiewski, ćma i źdźbło.\n")
                    .arg(i);
    return text;
}

TEST_F(DescWindow, ALongTextRoundTripsThroughManyChainRecords) {
    const QString text = longPolishText();
    {
        TDesc window(parts, nullptr, 1, 7, desc);
        EXPECT_EQ(window.windowTitle(), "Opis");
        EXPECT_FALSE(window.DBMemo1->isReadOnly());
        EXPECT_TRUE(window.EndChBtn->isVisibleTo(&window));
        EXPECT_FALSE(window.EndBtn->isVisibleTo(&window));
        window.DBMemo1->setPlainText(text);
        window.EndChBtnClick();
        EXPECT_EQ(window.result(), QDialog::Accepted);
    }
    ASSERT_NE(desc, 0);
    const std::string stored = storedText();
    EXPECT_EQ(stored, MazoviaFromUtf8(QString(text).replace("\n", "\r\n").toStdString())) << "Mazovia, CR LF";
    EXPECT_GE(opisRecords(), static_cast<int64_t>(stored.size() / 252)) << "many records of the chain";

    TDesc view(parts, nullptr, 0, 7, desc);
    EXPECT_EQ(view.DBMemo1->toPlainText(), text);
    EXPECT_TRUE(view.DBMemo1->isReadOnly());
    EXPECT_FALSE(view.EndChBtn->isVisibleTo(&view)) << "no storing in view mode";
    EXPECT_TRUE(view.EndBtn->isVisibleTo(&view));
    view.EndChBtnClick();
    EXPECT_EQ(storedText(), stored);
}

TEST_F(DescWindow, AnEmptiedTextFreesTheChainAndKoniecStoresNothing) {
    {
        TDesc window(parts, nullptr, 1, 7, desc);
        window.DBMemo1->setPlainText(QString::fromUtf8("Zakład"));
        window.EndChBtnClick();
    }
    const int32_t first = desc;
    ASSERT_NE(first, 0);
    {
        TDesc window(parts, nullptr, 1, 7, desc);
        window.DBMemo1->setPlainText(QString::fromUtf8("Inny tekst"));
        window.EndBtnClick();
    }
    EXPECT_EQ(Utf8FromMazovia(storedText()), "Zakład");
    {
        TDesc window(parts, nullptr, 1, 7, desc);
        window.DBMemo1->clear();
        window.EndChBtnClick();
    }
    EXPECT_EQ(desc, 0);
    OnDemandFile opis(st.db.files(), DbFile::Opis, "");
    EXPECT_EQ(opis.file().firstFree(), first) << "the chain's record is free again";
}

TEST_F(DescWindow, PicturesAreListedShownAndADamagedOneIsTold) {
    RgbPicture plan = RgbPicture::filled(60, 40, 200, 30, 30);
    st.dir.write("grafika/00071PLN.pcx", encodePcx(plan, true));
    st.dir.write("grafika/00072.jpg", encodeJpeg(plan));
    st.dir.write("grafika/00073ZLY.bmp", encodeBmp(plan).substr(0, 70));
    TDesc window(parts, nullptr, 0, 7, desc);
    ASSERT_EQ(window.ListBox->count(), 3);
    EXPECT_EQ(window.ListBox->item(0)->text(), "1  PLN");
    EXPECT_EQ(window.ListBox->item(1)->text(), "2");
    EXPECT_EQ(window.ListBox->currentRow(), 0);

    QSize shownSize;
    onNextModal([&](QWidget* w) {
        auto* graph = qobject_cast<TGraph*>(w);
        ASSERT_NE(graph, nullptr);
        EXPECT_EQ(graph->windowTitle(), "Grafika obiektu");
        shownSize = graph->Image1->pixmap().size();
        graph->reject();
    });
    window.ShowBtnClick();
    EXPECT_FALSE(shownSize.isEmpty());
    EXPECT_EQ(shownSize.width() * 40, shownSize.height() * 60) << "scaled with its proportions kept";
    EXPECT_FALSE(window.Image1->pixmap().isNull()) << "the thumbnail";

    window.ListBox->setCurrentRow(2);
    window.ShowBtnClick(); // no window comes: the box says why
    ASSERT_EQ(st.ui.boxes.size(), 1u);
    EXPECT_EQ(st.ui.boxes[0].text, " Plik grafiki grafika/00073ZLY.bmp jest uszkodzony lub niepełny.");
}

TEST_F(DescWindow, AddingGoesThroughTheChooserAndTheDetailsForm) {
    test::TempDir source;
    source.write("plan.pcx", encodePcx(RgbPicture::filled(8, 8, 1, 2, 3), false));
    source.write("notatka.txt", "x");
    parts.copyIn = [](const std::string& target, const std::string& name, const std::string& dir) {
        std::ifstream in(dir + "/" + name, std::ios::binary);
        std::ofstream(target, std::ios::binary) << in.rdbuf();
        return 0;
    };
    TModGraphForm details;
    parts.details = &details;
    st.ui.directoryAnswers.push_back(source.path());
    onNextModal([](QWidget* chooser) {
        auto* files = chooser->findChild<QListWidget*>("Files");
        ASSERT_EQ(files->count(), 1) << "only picture files";
        onNextModal([](QWidget* form) {
            auto* f = qobject_cast<TModGraphForm*>(form);
            ASSERT_NE(f, nullptr);
            f->NoME->setText("4");
            f->DescE->setText(QString::fromUtf8("Łąka"));
            f->Button1Click();
        });
        qobject_cast<QDialog*>(chooser)->accept();
    });
    TDesc window(parts, nullptr, 0, 7, desc);
    window.AddBtnClick();
    ASSERT_EQ(window.ListBox->count(), 1);
    EXPECT_EQ(window.ListBox->item(0)->text(), QString::fromUtf8("4  Łąk"));
    EXPECT_EQ(window.pictures().names(), std::vector<std::string>{"00074Łąk.pcx"});
    EXPECT_EQ(details.number, 4) << "the form keeps its values";
}

TEST_F(DescWindow, Screenshot) {
    const QString path = qEnvironmentVariable("KESTREL4_SCREENSHOT_DESC");
    if (path.isEmpty()) GTEST_SKIP() << "KESTREL4_SCREENSHOT_DESC not set";
    // The demo's pictures of 1001, made by the demo set-up itself.
    const QString demo = qEnvironmentVariable("KESTREL4_DEMO_DIR");
    if (demo.isEmpty()) GTEST_SKIP() << "KESTREL4_DEMO_DIR not set";
    for (const char* name : {"10011PLN.pcx", "10012WID.jpg", "10013ZAP.bmp"}) {
        std::ifstream in(demo.toStdString() + "/grafika/" + name, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        st.dir.write(std::string("grafika/") + name, bytes);
    }
    {
        TDesc window(parts, nullptr, 1, 1001, desc);
        window.DBMemo1->setPlainText(QString::fromUtf8(
            "Apteka na parterze kamienicy, wejście od ulicy Marszałkowskiej.\n"
            "Zaplecze i magazyn leków od podwórza, drzwi stalowe.\n"
            "Centrala alarmowa w korytarzu przy wyjściu ewakuacyjnym.\n"
            "Klucze: kierownik apteki, Anna Kowalska, oraz ochrona budynku.\n"
            "Pies stróżujący w nocy na podwórzu - nie wchodzić bez właściciela!"));
        window.EndChBtnClick();
    }
    TDesc window(parts, nullptr, 0, 1001, desc);
    window.show();
    QImage shot;
    onNextModal([&](QWidget* w) {
        QCoreApplication::processEvents();
        const QPixmap desc = window.grab();
        const QPixmap graph = w->grab();
        // The two windows side by side, "Opis" and the picture it shows.
        shot = QImage(desc.width() + graph.width() + 30, std::max(desc.height(), graph.height()) + 20,
                      QImage::Format_RGB32);
        shot.fill(QColor(70, 90, 110));
        QPainter p(&shot);
        p.drawPixmap(10, 10, desc);
        p.drawPixmap(desc.width() + 20, 10, graph);
        static_cast<QDialog*>(w)->reject();
    });
    window.ShowBtnClick();
    ASSERT_TRUE(shot.save(path));
}

} // namespace
} // namespace k4
