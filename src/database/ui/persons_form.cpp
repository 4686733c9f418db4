#include "database/ui/persons_form.h"

#include "database/field_text.h"
#include "database/persons_list.h"
#include "database/subscriber_database.h"
#include "database/text_edge.h"
#include "messages/messages.h"

#include <QColor>
#include <QComboBox>
#include <QFontDatabase>
#include <QIcon>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

QString shown(const std::string& mazovia) { return QString::fromStdString(Utf8FromMazovia(mazovia)); }

template <size_t N>
void putText(char (&field)[N], const QString& text) {
    const std::string s = MazoviaFromUtf8(text.toStdString());
    std::memset(field, 0, N);
    std::memcpy(field, s.data(), std::min(s.size(), N - 1));
}

QIcon colourMark(int index) {
    QPixmap pixmap(24, 12);
    pixmap.fill(personColour(index));
    return QIcon(pixmap);
}

} // namespace

QColor personColour(int index) {
    static const QRgb colours[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
                                     0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    return QColor(colours[index & 15]);
}

TPerson::TPerson(const PersonRecord& initial, Messages& messages, QWidget* parent)
    : QDialog(parent), person(initial), messages_(messages) {
    setObjectName("Person");
    setWindowTitle(QString::fromUtf8("Powiadomienia"));
    auto field = [this](int limit, const std::string& text) {
        auto* edit = new QLineEdit(shown(text), this);
        edit->setMaxLength(limit);
        return edit;
    };
    Nazwisko = field(29, fieldText(person.name));
    Adres = field(29, fieldText(person.address));
    Telefon = field(13, fieldText(person.tel));
    Haslo = field(10, fieldText(person.passwd));
    char code[8];
    std::snprintf(code, sizeof code, "%X", static_cast<int>(person.alarm));
    Zdarzenie = new QLineEdit(QString::fromLatin1(code), this);
    Zdarzenie->setMaxLength(3);
    Zdarzenie->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]*")), Zdarzenie));
    Kolor = new QComboBox(this);
    for (int i = 0; i < 16; ++i) Kolor->addItem(colourMark(i), QString::number(i));
    Kolor->setCurrentIndex(person.color & 15);
    auto* save = new QPushButton(QStringLiteral("&Zapisz"), this);
    auto* cancel = new QPushButton(QString::fromUtf8("&Porzuć"), this);
    connect(save, &QPushButton::clicked, this, &TPerson::ZapiszClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Nazwisko:"), Nazwisko);
    form->addRow(QStringLiteral("Adres:"), Adres);
    form->addRow(QStringLiteral("Telefon:"), Telefon);
    form->addRow(QString::fromUtf8("Hasło:"), Haslo);
    form->addRow(QString::fromUtf8("Zdarzenie (hex.):"), Zdarzenie);
    form->addRow(QStringLiteral("Kolor:"), Kolor);
    auto* row = new QHBoxLayout;
    row->addWidget(save);
    row->addWidget(cancel);
    form->addRow(row);
}

void TPerson::ZapiszClick() {
    putText(person.name, Nazwisko->text());
    putText(person.address, Adres->text());
    putText(person.tel, Telefon->text());
    putText(person.passwd, Haslo->text());
    unsigned code = 0;
    const std::string text = Zdarzenie->text().toStdString();
    if (std::sscanf(text.c_str(), "%x", &code) != 1) code = 0;
    if (code > 4094) {
        messages_.ShowNotice(mz("\x03Kod zdarzenia spoza zakresu"), kNoticeInfo);
        code = 0;
    }
    person.alarm = static_cast<int16_t>(code);
    person.color = static_cast<uint8_t>(std::max(0, Kolor->currentIndex()));
    accept();
}

TPersons::TPersons(SubscriberDatabase& database, bool edit, Int32Le (&persons)[kPersonSlots], QWidget* parent)
    : QDialog(parent), database_(database), edit_(edit),
      list_(std::make_unique<PersonsList>(database.files(), persons)) {
    setObjectName("Persons");
    setWindowTitle(QString::fromUtf8("Lista Powiadomień"));
    List = new QListWidget(this);
    List->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Nowa = new QPushButton(QStringLiteral("&Nowa"), this);
    Pusta = new QPushButton(QStringLiteral("&Pusta"), this);
    Usun = new QPushButton(QString::fromUtf8("&Usuń"), this);
    Koniec = new QPushButton(QStringLiteral("&Koniec"), this);
    Koniec->setDefault(true);
    auto* row = new QHBoxLayout;
    for (QPushButton* b : {Nowa, Pusta, Usun, Koniec}) row->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(List);
    layout->addLayout(row);
    for (QPushButton* b : {Nowa, Pusta, Usun}) b->setVisible(edit);
    connect(Nowa, &QPushButton::clicked, this, &TPersons::NowaClick);
    connect(Pusta, &QPushButton::clicked, this, &TPersons::PustaClick);
    connect(Usun, &QPushButton::clicked, this, &TPersons::UsunClick);
    connect(Koniec, &QPushButton::clicked, this, &QDialog::accept);
    connect(List, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) { ListDblClick(List->row(item)); });
    resize(640, 300);
    refill(0);
}

