#include "processing/ui/sbs_blockade.h"

#include "database/text_edge.h"
#include "processing/block_lst.h"
#include "messages/messages.h"
#include "shell/ui/edit_key_filter.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace k4 {

namespace {

QRadioButton* radio(const char* name, const char* text, QWidget* parent, QLayout* layout) {
    auto* button = new QRadioButton(QString::fromUtf8(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    layout->addWidget(button);
    return button;
}

} // namespace

TSbsBlockade::TSbsBlockade(const BlockadeSubscriber& subscriber, BlockLst& blockades, Scheduler& scheduler,
                           Messages& messages, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), subscriber_(subscriber),
      blockades_(blockades), scheduler_(scheduler), messages_(messages) {
    setObjectName("SbsBlockade");
    setWindowTitle(QString::asprintf("Blokada abonenta %4.4d", subscriber.number));

    auto* name = new QLabel(QString::fromStdString(subscriber.name), this);
    name->setObjectName("NameLbl");
    auto* password = new QLabel(QString::fromUtf8("Hasło ") + QString::fromStdString(subscriber.password), this);
    password->setObjectName("PasswordLbl");
    auto* opis = new QPushButton(QStringLiteral("&Opis"), this);
    opis->setObjectName("OpisBtn");
    connect(opis, &QPushButton::clicked, this, [this] { OpisClick(); });

    auto* kindBox = new QGroupBox(QString::fromUtf8("Blokada"), this);
    auto* kinds = new QVBoxLayout(kindBox);
    Abonenta = radio("Abonenta", "Abonenta", kindBox, kinds);
    Alarmow = radio("Alarmow", "Alarmów", kindBox, kinds);
    Niepelnych = radio("Niepelnych", "Niepełnych", kindBox, kinds);
    Alarmow->setChecked(true); // the mildest kind unless the operator says otherwise

    auto* timeBox = new QGroupBox(QString::fromUtf8("Czas"), this);
    auto* times = new QGridLayout(timeBox);
    Ciagla = new QRadioButton(QString::fromUtf8("Ciągła"), timeBox);
    Ciagla->setObjectName("Ciagla");
    Czasowa = new QRadioButton(QStringLiteral("Czasowa"), timeBox);
    Czasowa->setObjectName("Czasowa");
    Ciagla->setChecked(true);
    Minutes = new QLineEdit(QString::number(kDefaultMinutes), timeBox);
    Minutes->setObjectName("Minutes");
    Minutes->setMaxLength(3);
    Minutes->setFixedWidth(40);
    EditKeyFilter::install(Minutes, EditKeyFilter::Kind::Digits);
    times->addWidget(Ciagla, 0, 0, 1, 3);
    times->addWidget(Czasowa, 1, 0, 1, 3);
    times->addWidget(new QLabel(QStringLiteral("Przez"), timeBox), 2, 0);
    times->addWidget(Minutes, 2, 1);
    times->addWidget(new QLabel(QStringLiteral("minut"), timeBox), 2, 2);

    auto* ustaw = new QPushButton(QStringLiteral("&Ustaw"), this);
    ustaw->setObjectName("UstawBtn");
    ustaw->setDefault(true);
    connect(ustaw, &QPushButton::clicked, this, [this] { UstawClick(); });
    auto* porzuc = new QPushButton(QString::fromUtf8("&Porzuć"), this);
    porzuc->setObjectName("PorzucBtn");
    connect(porzuc, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    auto* info = new QVBoxLayout;
    info->addWidget(name);
    info->addWidget(password);
    top->addLayout(info, 1);
    top->addWidget(opis);
    auto* boxes = new QHBoxLayout;
    boxes->addWidget(kindBox);
    boxes->addWidget(timeBox);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ustaw);
    buttons->addWidget(porzuc);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(boxes);
    layout->addLayout(buttons);
}

void TSbsBlockade::OpisClick() {
    if (subscriber_.openDescription) {
        subscriber_.openDescription(this);
        return;
    }
    const std::string text = subscriber_.description ? subscriber_.description() : std::string();
    QMessageBox box(QMessageBox::NoIcon, windowTitle(), QString::fromStdString(text), QMessageBox::Ok, this);
    box.exec();
}

void TSbsBlockade::UstawClick() {
    BlockadeRequest request;
    request.subscriber = subscriber_.number;
    request.kind = Abonenta->isChecked() ? kBlockSubscriber : Niepelnych->isChecked() ? kBlockIncomplete : kBlockAlarms;
    if (Czasowa->isChecked()) {
        bool ok = false;
        const int minutes = Minutes->text().trimmed().toInt(&ok);
        // A timed blockade without its time would silently become a lasting one.
        if (!ok || minutes <= 0) {
            messages_.ShowNotice(mz("\x03Podaj czas blokady w minutach (1 - 999)"), kNoticeInfo);
            Minutes->setFocus();
            return;
        }
        request.minutes = minutes;
    }
    if (setBlockade(request, blockades_, scheduler_, messages_) == 0) accept();
}

} // namespace k4
