#include "baselink/ui/chk_forw_form.h"

#include "baselink/forwarding_supervision.h"
#include "database/text_edge.h"
#include "shell/ui/edit_key_filter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace k4 {

TChkForwForm::TChkForwForm(ForwardingSupervision& supervision, const ConfigBlock& config, QWidget* parent)
    : QDialog(parent), supervision_(supervision), config_(config) {
    setObjectName("ChkForwForm");
    setWindowTitle(QStringLiteral("Testy odbioru"));
    auto* grid = new QGridLayout(this);
    CheckBox1 = new QCheckBox(QStringLiteral("Blokada testu RS bazy "), this);
    CheckBox2 = new QCheckBox(QStringLiteral("Blokada testu RS bazy 2"), this);
    CheckBox1->setChecked(config.options2 & kOpt2BlockBase1Test);
    CheckBox2->hide();
    grid->addWidget(CheckBox1, 0, 0, 1, 2);
    grid->addWidget(CheckBox2, 1, 0, 1, 2);
    SbsE = new QLineEdit(this);
    SbsE->setMaxLength(4);
    EditKeyFilter::install(SbsE, EditKeyFilter::Kind::Digits);
    Number = new QLineEdit(this);
    Number->setMaxLength(3);
    EditKeyFilter::install(Number, EditKeyFilter::Kind::HexDigits);
    grid->addWidget(new QLabel(QStringLiteral("Nr abonenta"), this), 2, 0);
    grid->addWidget(SbsE, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Kod zdarzenia "), this), 3, 0);
    grid->addWidget(Number, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Wyślij do bazy"), this), 4, 0, 1, 2);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    for (int i = 0; i < kBaseEntries; ++i)
        ComboBox1->addItem(QString::fromStdString(Utf8FromMazovia(receptionTestLine(i, config))));
    ComboBox1->setCurrentIndex(0);
    grid->addWidget(ComboBox1, 5, 0, 1, 2);
    auto* group = new QGroupBox(QStringLiteral("Tor "), this);
    auto* row = new QHBoxLayout(group);
    RadioGroup1 = new QButtonGroup(this);
    int id = 0;
    for (const char* item : {"RS", "radio", "GSM/GPRS", "Ethernet"}) {
        auto* button = new QRadioButton(QString::fromLatin1(item), group);
        RadioGroup1->addButton(button, id++);
        row->addWidget(button);
    }
    grid->addWidget(group, 6, 0, 1, 2);
    SendBtn = new QPushButton(QStringLiteral("&Wyślij"), this);
    EndBtn = new QPushButton(QStringLiteral("&Koniec zmian"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SendBtn);
    buttons->addWidget(EndBtn);
    grid->addLayout(buttons, 7, 0, 1, 2);

    if (static_cast<int16_t>(config.mode) == 2) {
        CheckBox1->setText(CheckBox1->text() + QStringLiteral("nadawczej"));
        for (QWidget* w : {static_cast<QWidget*>(SbsE), static_cast<QWidget*>(Number), static_cast<QWidget*>(group),
                           static_cast<QWidget*>(SendBtn), static_cast<QWidget*>(ComboBox1)})
            w->setEnabled(false);
    } else if (static_cast<int16_t>(config.base2_port) != 0) {
        CheckBox1->setText(CheckBox1->text() + QStringLiteral("1"));
        CheckBox2->show();
        CheckBox2->setChecked(config.options2 & kOpt2BlockBase2Test);
    }
    connect(SendBtn, &QPushButton::clicked, this, &TChkForwForm::SendBtnClick);
    connect(EndBtn, &QPushButton::clicked, this, &TChkForwForm::EndBtnClick);
}

void TChkForwForm::SendBtnClick() {
    const int base = ComboBox1->currentIndex();
    const int path = RadioGroup1->checkedId();
    if (base >= 0 && path >= 0) {
        bool ok = false;
        int subscriber = SbsE->text().toInt(&ok);
        if (!ok) subscriber = 0;
        const int code = Number->text().toInt(&ok, 16);
        supervision_.sendReceptionTest(base, subscriber, ok ? code : 0, path);
    }
    accept();
}

void TChkForwForm::EndBtnClick() {
    supervision_.endReceptionTests(CheckBox1->isChecked(), CheckBox2->isChecked(), !CheckBox2->isHidden());
    accept();
}

} // namespace k4
