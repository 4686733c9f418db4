#include "processing/ui/ns_alarms.h"

#include "database/text_edge.h"
#include "processing/event_printouts.h"
#include "processing/ui/event_forms.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace k4 {

namespace {

QColor classColour(int colourClass) {
    const uint32_t rgb = kClassColours[colourClass & 0x0F];
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

} // namespace

TNSAlarms::TNSAlarms(const EventTable& events, const ConfigBlock& config, Messages& messages,
                     std::function<std::optional<int>()> standardCode, QWidget* parent)
    : QDialog(parent), events_(events), config_(config), messages_(messages),
      standardCode_(std::move(standardCode)) {
    setObjectName("NSAlarms");
    setWindowTitle(QString::fromUtf8("Lista zdarzeń"));
    List = new QListWidget(this);
    List->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    List->installEventFilter(this);
    connect(List, &QListWidget::itemDoubleClicked, this, [this] { EdytujClick(List->currentRow()); });
    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* text) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        buttons->addWidget(b);
        return b;
    };
    Dodaj = button("&Dodaj");
    Usun = button("&Usuń");
    Zrzut = button("&Zrzut");
    Koniec = button("&Koniec");
    connect(Dodaj, &QPushButton::clicked, this, &TNSAlarms::DodajClick);
    connect(Usun, &QPushButton::clicked, this, [this] { UsunClick(List->currentRow()); });
    connect(Zrzut, &QPushButton::clicked, this, [this] { ZrzutClick(); });
    connect(Koniec, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List);
    layout->addLayout(buttons);
    resize(560, 400);
    setList({}, {}, false);
}

TNSAlarms::~TNSAlarms() = default;

void TNSAlarms::embed() {
    setWindowFlags(Qt::Widget);
    Koniec->hide();
    layout()->setContentsMargins(0, 0, 0, 0);
}

void TNSAlarms::setList(ListOpener open, std::string dumpName, bool editable) {
    open_ = std::move(open);
    dumpName_ = std::move(dumpName);
    editable_ = editable;
    List->setCurrentRow(-1);
    reopen();
}

void TNSAlarms::reopen() {
    list_ = open_ ? open_() : nullptr;
    const bool editable = editable_ && list_ && list_->loaded();
    Dodaj->setEnabled(editable);
    Usun->setEnabled(editable);
    Zrzut->setEnabled(list_ != nullptr);
    refresh();
}

void TNSAlarms::refresh() {
    const int row = List->currentRow();
    List->clear();
    if (!list_) return;
    for (int i = 0; i < list_->count(); ++i) {
        auto* item = new QListWidgetItem(
            QString::fromStdString(Utf8FromMazovia(eventListLine(*list_, i, events_, config_))), List);
        item->setForeground(classColour(eventListLineClass(*list_, i, events_)));
    }
    if (List->count() > 0) List->setCurrentRow(std::clamp(row, 0, List->count() - 1));
}

int TNSAlarms::count() const { return List->count(); }
QString TNSAlarms::line(int i) const { return List->item(i) ? List->item(i)->text() : QString(); }

void TNSAlarms::DodajClick() {
    if (!list_ || !Dodaj->isEnabled()) return;
    TNSAlarm entry(*list_, events_, messages_, -1, false, standardCode_, this);
    const bool stored = entry.exec() == QDialog::Accepted;
    reopen();
    if (stored && changed) changed();
}

void TNSAlarms::EdytujClick(int position) {
    if (!list_ || position < 0 || position >= list_->count()) return;
    const bool editable = Dodaj->isEnabled();
    TNSAlarm entry(*list_, events_, messages_, position, !editable, standardCode_, this);
    const bool stored = entry.exec() == QDialog::Accepted && editable;
    reopen();
    if (stored && changed) changed();
}

void TNSAlarms::UsunClick(int position) {
    if (!list_ || !Usun->isEnabled() || position < 0 || position >= list_->count()) return;
    char question[48];
    std::snprintf(question, sizeof question, "\x03Usunąć zdarzenie %3.3X ?", list_->entry(position).objCode());
    if (messages_.AskYesNo(mz(question)) != kResultYes) return;
    const bool removed = list_->removeEntry(position) == 0;
    if (!removed) messages_.ShowNotice(mz("\x03modyfikacji listy zdarzeń"), kNoticeError);
    reopen();
    if (removed && changed) changed();
}

int TNSAlarms::ZrzutClick() {
    if (!list_) return 1;
    const int result = list_->dumpToDisk(dumpName_, dumpDirectory_);
    if (result < 0) messages_.ShowNotice(mz("\x03Zrzut nie powiódł się"), kNoticeInfo);
    return result;
}

bool TNSAlarms::eventFilter(QObject* watched, QEvent* event) {
    if (watched == List && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Space) {
            EdytujClick(List->currentRow());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace k4
