#include "database/ui/option_form.h"

#include "config/config_block.h"
#include "database/field_text.h"
#include "database/text_edge.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cctype>
#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

QString shown(const std::string& mazovia) { return QString::fromStdString(Utf8FromMazovia(mazovia)); }

template <size_t N>
void putText(char (&field)[N], const std::string& text) {
    std::memset(field, 0, N);
    std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

QLineEdit* dateEdit(QWidget* parent, const std::string& stored) {
    auto* edit = new QLineEdit(parent);
    edit->setInputMask(QStringLiteral("99.99.9999;_"));
    edit->setText(shownDate(stored));
    return edit;
}

} // namespace

std::string storedDate(const QString& shownText) {
    std::string digits;
    for (QChar c : shownText)
        if (c.isDigit() && digits.size() < 8) digits += static_cast<char>(c.toLatin1());
    return digits;
}

QString shownDate(const std::string& stored) {
    std::string digits;
    for (char c : stored)
        if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
    digits.resize(8, ' ');
    return QString::fromLatin1((digits.substr(0, 2) + "." + digits.substr(2, 2) + "." + digits.substr(4, 4)).c_str());
}

TOption::TOption(SubscriberRecord& record, bool edit, const ConfigBlock& config, QWidget* parent)
    : QDialog(parent), record_(record), forwarding_(static_cast<int16_t>(config.mode) == 1) {
    setObjectName("Option");
    setWindowTitle(QStringLiteral("Dane opcjonalne"));
    auto text = [this](int limit, const std::string& value) {
        auto* e = new QLineEdit(shown(value), this);
        e->setMaxLength(limit);
        return e;
    };
    PelnaNazwa = text(59, fieldText(record.full));
    NumerUmowy = text(11, fieldText(record.contr_no));
    NrKsiegowy = text(11, fieldText(record.book_no));
    DataPodlaczenia = dateEdit(this, fieldText(record.KVF_date));
    UmowaOd = dateEdit(this, fieldText(record.date_from));
    UmowaDo = dateEdit(this, fieldText(record.date_to));
    auto* form = new QFormLayout;
    form->addRow(QString::fromUtf8("Pełna nazwa:"), PelnaNazwa);
    form->addRow(QStringLiteral("Numer umowy:"), NumerUmowy);
    form->addRow(QString::fromUtf8("Nr. księgowy:"), NrKsiegowy);
    form->addRow(QString::fromUtf8("Data podłączenia:"), DataPodlaczenia);
    form->addRow(QString::fromUtf8("Umowa ważna od:"), UmowaOd);
    form->addRow(QString::fromUtf8("Umowa ważna do:"), UmowaDo);
    for (QLineEdit* e : {PelnaNazwa, NumerUmowy, NrKsiegowy, DataPodlaczenia, UmowaOd, UmowaDo}) e->setReadOnly(!edit);

    Forwarding = new QWidget(this);
    auto* fgrid = new QGridLayout(Forwarding);
    auto* heading = new QLabel(
        QString::fromUtf8("Prześlij     Ręcznie    Aut.-alarmy   Aut.-wszystko        RS    radio   GSM   Eth."),
        Forwarding);
    heading->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    fgrid->addWidget(heading, 0, 0, 1, 9);
    Uint16Le* words[2] = {&record.forw_flag1, &record.forw_flag2};
    for (int w = 0; w < 2; ++w) {
        ForwardRow& row = rows[static_cast<size_t>(w)];
        uint16_t word = *words[w];
        // A word without a base forwards to base 1 (word 1) or 2 (word 2).
        if (word < 256) word = static_cast<uint16_t>(word | (w + 1) << 8);
        fgrid->addWidget(new QLabel(QString::number(w + 1), Forwarding), w + 1, 0);
        row.mode = new QButtonGroup(Forwarding);
        for (int m = 0; m < 3; ++m) {
            auto* radio = new QRadioButton(Forwarding);
            row.mode->addButton(radio, m);
            fgrid->addWidget(radio, w + 1, 1 + m);
            radio->setChecked((word & 3) == m);
        }
        for (int p = 0; p < 4; ++p) {
            row.paths[static_cast<size_t>(p)] = new QCheckBox(Forwarding);
            row.paths[static_cast<size_t>(p)]->setChecked((word >> (4 + p)) & 1);
            fgrid->addWidget(row.paths[static_cast<size_t>(p)], w + 1, 4 + p);
        }
        row.base = new QComboBox(Forwarding);
        for (int b = 0; b < kBaseEntries; ++b) {
            char line[24];
            std::snprintf(line, sizeof line, "%02d %-10.10s", b + 1, fieldText(config.bases[b].name).c_str());
            row.base->addItem(shown(line));
        }
        const int base = (word >> 8) - 1;
        row.base->setCurrentIndex(base >= 0 && base < kBaseEntries ? base : 0);
        fgrid->addWidget(row.base, w + 1, 8);
    }
    Forwarding->setEnabled(edit);
    Forwarding->setVisible(forwarding_);

    auto* save = new QPushButton(QStringLiteral("&Zapisz"), this);
    auto* end = new QPushButton(QStringLiteral("&Koniec"), this);
    auto* cancel = new QPushButton(QString::fromUtf8("&Porzuć"), this);
    save->setVisible(edit);
    connect(save, &QPushButton::clicked, this, &TOption::ZapiszClick);
    connect(end, &QPushButton::clicked, this, &QDialog::reject);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {save, end, cancel}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Forwarding);
    layout->addLayout(buttons);
    if (!forwarding_) setFixedHeight(233);
}

uint16_t TOption::wordOf(const ForwardRow& row) const {
    int word = std::max(0, row.mode->checkedId()) & 3;
    for (int p = 0; p < 4; ++p)
        if (row.paths[static_cast<size_t>(p)]->isChecked()) word |= 1 << (4 + p);
    int base = row.base->currentIndex();
    if (base < 0 || base >= kBaseEntries) base = 0;
    return static_cast<uint16_t>(word | (base + 1) << 8);
}

void TOption::ZapiszClick() {
    putText(record_.full, MazoviaFromUtf8(PelnaNazwa->text().toStdString()));
    putText(record_.contr_no, MazoviaFromUtf8(NumerUmowy->text().toStdString()));
    putText(record_.book_no, MazoviaFromUtf8(NrKsiegowy->text().toStdString()));
    putText(record_.KVF_date, storedDate(DataPodlaczenia->text()));
    putText(record_.date_from, storedDate(UmowaOd->text()));
    putText(record_.date_to, storedDate(UmowaDo->text()));
    if (forwarding_) {
        record_.forw_flag1 = wordOf(rows[0]);
        record_.forw_flag2 = wordOf(rows[1]);
    }
    accept();
}

} // namespace k4
