#include "database/ui/mod_graph_form.h"

#include "database/picture_files.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace k4 {

TModGraphForm::TModGraphForm(QWidget* parent) : QDialog(parent) {
    setObjectName("ModGraphForm");
    setWindowTitle(QStringLiteral("Opis grafiki"));
    NoME = new QLineEdit(this);
    NoME->setObjectName("NoME");
    NoME->setInputMask(QStringLiteral("9;_"));
    DescE = new QLineEdit(this);
    DescE->setObjectName("DescE");
    DescE->setMaxLength(3);
    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TModGraphForm::Button1Click);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Numer:"), NoME);
    form->addRow(QStringLiteral("Skrót:"), DescE);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

void TModGraphForm::showEvent(QShowEvent* event) {
    NoME->setText(QString::number(number));
    DescE->setText(QString::fromStdString(shortName));
    QDialog::showEvent(event);
}

void TModGraphForm::Button1Click() {
    bool ok = false;
    const int typed = NoME->text().trimmed().toInt(&ok);
    number = ok ? typed : 0;
    shortName = shortPictureName(DescE->text().left(3).toStdString());
    done(1);
}

} // namespace k4
