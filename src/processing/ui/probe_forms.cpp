#include "processing/ui/probe_forms.h"

#include "baselink/path_table.h"
#include "config/config.h"
#include "database/text_edge.h"
#include "messages/messages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace k4 {

TOkresy::TOkresy(Config& config, PathTypeTable& types, HistoryLog& history, Messages& messages, QWidget* parent)
    : QDialog(parent), config_(config), types_(types), history_(history), messages_(messages) {
    setObjectName("Okresy");
    setWindowTitle(QString::fromUtf8("Okresy między badaniami"));
    auto* grid = new QGridLayout(this);
    static const char* const rows[4] = {"Tor komutowany (min.):", "Tor radiowy (sek.):", "Tor sztywny (sek.):",
                                        "Tor GSM(min.)/GPRS(s):"};
    const ProbePeriods now = probePeriodsOf(config);
    for (int r = 0; r < 4; ++r) {
        grid->addWidget(new QLabel(QString::fromUtf8(rows[r]), this), r, 0);
        grid->addWidget(new QLabel(QString::fromUtf8("powtórny:"), this), r, 2);
        for (int k = 0; k < 2; ++k) {
            auto* edit = new QLineEdit(QString::number(now[static_cast<size_t>(2 * r + k)]), this);
            edit->setValidator(new QIntValidator(0, 32767, edit));
            fields_[static_cast<size_t>(2 * r + k)] = edit;
            grid->addWidget(edit, r, 1 + 2 * k);
        }
    }
    Rand = new QCheckBox(QString::fromUtf8("Nieregularność (+-10%)"), this);
    Rand->setChecked(config.block().periods_irregular != 0);
    grid->addWidget(Rand, 4, 0, 1, 4);
    auto* save = new QPushButton(QStringLiteral("&Zapisz"), this);
    auto* cancel = new QPushButton(QStringLiteral("&Anuluj"), this);
    connect(save, &QPushButton::clicked, this, &TOkresy::ZapiszClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 5, 0, 1, 4);
}

void TOkresy::ZapiszClick() {
    ProbePeriods periods{};
    for (int i = 0; i < 8; ++i) periods[static_cast<size_t>(i)] = fields_[static_cast<size_t>(i)]->text().toInt();
    const int low = periodBelowMinimum(periods);
    if (low >= 0) {
        messages_.ShowNotice(mz(std::string("\x03") + periodMinimumText(low)), kNoticeInfo);
        fields_[static_cast<size_t>(low)]->setFocus();
        return;
    }
    if (storeProbePeriods(config_, types_, history_, periods, Rand->isChecked()) != 0)
        messages_.ShowNotice(mz("\x03zapisu konfiguracji"), kNoticeError);
    accept();
}

TNoCheck::TNoCheck(PathTable& paths, QWidget* parent) : QDialog(parent), paths_(paths) {
    setObjectName("NoCheck");
    setWindowTitle(QString::fromUtf8("Wyłączenie badań"));
    auto* layout = new QVBoxLayout(this);
    auto* warning = new QLabel(
        QString::fromUtf8("UWAGA: Wyłączenie badań spowoduje zaniechanie sprawdzania abonentów w danym torze !"), this);
    warning->setWordWrap(true);
    layout->addWidget(warning);
    // Test control is switched from a list the operator does not see.
    auto* testList = new QWidget(this);
    testList->setObjectName("KontrolaTestow");
    auto* testLayout = new QVBoxLayout(testList);
    testList->hide();
    for (int slot = 0; slot < kPathSlots; ++slot) {
        const Packet* p = paths.at(slot);
        if (!p || !PathTable::probesSubscribers(p->kind)) continue;
        char name[16];
        std::snprintf(name, sizeof name, "%2.2s%d", p->type().name, p->baseNumber());
        auto* box = new QCheckBox(QString::fromLatin1(name), this);
        box->setChecked((p->status & kPathProbing) != 0);
        layout->addWidget(box);
        boxes_.emplace_back(slot, box);
        auto* testBox = new QCheckBox(QString::fromLatin1(name), testList);
        testBox->setChecked(p->testControl);
        testLayout->addWidget(testBox);
        testBoxes_.emplace_back(slot, testBox);
    }
    layout->addWidget(testList);
    auto* set = new QPushButton(QStringLiteral("&Ustaw"), this);
    auto* cancel = new QPushButton(QStringLiteral("&Anuluj"), this);
    connect(set, &QPushButton::clicked, this, &TNoCheck::UstawClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(set);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
}

void TNoCheck::UstawClick() {
    for (auto& [slot, box] : boxes_) paths_.SwitchProbing(slot, box->isChecked());
    for (auto& [slot, box] : testBoxes_) paths_.SwitchTestControl(slot, box->isChecked());
    accept();
}

} // namespace k4
