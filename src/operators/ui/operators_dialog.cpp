#include "operators/ui/operators_dialog.h"

#include "database/text_edge.h"
#include "operators/operator_editing.h"
#include "operators/operator_list.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

constexpr int kHelpOperators = 1065;

QString shown(const std::string& mazovia) { return QString::fromStdString(Utf8FromMazovia(mazovia)); }

// What the operator typed, cut to the field and in the file's code page.
std::string typed(const QLineEdit* edit, int limit) { return MazoviaFromUtf8(edit->text().left(limit).toStdString()); }

} // namespace

TModOper::TModOper(SOperatLst& list, int at, Messages& messages, QWidget* parent)
    : QDialog(parent), list_(list), at_(at), messages_(messages) {
    setObjectName(QStringLiteral("ModOper"));
    setWindowTitle(QStringLiteral("Operator"));
    setProperty("helpContext", kHelpOperators);
    Code = new QLineEdit(this);
    Code->setObjectName(QStringLiteral("Code"));
    Code->setMaxLength(kOperatorCodeLimit);
    Code->setEchoMode(QLineEdit::Password);
    Name = new QLineEdit(this);
    Name->setObjectName(QStringLiteral("Name"));
    Name->setMaxLength(kOperatorSurnameLimit);
    SaveBtn = new QPushButton(QStringLiteral("&Zapisz"), this);
    CancelBtn = new QPushButton(QStringLiteral("&Porzuć"), this);
    SaveBtn->setDefault(true);
    if (at >= 0 && at < list.Count()) {
        const OperatorRecord& r = list.Item(at);
        Code->setText(shown(unscrambledText(r.code)));
        Name->setText(shown(std::string(r.surname, strnlen(r.surname, sizeof r.surname))));
    }
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Kod operatora"), this));
    layout->addWidget(Code);
    layout->addWidget(new QLabel(QStringLiteral("Nazwisko operatora"), this));
    layout->addWidget(Name);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SaveBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);
    connect(SaveBtn, &QPushButton::clicked, this, &TModOper::SaveBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TModOper::SaveBtnClick() {
    // Whatever the outcome the dialog closes; a refusal has said why.
    const bool saved =
        saveOperator(list_, at_, typed(Code, kOperatorCodeLimit), typed(Name, kOperatorSurnameLimit), messages_);
    done(saved ? QDialog::Accepted : QDialog::Rejected);
}

TOperators::TOperators(const DataDir& dir, Messages& messages, QWidget* parent)
    : QDialog(parent), list_(std::make_unique<SOperatLst>(dir)), messages_(messages) {
    setObjectName(QStringLiteral("Operators"));
    setWindowTitle(QStringLiteral("Operatorzy"));
    setProperty("helpContext", kHelpOperators);
    ListBox = new QListWidget(this);
    ListBox->setObjectName(QStringLiteral("ListBox"));
    ListBox->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    AddBtn = new QPushButton(QStringLiteral("&Dodaj"), this);
    RemoveBtn = new QPushButton(QStringLiteral("&Usuń"), this);
    auto* end = new QPushButton(QStringLiteral("&Koniec"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListBox);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(AddBtn);
    buttons->addWidget(RemoveBtn);
    buttons->addWidget(end);
    layout->addLayout(buttons);
    connect(AddBtn, &QPushButton::clicked, this, [this] { edit(-1); });
    connect(ListBox, &QListWidget::itemDoubleClicked, this, [this] { edit(ListBox->currentRow()); });
    connect(RemoveBtn, &QPushButton::clicked, this, &TOperators::RemoveBtnClick);
    connect(end, &QPushButton::clicked, this, &QDialog::accept);
    showList();
}

TOperators::~TOperators() = default;

QString TOperators::lineOf(const char* surname, int number) {
    char line[64];
    std::snprintf(line, sizeof line, "%-28.28s(%u)", surname, static_cast<unsigned>(number));
    return shown(line);
}

void TOperators::showList() {
    list_->Load();
    ListBox->clear();
    for (int i = 0; i < list_->Count(); ++i) {
        const OperatorRecord& r = list_->Item(i);
        const std::string surname(r.surname, strnlen(r.surname, sizeof r.surname));
        ListBox->addItem(lineOf(surname.c_str(), r.number));
    }
    if (ListBox->count() > 0) ListBox->setCurrentRow(0);
}

void TOperators::edit(int at) {
    if (at < -1 || at >= list_->Count()) return;
    TModOper dialog(*list_, at, messages_, this);
    dialog.exec();
    showList();
}

void TOperators::RemoveBtnClick() {
    const int at = ListBox->currentRow();
    if (list_->Count() == 0 || at < 0) return;
    removeOperator(*list_, at, messages_);
    showList();
}

} // namespace k4
