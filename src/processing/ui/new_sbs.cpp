#include "processing/ui/new_sbs.h"

#include "database/subscriber_indexes.h"
#include "database/text_edge.h"
#include "messages/messages.h"
#include "processing/share_lst.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace k4 {

namespace {
constexpr int kHelpNewSubscriber = 1022;
}

TNewSbs::TNewSbs(SubscriberIndexes& indexes, const ShareLst& sharedLists, Messages& messages, QWidget* parent)
    : QDialog(parent), indexes_(indexes), sharedLists_(sharedLists), messages_(messages) {
    setObjectName("NewSbs");
    setWindowTitle(QStringLiteral("Nowy abonent"));
    setProperty("helpContext", kHelpNewSubscriber);
    Numer = new QLineEdit(this);
    Numer->setObjectName("Numer");
    Numer->setMaxLength(4);
    Numer->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), Numer));
    Lista = new QListWidget(this);
    Lista->setObjectName("Lista");
    Lista->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    if (!sharedLists_.usable()) {
        messages_.ShowNotice(mz("\x03otwarcia list zdarzeń"), kNoticeError);
    } else {
        // The standard list first, then every shared list in its slot.
        for (int slot = 0; slot < ShareLst::kSlots; ++slot) {
            if (slot > 0 && sharedLists_.slot(slot).listId == 0) continue;
            const std::string text =
                slot == 0 ? std::string("00 standard") : sharedLists_.slotLine(slot);
            auto* item = new QListWidgetItem(QString::fromStdString(Utf8FromMazovia(text)), Lista);
            item->setData(Qt::UserRole, slot);
        }
    }
    auto* utworz = new QPushButton(QString::fromUtf8("&Utwórz"), this);
    utworz->setDefault(true);
    auto* porzuc = new QPushButton(QString::fromUtf8("&Porzuć"), this);
    connect(utworz, &QPushButton::clicked, this, &TNewSbs::UtworzClick);
    connect(porzuc, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Numer abonenta:"), this));
    layout->addWidget(Numer);
    layout->addWidget(new QLabel(QString::fromUtf8("Lista zdarzeń abonenta"), this));
    layout->addWidget(Lista);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(utworz);
    buttons->addWidget(porzuc);
    layout->addLayout(buttons);
}

void TNewSbs::UtworzClick() {
    bool ok = false;
    const int typed = Numer->text().toInt(&ok);
    const int number = ok ? typed : 0;
    if (indexes_.recordOfNumber(number)) {
        messages_.ShowNotice(mz("\x03W bazie istnieje już abonent o podanym numerze"), kNoticeInfo);
        return;
    }
    const QListWidgetItem* item = Lista->currentItem();
    if (!item || !item->isSelected()) {
        messages_.ShowNotice(mz("\x03Nie podano listy zdarzeń"), kNoticeInfo);
        return;
    }
    const int slot = item->data(Qt::UserRole).toInt();
    if (slot == 0) {
        messages_.ShowNotice(mz("\x03" "Abonent nie powinien używać tej listy"), kNoticeInfo);
        return;
    }
    number_ = number;
    listId_ = sharedLists_.slot(slot).listId;
    accept();
}

} // namespace k4
