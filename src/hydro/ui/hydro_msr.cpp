#include "hydro/ui/hydro_msr.h"

#include "database/text_edge.h"
#include "hydro/ui/przeliczenie.h"
#include "messages/messages.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace k4 {

namespace {

const char* const kCounterChoices[] = {"Pomiń", "x1", "x10", "x100"};

QFont listFont() {
    QFont font;
    font.setFamilies({"Courier New", "Liberation Mono", "DejaVu Sans Mono"});
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(12);
    return font;
}

} // namespace

THydroMsr::THydroMsr(SubscriberRecord& record, bool readOnly, Messages& messages, QWidget* parent)
    : QDialog(parent), record_(record), messages_(messages), readOnly_(readOnly) {
    setObjectName("HydroMsr");
    setWindowTitle(QStringLiteral("Pomiary"));
    editChannel = [this](MsrSetting& s, QWidget* owner) {
        TPrzeliczenie dialog(s, messages_, owner);
        return dialog.exec() == QDialog::Accepted;
    };
    auto* layout = new QVBoxLayout(this);
    MsrList = new QListWidget(this);
    MsrList->setObjectName("MsrList");
    MsrList->setFont(listFont());
    MsrList->setMinimumWidth(440);
    layout->addWidget(MsrList);
    for (int c = 0; c < kMsrChannels; ++c) {
        channels_[static_cast<size_t>(c)] = readMsrSetting(record, c);
        auto* item = new QListWidgetItem(MsrList);
        item->setFlags(readOnly ? Qt::ItemIsEnabled | Qt::ItemIsSelectable
                                : Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState((record.msr_mask & (1u << c)) ? Qt::Checked : Qt::Unchecked);
        showLine(c);
    }
    connect(MsrList, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        MsrListDblClick(MsrList->row(item));
    });

    auto* counters = new QHBoxLayout;
    for (int k = 0; k < 2; ++k) {
        auto* box = new QGroupBox(QStringLiteral("Stan licznika %1").arg(k + 1), this);
        box->setObjectName(QStringLiteral("Counter%1").arg(k + 1));
        auto* row = new QHBoxLayout(box);
        Counters[static_cast<size_t>(k)] = new QButtonGroup(box);
        for (int choice = 0; choice < 4; ++choice) {
            auto* radio = new QRadioButton(QString::fromUtf8(kCounterChoices[choice]), box);
            radio->setEnabled(!readOnly);
            row->addWidget(radio);
            Counters[static_cast<size_t>(k)]->addButton(radio, choice);
        }
        const bool used = (record.cnt_flags & (1u << k)) != 0;
        const int multiplier = std::clamp<int>(k == 0 ? record.cnt1 : record.cnt2, 0, 2);
        Counters[static_cast<size_t>(k)]->button(used ? multiplier + 1 : 0)->setChecked(true);
        counters->addWidget(box);
    }
    layout->addLayout(counters);

    auto* buttons = new QHBoxLayout;
    DeleteBtn = new QPushButton(QStringLiteral("&Usuń"), this);
    SaveBtn = new QPushButton(QStringLiteral("&Zapisz"), this);
    DeleteBtn->setEnabled(!readOnly);
    SaveBtn->setEnabled(!readOnly);
    buttons->addStretch();
    buttons->addWidget(DeleteBtn);
    buttons->addWidget(SaveBtn);
    layout->addLayout(buttons);
    connect(DeleteBtn, &QPushButton::clicked, this, [this] { DeleteBtnClick(); });
    connect(SaveBtn, &QPushButton::clicked, this, [this] { SaveBtnClick(); });
    MsrList->setCurrentRow(0);
}

void THydroMsr::showLine(int c) {
    MsrList->item(c)->setText(QString::fromStdString(channelLine(channels_[static_cast<size_t>(c)], c)));
}

void THydroMsr::MsrListDblClick(int row) {
    if (readOnly_ || row < 0 || row >= kMsrChannels) return;
    MsrSetting edited = channels_[static_cast<size_t>(row)];
    if (editChannel && editChannel(edited, this)) {
        channels_[static_cast<size_t>(row)] = edited;
        showLine(row);
    }
}

void THydroMsr::DeleteBtnClick() {
    const int row = MsrList->currentRow();
    if (readOnly_ || row < 0) return;
    MsrSetting& s = channels_[static_cast<size_t>(row)];
    s.p0 = 0;
    s.p1 = 0;
    showLine(row);
}

void THydroMsr::SaveBtnClick() {
    if (readOnly_) return;
    // The device fills its inputs in order: a relay on a later input with
    // an earlier one empty is wired wrong. Told once; the settings are
    // stored all the same.
    bool gap = false;
    for (int c = 1; c < kMsrChannels && !gap; ++c)
        gap = channels_[static_cast<size_t>(c)].configured() && !channels_[static_cast<size_t>(c - 1)].configured();
    if (gap) messages_.ShowNotice(mz("\x03Przekaźniki należy wpiąć w kolejne wejścia L"), kNoticeInfo);
    uint16_t mask = 0;
    for (int c = 0; c < kMsrChannels; ++c) {
        writeMsrSetting(record_, c, channels_[static_cast<size_t>(c)]);
        if (MsrList->item(c)->checkState() == Qt::Checked) mask = static_cast<uint16_t>(mask | (1u << c));
    }
    record_.msr_mask = static_cast<uint16_t>((record_.msr_mask & ~0x3Fu) | mask);
    uint16_t flags = record_.cnt_flags;
    for (int k = 0; k < 2; ++k) {
        const int choice = Counters[static_cast<size_t>(k)]->checkedId();
        uint8_t& multiplier = k == 0 ? record_.cnt1 : record_.cnt2;
        if (choice <= 0) {
            flags = static_cast<uint16_t>(flags & ~(1u << k));
        } else {
            flags = static_cast<uint16_t>(flags | (1u << k));
            multiplier = static_cast<uint8_t>(choice - 1);
        }
    }
    record_.cnt_flags = flags;
    accept();
}

bool openHydroMeasurements(SubscriberRecord& record, bool readOnly, Messages& messages, QWidget* parent) {
    THydroMsr dialog(record, readOnly, messages, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace k4
