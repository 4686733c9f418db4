#include "database/ui/orders_forms.h"

#include "database/order_names_table.h"
#include "database/orders_editing.h"
#include "database/orders_table_list.h"
#include "database/subscriber_database.h"
#include "database/subscriber_record.h"
#include "database/text_edge.h"
#include "messages/messages.h"
#include "printing/printing.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace k4 {

namespace {

QString shown(const std::string& mazovia) { return QString::fromStdString(Utf8FromMazovia(mazovia)); }

QListWidget* fixedList(QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    return list;
}

QPushButton* addButton(QHBoxLayout* row, QWidget* parent, const char* text) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    row->addWidget(b);
    return b;
}

void keepRow(QListWidget* list, int row) {
    if (list->count() > 0) list->setCurrentRow(std::clamp(row, 0, list->count() - 1));
}

} // namespace

// --- "Rozkaz" ----------------------------------------------------------------

TOrderForm::TOrderForm(OrderNamesTable& names, int code, QWidget* parent)
    : QDialog(parent), names_(names), code_(code) {
    setObjectName("OrderForm");
    setWindowTitle(QStringLiteral("Rozkaz"));
    setProperty("helpContext", kHelpOrders);
    const OrderNameRecord& record = names.OrderRecord(code);
    Numer = new QLineEdit(code ? QString::asprintf("%02X", code) : QString(), this);
    Numer->setObjectName("Numer");
    Numer->setMaxLength(2);
    Opis = new QLineEdit(code ? shown(std::string(record.name, strnlen(record.name, sizeof record.name))) : QString(),
                         this);
    Opis->setObjectName("Opis");
    Opis->setMaxLength(kOrderNameSize);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Numer rozkazu (hex.)"), this), 0, 0);
    grid->addWidget(Numer, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Opis rozkazu"), this), 1, 0);
    grid->addWidget(Opis, 1, 1);
    auto* buttons = new QHBoxLayout;
    auto* zapisz = addButton(buttons, this, "&Zapisz");
    auto* porzuc = addButton(buttons, this, "&Porzuć");
    zapisz->setDefault(true);
    connect(zapisz, &QPushButton::clicked, this, [this] { ZapiszClick(); });
    connect(porzuc, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

int TOrderForm::ZapiszClick() {
    const int result = storeOrderDefinition(names_, code_, Numer->text().toStdString(), Opis->text().toStdString());
    if (result == 0) accept();
    else if (result < 0) reject();
    return result;
}

// --- "Lista wszystkich rozkazów" -----------------------------------------------

TOrdersTab::TOrdersTab(OrderNamesTable& names, Messages& messages, Printing* printing, OrdersTableList* choosingFor,
                       QWidget* parent)
    : QDialog(parent), names_(names), messages_(messages), printing_(printing), choosingFor_(choosingFor) {
    setObjectName("OrdersTab");
    setWindowTitle(QString::fromUtf8("Lista wszystkich rozkazów"));
    setProperty("helpContext", kHelpOrders);
    List = fixedList(this);
    List->setObjectName("List");
    connect(List, &QListWidget::itemDoubleClicked, this, [this] { ListDblClick(); });
    auto* buttons = new QHBoxLayout;
    if (choosingFor_) {
        // Chosen for a subscriber: a double click permits one order, this
        // button every defined one; the table itself is edited from the
        // menu only.
        auto* all = addButton(buttons, this, "Kopiuj &wszystkie");
        connect(all, &QPushButton::clicked, this, &TOrdersTab::KopiujClick);
    } else {
        auto* nowy = addButton(buttons, this, "&Nowy");
        auto* usun = addButton(buttons, this, "&Usuń");
        auto* wydruk = addButton(buttons, this, "&Wydruk");
        connect(nowy, &QPushButton::clicked, this, &TOrdersTab::NowyClick);
        connect(usun, &QPushButton::clicked, this, &TOrdersTab::UsunClick);
        connect(wydruk, &QPushButton::clicked, this, &TOrdersTab::WydrukClick);
    }
    auto* koniec = addButton(buttons, this, "&Koniec");
    connect(koniec, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List);
    layout->addLayout(buttons);
    resize(520, 400);
    refresh();
}

void TOrdersTab::refresh() {
    const int row = List->currentRow();
    List->clear();
    const PListInt& codes = names_.DefinedCodes();
    for (int i = 0; i < codes.Count(); ++i) {
        auto* item = new QListWidgetItem(shown(orderNameLine(names_, codes.Get(i))), List);
        item->setData(Qt::UserRole, codes.Get(i));
    }
    keepRow(List, row);
}

int TOrdersTab::count() const { return List->count(); }
QString TOrdersTab::line(int i) const { return List->item(i) ? List->item(i)->text() : QString(); }
int TOrdersTab::codeAt(int i) const { return List->item(i) ? List->item(i)->data(Qt::UserRole).toInt() : 0; }
void TOrdersTab::select(int i) { List->setCurrentRow(i); }

void TOrdersTab::edit(int code) {
    TOrderForm form(names_, code, this);
    form.exec();
    // Whatever the form did is in memory already, written or told.
    refresh();
}

void TOrdersTab::NowyClick() {
    if (!choosingFor_) edit(0);
}

void TOrdersTab::UsunClick() {
    const int code = codeAt(List->currentRow());
    if (!choosingFor_ && code != 0 && names_.DeleteOrder(code) != 1) refresh();
}

void TOrdersTab::WydrukClick() {
    if (!printing_ || printing_->printListing(orderNamesPrintout(names_)) != 0)
        messages_.ShowNotice(mz("\x03wydruku (drukarka)"), kNoticeError);
}

void TOrdersTab::KopiujClick() {
    if (!choosingFor_) return;
    choosingFor_->PermitAll();
    choosingFor_->Rebuild();
    accept();
}

void TOrdersTab::ListDblClick() {
    const int code = codeAt(List->currentRow());
    if (code == 0) return;
    if (!choosingFor_) {
        edit(code);
        return;
    }
    // An order the subscriber has already keeps the code it goes out under
    // to this panel; choosing it again must not undo that quietly.
    if (choosingFor_->Permitted(code)) return;
    choosingFor_->Permit(code);
    choosingFor_->Rebuild();
}

// --- "Rozkaz" / "Kod wysyłanego rozkazu:" ----------------------------------------

TSentCodeForm::TSentCodeForm(const QString& code, QWidget* parent) : QDialog(parent) {
    setObjectName("SentCodeForm");
    setWindowTitle(QStringLiteral("Rozkaz"));
    setProperty("helpContext", kHelpOrders);
    Kod = new QLineEdit(code, this);
    Kod->setObjectName("Kod");
    Kod->setMaxLength(2);
    Kod->selectAll();
    auto* buttons = new QHBoxLayout;
    auto* ok = addButton(buttons, this, "OK");
    auto* cancel = addButton(buttons, this, "Cancel");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8("Kod wysyłanego rozkazu:"), this));
    layout->addWidget(Kod);
    layout->addLayout(buttons);
}

// --- "Lista rozkazów abonenta" -------------------------------------------------

TSbsOrders::TSbsOrders(SubscriberDatabase& database, SubscriberRecord& record, bool editing, QWidget* parent)
    : QDialog(parent), database_(database), editing_(editing) {
    setObjectName("SbsOrders");
    setWindowTitle(QString::fromUtf8("Lista rozkazów abonenta"));
    setProperty("helpContext", kHelpOrders);
    list_ = std::make_unique<OrdersTableList>(database.files(), database.orderNames(), record.orders);
    if (!list_->usable()) {
        // The set named by the record cannot be read: shown empty, and
        // nothing is written over it.
        database.messages().ShowNotice(mz("\x03odczytu listy rozkazów"), kNoticeError);
        editing_ = false;
    }
    List = fixedList(this);
    List->setObjectName("List");
    List->installEventFilter(this);
    connect(List, &QListWidget::itemDoubleClicked, this, [this] { ListDblClick(); });
    auto* buttons = new QHBoxLayout;
    if (editing_) {
        auto* dodaj = addButton(buttons, this, "&Dodaj");
        auto* usun = addButton(buttons, this, "&Usuń");
        auto* wszystkie = addButton(buttons, this, "Usuń &wszystkie");
        connect(dodaj, &QPushButton::clicked, this, &TSbsOrders::DodajClick);
        connect(usun, &QPushButton::clicked, this, &TSbsOrders::UsunClick);
        connect(wszystkie, &QPushButton::clicked, this, &TSbsOrders::UsunWszystkieClick);
    }
    auto* koniec = addButton(buttons, this, "&Koniec");
    connect(koniec, &QPushButton::clicked, this, &TSbsOrders::KoniecClick);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List);
    layout->addLayout(buttons);
    resize(600, 360);
    refresh();
}