TPersons::~TPersons() = default;

int TPersons::count() const { return List->count(); }
QString TPersons::line(int i) const { return List->item(i)->text(); }

void TPersons::refill(int select) {
    List->clear();
    for (int i = 0; list_->usable() && i < list_->Count(); ++i) {
        auto* item = new QListWidgetItem(List);
        // A place-holder, or a person that cannot be read, is an empty line.
        if (list_->ReadEntry(i) != 0) continue;
        const PersonRecord& p = list_->person();
        char text[96];
        std::snprintf(text, sizeof text, "%-29.29s %13.13s %-11.11s", fieldText(p.name).c_str(),
                      fieldText(p.tel).c_str(), fieldText(p.passwd).c_str());
        QString shownText = shown(text);
        if (p.alarm != 0) {
            char code[8];
            std::snprintf(code, sizeof code, " %3.3X", static_cast<int>(p.alarm));
            shownText += QString::fromLatin1(code);
            item->setForeground(personColour(p.color));
        } else {
            item->setIcon(colourMark(p.color));
        }
        item->setText(shownText);
    }
    if (List->count() > 0) List->setCurrentRow(std::clamp(select, 0, List->count() - 1));
}

void TPersons::NowaClick() {
    if (list_->RefuseWhenFull() != 0) return;
    TPerson dialog(PersonRecord{}, database_.messages(), this);
    if (dialog.exec() == QDialog::Accepted) storeNew(dialog.person);
}

void TPersons::storeNew(const PersonRecord& person) {
    if (list_->RefuseWhenFull() != 0) return;
    list_->person() = person;
    if (list_->AddEntry(0, list_->Count()) != 0) database_.messages().ShowNotice(mz("\x03zapisu osoby"), kNoticeError);
    refill(list_->Count() - 1);
}

void TPersons::PustaClick() {
    if (list_->RefuseWhenFull() != 0) return;
    const int row = std::max(0, List->currentRow());
    list_->AddEntry(kPersonPlaceHolder, std::min(row, list_->Count()));
    refill(row);
}

void TPersons::UsunClick() {
    const int row = List->currentRow();
    if (row < 0) return;
    list_->RemoveEntry(row);
    refill(row);
}

void TPersons::ListDblClick(int row) {
    if (row < 0 || row >= list_->Count()) return;
    PersonRecord person{};
    if (list_->ReadEntry(row) == 0) person = list_->person();
    TPerson dialog(person, database_.messages(), this);
    if (!edit_) {
        for (QLineEdit* e : dialog.findChildren<QLineEdit*>()) e->setReadOnly(true);
        dialog.Kolor->setEnabled(false);
    }
    if (dialog.exec() == QDialog::Accepted && edit_) storeAt(row, dialog.person);
}

void TPersons::storeAt(int row, const PersonRecord& person) {
    if (list_->ReadEntry(row) != 0) list_->clearBuffer();
    list_->person() = person;
    if (list_->StoreEntry(row) != 0) database_.messages().ShowNotice(mz("\x03zapisu osoby"), kNoticeError);
    refill(row);
}

} // namespace k4
