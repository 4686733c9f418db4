#include "database/ui/abonent.h"

#include "config/config_block.h"
#include "database/lines_list.h"
#include "database/subscriber_card_fields.h"
#include "database/subscriber_card_save.h"
#include "database/subscriber_database.h"
#include "database/subscriber_indexes.h"
#include "database/text_edge.h"
#include "database/ui/arms_form.h"
#include "database/ui/lines_form.h"
#include "database/ui/option_form.h"
#include "database/ui/persons_form.h"
#include "messages/messages.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <cstdio>

namespace k4 {

namespace {

QString shown(const std::string& mazovia) { return QString::fromStdString(Utf8FromMazovia(mazovia)); }
std::string stored(const QLineEdit* edit) { return MazoviaFromUtf8(edit->text().toStdString()); }

const char* const kPathNames[] = {"komutowany", "radiowy", "sztywny", "GSM/GPRS", "ADEMCO", "Contact ID", "Ethernet"};

QComboBox* baseChoice(QWidget* parent) {
    auto* box = new QComboBox(parent);
    for (const char* v : {"1", "2", "3", "4", "5"}) box->addItem(QString::fromLatin1(v));
    return box;
}

} // namespace

TAbonent::TAbonent(CardLinks links, int eventList, int number, int32_t at, QWidget* parent)
    : QDialog(parent), links_(std::move(links)) {
    setObjectName("Abonent");
    if (at >= 0) subscriber_ = std::make_unique<Sbscrbr>(links_.database, AtOffset{at});
    else subscriber_ = std::make_unique<Sbscrbr>(links_.database, ByNumber{number});
    if (at == kCardByNumberForHistory) mode_ = CardMode::History;
    if (eventList != -1) subscriber_->record.alarm_list = eventList;
    build();
    // A record that cannot be read leaves the fields empty.
    if (subscriber_->valid || at < 0) {
        showFields();
        showCounts();
    }
    resize(720, sizeHint().height());
    char caption[32];
    std::snprintf(caption, sizeof caption, "Abonent %4.4d",
                  static_cast<int>(subscriber_->valid ? subscriber_->number() : number));
    setWindowTitle(QString::fromLatin1(caption));
    setInputsEditable(false);
    layOutButtons();
}

TAbonent::~TAbonent() {
    if (switchedSupervisorOn_ && links_.leaveSupervisor) links_.leaveSupervisor();
}

void TAbonent::setTestMode() { mode_ = CardMode::Test; }

void TAbonent::build() {
    auto* grid = new QGridLayout;
    int row = 0;
    // A field of a whole row (span 3) or of half of one.
    auto field = [&](const char* label, int limit, int column = 0, int span = 1) {
        auto* edit = new QLineEdit(this);
        if (limit > 0) edit->setMaxLength(limit);
        grid->addWidget(new QLabel(QString::fromUtf8(label), this), row, column);
        grid->addWidget(edit, row, column + 1, 1, span);
        return edit;
    };
    Numer = field("Nr abonenta:", 4);
    Numer->setValidator(new QIntValidator(0, 9999, Numer));
    ++row;
    Nazwa = field("Nazwa:", kCardNameLimit, 0, 3);
    ++row;
    Miejscowosc = field("Miejscowość:", kCardTownLimit);
    Kod = field("Kod:", 0, 2);
    Kod->setInputMask(QStringLiteral("99-999;_"));
    ++row;
    Adres = field("Adres:", kCardAddressLimit, 0, 3);
    ++row;
    Telefon = field("Telefon:", kCardTelLimit);
    Telefon->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9:]*")), Telefon));
    TelefonGSM = field("Telefon GSM:", kCardGsmLimit, 2);
    TelefonGSM->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), TelefonGSM));
    ++row;
    NumerIP = field("Numer IP:", 15);
    NumerIP->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), NumerIP));
    ++row;
    Kontakt1 = field("Telefon kontaktowy 1:", kCardContactLimit, 0, 3);
    ++row;
    Kontakt2 = field("Telefon kontaktowy 2:", kCardContactLimit, 0, 3);
    ++row;
    Haslo = field("Hasło abonenta:", kCardPasswdLimit);
    Centralka = field("Centralka:", kCardCentralLimit, 2);
    ++row;
    IloscPodsystemow = new QLabel(this);
    IloscSektorow = new QLabel(this);
    grid->addWidget(new QLabel(QString::fromUtf8("Ilość podsystemów:"), this), row, 0);
    grid->addWidget(IloscPodsystemow, row, 1);
    grid->addWidget(new QLabel(QString::fromUtf8("Ilość sektorów:"), this), row, 2);
    grid->addWidget(IloscSektorow, row, 3);

    auto* paths = new QGroupBox(QStringLiteral("Tory:"), this);
    auto* pathLayout = new QVBoxLayout(paths);
    Tory = new QListWidget(paths);
    Tory->setObjectName("Tory");
    for (const char* name : kPathNames) {
        auto* item = new QListWidgetItem(QString::fromUtf8(name), Tory);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        item->setCheckState(Qt::Unchecked);
    }
    pathLayout->addWidget(Tory);
    BazaRadiowa = baseChoice(paths);
    BazaSztywna = baseChoice(paths);
    OperatorGSM = new QComboBox(paths);
    for (const char* name : {"Dowolny", "Plus", "Orange", "Era"}) OperatorGSM->addItem(QString::fromUtf8(name));
    auto* bases = new QGridLayout;
    radioLabel_ = new QLabel(QStringLiteral("Baza TR:"), paths);
    fixedLabel_ = new QLabel(QStringLiteral("Baza TS:"), paths);
    bases->addWidget(radioLabel_, 0, 0);
    bases->addWidget(BazaRadiowa, 0, 1);
    bases->addWidget(fixedLabel_, 1, 0);
    bases->addWidget(BazaSztywna, 1, 1);
    bases->addWidget(new QLabel(QStringLiteral("Operator:"), paths), 2, 0);
    bases->addWidget(OperatorGSM, 2, 1);
    pathLayout->addLayout(bases);
    connect(Tory, &QListWidget::itemChanged, this, [this](QListWidgetItem*) {
        if (!filling_) showBaseChoices();
    });

    auto* top = new QHBoxLayout;
    top->addLayout(grid, 3);
    top->addWidget(paths, 1);

    auto* row1 = new QGroupBox(this);
    row1->setObjectName("RelatedButtons");
    auto* relatedLayout = new QHBoxLayout(row1);
    auto* row2 = new QGroupBox(this);
    row2->setObjectName("ButtonRow");
    auto* mainLayout = new QHBoxLayout(row2);
    auto button = [&](const char* caption, QHBoxLayout* into, void (TAbonent::*click)()) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        into->addWidget(b);
        if (click) connect(b, &QPushButton::clicked, this, click);
        return b;
    };
    Podsystem = button("Pod&system", relatedLayout, &TAbonent::PodsystemClick);
    Opis = button("&Opis", relatedLayout, nullptr);
    Powiadom = button("Po&wiadom.", relatedLayout, &TAbonent::PowiadomClick);
    Zdarzenia = button("&Zdarzenia", relatedLayout, &TAbonent::ZdarzeniaClick);
    Rozkazy = button("&Rozkazy", relatedLayout, nullptr);
    Opcjonalne = button("Op&cjonalne", relatedLayout, &TAbonent::OpcjonalneClick);
    Testy = button("&Testy", relatedLayout, &TAbonent::TestyClick);
    WylZal = button("W&ył/Zał", relatedLayout, &TAbonent::WylZalClick);
    Diody = button("&Diody", relatedLayout, nullptr);
    Pomiary = button("&Pomiary", relatedLayout, nullptr);

    KoniecZmian = button("&Koniec zmian", mainLayout, &TAbonent::KoniecZmianClick);
    Edycja = button("&Edycja", mainLayout, &TAbonent::EdycjaClick);
    Usun = button("&Usuń", mainLayout, &TAbonent::UsunClick);
    Wydruk = button("Wy&druk", mainLayout, &TAbonent::WydrukClick);
    Nadzor = button("&Nadzór", mainLayout, &TAbonent::NadzorClick);
    Badania = button("&Badania", mainLayout, &TAbonent::BadaniaClick);
    Historia = button("&Historia", mainLayout, &TAbonent::HistoriaClick);
    Koniec = button("&Koniec", mainLayout, nullptr);
    connect(Koniec, &QPushButton::clicked, this, &QDialog::reject);

    // The dialogs other parts of the station bring; without their link the
    // button stays, unusable.
    auto seam = [this](QPushButton* b, const std::function<void(Sbscrbr&, bool, QWidget*)>& open) {
        b->setEnabled(static_cast<bool>(open));
        if (open)
            connect(b, &QPushButton::clicked, this, [this, &open] {
                open(*subscriber_, editing_, this);
                if (editing_) saveAfterDialog();
            });
    };
    seam(Opis, links_.description);
    seam(Rozkazy, links_.orders);
    seam(Pomiary, links_.measurements);
    Diody->setEnabled(static_cast<bool>(links_.leds));
    if (links_.leds) connect(Diody, &QPushButton::clicked, this, [this] { links_.leds(*subscriber_, this); });
    // The LED panel does not belong on this card's first page. The
    // measuring inputs are only shown for a waterworks, a subscriber with
    // measuring units: nowhere else could they be set.
    Diody->hide();
    if (!subscriber_ || subscriber_->record.hunits[0] == 0) Pomiary->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(row1);
    layout->addWidget(row2);
}

