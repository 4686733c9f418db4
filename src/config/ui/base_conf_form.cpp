#include "config/ui/base_conf_form.h"

#include "database/text_edge.h"
#include "messages/messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace k4 {

namespace {

QComboBox* ackChoice(QWidget* parent, int item) {
    auto* box = new QComboBox(parent);
    for (const char* v : {"1", "2", "3", "4", "5"}) box->addItem(QString::fromLatin1(v));
    box->setCurrentIndex(item);
    return box;
}

} // namespace

TBaseConfForm::TBaseConfForm(BaseEntry& entry, int mode, Messages& messages, QWidget* parent)
    : QDialog(parent), entry_(entry), messages_(messages) {
    setObjectName("BaseConfForm");
    setWindowTitle(mode == 3 ? QStringLiteral("Baza nadawcza") : QStringLiteral("Baza odbiorcza"));
    const BaseEntryFields f = baseEntryFields(entry);
    auto* grid = new QGridLayout(this);
    NameBase1E = new QLineEdit(QString::fromStdString(f.name), this);
    NameBase1E->setMaxLength(10);
    RBaseNo1ME = new QLineEdit(this);
    RBaseNo1ME->setInputMask(QStringLiteral("!00;_"));
    RBaseNo1ME->setText(QString::fromStdString(f.radio));
    IpGPRS1ME = new QLineEdit(this);
    IpGPRS1ME->setInputMask(QStringLiteral("999.999.999.999;_"));
    IpGPRS1ME->setText(QString::fromStdString(f.gprsAddress));
    TelGSM1ME = new QLineEdit(this);
    TelGSM1ME->setInputMask(QStringLiteral("999999999;_"));
    TelGSM1ME->setText(QString::fromStdString(f.gsmNumber));
    GSMAck1CmB = ackChoice(this, f.gsmAck);
    IpEthernetME = new QLineEdit(this);
    IpEthernetME->setInputMask(QStringLiteral("999.999.999.999;_"));
    IpEthernetME->setText(QString::fromStdString(f.ethAddress));
    EthAck1CmB = ackChoice(this, f.ethAck);
    AlConv1CB = new QCheckBox(QStringLiteral("Konwersja zdarzeń"), this);
    AlConv1CB->setChecked(f.conversion);

    int row = 0;
    auto add = [&](const char* label, QWidget* w) {
        grid->addWidget(new QLabel(QString::fromUtf8(label), this), row, 0);
        grid->addWidget(w, row++, 1);
    };
    add("Nazwa bazy", NameBase1E);
    add("Nr bazy / retransmitera ", RBaseNo1ME);
    add("Nr ip GPRS ", IpGPRS1ME);
    grid->addWidget(new QLabel(QStringLiteral("ALBO"), this), row++, 0);
    add("Nr telefonu GSM ", TelGSM1ME);
    add("Potwierdz. GSM/GPRS", GSMAck1CmB);
    add("Nr ip ethernet", IpEthernetME);
    add("Potwierdz. Ethernet", EthAck1CmB);
    grid->addWidget(AlConv1CB, row++, 0, 1, 2);
    SaveBtn = new QPushButton(QStringLiteral("&Zapisz"), this);
    CancelBtn = new QPushButton(QStringLiteral("&Porzuć"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SaveBtn);
    buttons->addWidget(CancelBtn);
    grid->addLayout(buttons, row, 0, 1, 2);
    connect(SaveBtn, &QPushButton::clicked, this, &TBaseConfForm::SaveBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TBaseConfForm::SaveBtnClick() {
    BaseEntryFields f;
    f.name = NameBase1E->text().toStdString();
    f.radio = RBaseNo1ME->text().toStdString();
    f.gprsAddress = IpGPRS1ME->text().toStdString();
    f.gsmNumber = TelGSM1ME->text().toStdString();
    f.gsmAck = GSMAck1CmB->currentIndex();
    f.ethAddress = IpEthernetME->text().toStdString();
    f.ethAck = EthAck1CmB->currentIndex();
    f.conversion = AlConv1CB->isChecked();
    if (const auto refusal = storeBaseEntryFields(f, entry_)) {
        messages_.ShowNotice(mz("\x03" + *refusal), kNoticeInfo);
        return;
    }
    accept();
}

} // namespace k4
