#include "database/ui/find_sbs.h"

#include "database/text_edge.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace k4 {

namespace {

QLineEdit* edit(QWidget* parent, const char* name, int length) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(length);
    return e;
}

std::string stored(const QLineEdit* e) { return MazoviaFromUtf8(e->text().toStdString()); }

} // namespace

TFindSbs::TFindSbs(SubscriberSearch& search, QWidget* parent) : QDialog(parent), search_(search) {
    setWindowTitle(QStringLiteral("Znajdź abonenta"));
    setModal(true);
    Numer = edit(this, "Numer", 4);
    Numer->setValidator(new QIntValidator(0, 9999, Numer));
    Nazwa = edit(this, "Nazwa", 29);
    Haslo = edit(this, "Haslo", 10);
    Telefon = edit(this, "Telefon", 9);
    Telefon->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), Telefon));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Numer abonenta"), Numer);
    form->addRow(QStringLiteral("Nazwa"), Nazwa);
    form->addRow(QStringLiteral("Hasło"), Haslo);
    form->addRow(QStringLiteral("Numer telefonu"), Telefon);

    Szukaj = new QPushButton(QStringLiteral("S&zukaj"), this);
    Szukaj->setDefault(true);
    Nastepny = new QPushButton(QStringLiteral("&Następny"), this);
    Nastepny->setVisible(false);
    Porzuc = new QPushButton(QStringLiteral("&Porzuć"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Szukaj);
    buttons->addWidget(Nastepny);
    buttons->addWidget(Porzuc);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);

    connect(Szukaj, &QPushButton::clicked, this, &TFindSbs::SzukajClick);
    connect(Nastepny, &QPushButton::clicked, this, &TFindSbs::NastepnyClick);
    connect(Porzuc, &QPushButton::clicked, this, &TFindSbs::PorzucClick);
}

SubscriberSearchFields TFindSbs::fields() const {
    SubscriberSearchFields f;
    f.number = Numer->text().toInt();
    f.name = stored(Nazwa);
    f.password = stored(Haslo);
    f.phone = Telefon->text().toStdString();
    return f;
}

SubscriberFound TFindSbs::find() {
    // Every opening starts without a choice: Escape and the window's close
    // skip "&Porzuć", and must not hand back the subscriber of an earlier
    // search, whose window the operator would then act on unawares.
    result_ = SubscriberFound{};
    // "&Następny" comes back only as the last phone search left it.
    Nastepny->setVisible(search_.nextOffered());
    Numer->setFocus();
    exec();
    return result_;
}

void TFindSbs::SzukajClick() {
    const std::optional<SubscriberFound> found = search_.search(fields());
    Nastepny->setVisible(search_.nextOffered());
    if (!found) return; // told why; the operator corrects the fields
    result_ = last_ = *found;
    accept();
}

void TFindSbs::NastepnyClick() {
    result_ = last_ = search_.next(last_);
    accept();
}

void TFindSbs::PorzucClick() {
    result_ = SubscriberFound{};
    reject();
}

} // namespace k4
