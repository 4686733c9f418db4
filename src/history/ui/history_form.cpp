#include "history/ui/history_form.h"

#include "database/stamp.h"
#include "database/text_edge.h"
#include "history/history_cut.h"
#include "history/ui/filtr_hist_dlg.h"
#include "printing/printing.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>

#include <unistd.h>

namespace k4 {

namespace {

// A line's text with the parts between "~" in red, the "~" left out.
class RedPartsDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        const QString text = plain.text;
        plain.text.clear();
        QStyledItemDelegate::paint(painter, plain, index);
        const QFontMetrics metrics(option.font);
        int x = option.rect.left() + 2;
        bool red = false;
        painter->save();
        const bool selected = option.state & QStyle::State_Selected;
        for (const QString& part : text.split(QLatin1Char('~'))) {
            painter->setPen(red ? QColor(Qt::red)
                                : option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
            painter->drawText(QPoint(x, option.rect.top() + metrics.ascent()), part);
            x += metrics.horizontalAdvance(part);
            red = !red;
        }
        painter->restore();
    }
};

} // namespace

HistoryListModel::HistoryListModel(PLogList& list, std::function<std::string(const HistoryEntry&)> format,
                                   QObject* parent)
    : QAbstractListModel(parent), list_(list), format_(std::move(format)) {}

int HistoryListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

QVariant HistoryListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const auto e = list_.EntryAt(index.row());
    if (!e) {
        // The list emptied itself (a read error, a file changed under it):
        // the view learns it once the painting is over.
        if (list_.count() != rows_)
            QTimer::singleShot(0, const_cast<HistoryListModel*>(this), &HistoryListModel::reload);
        return {};
    }
    return QString::fromStdString(Utf8FromMazovia(format_(*e)));
}

void HistoryListModel::reload() {
    beginResetModel();
    rows_ = list_.count();
    endResetModel();
}

THistory::THistory(HistoryWindowParts parts, QWidget* parent)
    : QDialog(parent), parts_(std::move(parts)), list_(*parts_.file, *parts_.messages, parts_.knowledge) {
    setObjectName("History");
    setWindowTitle(QStringLiteral("Historia"));
    List = new QListView(this);
    List->setUniformItemSizes(true);
    List->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    List->setItemDelegate(new RedPartsDelegate(List));
    model_ = new HistoryListModel(list_, parts_.format, this);
    List->setModel(model_);
    connect(List, &QListView::doubleClicked, this, [this](const QModelIndex& i) { ListDblClick(i.row()); });
    List->installEventFilter(this);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* text, void (THistory::*slot)()) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    button("&Filtr", &THistory::FiltrClick);
    button("&Wydruk", &THistory::WydrukClick);
    button("Wydruk &A.", &THistory::WydrukAClick);
    button("Plik &txt", &THistory::PlikTxtClick);
    Zapisz = button("&Zapisz", &THistory::ZapiszClick);
    Usun = button("&Usuń", &THistory::UsunClick);
    auto* koniec = new QPushButton(QStringLiteral("&Koniec"), this);
    connect(koniec, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(koniec);
    // An archive is only looked at: the month's save and the cut work on
    // the station's own history.
    Zapisz->setEnabled(parts_.log != nullptr);
    Usun->setEnabled(parts_.log != nullptr);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List);
    layout->addLayout(buttons);
    resize(630, 440);

    HistFilter start;
    if (parts_.subscriber >= 0) start.subscriber = static_cast<int16_t>(parts_.subscriber);
    applyFilter(start, false);
}

THistory::~THistory() = default;

void THistory::applyFilter(const HistFilter& filter, bool tellCount) {
    list_.setFilter(filter);
    const int found = list_.Recount();
    model_->reload();
    if (found > 0) List->setCurrentIndex(model_->index(found - 1));
    List->scrollToBottom();
    if (tellCount) parts_.messages->ShowNoticeFormat("\x03Znaleziono %d pozycji", found);
}

QString THistory::line(int i) {
    const QString text = model_->data(model_->index(i), Qt::DisplayRole).toString();
    return QString(text).remove(QLatin1Char('~'));
}

