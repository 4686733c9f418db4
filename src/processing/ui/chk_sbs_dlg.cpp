#include "processing/ui/chk_sbs_dlg.h"

#include "baselink/packet.h"
#include "baselink/path_table.h"
#include "database/order_names_table.h"
#include "database/orders_editing.h"
#include "database/orders_table_list.h"
#include "database/sbscrbr.h"
#include "database/subscriber_database.h"
#include "database/text_edge.h"
#include "messages/messages.h"
#include "processing/order_sending.h"
#include "processing/ui/tests_form.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

QListWidget* checkList(QWidget* parent, std::initializer_list<const char*> items) {
    auto* list = new QListWidget(parent);
    for (const char* item : items) {
        auto* i = new QListWidgetItem(QString::fromUtf8(item), list);
        i->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        i->setCheckState(Qt::Unchecked);
    }
    return list;
}

QComboBox* baseChoice(QWidget* parent) {
    auto* box = new QComboBox(parent);
    for (const char* v : {"1", "2", "3", "4", "5"}) box->addItem(QString::fromLatin1(v));
    return box;
}

} // namespace

TChkSbsDlg::TChkSbsDlg(SubscriberDatabase& database, PathTable& paths, OrderSending& orders, Messages& messages,
                       int32_t offset, QWidget* parent, int pathChoice, ChkSbsDlgLinks links)
    : QDialog(parent), database_(database), paths_(paths), orders_(orders), messages_(messages),
      links_(std::move(links)) {
    setObjectName("ChkSbsDlg");
    setWindowTitle(QStringLiteral("Tory badania"));
    auto* grid = new QGridLayout(this);
    Number = new QLabel(this);
    grid->addWidget(new QLabel(QStringLiteral("Abonent"), this), 0, 0);
    grid->addWidget(Number, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Rozkazy:"), this), 1, 0);
    Orders = new QListWidget(this);
    Orders->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    grid->addWidget(Orders, 2, 0, 1, 4);
    grid->addWidget(new QLabel(QString::fromUtf8("Tor badania na żądanie/wysłania rozkazu"), this), 3, 0, 1, 2);
    requestTracks = new QComboBox(this);
    for (const char* item : {"Tor komutowany (TK)", "Tor radiowy         (TR)", "Tor sztywy           (TS)",
                             "Tor GSM/GPRS  (TG) ", "Tor Ethernet        (TE) "})
        requestTracks->addItem(QString::fromUtf8(item));
    requestTracks->setCurrentIndex(pathChoice);
    grid->addWidget(requestTracks, 3, 2, 1, 2);
    OperatorGSM_CB = new QComboBox(this);
    for (const char* item : {"Domyślny", "Plus", "Orange", "Era"}) OperatorGSM_CB->addItem(QString::fromUtf8(item));
    TG_type_CB = new QComboBox(this);
    TG_type_CB->addItem(QStringLiteral("GSM"));
    TG_type_CB->addItem(QStringLiteral("GPRS"));
    grid->addWidget(OperatorGSM_CB, 4, 2);
    grid->addWidget(TG_type_CB, 4, 3);

    grid->addWidget(new QLabel(QString::fromUtf8("Podłączony do torów"), this), 5, 0, 1, 2);
    Tracks = checkList(this, {"komutowany", "radiowy", "sztywny", "GSM/GPRS", "ADEMCO", "Contact ID", "Ethernet"});
    grid->addWidget(Tracks, 6, 0, 1, 2);
    RadioBase = baseChoice(this);
    FixedBase = baseChoice(this);
    grid->addWidget(RadioBase, 7, 0);
    grid->addWidget(FixedBase, 7, 1);
    grid->addWidget(new QLabel(QString::fromUtf8("Badany w torach"), this), 5, 2, 1, 2);
    ChkTracks = checkList(this, {"komutowany", "radiowy", "sztywny", "GSM/GPRS"});
    grid->addWidget(ChkTracks, 6, 2, 1, 2);
    auto* save = new QPushButton(QStringLiteral("&Zapisz"), this);
    auto* set = new QPushButton(QStringLiteral("&Ustaw"), this);
    grid->addWidget(save, 8, 0, 1, 2);
    grid->addWidget(set, 8, 2, 1, 2);

    auto* onDemand = new QPushButton(QString::fromUtf8("&Na żądanie"), this);
    auto* send = new QPushButton(QString::fromUtf8("&Wyślij rozkaz"), this);
    auto* close = new QPushButton(QStringLiteral("&Koniec"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(onDemand);
    buttons->addWidget(send);
    // "&Testy", "W&ył/Zał", "&Historia", "&Archiwum" and "O&biekt" open
    // windows of other parts, given by whoever opens this dialog.
    auto windowButton = [&](const char* caption, void (TChkSbsDlg::*click)()) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        connect(b, &QPushButton::clicked, this, click);
        buttons->addWidget(b);
        return b;
    };
    Testy = windowButton("&Testy", &TChkSbsDlg::TestyClick);
    WylZal = windowButton("W&ył/Zał", &TChkSbsDlg::WylZalClick);
    Historia = windowButton("&Historia", &TChkSbsDlg::HistoriaClick);
    Archiwum = windowButton("&Archiwum", &TChkSbsDlg::ArchiwumClick);
    Obiekt = windowButton("O&biekt", &TChkSbsDlg::ObiektClick);
    buttons->addWidget(close);
    grid->addLayout(buttons, 9, 0, 1, 4);

    connect(onDemand, &QPushButton::clicked, this, &TChkSbsDlg::OnDemandClick);
    connect(send, &QPushButton::clicked, this, &TChkSbsDlg::SendOrderClick);
    connect(save, &QPushButton::clicked, this, &TChkSbsDlg::SaveClick);
    connect(set, &QPushButton::clicked, this, &TChkSbsDlg::SetClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(ChkTracks, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!filling_) ChkTracksClicked(ChkTracks->row(item));
    });
    connect(Tracks, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int row = Tracks->row(item);
        if (!filling_ && (row == 1 || row == 2)) showBaseChoices();
    });

    showSubscriber(offset);
}

