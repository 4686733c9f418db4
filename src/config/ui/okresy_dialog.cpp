#include "config/ui/okresy_dialog.h"

#include "database/text_edge.h"
#include "messages/messages.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>

namespace k4 {

TOkresy::TOkresy(const ProbePeriodValues& shown, Messages& messages, std::function<void(const ProbePeriodValues&)> save,
                 QWidget* parent)
    : QDialog(parent), shown_(shown), messages_(messages), save_(std::move(save)) {
    setObjectName(QStringLiteral("Okresy"));
    setWindowTitle(QStringLiteral("Okresy między badaniami"));
    setProperty("helpContext", 1011);
    auto* form = new QFormLayout(this);
    for (int i = 0; i < kProbePeriodFields; ++i) {
        Fields[i] = new QLineEdit(QString::number(shown[size_t(i)]), this);
        Fields[i]->setValidator(new QIntValidator(0, 32767, Fields[i]));
        form->addRow(QString::fromUtf8(probePeriodLabel(i)), Fields[i]);
    }
    SaveBtn = new QPushButton(QStringLiteral("&Zapisz"), this);
    CancelBtn = new QPushButton(QStringLiteral("&Porzuć"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SaveBtn);
    buttons->addWidget(CancelBtn);
    form->addRow(buttons);
    connect(SaveBtn, &QPushButton::clicked, this, &TOkresy::SaveBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TOkresy::SaveBtnClick() {
    ProbePeriodValues values{};
    for (int i = 0; i < kProbePeriodFields; ++i) {
        values[size_t(i)] = Fields[i]->text().toInt();
        const std::string refusal = probePeriodRefusal(i, values[size_t(i)]);
        if (!refusal.empty()) {
            // The field keeps the focus until it holds an allowed value.
            messages_.ShowNotice(mz(refusal), kNoticeInfo);
            Fields[i]->setFocus();
            return;
        }
    }
    if (save_) save_(values);
    accept();
}

} // namespace k4
