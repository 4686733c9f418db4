#include "config/ui/holiday_form.h"

#include "messages/messages.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace k4 {

THoliday::THoliday(Config& config, const Clock& clock, Messages& messages, QWidget* parent)
    : QDialog(parent), config_(config), messages_(messages) {
    setWindowTitle(QStringLiteral("Najbliższe święto"));
    const HolidaySetting h = holidayOf(config.block(), clock);
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Data:"), this));
    Data = new QDateEdit(QDate(h.year, h.month, h.day), this);
    Data->setObjectName(QStringLiteral("Data"));
    // Entered as year.month.day, as the centre writes dates.
    Data->setDisplayFormat(QStringLiteral("yyyy.MM.dd"));
    Data->setCalendarPopup(true);
    row->addWidget(Data);
    layout->addLayout(row);
    Dwudniowe = new QCheckBox(QStringLiteral("Święto dwudniowe"), this);
    Dwudniowe->setObjectName(QStringLiteral("Dwudniowe"));
    Dwudniowe->setChecked(h.twoDays);
    layout->addWidget(Dwudniowe);
    auto* buttons = new QHBoxLayout;
    auto* save = new QPushButton(QStringLiteral("&Zapisz"), this);
    save->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Anuluj"), this);
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, &THoliday::ZapiszClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void THoliday::ZapiszClick() {
    const QDate d = Data->date();
    if (saveHoliday(config_, {d.year(), d.month(), d.day(), Dwudniowe->isChecked()}, messages_) == 0) accept();
}

} // namespace k4
