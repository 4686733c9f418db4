#include "processing/ui/shr_alarms.h"

#include "database/text_edge.h"
#include "printing/printing.h"
#include "processing/event_printouts.h"
#include "processing/ui/ns_alarms.h"

#include <QButtonGroup>
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
#include <QSpinBox>
#include <QVBoxLayout>

namespace k4 {

namespace {

QString shown(const std::string& mazovia) { return QString::fromStdString(Utf8FromMazovia(mazovia)); }

int firstFreeSlot(const ShareLst& shared) {
    for (int slot = 1; slot < ShareLst::kSlots; ++slot)
        if (shared.slot(slot).listId == 0) return slot;
    return 1;
}

} // namespace

// --- "Lista zdarzeń": a new shared list ---------------------------------------

TNewAlLst::TNewAlLst(SharedListParts parts, SbsAlarmsChoosers choosers, QWidget* parent)
    : QDialog(parent), parts_(parts), choosers_(std::move(choosers)) {
    setObjectName("NewAlLst");
    setWindowTitle(QString::fromUtf8("Lista zdarzeń"));
    Pozycja = new QSpinBox(this);
    Pozycja->setRange(1, ShareLst::kSlots - 1);
    Pozycja->setValue(firstFreeSlot(parts.shared));
    Nazwa = new QLineEdit(this);
    Nazwa->setMaxLength(8);
    auto* bases = new QGroupBox(QString::fromUtf8("Na podstawie listy:"), this);
    auto* baseLayout = new QVBoxLayout(bases);
    Podstawa = new QButtonGroup(this);
    const char* const kBases[] = {"Wspólnej", "Pustej", "Abonenta", "Z dysku"};
    for (int i = 0; i < 4; ++i) {
        auto* r = new QRadioButton(QString::fromUtf8(kBases[i]), bases);
        Podstawa->addButton(r, i);
        baseLayout->addWidget(r);
    }
    Podstawa->button(static_cast<int>(NewListBase::Empty))->setChecked(true);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Pozycja:"), this), 0, 0);
    grid->addWidget(Pozycja, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Nazwa:"), this), 1, 0);
    grid->addWidget(Nazwa, 1, 1);
    grid->addWidget(bases, 2, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    auto* anuluj = new QPushButton(QStringLiteral("&Anuluj"), this);
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(anuluj);
    connect(ok, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(anuluj, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

NewListBase TNewAlLst::base() const { return static_cast<NewListBase>(std::max(0, Podstawa->checkedId())); }
int TNewAlLst::slot() const { return Pozycja->value(); }

int TNewAlLst::OkClick() {
    // The position first: the operator is not sent to choose a list for a
    // slot that cannot take it.
    if (refuseNewSlot(parts_.shared, slot(), parts_.messages) != 0) return 1;
    NewSharedList request;
    request.slot = slot();
    request.name = MazoviaFromUtf8(Nazwa->text().trimmed().toStdString());
    request.base = base();
    switch (request.base) {
    case NewListBase::Shared: {
        const auto id = choosers_.sharedList ? choosers_.sharedList() : std::nullopt;
        if (!id || *id < 0) return 1;
        request.sourceList = *id;
        break;
    }
    case NewListBase::Subscriber: {
        const auto id = choosers_.subscriberList ? choosers_.subscriberList() : std::nullopt;
        if (!id) return 1;
        request.sourceList = *id;
        break;
    }
    case NewListBase::Disk:
        request.file = choosers_.listFile ? choosers_.listFile() : std::nullopt;
        if (!request.file) return 1;
        break;
    case NewListBase::Empty:
        break;
    }
    const int result = createSharedList(parts_, request);
    if (result == 0) accept();
    return result;
}

// --- "Wspólne listy zdarzeń" ------------------------------------------------------

TShrAlarms::TShrAlarms(SharedListParts parts, const ConfigBlock& config, RecordFile& dane, IndexHandle& numberIndex,
                       Printing* printing, SbsAlarmsChoosers choosers, QWidget* parent)
    : QDialog(parent), parts_(parts), config_(config), dane_(dane), numberIndex_(numberIndex), printing_(printing),
      choosers_(std::move(choosers)) {
    setObjectName("ShrAlarms");
    setWindowTitle(QString::fromUtf8("Wspólne listy zdarzeń"));
    Sloty = new QListWidget(this);
    Sloty->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Sloty->setMaximumWidth(Sloty->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 16);
    Sloty->installEventFilter(this);
    connect(Sloty, &QListWidget::itemDoubleClicked, this, [this] { SlotyDblClick(); });
    Lista = new TNSAlarms(parts.events, config, parts.messages, choosers_.standardCode, this);
    Lista->embed();

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* text) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        buttons->addWidget(b);
        return b;
    };
    auto* nowa = button("&Nowa");
    Usun = button("&Usuń");
    auto* wydruk = button("&Wydruk");
    auto* koniec = button("&Koniec");
    connect(nowa, &QPushButton::clicked, this, &TShrAlarms::NowaClick);
    connect(Usun, &QPushButton::clicked, this, &TShrAlarms::UsunClick);
    connect(wydruk, &QPushButton::clicked, this, &TShrAlarms::WydrukClick);
    connect(koniec, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(Sloty);
    top->addWidget(Lista, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    resize(640, 420);

    refreshSlots();
    connect(Sloty, &QListWidget::currentRowChanged, this, [this](int row) { showSlot(row); });
    select(0);
    showSlot(0);
}

// The list shown names shownList_, which goes before the child windows do.
TShrAlarms::~TShrAlarms() { Lista->setList({}, {}, false); }

void TShrAlarms::refreshSlots() {
    const QSignalBlocker quiet(Sloty);
    const int row = Sloty->currentRow();
    Sloty->clear();
    for (int slot = 0; slot < ShareLst::kSlots; ++slot) Sloty->addItem(shown(parts_.shared.slotLine(slot)));
    Sloty->setCurrentRow(std::max(0, row));
}

QString TShrAlarms::slotLine(int slot) const { return Sloty->item(slot) ? Sloty->item(slot)->text() : QString(); }
void TShrAlarms::select(int slot) { Sloty->setCurrentRow(slot); }
int TShrAlarms::selectedSlot() const { return Sloty->currentRow(); }

void TShrAlarms::showSlot(int slot) {
    Usun->setEnabled(slot >= 1 && parts_.shared.slot(slot).listId != 0);
    if (slot < 0 || slot >= ShareLst::kSlots || (slot > 0 && parts_.shared.slot(slot).listId == 0)) {
        Lista->setList({}, {}, false);
        return;
    }
    Lista->setList([this, slot] { return openSlotList(parts_, slot, shownList_); },
                   listDumpName(parts_.shared.nameOf(slot)), slot > 0);
}

void TShrAlarms::NowaClick() {
    TNewAlLst dialog(parts_, choosers_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    refreshSlots();
    // The new slot may be the one already chosen: no change of row to show it.
    select(dialog.slot());
    showSlot(dialog.slot());
}

void TShrAlarms::UsunClick() {
    const int slot = selectedSlot();
    if (slot < 1) return;
    removeSharedList(parts_, slot, dane_, numberIndex_);
    refreshSlots();
    showSlot(slot);
}

void TShrAlarms::SlotyDblClick() {
    const int slot = selectedSlot();
    if (slot < 1 || slot >= ShareLst::kSlots || parts_.shared.slot(slot).listId == 0) return;
    const auto name = parts_.messages.ui().askText("Lista zdarzeń", "Nazwa:", Utf8FromMazovia(parts_.shared.nameOf(slot)));
    if (!name) return;
    // The slot keeps eight stored letters.
    std::string stored = MazoviaFromUtf8(QString::fromStdString(*name).trimmed().toStdString());
    if (stored.size() > 8) stored.resize(8);
    renameSharedList(parts_.shared, slot, stored);
    refreshSlots();
    showSlot(slot);
}

void TShrAlarms::WydrukClick() {
    const int slot = selectedSlot();
    if (!Lista->list() || slot < 0) return;
    const std::string text = sharedListPrintout(*Lista->list(), parts_.shared.nameOf(slot), parts_.events, config_);
    if (!printing_ || printing_->printListing(text) != 0)
        parts_.messages.ShowNotice(mz("\x03wydruku (drukarka)"), kNoticeError);
}

bool TShrAlarms::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Sloty && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        SlotyDblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace k4