void THistory::FiltrClick() {
    TFiltr_hist_dlg dialog(list_.filter(), *parts_.messages, parts_.operatorOfCode, parts_.serviceSteps, this);
    if (parts_.pickSystemKind) dialog.setKindPicker(parts_.pickSystemKind);
    if (dialog.exec() != QDialog::Accepted) return;
    applyFilter(dialog.filter(), dialog.countAsked());
}

void THistory::print(bool reduced) {
    Messages& messages = *parts_.messages;
    if (messages.AskYesNo(mz("\x03Na pewno drukować historię zdarzeń?")) != kResultYes) return;
    if (!parts_.printing || parts_.printing->beginDataPrint() != 0) {
        messages.ShowNotice(mz("\x03wydruku (drukarka)"), kNoticeError);
        return;
    }
    Printing& printing = *parts_.printing;
    if (reduced) {
        ReducedPrintSubscriber who;
        who.number = list_.filter().subscriber;
        if (who.number != -1 && parts_.subscriberOf) who = parts_.subscriberOf(who.number);
        printing.printText(kDataChannel, reducedPrintHeader(list_.filter(), who, localNow(*parts_.clock)));
    } else {
        printing.printText(kDataChannel, historyPrintHeader());
    }
    HistoryOutputParts out;
    out.format = parts_.format;
    out.specialCodes = parts_.specialCodes;
    out.printLine = [&printing](const std::string& line) { return printing.printText(kDataChannel, line); };
    Output(list_, reduced ? kOutputReduced : kOutputPrint, out, messages);
    printing.endDataPrint();
}

void THistory::WydrukClick() { print(false); }
void THistory::WydrukAClick() { print(true); }

void THistory::PlikTxtClick() {
    Messages& messages = *parts_.messages;
    HistoryOutputParts out;
    out.format = parts_.format;
    out.textPath = DataDir(parts_.dataDir).file("log_txt.tmp");
    if (Output(list_, kOutputTextFile, out, messages) != 0) return;
    const auto directory = messages.ui().askDirectory("Tekstowy zapis danych historii", parts_.dataDir);
    if (!directory) {
        ::unlink(out.textPath.c_str());
        return;
    }
    exportTextFile(out.textPath, *directory, localNow(*parts_.clock), messages);
}

void THistory::ZapiszClick() {
    if (!parts_.log) return;
    const LocalDateTime now = localNow(*parts_.clock);
    parts_.log->ExtractMonth(now.year, now.month, kExtractOperatorCopy | kExtractConfirmName);
}

void THistory::UsunClick() {
    if (!parts_.log) return;
    const auto day = askDeleteDate(localNow(*parts_.clock), this);
    if (day) deleteBefore(*day);
}

void THistory::deleteBefore(const LocalDateTime& day) {
    if (!parts_.log) return;
    if (deleteHistoryBefore(*parts_.log, *parts_.messages, *parts_.clock, day) == 0)
        applyFilter(list_.filter(), false);
}

void THistory::ListDblClick(int row) {
    if (parts_.subscriber >= 0 || !parts_.openSubscriber) return;
    const auto e = list_.EntryAt(row);
    if (!e || (e->isSystem() && isNoSubscriberKind(e->kindCode()))) return;
    if (parts_.openSubscriber(e->subscriber)) {
        HistFilter narrowed = list_.filter();
        narrowed.subscriber = e->subscriber;
        applyFilter(narrowed, false);
    }
}

bool THistory::eventFilter(QObject* watched, QEvent* event) {
    if (watched == List && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && List->currentIndex().isValid()) {
        ListDblClick(List->currentIndex().row());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<LocalDateTime> askDeleteDate(const LocalDateTime& today, QWidget* parent) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QString::fromUtf8("Usuń do daty"));
    auto* date = new QDateEdit(QDate(today.year, today.month, today.day), &dialog);
    date->setDisplayFormat(QStringLiteral("yyyy.MM.dd"));
    date->setCalendarPopup(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(date);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    LocalDateTime day;
    day.year = date->date().year();
    day.month = date->date().month();
    day.day = date->date().day();
    return day;
}

} // namespace k4
