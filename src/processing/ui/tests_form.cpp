#include "processing/ui/tests_form.h"

#include "database/sbscrbr.h"
#include "database/text_edge.h"
#include "messages/messages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace k4 {

TTests::TTests(Sbscrbr& subscriber, Messages& messages, bool viewOnly, QWidget* parent)
    : QDialog(parent), subscriber_(subscriber), messages_(messages), edit_(subscriber.record) {
    setObjectName("Tests");
    setWindowTitle(QStringLiteral("Testy"));

    TypTestu = new QGroupBox(this);
    TypTestu->setObjectName("TypTestu");
    auto* typeLayout = new QVBoxLayout(TypTestu);
    for (int t = 0; t < 7; ++t) {
        types_[static_cast<size_t>(t)] = new QRadioButton(QString::fromUtf8(testTypeCaption(t)), TypTestu);
        typeLayout->addWidget(types_[static_cast<size_t>(t)]);
        connect(types_[static_cast<size_t>(t)], &QRadioButton::toggled, this, [this, t](bool on) {
            if (on && !updating_) edit_.setType(t);
        });
    }
    Aktywacja = new QCheckBox(QStringLiteral("Aktywacja testu"), this);
    Aktywacja->setObjectName("Aktywacja");
    connect(Aktywacja, &QCheckBox::toggled, this, [this](bool on) {
        if (!updating_) edit_.setActive(on);
    });
    Powtorz = new QLineEdit(this);
    Powtorz->setObjectName("Powtorz");
    Powtorz->setMaxLength(3);
    Powtorz->setValidator(new QIntValidator(0, 255, Powtorz));
    Opoznienie = new QLineEdit(this);
    Opoznienie->setObjectName("Opoznienie");
    Opoznienie->setValidator(new QIntValidator(0, 4095, Opoznienie));
    connect(Powtorz, &QLineEdit::textEdited, this, [this] { takeInputs(); });
    connect(Opoznienie, &QLineEdit::textEdited, this, [this] { takeInputs(); });

    auto* paths = new QGroupBox(QString::fromUtf8(" Tory testów "), this);
    auto* pathLayout = new QVBoxLayout(paths);
    Tory = new QListWidget(paths);
    Tory->setObjectName("Tory");
    for (int p = 0; p < kTestPathCount; ++p) {
        auto* item = new QListWidgetItem(QString::fromUtf8(testPathCaption(p)), Tory);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    pathLayout->addWidget(Tory);
    connect(Tory, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!updating_) tickPath(Tory->row(item));
    });
    connect(Tory, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!updating_) selectPath(row);
    });

    auto* save = new QPushButton(QStringLiteral("&Zapisz"), this);
    auto* close = new QPushButton(QStringLiteral("&Anuluj"), this);
    connect(save, &QPushButton::clicked, this, &TTests::ZapiszClick);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* grid = new QGridLayout(this);
    grid->addWidget(TypTestu, 0, 0, 4, 1);
    grid->addWidget(Aktywacja, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QString::fromUtf8("Test wielokr./od zał./od meld. co"), this), 1, 1);
    grid->addWidget(Powtorz, 1, 2);
    grid->addWidget(new QLabel(QString::fromUtf8("x 1/2 godz."), this), 1, 3);
    grid->addWidget(new QLabel(QString::fromUtf8("Dopuszczalne opóźnienie nadejścia:"), this), 2, 1);
    grid->addWidget(Opoznienie, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("minut"), this), 2, 3);
    grid->addWidget(paths, 3, 1, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(close);
    grid->addLayout(buttons, 4, 0, 1, 4);

    if (viewOnly) {
        for (QWidget* w : std::initializer_list<QWidget*>{TypTestu, Aktywacja, Powtorz, Opoznienie, Tory, save})
            w->setEnabled(false);
    }
    showTest();
}

void TTests::takeInputs() {
    if (updating_) return;
    edit_.setRepeat(Powtorz->text().toInt());
    edit_.setDelay(Opoznienie->text().toInt());
}

void TTests::showTest() {
    updating_ = true;
    TypTestu->setTitle(QString::fromUtf8(edit_.typeCaption().c_str()));
    const int type = edit_.type();
    for (int t = 0; t < 7; ++t) types_[static_cast<size_t>(t)]->setChecked(t == type);
    Aktywacja->setChecked(edit_.active());
    Powtorz->setText(QString::number(edit_.repeat()));
    Opoznienie->setText(QString::number(edit_.delay()));
    for (int p = 0; p < kTestPathCount; ++p)
        Tory->item(p)->setCheckState(edit_.ticked(p) ? Qt::Checked : Qt::Unchecked);
    updating_ = false;
}

void TTests::tickPath(int path) {
    takeInputs();
    if (edit_.tick(path) == TestSettingsEdit::kNotConnected)
        messages_.ShowNotice(mz("\x03" "Abonent nie jest podłączony do tego toru!"), kNoticeInfo);
    showTest();
}

void TTests::selectPath(int path) {
    takeInputs();
    edit_.select(path);
    showTest();
}

void TTests::ZapiszClick() {
    takeInputs();
    if (edit_.store(subscriber_.record)) subscriber_.tests_changed = true;
    accept();
}

} // namespace k4