void TAbonent::showFields() {
    const CardFields f = cardFieldsOf(subscriber_->record);
    filling_ = true;
    Numer->setText(QString::number(f.object));
    Nazwa->setText(shown(f.name));
    Miejscowosc->setText(shown(f.town));
    Kod->setText(QString::fromStdString(postalCodeShown(f.code)));
    Adres->setText(shown(f.address));
    Telefon->setText(shown(f.tel));
    TelefonGSM->setText(shown(f.telGsm));
    NumerIP->setText(QString::fromStdString(f.ip));
    Kontakt1->setText(shown(f.contact1));
    Kontakt2->setText(shown(f.contact2));
    Haslo->setText(shown(f.passwd));
    Centralka->setText(shown(f.central));
    for (int i = 0; i < Tory->count(); ++i)
        Tory->item(i)->setCheckState((f.tracks >> i) & 1 ? Qt::Checked : Qt::Unchecked);
    BazaRadiowa->setCurrentIndex(f.radioBase);
    BazaSztywna->setCurrentIndex(f.fixedBase);
    OperatorGSM->setCurrentIndex(f.gsmOperator);
    filling_ = false;
    showBaseChoices();
}

void TAbonent::showCounts() {
    LinesList lines(links_.database.files(), subscriber_->record.lines);
    int subsystems = 0, sectors = 0;
    if (lines.usable()) lines.Count(subsystems, sectors);
    subscriber_->record.line_nbr = static_cast<int16_t>(subsystems);
    subscriber_->record.sector_nbr = sectors;
    IloscPodsystemow->setText(QString::number(subsystems));
    IloscSektorow->setText(QString::number(sectors));
}

