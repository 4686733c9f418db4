#include "processing/ui/sbscrbrs.h"

#include "database/codepage.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/subscriber_indexes.h"
#include "database/subscriber_search.h"
#include "database/text_edge.h"
#include "processing/subscriber_list_line.h"
#include "processing/ui/red_marks_delegate.h"
#include "processing/ui/sbs_prn.h"
#include "processing/ui/subscriber_list_model.h"

#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace k4 {

namespace {

constexpr int kHelpList = 1021;
constexpr int kListWidthChars = 72;

std::string rangeKey(const QString& text) {
    std::string key = MazoviaFromUtf8(text.left(49).toStdString());
    UpperMazovia(key);
    return key;
}

} // namespace

TSbscrbrs::TSbscrbrs(SubscriberIndexes& indexes, SubscriberDatabase& database, const ShareLst& sharedLists,
                     Actions actions, bool supervisor, QWidget* parent)
    : QDialog(parent), database_(database), sorter_(indexes, database), actions_(std::move(actions)) {
    setObjectName("Sbscrbrs");
    setWindowTitle(QString::fromUtf8("Lista Abonentów"));
    setProperty("helpContext", kHelpList);
    const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    auto* heading = new QLabel(QString::fromLatin1(kSubscriberListHeading), this);
    heading->setFont(fixed);
    model_ = new SubscriberListModel(sorter_, database_, sharedLists, this);
    List = new QListView(this);
    List->setObjectName("List");
    List->setFont(fixed);
    List->setUniformItemSizes(true);
    List->setModel(model_);
    List->setItemDelegate(new RedMarksDelegate(List));
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    List->setMinimumWidth(QFontMetrics(fixed).horizontalAdvance(QString(kListWidthChars + 2, QLatin1Char('W'))));
    List->installEventFilter(this);
    connect(List, &QListView::doubleClicked, this, [this] { ListDblClick(); });

    auto* szukaj = new QPushButton(QStringLiteral("S&zukaj"), this);
    auto* sortuj = new QPushButton(QStringLiteral("S&ortuj"), this);
    Nowy = new QPushButton(QStringLiteral("&Nowy"), this);
    Usun = new QPushButton(QString::fromUtf8("&Usuń"), this);
    auto* koniec = new QPushButton(QStringLiteral("&Koniec"), this);
    // Adding and deleting subscribers is the supervisor's.
    Nowy->setVisible(supervisor);
    Usun->setVisible(supervisor);
    connect(szukaj, &QPushButton::clicked, this, &TSbscrbrs::SzukajClick);
    connect(sortuj, &QPushButton::clicked, this, &TSbscrbrs::SortujClick);
    connect(Nowy, &QPushButton::clicked, this, &TSbscrbrs::NowyClick);
    connect(Usun, &QPushButton::clicked, this, &TSbscrbrs::UsunClick);
    connect(koniec, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {szukaj, sortuj, Nowy, Usun}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(koniec);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(List);
    layout->addLayout(buttons);
    fitLineWidth();
    if (count() > 0) select(0);
}

TSbscrbrs::~TSbscrbrs() = default;

void TSbscrbrs::fitLineWidth() {
    model_->setLineWidth(listLineWidth(List->width(), QFontMetrics(List->font()).horizontalAdvance(QLatin1Char('W'))));
}

void TSbscrbrs::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    fitLineWidth();
}

bool TSbscrbrs::eventFilter(QObject* watched, QEvent* event) {
    if (watched == List && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        ListDblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

int TSbscrbrs::count() const { return model_->rowCount(); }

int TSbscrbrs::current() const { return List->currentIndex().isValid() ? List->currentIndex().row() : -1; }

QString TSbscrbrs::line(int i) const {
    QString text = model_->line(i);
    text.remove(QLatin1Char('~'));
    return text;
}

int TSbscrbrs::rowOf(int32_t offset) const {
    for (int i = 0; i < sorter_.count(); ++i)
        if (sorter_.offset(i) == offset) return i;
    return -1;
}

void TSbscrbrs::select(int row) {
    const QModelIndex index = model_->index(row);
    List->setCurrentIndex(index);
    List->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void TSbscrbrs::rebuild() {
    const int row = current();
    sorter_.refilter(kNoFilter);
    model_->reload();
    if (count() > 0) select(std::clamp(row, 0, count() - 1));
}

void TSbscrbrs::sortBy(int index, const std::string& from, const std::string& to, int keyLength, bool mark) {
    sorter_.collect(index, from, to, keyLength, sorter_.mask(), mark);
    model_->reload();
    if (count() > 0) select(0);
}

void TSbscrbrs::SortujClick() {
    TSortDlg dialog(this);
    if (dialog.exec() != QDialog::Accepted) return;
    if (dialog.ranged())
        sortBy(dialog.index(), rangeKey(dialog.from()), rangeKey(dialog.to()), dialog.keyLength(), dialog.marking());
    else
        sortBy(dialog.index(), {}, {}, 0, dialog.marking());
}

void TSbscrbrs::SzukajClick() {
    if (!actions_.find) return;
    const SubscriberFound found = actions_.find();
    if (found.offset < 0) return;
    // Found by name or password: the list is ordered by that index whole, so
    // the subscriber and its neighbours by that key are on screen. A phone
    // search gives the subscriber's record too; the list keeps its order.
    if (found.kind == kSearchByName || found.kind == kSearchByPassword) {
        sorter_.collect(found.kind == kSearchByName ? kIndexName : kIndexPassword, {}, {}, 0, sorter_.mask());
        model_->reload();
    }
    const int row = rowOf(found.offset);
    if (row < 0) {
        database_.messages().ShowNotice(mz("\x03Nie ma takiego abonenta w liście"), kNoticeInfo);
        return;
    }
    select(row);
}

void TSbscrbrs::ListDblClick() {
    const int row = current();
    if (row < 0 || !actions_.openCard) return;
    if (actions_.openCard(sorter_.offset(row), this)) rebuild();
}

void TSbscrbrs::NowyClick() {
    if (!actions_.newSubscriber) return;
    actions_.newSubscriber(this);
    rebuild();
}

void TSbscrbrs::UsunClick() {
    const int row = current();
    if (row < 0) return;
    Sbscrbr s(database_, AtOffset{sorter_.offset(row)});
    if (!s.valid) {
        database_.messages().ShowNotice(mz("\x03odczytu danych abonenta"), kNoticeError);
        return;
    }
    char question[64];
    std::snprintf(question, sizeof question, "\x03Na pewno usunąć abonenta %4.4d?", s.number());
    if (database_.messages().AskYesNo(mz(question)) != kResultYes) return;
    s.Delete(true);
    rebuild();
}

} // namespace k4
