#include "history/ui/filtr_hist_dlg.h"

#include "database/stamp.h"
#include "database/text_edge.h"
#include "history/history_output.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace k4 {

namespace {

// The check list of categories in its order, with the filter bit each sets
// (0 marks "Nieznane ...", which is a field of its own).
struct CategoryBox {
    const char* text;
    uint8_t bit;
};
constexpr CategoryBox kCategoryBoxes[6] = {
    {"Załączenia systemu", kCategoryArming}, {"Wyłączenia systemu", kCategoryDisarming},
    {"Nieznane ...", 0},                     {"BEZ Zablokowany ...", kCategoryNoBlocked},
    {"BEZ Początek pracy", kCategoryNoWorkStart}, {"Zdarzenia programowe", kCategoryProgram},
};
const char* const kTrackNames[kFilterTrackCount] = {"komutowany", "radiowy", "sztywny", "GSM",
                                              "ADEMCO",     "Contact ID", "Ethernet"};

QString dateText(Stamp stamp) {
    if (stamp == 0) return {};
    const LocalDateTime t = LocalFromStamp(stamp);
    return QString::asprintf("%04d.%02d.%02d", t.year, t.month, t.day);
}
QString timeText(Stamp stamp) {
    if (stamp == 0) return {};
    const LocalDateTime t = LocalFromStamp(stamp);
    return t.hour == 0 && t.minute == 0 ? QString() : QString::asprintf("%02d:%02d", t.hour, t.minute);
}

QLineEdit* edit(QWidget* parent, int maxLength, const QString& text = {}) {
    auto* e = new QLineEdit(text, parent);
    e->setMaxLength(maxLength);
    return e;
}

// A date and its time: both, the date alone or nothing; a bad one is 0.
Stamp stampOf(QLineEdit* date, QLineEdit* time, Messages& messages) {
    const std::string d = date->text().trimmed().toStdString();
    if (d.empty()) return 0;
    const std::string t = time->text().trimmed().toStdString();
    const Stamp s = ParseDate(d, t.empty() ? nullptr : &t, messages);
    return s == -1 ? 0 : s;
}

} // namespace

