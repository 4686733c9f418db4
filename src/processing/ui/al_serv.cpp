#include "processing/ui/al_serv.h"

#include "shell/alarm_service.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace k4 {

TAlServ::TAlServ(const std::array<std::string, 8>& steps, uint16_t service, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint), service_(service), outcome_(kServiceKeep) {
    setObjectName("AlServ");
    setWindowTitle(QString::fromUtf8("Typ obsługi"));

    auto* grid = new QGridLayout;
    for (int i = 0; i < 8; ++i) {
        auto* box = new QCheckBox(this);
        box->setObjectName(QStringLiteral("Step%1").arg(i + 1));
        box->setChecked(service & (1u << i));
        // The letter in bold tells the operator which Ctrl key ticks it.
        auto* label = new QLabel(QStringLiteral("<b>%1</b>&nbsp;&nbsp;%2")
                                     .arg(QChar('A' + i))
                                     .arg(QString::fromStdString(steps[static_cast<size_t>(i)]).toHtmlEscaped()),
                                 this);
        label->setObjectName(QStringLiteral("StepLabel%1").arg(i + 1));
        label->setTextFormat(Qt::RichText);
        label->setBuddy(box);
        grid->addWidget(box, i, 0);
        grid->addWidget(label, i, 1);
        boxes_[static_cast<size_t>(i)] = box;
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) {
            service_ = static_cast<uint16_t>(on ? service_ | (1u << i) : service_ & ~(1u << i));
        });
        auto* shortcut = new QShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_A + i)), this);
        connect(shortcut, &QShortcut::activated, this, [this, i] { toggleStep(i); });
    }
    grid->setColumnStretch(1, 1);

    auto* remove = new QPushButton(QString::fromUtf8("&Usuń"), this);
    remove->setObjectName("RemoveBtn");
    auto* leave = new QPushButton(QStringLiteral("&Zostaw"), this);
    leave->setObjectName("LeaveBtn");
    auto* set = new QPushButton(QStringLiteral("&Ustaw"), this);
    set->setObjectName("SetBtn");
    connect(remove, &QPushButton::clicked, this, [this] {
        outcome_ = kServiceRemove;
        accept();
    });
    connect(leave, &QPushButton::clicked, this, &QDialog::reject);
    connect(set, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(remove);
    buttons->addWidget(leave);
    buttons->addWidget(set);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    resize(480, 300);
}

void TAlServ::toggleStep(int step) {
    if (step < 0 || step >= 8) return;
    QCheckBox* box = boxes_[static_cast<size_t>(step)];
    box->setChecked(!box->isChecked());
}

} // namespace k4