void TChkSbsDlg::showSubscriber(int32_t offset) {
    subscriber_.reset();
    sentCodes_.clear();
    Orders->clear();
    Number->clear();
    auto s = std::make_unique<Sbscrbr>(database_, AtOffset{offset});
    if (!s->valid) {
        // Nothing of a subscriber that cannot be read.
        RadioBase->hide();
        FixedBase->hide();
        enableWindowButtons();
        return;
    }
    subscriber_ = std::move(s);
    const SubscriberRecord& r = subscriber_->record;
    char number[8];
    std::snprintf(number, sizeof number, "%4.4d", static_cast<int>(r.object));
    Number->setText(QString::fromLatin1(number));
    OrdersTableList list(database_.files(), database_.orderNames(), subscriber_->record.orders);
    for (int i = 0; list.usable() && i < list.Count(); ++i) {
        Orders->addItem(QString::fromStdString(Utf8FromMazovia(subscriberOrderLine(list, i))));
        sentCodes_.push_back(list.SentCode(i));
    }
    const bool gprs = static_cast<int32_t>(r.ip) != 0 && !(r.test_state & 0x80);
    TG_type_CB->setCurrentIndex(gprs ? 1 : 0);
    filling_ = true;
    for (int i = 0; i < 7; ++i) Tracks->item(i)->setCheckState((r.tracks >> i) & 1 ? Qt::Checked : Qt::Unchecked);
    RadioBase->setCurrentIndex(std::min(4, r.tracks_nbr >> 4));
    FixedBase->setCurrentIndex(std::min(4, r.tracks_nbr & 0x0F));
    filling_ = false;
    showChecked(r.chk_tracks);
    showBaseChoices();
    enableWindowButtons();
}

void TChkSbsDlg::enableWindowButtons() {
    const bool known = subscriber_ != nullptr;
    const bool fromCard = links_.opener != ChkSbsDlgLinks::Opener::Other;
    Testy->setEnabled(known);
    WylZal->setEnabled(known && links_.armingWeek);
    Historia->setEnabled(links_.opener == ChkSbsDlgLinks::Opener::CardFromHistory || (known && links_.history));
    Archiwum->setEnabled(static_cast<bool>(links_.archive));
    Obiekt->setEnabled(fromCard || (known && links_.card));
}

void TChkSbsDlg::TestyClick() {
    if (!subscriber_) return;
    const bool editing = static_cast<bool>(links_.testsSaved);
    subscriber_->tests_changed = false;
    TTests tests(*subscriber_, messages_, !editing, this);
    if (tests.exec() != QDialog::Accepted || !editing || !subscriber_->tests_changed) return;
    subscriber_->tests_changed = false;
    if (subscriber_->Save() != 0) {
        messages_.ShowNotice(mz("\x03zapisu abonenta"), kNoticeError);
        return;
    }
    links_.testsSaved(*subscriber_);
}

void TChkSbsDlg::WylZalClick() {
    if (subscriber_ && links_.armingWeek) links_.armingWeek(*subscriber_, this);
}

void TChkSbsDlg::HistoriaClick() {
    if (links_.opener == ChkSbsDlgLinks::Opener::CardFromHistory) {
        accept();
        return;
    }
    if (subscriber_ && links_.history) links_.history(subscriber_->number(), this);
}

void TChkSbsDlg::ArchiwumClick() {
    if (links_.archive) links_.archive(this);
}

