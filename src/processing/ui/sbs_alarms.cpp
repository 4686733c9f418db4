#include "processing/ui/sbs_alarms.h"

#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/record_file_header.h"
#include "database/subscriber_record.h"
#include "database/text_edge.h"
#include "printing/printing.h"
#include "processing/event_printouts.h"
#include "processing/shared_lists.h"
#include "processing/ui/event_forms.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstddef>
#include <cstdio>

namespace k4 {

namespace {

QColor classColour(int colourClass) {
    const uint32_t rgb = kClassColours[colourClass & 0x0F];
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

} // namespace

TSbsAlarms::TSbsAlarms(Sbscrbr& subscriber, RecordFile& alarmy, const EventTable& events, ShareLst& shared,
                       const ConfigBlock& config, Messages& messages, Printing* printing, SbsAlarmsChoosers choosers,
                       QWidget* parent)
    : QDialog(parent), subscriber_(subscriber), alarmy_(alarmy), events_(events), shared_(shared), config_(config),
      messages_(messages), printing_(printing), choosers_(std::move(choosers)) {
    setObjectName("SbsAlarms");
    setWindowTitle(QString::fromUtf8("Lista zdarzeń abonenta"));
    List = new QListWidget(this);
    List->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    connect(List, &QListWidget::itemDoubleClicked, this, [this] { EdytujClick(List->currentRow()); });
    Typ = new QLabel(this);
    Maksymalna = new QLineEdit(QString::number(static_cast<int>(subscriber.record.alarm_opts.limit)), this);
    Maksymalna->setMaxLength(2);
    Maksymalna->setValidator(new QIntValidator(0, 99, Maksymalna));
    WCiagu = new QLineEdit(QString::number(static_cast<int>(subscriber.record.alarm_opts.hours)), this);
    WCiagu->setMaxLength(2);
    WCiagu->setValidator(new QIntValidator(0, 99, WCiagu));

    auto* limiter = new QHBoxLayout;
    limiter->addWidget(new QLabel(QString::fromUtf8("Maksymalna liczba meldunków"), this));
    limiter->addWidget(Maksymalna);
    limiter->addWidget(new QLabel(QString::fromUtf8("w ciągu"), this));
    limiter->addWidget(WCiagu);
    limiter->addWidget(new QLabel(QStringLiteral("godzin"), this));

    auto* buttons = new QGridLayout;
    int at = 0;
    auto button = [&](const char* text, std::function<void()> click) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        connect(b, &QPushButton::clicked, this, std::move(click));
        buttons->addWidget(b, at / 5, at % 5);
        ++at;
    };
    button("&Dodaj", [this] { DodajClick(); });
    button("&Usuń", [this] { UsunClick(List->currentRow()); });
    button("&Wspólna", [this] { WspolnaClick(); });
    button("&Pusta", [this] { PustaClick(); });
    button("&Abonenta", [this] { AbonentaClick(); });
    button("Z d&ysku", [this] { ZDyskuClick(); });
    button("&Zrzut", [this] { ZrzutClick(); });
    button("&Wydruk", [this] { WydrukClick(); });
    button("&Koniec", [this] { accept(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Typ);
    layout->addWidget(List);
    layout->addLayout(limiter);
    layout->addLayout(buttons);
    resize(560, 420);
    reopen();
}

TSbsAlarms::~TSbsAlarms() = default;

// The list a stored subscriber names goes to "dane" as soon as it changes:
// the list it named before may have been freed in "alarmy" already, and a
// record left naming that would hand the subscriber whatever list is stored
// there next, even when the card is then left without saving.
int TSbsAlarms::storeListChoice() {
    // A subscriber not stored yet gets the list with its first save.
    if (!subscriber_.valid || subscriber_.offset() < kRecordFileHeaderSize) return 0;
    RecordFile& dane = subscriber_.database().file(DbFile::Dane);
    constexpr int kField = static_cast<int>(offsetof(SubscriberRecord, alarm_list));
    Int32Le onDisk = 0;
    const Int32Le& chosen = subscriber_.record.alarm_list;
    if (dane.ReadPart(subscriber_.offset(), &onDisk, kField, sizeof onDisk) == 0 && onDisk == chosen) return 0;
    if (dane.WritePart(subscriber_.offset(), &chosen, kField, sizeof chosen) != 0) {
        messages_.ShowNotice(mz("\x03zapisu danych"), kNoticeError);
        return -1;
    }
    return 0;
}

// The list the subscriber names now, opened from its shared slot when it
// is a shared one (so that a change makes a private copy).
void TSbsAlarms::reopen() {
    storeListChoice();
    const int32_t id = subscriber_.record.alarm_list;
    const int slot = shared_.slotOf(id);
    list_ = std::make_unique<AlarmsTableList>(alarmy_, events_, messages_, subscriber_.record.alarm_list,
                                              slot > 0 ? slot : 0, &shared_);
    refresh();
}

void TSbsAlarms::refresh() {
    const int row = List->currentRow();
    List->clear();
    for (int i = 0; i < list_->count(); ++i) {
        auto* item = new QListWidgetItem(
            QString::fromStdString(Utf8FromMazovia(eventListLine(*list_, i, events_, config_))), List);
        item->setForeground(classColour(eventListLineClass(*list_, i, events_)));
    }
    if (List->count() > 0) List->setCurrentRow(std::clamp(row, 0, List->count() - 1));
    Typ->setText(listType());
}

int TSbsAlarms::count() const { return List->count(); }
QString TSbsAlarms::line(int i) const { return List->item(i) ? List->item(i)->text() : QString(); }

QString TSbsAlarms::listType() const {
    const int slot = shared_.slotOf(subscriber_.record.alarm_list);
    if (slot == -1) return QString::fromUtf8("Wspólna: standard");
    if (slot > 0) return QString::fromUtf8("Wspólna: ") + QString::fromStdString(Utf8FromMazovia(shared_.nameOf(slot)));
    return QString::fromUtf8("Własna");
}

void TSbsAlarms::WspolnaClick() {
    if (!choosers_.sharedList) return;
    const auto id = choosers_.sharedList();
    if (!id || *id < 0) return;
    if (list_->setList(*id, false) != 0) {
        messages_.ShowNotice(mz("\x03modyfikacji listy zdarzeń"), kNoticeError);
        return;
    }
    reopen();
}

void TSbsAlarms::PustaClick() {
    if (messages_.AskYesNo(mz("\x03Wszystkie zdarzenia abonenta zostaną usunięte! \n Kontynuować?")) != kResultYes)
        return;
    list_->buildStandard(false);
    if (list_->save() != 0) messages_.ShowNotice(mz("\x03modyfikacji listy zdarzeń"), kNoticeError);
    reopen();
}

void TSbsAlarms::AbonentaClick() {
    if (!choosers_.subscriberList) return;
    const auto id = choosers_.subscriberList();
    if (!id) return;
    if (list_->loadFrom(*id, false) != 0) messages_.ShowNotice(mz("\x03kopiowania listy zdarzeń"), kNoticeError);
    reopen();
}

void TSbsAlarms::ZDyskuClick() {
    if (!choosers_.listFile) return;
    const auto file = choosers_.listFile();
    if (!file) return;
    if (list_->loadFrom(-1, true, file) != 0) messages_.ShowNotice(mz("\x03Nie skopiowano listy zdarzeń"), kNoticeInfo);
    reopen();
}

void TSbsAlarms::WydrukClick() {
    const std::string text = subscriberListPrintout(*list_, subscriber_.number(), events_, config_);
    if (!printing_ || printing_->printListing(text) != 0)
        messages_.ShowNotice(mz("\x03wydruku (drukarka)"), kNoticeError);
}

// A shared list is written under its name, the subscriber's own list under
// the subscriber's number: "standard.al" would not say whose list it is.
int TSbsAlarms::ZrzutClick() {
    const int slot = shared_.slotOf(subscriber_.record.alarm_list);
    char number[8];
    std::snprintf(number, sizeof number, "%4.4d", subscriber_.number());
    const std::string name = listDumpName(slot == 0 ? std::string(number) : shared_.nameOf(std::max(slot, 0)));
    const int result = list_->dumpToDisk(name, dumpDirectory_);
    if (result < 0) messages_.ShowNotice(mz("\x03Zrzut nie powiódł się"), kNoticeInfo);
    return result;
}

void TSbsAlarms::DodajClick() {
    TNSAlarm entry(*list_, events_, messages_, -1, false, choosers_.standardCode, this);
    entry.exec();
    reopen();
}

void TSbsAlarms::EdytujClick(int position) {
    if (position < 0 || position >= list_->count()) return;
    TNSAlarm entry(*list_, events_, messages_, position, false, choosers_.standardCode, this);
    entry.exec();
    reopen();
}

void TSbsAlarms::UsunClick(int position) {
    if (position < 0 || position >= list_->count()) return;
    char question[48];
    std::snprintf(question, sizeof question, "\x03Usunąć zdarzenie %3.3X ?", list_->entry(position).objCode());
    if (messages_.AskYesNo(mz(question)) != kResultYes) return;
    if (list_->removeEntry(position) != 0) messages_.ShowNotice(mz("\x03modyfikacji listy zdarzeń"), kNoticeError);
    reopen();
}

int TSbsAlarms::storeLimiter() {
    AlarmOpts& opts = subscriber_.record.alarm_opts;
    const uint16_t limit = static_cast<uint16_t>(Maksymalna->text().toInt());
    const uint16_t hours = static_cast<uint16_t>(WCiagu->text().toInt());
    if (opts.limit == limit && opts.hours == hours) return 0;
    opts.limit = limit;
    opts.hours = hours;
    // A subscriber not stored yet gets them with its first save.
    if (subscriber_.offset() == 0) return 0;
    if (subscriber_.WriteAlarmOpts() != 0) {
        messages_.ShowNotice(mz("\x03zapisu danych"), kNoticeError);
        return -1;
    }
    return 0;
}

void TSbsAlarms::done(int result) {
    storeLimiter();
    QDialog::done(result);
}

} // namespace k4