void TAbonent::showBaseChoices() {
    const bool radio = Tory->item(1)->checkState() == Qt::Checked;
    const bool fixed = Tory->item(2)->checkState() == Qt::Checked;
    BazaRadiowa->setVisible(radio);
    radioLabel_->setVisible(radio);
    BazaSztywna->setVisible(fixed);
    fixedLabel_->setVisible(fixed);
}

void TAbonent::setInputsEditable(bool on) {
    for (QLineEdit* e : {Numer, Nazwa, Miejscowosc, Kod, Adres, Telefon, TelefonGSM, NumerIP, Kontakt1, Kontakt2,
                         Haslo, Centralka})
        e->setReadOnly(!on);
    Tory->setEnabled(on);
    BazaRadiowa->setEnabled(on);
    BazaSztywna->setEnabled(on);
    OperatorGSM->setEnabled(on);
}

void TAbonent::layOutButtons() {
    const bool supervisor = links_.supervisorOn && links_.supervisorOn();
    KoniecZmian->setVisible(editing_);
    Edycja->setVisible(!editing_ && supervisor);
    Usun->setVisible(!editing_ && supervisor);
    Wydruk->setVisible(!editing_ && supervisor);
    Koniec->setVisible(!editing_);
    Nadzor->setVisible(!editing_ && !supervisor && links_.enterSupervisor);
    Badania->setEnabled(static_cast<bool>(links_.paths) || mode_ == CardMode::Test);
    Historia->setEnabled(static_cast<bool>(links_.history) || mode_ == CardMode::History);
    Testy->setEnabled(static_cast<bool>(links_.tests));
    // The event list is written as it is edited: it opens only for editing.
    Zdarzenia->setEnabled(editing_ && links_.eventList);
    (editing_ ? KoniecZmian : Koniec)->setDefault(true);
}

void TAbonent::copyCardIntoRecord() {
    CardFields f;
    f.object = Numer->text().toInt();
    f.name = stored(Nazwa);
    f.town = stored(Miejscowosc);
    f.code = Kod->text().toStdString();
    f.address = stored(Adres);
    f.tel = stored(Telefon);
    f.telGsm = stored(TelefonGSM);
    f.ip = NumerIP->text().toStdString();
    f.contact1 = stored(Kontakt1);
    f.contact2 = stored(Kontakt2);
    f.passwd = stored(Haslo);
    f.central = stored(Centralka);
    for (int i = 0; i < Tory->count(); ++i)
        if (Tory->item(i)->checkState() == Qt::Checked) f.tracks = static_cast<uint8_t>(f.tracks | 1u << i);
    f.radioBase = BazaRadiowa->currentIndex();
    f.fixedBase = BazaSztywna->currentIndex();
    f.gsmOperator = OperatorGSM->currentIndex();
    k4::copyCardIntoRecord(f, subscriber_->record);
}

