#include "processing/ui/chk_sbsrs.h"

#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "processing/ui/erase_zw_form.h"
#include "processing/ui/red_marks_delegate.h"
#include "database/text_edge.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QKeySequence>
#include <QShortcut>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>

namespace k4 {

namespace {

constexpr int kListWidthChars = 80;

QCheckBox* box(const char* text, QWidget* parent) { return new QCheckBox(QString::fromUtf8(text), parent); }

} // namespace

TChkFiltrForm::TChkFiltrForm(uint16_t mask, bool activeOnly, QWidget* parent) : QDialog(parent) {
    setObjectName("ChkFiltrForm");
    setWindowTitle(QStringLiteral("Filtr"));
    auto* inPaths = new QGroupBox(QStringLiteral("Abonenci w torze"), this);
    auto* pathLayout = new QVBoxLayout(inPaths);
    for (const char* name : {"komutowanym", "radiowym", "sztywnym", "GSM/GPRS", "ADEMCO", "Contact Id"}) {
        paths_.push_back(box(name, inPaths));
        pathLayout->addWidget(paths_.back());
    }
    auto* states = new QGroupBox(QString::fromUtf8("Testy/Załączenia"), this);
    auto* stateLayout = new QVBoxLayout(states);
    for (const char* name : {"Załączenia", "Wyłączenia", "Testy", "Brak Testów"}) {
        states_.push_back(box(name, states));
        stateLayout->addWidget(states_.back());
    }
    Wszyscy = box("Wszyscy abonenci", this);
    Aktywne = box("Tylko aktywne zał/wył", this);
    Wszyscy->setChecked(mask == kNoFilter);
    for (size_t i = 0; i < paths_.size(); ++i) paths_[i]->setChecked(mask != kNoFilter && (mask >> i) & 1);
    for (size_t i = 0; i < states_.size(); ++i) states_[i]->setChecked(mask != kNoFilter && (mask >> (8 + i)) & 1);
    Aktywne->setChecked(activeOnly);
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Anuluj"), this);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    auto* groups = new QHBoxLayout;
    groups->addWidget(inPaths);
    groups->addWidget(states);
    layout->addLayout(groups);
    layout->addWidget(Wszyscy);
    layout->addWidget(Aktywne);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
}

uint16_t TChkFiltrForm::mask() const {
    if (Wszyscy->isChecked()) return kNoFilter;
    uint16_t mask = 0;
    for (size_t i = 0; i < paths_.size(); ++i)
        if (paths_[i]->isChecked()) mask = static_cast<uint16_t>(mask | (1u << i));
    for (size_t i = 0; i < states_.size(); ++i)
        if (states_[i]->isChecked()) mask = static_cast<uint16_t>(mask | (1u << (8 + i)));
    return mask;
}

bool TChkFiltrForm::activeOnly() const { return Aktywne->isChecked(); }

TChkSbsrs::TChkSbsrs(SubscriberIndexes& indexes, SubscriberDatabase& database, QWidget* parent, PrintList print)
    : QDialog(parent), indexes_(indexes), database_(database), print_(std::move(print)) {
    setObjectName("ChkSbsrs");
    setWindowTitle(QString::fromUtf8("Lista Badanych Abonentów"));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto* heading = new QLabel(QString(kListWidthChars - 29, QLatin1Char(' ')) + QString::fromLatin1(kSupervisedHeading),
                               this);
    heading->setFont(fixed);
    List = new QListWidget(this);
    List->setObjectName("List");
    List->setFont(fixed);
    List->setItemDelegate(new RedMarksDelegate(List));
    List->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(QString(kListWidthChars + 2, QLatin1Char('W'))));
    auto* filter = new QPushButton(QStringLiteral("&Filtr"), this);
    auto* close = new QPushButton(QStringLiteral("&Koniec"), this);
    auto* erase = new QPushButton(QStringLiteral("K&asuj ZW"), this);
    connect(filter, &QPushButton::clicked, this, &TChkSbsrs::FiltrClick);
    connect(erase, &QPushButton::clicked, this, &TChkSbsrs::KasujZWClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    QPushButton* printButton = nullptr;
    if (print_) {
        printButton = new QPushButton(QStringLiteral("&Wydruk"), this);
        printButton->setObjectName("Wydruk");
        connect(printButton, &QPushButton::clicked, this, &TChkSbsrs::WydrukClick);
    }
    connect(List, &QListWidget::itemDoubleClicked, this, [this] { ListDblClick(); });
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), List);
    space->setContext(Qt::WidgetShortcut);
    connect(space, &QShortcut::activated, this, [this] { ListDblClick(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(List);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(filter);
    buttons->addWidget(erase);
    if (printButton) buttons->addWidget(printButton);
    buttons->addStretch();
    buttons->addWidget(close);
    layout->addLayout(buttons);
    refilter(kNoFilter, false);
}

void TChkSbsrs::refilter(uint16_t mask, bool activeOnly) {
    mask_ = mask;
    activeOnly_ = activeOnly;
    List->clear();
    offsets_.clear();
    for (int32_t offset : supervisedSubscribers(indexes_, database_, mask_)) {
        Sbscrbr s(database_, AtOffset{offset});
        if (!s.valid) continue;
        List->addItem(QString::fromStdString(Utf8FromMazovia(supervisedLine(s.record, kListWidthChars, activeOnly_))));
        offsets_.push_back(offset);
    }
}

void TChkSbsrs::FiltrClick() {
    TChkFiltrForm form(mask_, activeOnly_, this);
    if (form.exec() != QDialog::Accepted) return;
    if (form.mask() != mask_ || form.activeOnly() != activeOnly_) refilter(form.mask(), form.activeOnly());
}

void TChkSbsrs::KasujZWClick() {
    const int row = List->currentRow();
    if (row < 0 || row >= static_cast<int>(offsets_.size())) return;
    Sbscrbr subscriber(database_, AtOffset{offsets_[static_cast<size_t>(row)]});
    if (!subscriber.valid) return;
    TEraseZWForm form(subscriber, database_.messages(), this);
    if (form.exec() != QDialog::Accepted) return;
    refilter(mask_, activeOnly_);
    List->setCurrentRow(std::min(row, List->count() - 1));
}

void TChkSbsrs::WydrukClick() {
    if (print_) print_(offsets_);
}

void TChkSbsrs::ListDblClick() {
    const int row = List->currentRow();
    if (!openPaths_ || row < 0 || row >= static_cast<int>(offsets_.size())) return;
    openPaths_(offsets_[static_cast<size_t>(row)]);
    // The paths may have changed: the marks again, the line kept.
    refilter(mask_, activeOnly_);
    List->setCurrentRow(row);
}

void TChkSbsrs::select(int i) { List->setCurrentRow(i); }

int TChkSbsrs::count() const { return List->count(); }

QString TChkSbsrs::line(int i) const {
    QString text = List->item(i)->text();
    text.remove(QLatin1Char('~'));
    return text;
}

} // namespace k4
