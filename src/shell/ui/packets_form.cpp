#include "shell/ui/packets_form.h"

#include "database/text_edge.h"
#include "messages/messages.h"
#include "shell/station.h"

#include <QDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace k4 {

namespace {

enum : int { kCheckAgain = 2 };

// The memo shows each line's 0x03 marker as a blank.
QString listText(const std::string& mazovia) { return QString::fromStdString(Messages::shownText(mazovia, false)); }

int showPacketsForm(QWidget* parent, const std::string& list) {
    QDialog dialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog.setObjectName("PacketsForm");
    dialog.setWindowTitle(QStringLiteral("Pakiety"));
    auto* memo = new QPlainTextEdit(&dialog);
    memo->setObjectName("Memo1");
    memo->setReadOnly(true);
    memo->setFont(QFont(QStringLiteral("Monospace")));
    memo->setPlainText(listText(list));
    const int lines = memo->document()->blockCount();
    // 13 pixels a line, the dialog 100 pixels higher than its memo.
    memo->setFixedHeight(13 * lines);
    auto* check = new QPushButton(QStringLiteral("&Sprawdź pakiety"), &dialog);
    auto* close = new QPushButton(QStringLiteral("&Zamknij"), &dialog);
    close->setDefault(true);
    QObject::connect(check, &QPushButton::clicked, &dialog, [&dialog] { dialog.done(kCheckAgain); });
    QObject::connect(close, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(memo);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(check);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    dialog.setFixedHeight(memo->height() + 100);
    dialog.setMinimumWidth(QFontMetrics(memo->font()).horizontalAdvance(QString(30, QLatin1Char('W'))));
    return dialog.exec();
}

} // namespace

void runModuleCheckDialog(Station& station, QWidget* parent, bool firstDetects) {
    if (station.config().mode == 2) {
        station.pathsRebuilt();
        return;
    }
    bool detect = firstDetects;
    for (;;) {
        if (detect) {
            WaitDlg wait(station.messages().ui(), Cp1250FromUtf8("\x03Trwa sprawdzanie pakietów"));
            station.detectPaths();
        }
        if (showPacketsForm(parent, station.paths().PathListText()) != kCheckAgain) break;
        detect = true;
    }
    station.pathsRebuilt();
}

} // namespace k4