TFiltr_hist_dlg::TFiltr_hist_dlg(const HistFilter& current, Messages& messages,
                                 std::function<std::optional<int>(const std::string&)> operatorOfCode,
                                 std::vector<QString> steps, QWidget* parent)
    : QDialog(parent), filter_(current), messages_(messages), operatorOfCode_(std::move(operatorOfCode)),
      steps_(std::move(steps)), serviceMask_(current.serviceMask) {
    setObjectName("Filtr_hist_dlg");
    setWindowTitle(QStringLiteral("Filtr"));
    auto* grid = new QGridLayout;
    OdDaty = edit(this, 10, dateText(current.from));
    OdCzasu = edit(this, 5, timeText(current.from));
    DoDaty = edit(this, 10, dateText(current.to));
    DoCzasu = edit(this, 5, timeText(current.to));
    NumerAbonenta = edit(this, 4, current.subscriber == -1 ? QString() : QString::number(current.subscriber));
    NumerZdarzenia = edit(this, 3, current.code == -1 ? QString() : QString::number(current.code, 16).toUpper());
    NrPodsys = edit(this, 3, current.subsystem == 255 ? QString() : QString::number(current.subsystem));
    Sektora = edit(this, 4, current.sector == 4095 ? QString() : QString::number(current.sector));
    KodOperatora = edit(this, 10);
    KodOperatora->setEchoMode(QLineEdit::Password);
    Kolor = new QComboBox(this);
    for (int c = 0; c < 16; ++c) Kolor->addItem(QString::number(c));
    Kolor->setCurrentIndex(current.colour & 0x0F);
    int row = 0;
    auto addRow = [&](const char* label, QWidget* a, QWidget* b = nullptr) {
        grid->addWidget(new QLabel(QString::fromUtf8(label), this), row, 0);
        grid->addWidget(a, row, 1);
        if (b) grid->addWidget(b, row, 2);
        ++row;
    };
    addRow("Od daty", OdDaty, OdCzasu);
    addRow("Do daty", DoDaty, DoCzasu);
    addRow("Numer abonenta", NumerAbonenta);
    auto* kinds = new QPushButton(QStringLiteral("..."), this);
    kinds->setToolTip(QStringLiteral("Zdarzenia programowe"));
    kinds->setEnabled(false);
    kindButton_ = kinds;
    connect(kinds, &QPushButton::clicked, this, [this] {
        if (!kindPicker_) return;
        const QString kind = kindPicker_();
        if (!kind.isEmpty()) NumerZdarzenia->setText(kind.trimmed());
    });
    addRow("Numer zdarzenia", NumerZdarzenia, kinds);
    addRow("Nr podsys.", NrPodsys);
    addRow("sektora", Sektora);
    addRow("Kod operatora", KodOperatora);
    addRow("Kolor", Kolor);

    auto* categories = new QGroupBox(this);
    auto* catLayout = new QVBoxLayout(categories);
    for (size_t i = 0; i < Kategorie.size(); ++i) {
        Kategorie[i] = new QCheckBox(QString::fromUtf8(kCategoryBoxes[i].text), categories);
        const uint8_t bit = kCategoryBoxes[i].bit;
        Kategorie[i]->setChecked(bit ? (current.categories & bit) != 0 : current.unknown != 0);
        catLayout->addWidget(Kategorie[i]);
    }
    auto* tracks = new QGroupBox(QStringLiteral("Tory"), this);
    auto* trackLayout = new QGridLayout(tracks);
    for (int i = 0; i < kFilterTrackCount; ++i) {
        Tory[i] = new QCheckBox(QString::fromUtf8(kTrackNames[i]), tracks);
        Tory[i]->setChecked((current.tracks >> i) & 1);
        const int base = current.bases[static_cast<size_t>(i)];
        Bazy[i] = edit(tracks, 2, base ? QString::number(base) : QString());
        Bazy[i]->setMaximumWidth(40);
        trackLayout->addWidget(Tory[i], i, 0);
        trackLayout->addWidget(Bazy[i], i, 1);
    }
    auto* service = new QGroupBox(QString::fromUtf8("Obsługa alarmów"), this);
    auto* serviceLayout = new QHBoxLayout(service);
    Wybranych = new QCheckBox(QStringLiteral("Wybranych"), service);
    Wszystkich = new QCheckBox(QStringLiteral("Wszystkich"), service);
    Wybranych->setChecked(current.service == 1);
    Wszystkich->setChecked(current.service == 2);
    auto* lista = new QPushButton(QStringLiteral("&Lista"), service);
    serviceLayout->addWidget(Wybranych);
    serviceLayout->addWidget(Wszystkich);
    serviceLayout->addWidget(lista);
    connect(Wybranych, &QCheckBox::toggled, this, [this](bool on) {
        if (on) Wszystkich->setChecked(false);
    });
    connect(Wszystkich, &QCheckBox::toggled, this, [this](bool on) {
        if (on) Wybranych->setChecked(false);
    });
    connect(lista, &QPushButton::clicked, this, &TFiltr_hist_dlg::ListaClick);

    auto* szukaj = new QPushButton(QStringLiteral("&Szukaj"), this);
    auto* zliczaj = new QPushButton(QStringLiteral("Szukaj i &zliczaj"), this);
    auto* anuluj = new QPushButton(QStringLiteral("&Anuluj"), this);
    szukaj->setDefault(true);
    connect(szukaj, &QPushButton::clicked, this, [this] { SzukajClick(false); });
    connect(zliczaj, &QPushButton::clicked, this, [this] { SzukajClick(true); });
    connect(anuluj, &QPushButton::clicked, this, &QDialog::reject);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addLayout(grid);
    left->addWidget(service);
    columns->addLayout(left);
    auto* right = new QVBoxLayout;
    right->addWidget(categories);
    right->addWidget(tracks);
    columns->addLayout(right);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(szukaj);
    buttons->addWidget(zliczaj);
    buttons->addWidget(anuluj);
    auto* all = new QVBoxLayout(this);
    all->addLayout(columns);
    all->addLayout(buttons);
}

