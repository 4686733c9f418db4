#include "processing/ui/sbs_prn.h"

#include "database/codepage.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/subscriber_indexes.h"
#include "database/text_edge.h"
#include "processing/share_lst.h"
#include "processing/subscriber_list_line.h"
#include "processing/ui/red_marks_delegate.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace k4 {

namespace {

constexpr int kListWidthChars = 72;

struct Criterion {
    const char* text;
    int index;
    int keyLength;
};
const Criterion kCriteria[] = {
    {"Według numeru abonenta", kIndexNumber, 4}, {"Według nazwy abonenta", kIndexName, 30},
    {"Według miejscowości", kIndexTown, 20},     {"Według adresu", kIndexAddress, 30},
    {"Według hasła", kIndexPassword, 11},
};

// A range text as the index keys hold it: Mazovia, upper-cased.
std::string rangeKey(const QString& text) {
    std::string key = MazoviaFromUtf8(text.left(49).toStdString());
    UpperMazovia(key);
    return key;
}

} // namespace

TSortDlg::TSortDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("SortDlg");
    setWindowTitle(QStringLiteral("Sortowanie"));
    auto* group = new QGroupBox(QStringLiteral("Kryterium"), this);
    auto* groupLayout = new QVBoxLayout(group);
    for (const Criterion& c : kCriteria) {
        criteria.push_back(new QRadioButton(QString::fromUtf8(c.text), group));
        groupLayout->addWidget(criteria.back());
    }
    criteria.front()->setChecked(true);
    Zaznacz = new QCheckBox(QStringLiteral("Zaznacz po sortowaniu"), this);
    Od = new QLineEdit(this);
    Do = new QLineEdit(this);
    Od->setMaxLength(49);
    Do->setMaxLength(49);
    auto* all = new QPushButton(QStringLiteral("S&ortuj wszystkie"), this);
    auto* range = new QPushButton(QStringLiteral("Sortuj z &zakresu"), this);
    auto* cancel = new QPushButton(QString::fromUtf8("&Porzuć"), this);
    connect(all, &QPushButton::clicked, this, [this] {
        ranged_ = false;
        accept();
    });
    connect(range, &QPushButton::clicked, this, [this] {
        ranged_ = true;
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(Zaznacz);
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(new QLabel(QStringLiteral("Od:"), this));
    rangeRow->addWidget(Od);
    rangeRow->addWidget(new QLabel(QStringLiteral("Do:"), this));
    rangeRow->addWidget(Do);
    layout->addLayout(rangeRow);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(all);
    buttons->addWidget(range);
    buttons->addStretch();
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
}

int TSortDlg::index() const {
    for (size_t i = 0; i < criteria.size(); ++i)
        if (criteria[i]->isChecked()) return kCriteria[i].index;
    return kIndexNumber;
}

int TSortDlg::keyLength() const {
    for (size_t i = 0; i < criteria.size(); ++i)
        if (criteria[i]->isChecked()) return kCriteria[i].keyLength;
    return 4;
}

bool TSortDlg::marking() const { return Zaznacz->isChecked(); }
QString TSortDlg::from() const { return Od->text(); }
QString TSortDlg::to() const { return Do->text(); }

TSbsPrn::TSbsPrn(SubscriberIndexes& indexes, SubscriberDatabase& database, const ShareLst& sharedLists,
                 ListingParts& listing, QWidget* parent)
    : QDialog(parent), database_(database), sharedLists_(sharedLists), listing_(listing), sorter_(indexes, database) {
    setObjectName("SbsPrn");
    setWindowTitle(QString::fromUtf8("Lista abonentów - wydruk"));
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto* heading = new QLabel(QString::fromLatin1(kSubscriberListHeading), this);
    heading->setFont(fixed);
    List = new QListWidget(this);
    List->setObjectName("List");
    List->setFont(fixed);
    List->setItemDelegate(new RedMarksDelegate(List));
    List->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(QString(kListWidthChars + 2, QLatin1Char('W'))));
    auto* sort = new QPushButton(QStringLiteral("S&ortuj"), this);
    auto* normal = new QPushButton(QStringLiteral("Wydruk"), this);
    normal->setObjectName("PrintBtn");
    auto* dense = new QPushButton(QString::fromUtf8("Wydruk &gęsty"), this);
    auto* names = new QPushButton(QStringLiteral("Wydruk &nazw"), this);
    auto* close = new QPushButton(QStringLiteral("&Koniec"), this);
    connect(sort, &QPushButton::clicked, this, &TSbsPrn::SortujClick);
    connect(normal, &QPushButton::clicked, this, &TSbsPrn::Button2Click);
    connect(dense, &QPushButton::clicked, this, &TSbsPrn::Button3Click);
    connect(names, &QPushButton::clicked, this, &TSbsPrn::Button4Click);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(List);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sort);
    buttons->addStretch();
    buttons->addWidget(normal);
    buttons->addWidget(dense);
    buttons->addWidget(names);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    fill();
}

void TSbsPrn::fill() {
    List->clear();
    for (int i = 0; i < sorter_.count(); ++i) {
        Sbscrbr s(database_, AtOffset{sorter_.offset(i)});
        const int slot = s.valid ? sharedLists_.slotOf(s.record.alarm_list) : 0;
        const std::string text = s.valid ? subscriberListLine(s.record, kListWidthChars, slot > 0 ? slot : 0) : "";
        auto* item = new QListWidgetItem(QString::fromStdString(Utf8FromMazovia(text)), List);
        item->setSelected(sorter_.marked(i));
    }
}

void TSbsPrn::sortBy(int index, const std::string& from, const std::string& to, int keyLength, bool mark) {
    sorter_.collect(index, from, to, keyLength, sorter_.mask(), mark);
    fill();
}

void TSbsPrn::SortujClick() {
    TSortDlg dialog(this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (dialog.ranged())
        sortBy(dialog.index(), rangeKey(dialog.from()), rangeKey(dialog.to()), dialog.keyLength(), dialog.marking());
    else
        sortBy(dialog.index(), {}, {}, 0, dialog.marking());
}

void TSbsPrn::print(int layout) { printSubscriberListing(sorter_.offsets(), database_, true, layout, listing_); }

int TSbsPrn::count() const { return List->count(); }

QString TSbsPrn::line(int i) const {
    QString text = List->item(i)->text();
    text.remove(QLatin1Char('~'));
    return text;
}

} // namespace k4