void TChkSbsDlg::ObiektClick() {
    if (links_.opener != ChkSbsDlgLinks::Opener::Other) {
        accept();
        return;
    }
    if (!subscriber_ || !links_.card) return;
    const int32_t offset = subscriber_->offset();
    links_.card(subscriber_->number(), this);
    // The card may have changed the paths shown here.
    showSubscriber(offset);
}

TChkSbsDlg::~TChkSbsDlg() = default;

uint8_t TChkSbsDlg::ticked(QListWidget* list) const {
    uint8_t flags = 0;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked) flags = static_cast<uint8_t>(flags | (1u << i));
    return flags;
}

void TChkSbsDlg::showChecked(uint8_t flags) {
    filling_ = true;
    for (int i = 0; i < 4; ++i) ChkTracks->item(i)->setCheckState((flags >> i) & 1 ? Qt::Checked : Qt::Unchecked);
    filling_ = false;
}

void TChkSbsDlg::showBaseChoices() {
    RadioBase->setVisible(Tracks->item(1)->checkState() == Qt::Checked);
    FixedBase->setVisible(Tracks->item(2)->checkState() == Qt::Checked);
}

int TChkSbsDlg::chosenPath() {
    if (!subscriber_) return -1;
    if (requestTracks->currentIndex() < 0) requestTracks->setCurrentIndex(kChoiceTr);
    const int choice = requestTracks->currentIndex();
    const SubscriberRecord& r = subscriber_->record;
    int selection = r.tracks_nbr;
    if (choice == kChoiceTg) {
        const int op = OperatorGSM_CB->currentIndex() > 0 ? OperatorGSM_CB->currentIndex() : r.gsm_operator;
        selection = TG_type_CB->currentIndex() == 1 ? op + 1 : -op;
    }
    return orders_.chooseOrderPath(selection, r.tracks, choice);
}

void TChkSbsDlg::SendOrderClick() {
    const int row = Orders->currentRow();
    if (!subscriber_ || row < 0 || row >= static_cast<int>(sentCodes_.size())) return;
    const int slot = chosenPath();
    if (slot < 0) return;
    orders_.sendOrder(subscriber_->number(), slot, sentCodes_[static_cast<size_t>(row)]);
}

void TChkSbsDlg::OnDemandClick() {
    const int slot = chosenPath();
    if (slot < 0) return;
    const Packet* path = paths_.at(slot);
    if (path && path->kind == kKindEthernetChannel) {
        messages_.ShowNotice(mz("\x03W torze Ethernet badania nie są prowadzone"), kNoticeInfo);
        return;
    }
    paths_.RequestProbe(slot, subscriber_->number());
}

void TChkSbsDlg::ChkTracksClicked(int row) {
    if (!subscriber_ || row < 0 || row > 3) return;
    QListWidgetItem* item = ChkTracks->item(row);
    const bool ticked = item->checkState() == Qt::Checked;
    auto undo = [&] {
        filling_ = true;
        item->setCheckState(ticked ? Qt::Unchecked : Qt::Checked);
        filling_ = false;
    };
    if (!(subscriber_->record.tracks & (1u << row))) {
        undo();
        return;
    }
    if (ticked && row == 3 && static_cast<int32_t>(subscriber_->record.ip) == 0 &&
        messages_.AskYesNo(mz("\x03" "Badanie w GSM oznacza wysyłanie płatnych SMSów!\nKontynuować?")) != kResultYes)
        undo();
}

void TChkSbsDlg::SetClick() {
    if (!subscriber_) return;
    showChecked(static_cast<uint8_t>(paths_.SetSubscriberPaths(*subscriber_, ticked(ChkTracks))));
    if (subscriber_->Save() != 0) messages_.ShowNotice(mz("\x03zapisu abonenta"), kNoticeError);
}

void TChkSbsDlg::SaveClick() {
    if (!subscriber_) return;
    SubscriberRecord& r = subscriber_->record;
    r.tracks = ticked(Tracks);
    if (r.tracks & kTrackRadio)
        r.tracks_nbr = static_cast<uint8_t>((r.tracks_nbr & 0x0F) | (std::max(0, RadioBase->currentIndex()) << 4));
    if (r.tracks & kTrackFixedLine)
        r.tracks_nbr = static_cast<uint8_t>((r.tracks_nbr & 0xF0) | std::max(0, FixedBase->currentIndex()));
    const uint8_t flags = static_cast<uint8_t>(ticked(ChkTracks) & r.tracks);
    showChecked(static_cast<uint8_t>(paths_.SetSubscriberPaths(*subscriber_, flags)));
    subscriber_->CheckTracks();
    if (subscriber_->Save() != 0) messages_.ShowNotice(mz("\x03zapisu abonenta"), kNoticeError);
}

} // namespace k4