void TAbonent::saveAfterDialog() {
    if (subscriber_->offset() == 0 || !subscriber_->valid) return;
    if (subscriber_->Save() != 0) links_.messages.ShowNotice(mz("\x03zapisu abonenta"), kNoticeError);
}

void TAbonent::EdycjaClick() {
    if (!subscriber_->valid) return;
    editing_ = true;
    noteCardEditing(links_.database, subscriber_->number());
    setInputsEditable(true);
    layOutButtons();
    Nazwa->setFocus();
}

void TAbonent::KoniecZmianClick() {
    if (!editing_) return;
    copyCardIntoRecord();
    if (saveSubscriberCard(links_.database, links_.indexes, *subscriber_) != kCardSaved) return;
    if (links_.afterSave) links_.afterSave(*subscriber_);
    accept();
}

void TAbonent::UsunClick() {
    char question[64];
    std::snprintf(question, sizeof question, "Na pewno usunąć abonenta %4.4d?",
                  static_cast<int>(subscriber_->number()));
    if (links_.messages.AskYesNo(mz(std::string("\x03") + question)) == kResultYes && subscriber_->valid) {
        copyCardIntoRecord();
        subscriber_->Delete(true);
    }
    // The caller rebuilds its list whatever the answer was.
    done(kCardDeleted);
}

void TAbonent::WydrukClick() {
    if (!links_.printSheet) return;
    copyCardIntoRecord();
    links_.printSheet(*subscriber_);
    showFields();
}

void TAbonent::NadzorClick() {
    if (!links_.enterSupervisor || !links_.enterSupervisor()) return;
    switchedSupervisorOn_ = true;
    layOutButtons();
}

void TAbonent::BadaniaClick() {
    if (mode_ == CardMode::Test) {
        accept();
        return;
    }
    const std::optional<int32_t> offset = links_.indexes.recordOfNumber(subscriber_->number());
    if (!offset) {
        links_.messages.ShowNotice(mz("\x03Nieprawidłowy numer abonenta."), kNoticeInfo);
        return;
    }
    if (links_.paths) links_.paths(*offset, mode_ == CardMode::History, this);
}

void TAbonent::HistoriaClick() {
    if (mode_ == CardMode::History) {
        done(kCardBackToHistory);
        return;
    }
    if (links_.history && !(links_.historyOpen && links_.historyOpen()))
        links_.history(subscriber_->number(), this);
}

void TAbonent::PodsystemClick() {
    {
        TLines dialog(links_.database, editing_, subscriber_->record.lines, this);
        dialog.exec();
    }
    if (!editing_) return;
    saveAfterDialog();
    showCounts();
}

void TAbonent::PowiadomClick() {
    TPersons dialog(links_.database, editing_, subscriber_->record.persons, this);
    dialog.exec();
}

void TAbonent::ZdarzeniaClick() {
    if (links_.eventList) links_.eventList(*subscriber_, this);
}

void TAbonent::OpcjonalneClick() {
    TOption dialog(subscriber_->record, editing_, links_.config, this);
    dialog.exec();
}

void TAbonent::TestyClick() {
    if (!links_.tests) return;
    // The tests are bound to the paths ticked on the card, saved or not.
    CardFields paths = cardFieldsOf(subscriber_->record);
    for (int i = 0; i < Tory->count(); ++i)
        paths.tracks = static_cast<uint8_t>(Tory->item(i)->checkState() == Qt::Checked ? paths.tracks | 1u << i
                                                                                      : paths.tracks & ~(1u << i));
    subscriber_->record.tracks = paths.tracks;
    links_.tests(*subscriber_, !editing_, this);
}

void TAbonent::WylZalClick() {
    const uint16_t maskBefore = subscriber_->record.arm_mask;
    TArms dialog(links_.database, editing_, subscriber_->record, this);
    const int result = dialog.exec();
    if (!editing_ || result != kArmsSaved) return;
    // A position ticked or unticked changes the supervision as much as a
    // schedule rewritten does.
    if (dialog.changed() || subscriber_->record.arm_mask != maskBefore) subscriber_->plans_changed = true;
    if (subscriber_->offset() == 0) return;
    saveAfterDialog();
    if (subscriber_->WriteArmMask(subscriber_->record.arm_mask) != 0)
        links_.messages.ShowNotice(mz("\x03zapisu abonenta"), kNoticeError);
}

} // namespace k4