// The list object goes with the dialog: an older list of codes not saved
// is put back into the record as it was.
TSbsOrders::~TSbsOrders() = default;

void TSbsOrders::refresh() {
    const int row = List->currentRow();
    List->clear();
    for (int i = 0; i < list_->Count(); ++i) List->addItem(shown(subscriberOrderLine(*list_, i)));
    keepRow(List, row);
}

int TSbsOrders::count() const { return List->count(); }
QString TSbsOrders::line(int i) const { return List->item(i) ? List->item(i)->text() : QString(); }
void TSbsOrders::select(int i) { List->setCurrentRow(i); }

void TSbsOrders::DodajClick() {
    if (!editing_) return;
    TOrdersTab chooser(database_.orderNames(), database_.messages(), nullptr, list_.get(), this);
    chooser.exec();
    refresh();
}

void TSbsOrders::UsunClick() {
    const int row = List->currentRow();
    if (!editing_ || row < 0 || row >= list_->Count()) return;
    list_->Forbid(list_->CodeAt(row));
    list_->Rebuild();
    refresh();
}

void TSbsOrders::UsunWszystkieClick() {
    if (!editing_) return;
    list_->ForbidAll();
    list_->Rebuild();
    refresh();
}

void TSbsOrders::ListDblClick() {
    const int row = List->currentRow();
    if (!editing_ || row < 0 || row >= list_->Count()) return;
    TSentCodeForm form(QString::fromStdString(sentCodeText(*list_, row)), this);
    if (form.exec() != QDialog::Accepted) return;
    if (changeSentCode(*list_, row, form.Kod->text().toStdString()) == 0) refresh();
}

void TSbsOrders::KoniecClick() {
    if (!editing_) {
        reject();
        return;
    }
    if (list_->Save() != 0) {
        // Not on the disk: the dialog stays, the operator may try again or
        // leave it with the record as it was.
        database_.messages().ShowNotice(mz("\x03zapisu listy rozkazów"), kNoticeError);
        return;
    }
    saved_ = true;
    accept();
}

bool TSbsOrders::eventFilter(QObject* watched, QEvent* event) {
    if (watched == List && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        ListDblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool openSubscriberOrders(SubscriberDatabase& database, SubscriberRecord& record, bool editing, QWidget* parent) {
    TSbsOrders dialog(database, record, editing, parent);
    dialog.exec();
    return dialog.saved();
}

} // namespace k4
