#include "signals/ui/leds_form.h"

#include "database/text_edge.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cstdio>

namespace k4 {

TLedsForm::TLedsForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Diody"));
    setModal(true);
    list = new QTreeWidget(this);
    list->setColumnCount(2);
    list->setRootIsDecorated(false);
    lightBtn = new QPushButton(QStringLiteral("Zapa&l"), this);
    offBtn = new QPushButton(QStringLiteral("Z&gaś"), this);
    allOffBtn = new QPushButton(QStringLiteral("Zgaś &wszystkie"), this);
    setBtn = new QPushButton(QStringLiteral("&Zestaw"), this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {lightBtn, offBtn, allOffBtn, setBtn}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list);
    layout->addLayout(buttons);
}

TLedSbsForm::TLedSbsForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Dioda"));
    setModal(true);
    ledNumber = new QLineEdit(this);
    lightingCode = new QLineEdit(this);
    extinguishingCode = new QLineEdit(this);
    lightingColour = new QSpinBox(this);
    extinguishingColour = new QSpinBox(this);
    for (QSpinBox* s : {lightingColour, extinguishingColour}) s->setRange(0, 15);
    automatic = new QCheckBox(QStringLiteral("Gaszenie automatyczne"), this);
    testOnRequest = new QCheckBox(QStringLiteral("Badanie na żądanie"), this);
    SaveBtn = new QPushButton(QStringLiteral("&Zapisz"), this);
    listBtn = new QPushButton(QStringLiteral("&Lista"), this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Dioda"), ledNumber);
    form->addRow(QStringLiteral("Zapalanie"), lightingCode);
    form->addRow(QStringLiteral("Kolor"), lightingColour);
    form->addRow(QStringLiteral("Gaszenie"), extinguishingCode);
    form->addRow(QStringLiteral("Kolor"), extinguishingColour);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(automatic);
    layout->addWidget(testOnRequest);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(listBtn);
    buttons->addWidget(SaveBtn);
    layout->addLayout(buttons);
    connect(SaveBtn, &QPushButton::clicked, this, [this] { SaveBtnClick(); });
}

void TLedSbsForm::SaveBtnClick() {
    LedFields f;
    f.led = ledNumber->text().toInt();
    bool ok = false;
    f.lightingCode = lightingCode->text().toInt(&ok, 16);
    if (!ok) f.lightingCode = 0;
    f.extinguishingCode = extinguishingCode->text().toInt(&ok, 16);
    if (!ok) f.extinguishingCode = 0;
    f.lightingColour = lightingColour->value();
    f.extinguishingColour = extinguishingColour->value();
    f.automatic = automatic->isChecked();
    stored = ledEntryOf(f);
    storedTestOnRequest = testOnRequest->isChecked();
    accept();
}

TLedsSbsForm::TLedsSbsForm(Messages& messages, LedList initial, QWidget* parent)
    : QDialog(parent), list(std::move(initial)), messages_(messages) {
    setWindowTitle(QStringLiteral("Diody"));
    setModal(true);
    entries = new QListWidget(this);
    newBtn = new QPushButton(QStringLiteral("&Nowa"), this);
    deleteBtn = new QPushButton(QStringLiteral("&Usuń"), this);
    SaveBtn = new QPushButton(QStringLiteral("&Zapisz"), this);
    setField = new QLineEdit(QString::number(list.ledSet + 1), this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {newBtn, deleteBtn, SaveBtn}) buttons->addWidget(b);
    buttons->addWidget(setField);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(entries);
    layout->addLayout(buttons);
    refill();
    connect(setField, &QLineEdit::editingFinished, this, [this] { setEdited(); });
    connect(newBtn, &QPushButton::clicked, this, [this] {
        if (static_cast<int>(list.entries.size()) >= LedList::kMaxEntries) return;
        TLedSbsForm entry(this);
        entry.exec();
        if (entry.stored) addEntry(*entry.stored, entry.storedTestOnRequest);
    });
    connect(deleteBtn, &QPushButton::clicked, this, [this] {
        const int row = entries->currentRow();
        if (row < 0 || row >= static_cast<int>(list.entries.size())) return;
        list.entries.erase(list.entries.begin() + row);
        // The test mask follows its entries down.
        const uint16_t low = static_cast<uint16_t>(list.testOnRequest & ((1u << row) - 1));
        const uint16_t high = static_cast<uint16_t>((list.testOnRequest >> (row + 1)) << row);
        list.testOnRequest = static_cast<uint16_t>(low | high);
        refill();
    });
    connect(SaveBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TLedsSbsForm::setEdited() {
    const auto set = ledSetOf(setField->text().trimmed().toStdString());
    if (!set) {
        messages_.ShowNotice(mz("Program dopuszcza tylko dwa zestawy diod"), kNoticeInfo);
        setField->setText(QString::number(list.ledSet + 1));
        return;
    }
    if (*set != list.ledSet) {
        list.ledSet = *set;
        messages_.ShowNotice(mz("Zmiana zestawu!"), kNoticeInfo);
    }
}

void TLedsSbsForm::addEntry(const LedEntry& entry, bool testOnRequest) {
    const int index = static_cast<int>(list.entries.size());
    if (!list.add(entry)) return;
    if (testOnRequest) list.testOnRequest = static_cast<uint16_t>(list.testOnRequest | (1u << index));
    refill();
}

void TLedsSbsForm::refill() {
    entries->clear();
    for (size_t i = 0; i < list.entries.size(); ++i) {
        const LedEntry& e = list.entries[i];
        char line[64];
        std::snprintf(line, sizeof line, "%3d  %03X/%d  %03X/%d%s", e.led, e.lighting & 0xFFF, e.lighting >> 12,
                      e.extinguishing & 0xFFF, e.extinguishing >> 12, (list.testOnRequest >> i) & 1 ? "  B" : "");
        entries->addItem(QString::fromLatin1(line));
    }
}

} // namespace k4