void TFiltr_hist_dlg::setKindPicker(std::function<QString()> picker) {
    kindPicker_ = std::move(picker);
    kindButton_->setEnabled(static_cast<bool>(kindPicker_));
}

bool TFiltr_hist_dlg::readBoxes() {
    HistFilter f = filter_;
    f.from = stampOf(OdDaty, OdCzasu, messages_);
    f.to = stampOf(DoDaty, DoCzasu, messages_);
    bool ok = false;
    const int subscriber = NumerAbonenta->text().trimmed().toInt(&ok);
    f.subscriber = static_cast<int16_t>(ok && subscriber >= 0 ? subscriber : -1);
    const int code = NumerZdarzenia->text().trimmed().toInt(&ok, 16);
    f.code = static_cast<int16_t>(ok && code >= 1 && code <= 4094 ? code : -1);
    const int subsystem = NrPodsys->text().trimmed().toInt(&ok);
    f.subsystem = static_cast<int16_t>(ok && subsystem >= 0 && subsystem < 255 ? subsystem : 255);
    const int sector = Sektora->text().trimmed().toInt(&ok);
    f.sector = static_cast<int16_t>(ok && sector >= 0 && sector < 4095 ? sector : 4095);
    f.colour = static_cast<uint8_t>(Kolor->currentIndex());

    f.operatorNumber = 0;
    const std::string code_ = KodOperatora->text().toStdString();
    if (!code_.empty()) {
        const auto number = operatorOfCode_ ? operatorOfCode_(code_) : std::nullopt;
        if (number) {
            f.operatorNumber = static_cast<int16_t>(*number);
        } else if (messages_.AskYesNo(mz("\x03Podany kod nie należy do żadnego abonenta.\nKontynuować przeszukiwanie?")) !=
                   kResultYes) {
            return false;
        }
    }

    f.categories = 0;
    f.unknown = 0;
    for (size_t i = 0; i < Kategorie.size(); ++i) {
        if (!Kategorie[i]->isChecked()) continue;
        if (kCategoryBoxes[i].bit) f.categories |= kCategoryBoxes[i].bit;
        else f.unknown = 1;
    }
    f.tracks = 0;
    for (int i = 0; i < kFilterTrackCount; ++i) {
        if (Tory[i]->isChecked()) f.tracks |= static_cast<uint8_t>(1u << i);
        const int base = Bazy[i]->text().trimmed().toInt(&ok);
        f.bases[static_cast<size_t>(i)] = static_cast<int16_t>(ok && base > 0 && base < 16 ? base : 0);
    }
    f.service = Wybranych->isChecked() ? 1 : Wszystkich->isChecked() ? 2 : 0;
    f.serviceMask = serviceMask_;
    f.emptyOnly = 0;
    f.clearRunningState();
    filter_ = f;
    return true;
}

void TFiltr_hist_dlg::SzukajClick(bool count) {
    if (!readBoxes()) return;
    count_ = count;
    accept();
}

// "&Lista": the steps of the alarm service to look for.
void TFiltr_hist_dlg::ListaClick() {
    QDialog chooser(this);
    chooser.setWindowTitle(QString::fromUtf8("Obsługa alarmów"));
    auto* list = new QListWidget(&chooser);
    for (size_t i = 0; i < steps_.size() && i < 8; ++i) {
        auto* item = new QListWidgetItem(steps_[i], list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState((serviceMask_ >> i) & 1 ? Qt::Checked : Qt::Unchecked);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &chooser);
    connect(buttons, &QDialogButtonBox::accepted, &chooser, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &chooser, &QDialog::reject);
    auto* layout = new QVBoxLayout(&chooser);
    layout->addWidget(list);
    layout->addWidget(buttons);
    if (chooser.exec() != QDialog::Accepted) return;
    int16_t mask = 0;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked) mask = static_cast<int16_t>(mask | (1 << i));
    serviceMask_ = mask;
    Wybranych->setChecked(mask != 0);
}

} // namespace k4
