#include "net/ui/ip_form.h"

#include "database/text_edge.h"
#include "messages/messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace k4 {

TIpForm::TIpForm(const DataDir& dir, Messages& messages, QWidget* parent)
    : QDialog(parent), dir_(dir), messages_(messages) {
    setWindowTitle(QStringLiteral("Pakiety baz ethernetowych"));
    PathFiles files(dir_, messages_);
    const bool read = files.read(setup_) == 0;
    if (!read) {
        messages_.ShowNotice(mz("\x03" "Błąd wczytania adresów IP"), kNoticeInfo);
        setup_ = PathSetup{};
    }

    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(QStringLiteral("Adres IP"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Operator"), this), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Nadajnik"), this), 0, 3);
    for (int i = 0; i < kIpBaseRows; ++i) {
        const auto at = static_cast<size_t>(i);
        auto* address = new QLineEdit(this);
        // Three places an octet; blanks are dropped again on saving.
        address->setInputMask(QStringLiteral("000.000.000.000;_"));
        address->setMaxLength(15);
        auto* op = new QComboBox(this);
        op->addItems({QStringLiteral("Nie dotyczy"), QStringLiteral("Plus"), QStringLiteral("Orange"),
                      QStringLiteral("Era")});
        auto* transmitter = new QCheckBox(this);
        if (read && at < setup_.entries.size()) {
            const IpBaseRow row = rowOfEntry(setup_.entries[at]);
            address->setText(QString::fromStdString(fieldOfAddress(row.address)));
            op->setCurrentIndex(row.gsmOperator);
            transmitter->setChecked(row.transmitter);
        }
        grid->addWidget(new QLabel(QString::number(i + 1), this), i + 1, 0);
        grid->addWidget(address, i + 1, 1);
        grid->addWidget(op, i + 1, 2);
        grid->addWidget(transmitter, i + 1, 3);
        grid->setRowMinimumHeight(i + 1, 24);
        Addresses[at] = address;
        Operators[at] = op;
        Transmitters[at] = transmitter;
    }
    layout->addLayout(grid);
    ptarvikCB = new QCheckBox(QStringLiteral("Tor ptarvik"), this);
    ethernetCB = new QCheckBox(QStringLiteral("Tor ethernet"), this);
    ptarvikCB->setChecked(setup_.vgprs);
    ethernetCB->setChecked(setup_.ethernet);
    auto* switches = new QHBoxLayout;
    switches->addWidget(ptarvikCB);
    switches->addWidget(ethernetCB);
    layout->addLayout(switches);
    SaveBtn = new QPushButton(QStringLiteral("Zapisz"), this);
    auto* close = new QPushButton(QStringLiteral("Zamknij"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SaveBtn);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(SaveBtn, &QPushButton::clicked, this, &TIpForm::SaveBtnClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void TIpForm::SaveBtnClick() {
    std::array<IpBaseRow, kIpBaseRows> rows;
    for (int i = 0; i < kIpBaseRows; ++i) {
        const auto at = static_cast<size_t>(i);
        rows[at].address = Addresses[at]->text().toStdString();
        rows[at].gsmOperator = Operators[at]->currentIndex();
        rows[at].transmitter = Transmitters[at]->isChecked();
    }
    if (saveIpBaseTable(dir_, messages_, setup_, rows, ptarvikCB->isChecked(), ethernetCB->isChecked()) == 0) accept();
}

} // namespace k4
