#include "history/ui/hist_files.h"

#include "history/archive_files.h"
#include "database/text_edge.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace k4 {

namespace {

QListWidget* fileList(QWidget* parent, const std::vector<std::string>& names) {
    auto* list = new QListWidget(parent);
    for (const std::string& name : names) list->addItem(QString::fromStdString(name));
    if (list->count() > 0) list->setCurrentRow(0);
    return list;
}

} // namespace

THistFiles::THistFiles(HistoryLog& log, HistoryWindowParts parts, QWidget* parent)
    : QDialog(parent), log_(log), parts_(std::move(parts)), dir_(log.dataDir()) {
    setObjectName("HistFiles");
    setWindowTitle(QStringLiteral("Archiwalne pliki historii "));
    Files = fileList(this, listLogFiles(dir_.path()));
    connect(Files, &QListWidget::itemDoubleClicked, this, [this] { PokazClick(); });
    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* text, void (THistFiles::*slot)()) {
        auto* b = new QPushButton(QString::fromUtf8(text), this);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
    };
    button("&Pokaż", &THistFiles::PokazClick);
    button("&Zrzut", &THistFiles::ZrzutClick);
    button("&Odzysk", &THistFiles::OdzyskClick);
    button("&Usuń", &THistFiles::UsunClick);
    auto* koniec = new QPushButton(QStringLiteral("&Koniec"), this);
    connect(koniec, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(koniec);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Files);
    layout->addLayout(buttons);
    resize(420, 360);
}

void THistFiles::refresh() {
    const QString was = selected();
    Files->clear();
    for (const std::string& name : listLogFiles(dir_.path())) Files->addItem(QString::fromStdString(name));
    select(was);
    if (!Files->currentItem() && Files->count() > 0) Files->setCurrentRow(0);
}

QString THistFiles::selected() const { return Files->currentItem() ? Files->currentItem()->text() : QString(); }

void THistFiles::select(const QString& name) {
    const auto found = Files->findItems(name, Qt::MatchExactly);
    if (!found.isEmpty()) Files->setCurrentItem(found.front());
}

void THistFiles::PokazClick() {
    const std::string name = selected().toStdString();
    if (name.empty()) return;
    // An archive of the previous generation is upgraded before it is shown.
    if (log_.OpenHistory(name) == kHistoryFailed) return;
    File file;
    if (!file.open(dir_.file(name), File::Mode::ReadOnly)) {
        parts_.messages->ShowNotice(mz("\x03otwarcia archiwalnego pliku historii"), kNoticeError);
        return;
    }
    HistoryWindowParts shown = parts_;
    shown.file = &file;
    shown.log = nullptr;
    THistory window(shown, this);
    window.setWindowTitle(QStringLiteral("Historia - ") + QString::fromStdString(name));
    window.exec();
}

void THistFiles::ZrzutClick() {
    const std::string name = selected().toStdString();
    if (name.empty()) return;
    const auto target = parts_.messages->ui().askDirectory("Zapis arch. pliku historii", {});
    if (!target) return;
    dumpArchive(dir_, name, *target, *parts_.messages);
}

void THistFiles::OdzyskClick() {
    const auto source = parts_.messages->ui().askDirectory("Odczyt arch. pliku historii", {});
    if (!source) return;
    TArchHistForm archive(dir_, *source, *parts_.messages, this);
    archive.exec();
    if (archive.copied()) refresh();
}

void THistFiles::UsunClick() {
    const std::string name = selected().toStdString();
    if (name.empty()) return;
    if (deleteArchive(dir_, name, *parts_.messages) == 0) refresh();
}

TArchHistForm::TArchHistForm(const DataDir& dir, std::string source, Messages& messages, QWidget* parent)
    : QDialog(parent), dir_(dir), source_(std::move(source)), messages_(messages) {
    setObjectName("ArchHistForm");
    setWindowTitle(QStringLiteral("Archiwum"));
    Files = fileList(this, listLogFiles(source_));
    auto* wczytaj = new QPushButton(QStringLiteral("&Wczytaj"), this);
    auto* koniec = new QPushButton(QStringLiteral("&Koniec"), this);
    connect(wczytaj, &QPushButton::clicked, this, &TArchHistForm::WczytajClick);
    connect(koniec, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(wczytaj);
    buttons->addWidget(koniec);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Files);
    layout->addLayout(buttons);
}

void TArchHistForm::WczytajClick() {
    if (!Files->currentItem()) return;
    if (restoreArchive(dir_, source_, Files->currentItem()->text().toStdString(), messages_) == 0) copied_ = true;
}

} // namespace k4
