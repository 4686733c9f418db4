#include "processing/ui/event_forms.h"

#include "database/text_edge.h"
#include "printing/printing.h"
#include "processing/event_printouts.h"
#include "processing/system_kinds.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cstdio>

namespace k4 {

namespace {

QString shown(const std::string& mazovia) { return QString::fromStdString(Utf8FromMazovia(mazovia)); }

QColor classColour(int colourClass) {
    const uint32_t rgb = kClassColours[colourClass & 0x0F];
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QListWidget* fixedList(QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return list;
}

QComboBox* colourGrid(QWidget* parent, int current) {
    auto* box = new QComboBox(parent);
    for (int c = 0; c < 16; ++c) {
        box->addItem(QString::number(c));
        box->setItemData(c, classColour(c), Qt::DecorationRole);
    }
    box->setCurrentIndex(current & 0x0F);
    return box;
}

QPushButton* addButton(QHBoxLayout* row, QWidget* parent, const char* text) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    row->addWidget(b);
    return b;
}

bool isSpaceOn(QObject* watched, QWidget* list, QEvent* event) {
    return watched == list && event->type() == QEvent::KeyPress &&
           static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space;
}

} // namespace

// --- "Zdarzenie" -----------------------------------------------------------

TZdarzenie::TZdarzenie(EventTable& table, const DataDir& dir, Messages& messages, int code, QWidget* parent)
    : QDialog(parent), table_(table), dir_(dir), messages_(messages), code_(code) {
    setObjectName("Zdarzenie");
    setWindowTitle(QStringLiteral("Zdarzenie"));
    const EventDef* def = code ? table.findEvent(code) : nullptr;
    Numer = new QLineEdit(code ? QString::asprintf("%03X", code) : QString(), this);
    Numer->setMaxLength(3);
    Skrot = new QLineEdit(def ? shown(def->shortText()) : QString(), this);
    Skrot->setMaxLength(8);
    Nazwa = new QLineEdit(def ? shown(def->fullText()) : QString(), this);
    Nazwa->setMaxLength(30);
    auto* kinds = new QGroupBox(QStringLiteral("Rodzaj"), this);
    auto* kindLayout = new QVBoxLayout(kinds);
    Rodzaj = new QButtonGroup(this);
    const char* const kKinds[] = {"zwykłe", "załączenie", "wyłączenie", "pożarowe"};
    for (int i = 0; i < 4; ++i) {
        auto* r = new QRadioButton(QString::fromUtf8(kKinds[i]), kinds);
        Rodzaj->addButton(r, i);
        kindLayout->addWidget(r);
    }
    const int bits = def ? def->kindBits() : 0;
    Rodzaj->button(bits & kEventFire ? 3 : bits & kEventDisarming ? 2 : bits & kEventArming ? 1 : 0)->setChecked(true);
    Kolor = colourGrid(this, def ? def->colourClass() : 0);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Numer zdarzenia (hex):"), this), 0, 0);
    grid->addWidget(Numer, 0, 1);
    grid->addWidget(new QLabel(QString::fromUtf8("Nazwa skrótowa:"), this), 1, 0);
    grid->addWidget(Skrot, 1, 1);
    grid->addWidget(new QLabel(QString::fromUtf8("Pełna nazwa zdarzenia:"), this), 2, 0);
    grid->addWidget(Nazwa, 2, 1);
    grid->addWidget(kinds, 3, 0);
    grid->addWidget(Kolor, 3, 1);
    grid->addWidget(new QLabel(QString::fromUtf8("Meldunek musi mieć kolor czarny!"), this), 4, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    auto* zapisz = addButton(buttons, this, "&Zapisz");
    auto* anuluj = addButton(buttons, this, "&Anuluj");
    zapisz->setDefault(true);
    connect(zapisz, &QPushButton::clicked, this, [this] { ZapiszClick(); });
    connect(anuluj, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

int TZdarzenie::ZapiszClick() {
    static const int kKindBits[] = {0, kEventArming, kEventDisarming, kEventFire};
    const int kind = kKindBits[std::max(0, Rodzaj->checkedId())];
    const EventDef def = makeEventDef(0, Skrot->text().toStdString(), Nazwa->text().toStdString(),
                                      Kolor->currentIndex(), kind);
    const int result = storeEventDefinition(table_, dir_, messages_, code_, Numer->text().trimmed().toStdString(), def);
    if (result == 0) accept();
    else if (result == 1) reject();
    return result;
}

// --- "Lista nazw zdarzeń" ----------------------------------------------------

TAlarms::TAlarms(EventTable& table, const DataDir& dir, Messages& messages, Printing* printing, bool pick,
                 QWidget* parent)
    : QDialog(parent), table_(table), dir_(dir), messages_(messages), printing_(printing), pick_(pick) {
    setObjectName("Alarms");
    setWindowTitle(QString::fromUtf8("Lista nazw zdarzeń"));
    List = fixedList(this);
    List->installEventFilter(this);
    connect(List, &QListWidget::itemDoubleClicked, this, [this] { ListDblClick(); });
    auto* buttons = new QHBoxLayout;
    auto* dodaj = addButton(buttons, this, "&Dodaj");
    auto* usun = addButton(buttons, this, "&Usuń");
    auto* wydruk = addButton(buttons, this, "&Wydruk");
    auto* koniec = addButton(buttons, this, "&Koniec");
    connect(dodaj, &QPushButton::clicked, this, &TAlarms::DodajClick);
    connect(usun, &QPushButton::clicked, this, &TAlarms::UsunClick);
    connect(wydruk, &QPushButton::clicked, this, &TAlarms::WydrukClick);
    connect(koniec, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List);
    layout->addLayout(buttons);
    resize(480, 400);
    refresh();
}

void TAlarms::refresh() {
    const int row = List->currentRow();
    List->clear();
    for (int code : table_.definedCodes()) {
        const EventDef* def = table_.findEvent(code);
        char text[64];
        std::snprintf(text, sizeof text, "%03X %-8.8s %-30.30s", code, def->shortText().c_str(),
                      def->fullText().c_str());
        auto* item = new QListWidgetItem(shown(text), List);
        item->setData(Qt::UserRole, code);
        item->setForeground(classColour(def->colourClass()));
    }
    if (List->count() > 0) List->setCurrentRow(std::clamp(row, 0, List->count() - 1));
}

int TAlarms::count() const { return List->count(); }
QString TAlarms::line(int i) const { return List->item(i) ? List->item(i)->text() : QString(); }
int TAlarms::codeAt(int i) const { return List->item(i) ? List->item(i)->data(Qt::UserRole).toInt() : 0; }
void TAlarms::select(int i) { List->setCurrentRow(i); }

void TAlarms::DodajClick() {
    TZdarzenie dialog(table_, dir_, messages_, 0, this);
    if (dialog.exec() == QDialog::Accepted) refresh();
}

void TAlarms::UsunClick() {
    const int code = codeAt(List->currentRow());
    if (code != 0 && removeEventDefinition(table_, dir_, messages_, code) == 0) refresh();
}

void TAlarms::WydrukClick() {
    if (!printing_ || printing_->printListing(standardTablePrintout(table_)) != 0)
        messages_.ShowNotice(mz("\x03wydruku (drukarka)"), kNoticeError);
}

void TAlarms::ListDblClick() {
    const int code = codeAt(List->currentRow());
    if (code == 0) return;
    if (pick_) {
        picked_ = code;
        accept();
        return;
    }
    TZdarzenie dialog(table_, dir_, messages_, code, this);
    if (dialog.exec() == QDialog::Accepted) refresh();
}

bool TAlarms::eventFilter(QObject* watched, QEvent* event) {
    if (isSpaceOn(watched, List, event)) {
        ListDblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// --- "Testy" -----------------------------------------------------------------

TSpecAlForm::TSpecAlForm(Config& config, const EventTable& events, Messages& messages,
                         std::function<std::optional<int>()> pickCode, QWidget* parent)
    : QDialog(parent), config_(config), events_(events), messages_(messages), pickCode_(std::move(pickCode)) {
    setObjectName("SpecAlForm");
    setWindowTitle(QStringLiteral("Testy"));
    List = fixedList(this);
    auto* buttons = new QHBoxLayout;
    auto* zmien = addButton(buttons, this, "&Zmień");
    auto* usun = addButton(buttons, this, "&Usuń");
    auto* koniec = addButton(buttons, this, "&Koniec");
    connect(zmien, &QPushButton::clicked, this, &TSpecAlForm::ZmienClick);
    connect(usun, &QPushButton::clicked, this, &TSpecAlForm::UsunClick);
    connect(koniec, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List);
    layout->addLayout(buttons);
    resize(420, 300);
    refresh();
    List->setCurrentRow(0);
}

void TSpecAlForm::refresh() {
    const int row = std::max(0, List->currentRow());
    List->clear();
    for (int i = 0; i < kSpecialCodes; ++i)
        List->addItem(shown(specialCodeLine(i, config_.block().special_codes[static_cast<size_t>(i)], events_)));
    List->setCurrentRow(row);
}

QString TSpecAlForm::line(int i) const { return List->item(i) ? List->item(i)->text() : QString(); }
void TSpecAlForm::select(int i) { List->setCurrentRow(i); }

void TSpecAlForm::ZmienClick() {
    const int i = List->currentRow();
    if (i < 0 || !pickCode_) return;
    const auto code = pickCode_();
    if (!code || *code == 0) return;
    if (setSpecialCode(config_, messages_, i, *code) == 0) refresh();
}

void TSpecAlForm::UsunClick() {
    const int i = List->currentRow();
    if (i < 0 || config_.block().special_codes[static_cast<size_t>(i)] == 0) return;
    if (setSpecialCode(config_, messages_, i, 0) == 0) refresh();
}

// --- "Zdarzenia programowe" ------------------------------------------------------

TInnersForm::TInnersForm(const EventFormatter& formatter, QWidget* parent) : QDialog(parent) {
    setObjectName("InnersForm");
    setWindowTitle(QStringLiteral("Zdarzenia programowe"));
    List = fixedList(this);
    for (const SystemKindLine& kind : systemKindLines(formatter)) {
        kinds_.push_back(kind.kind);
        List->addItem(shown(kind.line));
    }
    if (List->count() > 0) List->setCurrentRow(0);
    connect(List, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    auto* ok = addButton(buttons, this, "&OK");
    auto* anuluj = addButton(buttons, this, "&Anuluj");
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(anuluj, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List);
    layout->addLayout(buttons);
    resize(480, 400);
}

int TInnersForm::count() const { return List->count(); }
QString TInnersForm::line(int i) const { return List->item(i) ? List->item(i)->text() : QString(); }
void TInnersForm::select(int i) { List->setCurrentRow(i); }

QString TInnersForm::chosen() const {
    const int i = List->currentRow();
    if (i < 0 || i >= static_cast<int>(kinds_.size())) return {};
    return QString::asprintf("%3.3X", kinds_[static_cast<size_t>(i)]);
}

// --- "Listy wspólne" ------------------------------------------------------------

TCommonLists::TCommonLists(const ShareLst& lists, QWidget* parent) : QDialog(parent), lists_(lists) {
    setObjectName("CommonLists");
    setWindowTitle(QString::fromUtf8("Listy wspólne"));
    List = fixedList(this);
    for (int slot = 0; slot < ShareLst::kSlots; ++slot) List->addItem(shown(lists.slotLine(slot)));
    // Slot 0 is the standard list: there is nothing to copy from it.
    connect(List, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row == 0) List->setCurrentRow(1);
    });
    List->setCurrentRow(1);
    auto* buttons = new QHBoxLayout;
    auto* kopiuj = addButton(buttons, this, "&Kopiuj");
    auto* porzuc = addButton(buttons, this, "&Porzuć");
    connect(kopiuj, &QPushButton::clicked, this, &TCommonLists::KopiujClick);
    connect(porzuc, &QPushButton::clicked, this, [this] {
        listId_ = -1;
        reject();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List);
    layout->addLayout(buttons);
}

void TCommonLists::select(int slot) { List->setCurrentRow(slot); }
int TCommonLists::selectedSlot() const { return List->currentRow(); }

void TCommonLists::KopiujClick() {
    const int slot = selectedSlot();
    // A free slot holds no list to take.
    if (slot < 1 || slot >= ShareLst::kSlots || lists_.slot(slot).listId == 0) return;
    listId_ = lists_.slot(slot).listId;
    accept();
}

// --- "Zdarzenie" of a list ----------------------------------------------------------

TNSAlarm::TNSAlarm(AlarmsTableList& list, const EventTable& events, Messages& messages, int position, bool readOnly,
                   std::function<std::optional<int>()> pickCode, QWidget* parent)
    : QDialog(parent), list_(list), events_(events), messages_(messages), readOnly_(readOnly),
      pickCode_(std::move(pickCode)) {
    setObjectName("NSAlarm");
    setWindowTitle(QStringLiteral("Zdarzenie"));
    const bool editing = position >= 0 && position < list.count();
    const LUT_ENTRY entry = editing ? list.entry(position) : LUT_ENTRY::make(0, 0);
    if (editing) oldObjCode_ = entry.objCode();
    KodObiektu = new QLineEdit(editing ? QString::asprintf("%03X", entry.objCode()) : QString(), this);
    KodObiektu->setMaxLength(3);
    Numer = new QLineEdit(editing ? QString::asprintf("%03X", entry.stdCode()) : QString(), this);
    Numer->setMaxLength(3);
    NazwaZdarzenia = new QLabel(this);
    auto* lista = new QPushButton(QStringLiteral("&Lista"), this);
    connect(lista, &QPushButton::clicked, this, &TNSAlarm::ListaClick);
    connect(Numer, &QLineEdit::textChanged, this, [this] { showName(); });

    auto* sectors = new QGroupBox(QStringLiteral("Sektor"), this);
    auto* sectorLayout = new QVBoxLayout(sectors);
    Sektor = new QButtonGroup(this);
    const char* const kSectors[] = {"Zachowaj sektor standardowy", "Zdarzenie bez sektora",
                                    "Dołącz sektor/kod użytkownika"};
    for (int i = 0; i < 3; ++i) {
        auto* r = new QRadioButton(QString::fromUtf8(kSectors[i]), sectors);
        Sektor->addButton(r, i);
        sectorLayout->addWidget(r);
    }
    NrSektora = new QLineEdit(this);
    NrSektora->setMaxLength(3);
    sectorLayout->addWidget(NrSektora);
    const int sectorChoice = !entry.sectorOverride() ? 0 : entry.sector() == 4095 ? 1 : 2;
    Sektor->button(sectorChoice)->setChecked(true);
    if (sectorChoice == 2) NrSektora->setText(QString::asprintf("%03d", entry.sector()));

    auto* colours = new QGroupBox(QStringLiteral("Kolor"), this);
    auto* colourLayout = new QVBoxLayout(colours);
    Kolor = new QButtonGroup(this);
    const char* const kColours[] = {"Zachowaj kolor standardowy", "Zastosuj kolor z tabelki"};
    for (int i = 0; i < 2; ++i) {
        auto* r = new QRadioButton(QString::fromUtf8(kColours[i]), colours);
        Kolor->addButton(r, i);
        colourLayout->addWidget(r);
    }
    KolorZTabelki = colourGrid(colours, entry.colourOverride() ? entry.colour() : 0);
    colourLayout->addWidget(KolorZTabelki);
    Kolor->button(entry.colourOverride() ? 1 : 0)->setChecked(true);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Kod zdarzenia z obiektu:"), this), 0, 0);
    grid->addWidget(KodObiektu, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Numer zdarzenia (hex):"), this), 1, 0);
    grid->addWidget(Numer, 1, 1);
    grid->addWidget(lista, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Nazwa zdarzenia"), this), 2, 0);
    grid->addWidget(NazwaZdarzenia, 2, 1, 1, 2);
    grid->addWidget(sectors, 3, 0);
    grid->addWidget(colours, 3, 1, 1, 2);
    auto* buttons = new QHBoxLayout;
    auto* ok = addButton(buttons, this, "&OK");
    auto* anuluj = addButton(buttons, this, "&Anuluj");
    connect(ok, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(anuluj, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    showName();
    if (readOnly_) {
        for (QWidget* w : std::initializer_list<QWidget*>{KodObiektu, Numer, lista, sectors, colours}) w->setEnabled(false);
        ok->setEnabled(false);
    }
}

void TNSAlarm::showName() {
    bool ok = false;
    const int code = Numer->text().toInt(&ok, 16);
    const EventDef* def = ok ? events_.findEvent(code) : nullptr;
    NazwaZdarzenia->setText(def && !def->isEmpty() ? shown(def->fullText()) : QString());
}

void TNSAlarm::ListaClick() {
    if (!pickCode_) return;
    const auto code = pickCode_();
    if (code && *code) Numer->setText(QString::asprintf("%03X", *code));
}

ListEntryInput TNSAlarm::input() const {
    ListEntryInput in;
    in.objText = KodObiektu->text().trimmed().toStdString();
    in.stdText = Numer->text().trimmed().toStdString();
    in.sector = Sektor->checkedId() == 1 ? SectorChoice::None : Sektor->checkedId() == 2 ? SectorChoice::Own
                                                                                         : SectorChoice::Standard;
    in.sectorText = NrSektora->text().trimmed().toStdString();
    in.colour = Kolor->checkedId() == 1 ? ColourChoice::Own : ColourChoice::Standard;
    in.colourClass = KolorZTabelki->currentIndex();
    return in;
}

int TNSAlarm::OkClick() {
    if (readOnly_) return 1;
    const int result = storeListEntry(list_, messages_, oldObjCode_, input());
    if (result == 0) accept();
    else if (result == 1) reject();
    return result;
}

} // namespace k4
