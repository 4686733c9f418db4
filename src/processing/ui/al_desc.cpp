#include "processing/ui/al_desc.h"

#include "database/text_edge.h"
#include "processing/event_def.h"
#include "processing/event_table.h"
#include "shell/alarm_lines.h"
#include "shell/alarm_service.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace k4 {

namespace {

QString q(const std::string& utf8) { return QString::fromStdString(utf8); }

std::string subscriberText(const AlarmRecord& alarm) {
    char text[8];
    if (alarm.flags & AlarmRecord::kHexSubscriber)
        std::snprintf(text, sizeof text, "%4.4X", static_cast<unsigned>(static_cast<uint16_t>(alarm.subscriber)));
    else
        std::snprintf(text, sizeof text, "%4.4d", static_cast<int>(alarm.subscriber));
    return text;
}

} // namespace

TAlDesc::TAlDesc(const AlarmRecord& alarm, const EventTable* events, const AlarmSubscriberInfo& info,
                 QWidget* parent, const AlarmDescriptionActions* forwarding)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint), outcome_(kServiceKeep) {
    setObjectName("AlDesc");
    setWindowTitle(QStringLiteral("Opis alarmu"));
    form_ = new QFormLayout;

    char code[8];
    std::snprintf(code, sizeof code, "%3.3X", static_cast<unsigned>(alarm.code()));
    const EventDef* def = events ? events->findEvent(alarm.code()) : nullptr;
    std::string subsystem;
    if (alarm.subsystem >= 90 && alarm.subsystem != 255) {
        char text[48];
        std::snprintf(text, sizeof text, "%2.2d %s", static_cast<int>(alarm.subsystem), "OSTATNI MELDUNEK!");
        subsystem = text;
    } else if (alarm.subsystem != 255) {
        char text[8];
        std::snprintf(text, sizeof text, "%2.2d", static_cast<int>(alarm.subsystem));
        subsystem = text + info.subsystemText;
    }

    addField("SubscriberLbl", QStringLiteral("Abonent"), q(subscriberText(alarm)));
    addField("NameLbl", QStringLiteral("Nazwa"), q(info.name));
    addField("AddressLbl", QStringLiteral("Adres"), q(info.address));
    addField("PhonesLbl", QStringLiteral("Telefony"), q(info.phones));
    addField("ContactsLbl", QStringLiteral("Kontakt"), q(info.contacts));
    addField("PasswordLbl", QString::fromUtf8("Hasło"), q(info.password));
    addField("PathLbl", QStringLiteral("Tor"), q(info.pathText));
    addField("CodeLbl", QStringLiteral("Kod"), QString::fromLatin1(code));
    addField("ShortLbl", QStringLiteral("Zdarzenie"), def ? q(Utf8FromMazovia(def->shortText())) : QString());
    addField("DescriptionLbl", QStringLiteral("Opis"), q(Utf8FromMazovia(alarmDescriptionText(alarm, events))));
    addField("SubsystemLbl", QStringLiteral("Podsystem"), q(subsystem));
    addField("SectorLbl", QStringLiteral("Sektor"), q(info.sectorText));

    auto* remove = new QPushButton(QString::fromUtf8("&Usuń"), this);
    remove->setObjectName("RemoveBtn");
    auto* service = new QPushButton(QString::fromUtf8("O&bsługa"), this);
    service->setObjectName("ServiceBtn");
    service->setDefault(true);
    connect(remove, &QPushButton::clicked, this, [this] {
        outcome_ = kServiceRemove;
        accept();
    });
    connect(service, &QPushButton::clicked, this, [this] {
        outcome_ = kServiceOpen;
        accept();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    if (forwarding && forwarding->sendOrder) {
        auto* b = new QPushButton(QString::fromUtf8("Wysł. &rozkazu"), this);
        b->setObjectName("SendOrderBtn");
        const auto send = forwarding->sendOrder;
        connect(b, &QPushButton::clicked, this, [this, send] { send(this); });
        buttons->addWidget(b);
    }
    if (forwarding) {
        for (int i = 0; i < 2; ++i) {
            if (forwarding->captions[static_cast<size_t>(i)].empty()) continue;
            auto* b = new QPushButton(QString::fromStdString(forwarding->captions[static_cast<size_t>(i)]), this);
            b->setObjectName(i == 0 ? "Forward1Btn" : "Forward2Btn");
            const auto forward = forwarding->forwardNow;
            connect(b, &QPushButton::clicked, this, [forward, i] {
                if (forward) forward(i + 2);
            });
            buttons->addWidget(b);
        }
        if (forwarding->firePending) {
            auto* b = new QPushButton(QString::fromUtf8("Fałszywy alarm"), this);
            b->setObjectName("FalseAlarmBtn");
            const auto falseAlarm = forwarding->falseAlarm;
            connect(b, &QPushButton::clicked, this, [b, falseAlarm] {
                if (falseAlarm) falseAlarm();
                b->hide();
            });
            buttons->addWidget(b);
        }
    }
    buttons->addWidget(remove);
    buttons->addWidget(service);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form_);
    layout->addLayout(buttons);
    resize(520, 360);
}

QLabel* TAlDesc::addField(const char* name, const QString& caption, const QString& text) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    form_->addRow(caption, label);
    return label;
}

QString TAlDesc::fieldText(const char* name) const {
    auto* label = findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QString();
}

} // namespace k4
