#include "processing/ui/erase_zw_form.h"

#include "database/sbscrbr.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace k4 {

TEraseZWForm::TEraseZWForm(Sbscrbr& subscriber, Messages& messages, QWidget* parent)
    : QDialog(parent), subscriber_(subscriber), messages_(messages) {
    setObjectName("EraseZWForm");
    setWindowTitle(QString::fromUtf8("Kasowanie Testów Z W"));
    char caption[48];
    std::snprintf(caption, sizeof caption, "Abonent %4.4d", subscriber.number());
    auto* tests = new QGroupBox(QString::fromLatin1(caption), this);
    auto* testLayout = new QHBoxLayout(tests);
    Test1 = new QCheckBox(QStringLiteral("Test 1"), tests);
    Test1->setObjectName("Test1");
    Test2 = new QCheckBox(QStringLiteral("Test 2"), tests);
    Test2->setObjectName("Test2");
    testLayout->addWidget(Test1);
    testLayout->addWidget(Test2);
    auto* arming = new QGroupBox(QString::fromUtf8("Załączenia/Wyłączenia"), this);
    auto* armLayout = new QHBoxLayout(arming);
    for (int i = 0; i < 10; ++i) {
        auto* box = new QCheckBox(QString::number(i), arming);
        box->setObjectName(QStringLiteral("Pozycja%1").arg(i));
        armLayout->addWidget(box);
        positions_[static_cast<size_t>(i)] = box;
    }
    auto* erase = new QPushButton(QStringLiteral("&Kasuj"), this);
    auto* cancel = new QPushButton(QStringLiteral("&Anuluj"), this);
    connect(erase, &QPushButton::clicked, this, &TEraseZWForm::KasujClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tests);
    layout->addWidget(arming);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(erase);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
}

void TEraseZWForm::KasujClick() {
    EraseTestMarks what;
    what.test1 = Test1->isChecked();
    what.test2 = Test2->isChecked();
    for (size_t i = 0; i < positions_.size(); ++i) what.positions[i] = positions_[i]->isChecked();
    if (eraseTestMarks(subscriber_, what, messages_, stateGuard_) == 0) accept();
}

} // namespace k4
