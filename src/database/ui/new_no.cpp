#include "database/ui/new_no.h"

#include "database/number_change.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace k4 {

namespace {

constexpr int kHelpNumberChange = 1029;

QLineEdit* numberField(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setInputMask(QStringLiteral("9999;_"));
    return e;
}

int numberOf(const QLineEdit* e) {
    bool ok = false;
    const int n = e->text().toInt(&ok);
    return ok ? n : -1;
}

} // namespace

TNewNo::TNewNo(SubscriberDatabase& database, SubscriberIndexes& indexes, QWidget* parent)
    : QDialog(parent), database_(database), indexes_(indexes) {
    setObjectName("NewNo");
    setWindowTitle(QStringLiteral("Zmiana numeru abonenta"));
    setProperty("helpContext", kHelpNumberChange);
    Stary = numberField(this, "Stary");
    Nowy = numberField(this, "Nowy");
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Stary numer abonenta:"), Stary);
    form->addRow(QStringLiteral("Nowy numer abonenta:"), Nowy);
    auto* zmien = new QPushButton(QString::fromUtf8("&Zmień"), this);
    zmien->setDefault(true);
    auto* porzuc = new QPushButton(QString::fromUtf8("&Porzuć"), this);
    connect(zmien, &QPushButton::clicked, this, &TNewNo::ZmienClick);
    connect(porzuc, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(zmien);
    buttons->addWidget(porzuc);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
}

void TNewNo::ZmienClick() {
    const int oldNumber = numberOf(Stary), newNumber = numberOf(Nowy);
    // Four digits each: a field left short names no subscriber.
    if (oldNumber < 0 || newNumber < 0 || Stary->text().size() != 4 || Nowy->text().size() != 4) return;
    outcome_ = changeSubscriberNumber(database_, indexes_, oldNumber, newNumber);
    if (outcome_ == kNumberTaken) return;
    accept();
}

} // namespace k4
