#include "database/ui/lines_form.h"

#include "database/field_text.h"
#include "database/lines_list.h"
#include "database/subscriber_database.h"
#include "database/subsystem_editing.h"
#include "database/subsystem_in_place.h"
#include "database/text_edge.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace k4 {

namespace {

QString shown(const std::string& mazovia) { return QString::fromStdString(Utf8FromMazovia(mazovia)); }
std::string stored(const QString& text) { return MazoviaFromUtf8(text.toStdString()); }

QString listLine(int number, const std::string& description) {
    char line[160];
    std::snprintf(line, sizeof line, "%2.2d - %-s ", number, description.c_str());
    return shown(line);
}

QLineEdit* digits(QWidget* parent, int count) {
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(count);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

// A number field's text: what is not a number 0..255 counts as 0.
int numberOf(const QString& text) {
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok && v >= 0 && v <= 255 ? v : 0;
}

} // namespace

TLines::TLines(SubscriberDatabase& database, bool edit, Int32Le (&lines)[kLineSlots], QWidget* parent)
    : QDialog(parent), database_(database), edit_(edit) {
    setObjectName("Lines");
    setWindowTitle(QStringLiteral("Podsystemy"));
    lines_ = std::make_unique<LinesList>(database.files(), lines);
    sectors_ = std::make_unique<SectorsList>(*lines_);

    auto* subsystems = new QGroupBox(QStringLiteral("Podsystemy"), this);
    LinesListBox = new QListWidget(subsystems);
    NewLine = new QPushButton(QStringLiteral("&Nowy"), subsystems);
    DelLine = new QPushButton(QString::fromUtf8("&Usuń"), subsystems);
    auto* l1 = new QGridLayout(subsystems);
    l1->addWidget(LinesListBox, 0, 0, 1, 2);
    l1->addWidget(NewLine, 1, 0);
    l1->addWidget(DelLine, 1, 1);

    auto* sectorsBox = new QGroupBox(QStringLiteral("Sektory"), this);
    SectorsListBox = new QListWidget(sectorsBox);
    NewSector = new QPushButton(QStringLiteral("N&owy"), sectorsBox);
    DelSector = new QPushButton(QString::fromUtf8("U&suń"), sectorsBox);
    auto* l2 = new QGridLayout(sectorsBox);
    l2->addWidget(SectorsListBox, 0, 0, 1, 2);
    l2->addWidget(NewSector, 1, 0);
    l2->addWidget(DelSector, 1, 1);

    GroupBox2 = new QGroupBox(QStringLiteral("Podsystem"), this);
    DBEdit1 = digits(GroupBox2, 2);
    DBMemo1 = new QLineEdit(GroupBox2);
    DBMemo1->setMaxLength(93);
    auto* f2 = new QFormLayout(GroupBox2);
    f2->addRow(QStringLiteral("Numer podsystemu:"), DBEdit1);
    f2->addRow(QStringLiteral("Opis podsystemu:"), DBMemo1);

    GroupBox3 = new QGroupBox(QStringLiteral("Sektor"), this);
    DBEdit3 = digits(GroupBox3, 3);
    DBEdit4 = new QLineEdit(GroupBox3);
    DBEdit4->setMaxLength(3);
    DBMemo2 = new QLineEdit(GroupBox3);
    DBMemo2->setMaxLength(93);
    auto* f3 = new QFormLayout(GroupBox3);
    f3->addRow(QStringLiteral("Numer sektora:"), DBEdit3);
    f3->addRow(QStringLiteral("Typ sektora:"), DBEdit4);
    f3->addRow(QStringLiteral("Opis sektora:"), DBMemo2);

    CloseBtn = new QPushButton(edit ? QStringLiteral("&Koniec zmian") : QStringLiteral("&Koniec"), this);
    CloseBtn->setDefault(true);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(subsystems, 0, 0);
    grid->addWidget(sectorsBox, 0, 1);
    grid->addWidget(GroupBox2, 1, 0);
    grid->addWidget(GroupBox3, 1, 1);
    grid->addWidget(CloseBtn, 2, 0, 1, 2, Qt::AlignHCenter);

    for (QPushButton* b : {NewLine, DelLine, NewSector, DelSector}) b->setVisible(edit);
    for (QLineEdit* e : {DBEdit1, DBMemo1, DBEdit3, DBEdit4, DBMemo2}) e->setReadOnly(!edit);

    connect(LinesListBox, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!storing_ && row >= 0) LinesListBoxClick(row);
    });
    connect(SectorsListBox, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!storing_ && row >= 0) SectorsListBoxClick(row);
    });
    connect(NewLine, &QPushButton::clicked, this, &TLines::NowyClick);
    connect(DelLine, &QPushButton::clicked, this, &TLines::UsunClick);
    connect(NewSector, &QPushButton::clicked, this, &TLines::NowySektorClick);
    connect(DelSector, &QPushButton::clicked, this, &TLines::UsunSektorClick);
    if (edit)
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            if (storing_ || !old) return;
            if (inside(GroupBox2, old) && !inside(GroupBox2, now)) GroupBox2Exit();
            else if (inside(GroupBox3, old) && !inside(GroupBox3, now)) GroupBox3Exit();
        });

    if (!lines_->usable()) return;
    lines_->Recount();
    showLines(0);
}

TLines::~TLines() = default;

bool TLines::inside(QWidget* box, QWidget* w) const { return w && (w == box || box->isAncestorOf(w)); }

void TLines::showLines(int select) {
    storing_ = true;
    LinesListBox->clear();
    for (int i = 0; i < lines_->Count(); ++i) {
        if (lines_->ReadIndex(i) != 0) {
            LinesListBox->addItem(QString());
            continue;
        }
        LinesListBox->addItem(listLine(lines_->subsystem().no, fieldText(lines_->subsystem().line_desc)));
    }
    storing_ = false;
    if (lines_->Count() == 0) {
        lines_->forgetRecord();
        sectors_->Recount();
        showSubsystem();
        showSectors(-1);
        return;
    }
    select = std::clamp(select, 0, lines_->Count() - 1);
    storing_ = true;
    LinesListBox->setCurrentRow(select);
    storing_ = false;
    LinesListBoxClick(select);
}

void TLines::LinesListBoxClick(int row) {
    if (lines_->ReadIndex(row) != 0) lines_->forgetRecord();
    sectors_->Recount();
    showSubsystem();
    showSectors(0);
}

void TLines::showSubsystem() {
    const bool any = lines_->currentPosition() != 0;
    DBEdit1->setText(any ? QString::number(lines_->subsystem().no) : QString());
    DBMemo1->setText(any ? shown(fieldText(lines_->subsystem().line_desc)) : QString());
}

void TLines::showSectors(int select) {
    storing_ = true;
    SectorsListBox->clear();
    for (int i = 0; lines_->currentPosition() != 0 && i < sectors_->Count(); ++i) {
        if (sectors_->ReadIndex(i) != 0) {
            SectorsListBox->addItem(QString());
            continue;
        }
        SectorsListBox->addItem(listLine(sectors_->sector().no, fieldText(sectors_->sector().sector_desc)));
    }
    storing_ = false;
    if (SectorsListBox->count() == 0 || select < 0) {
        sectors_->forgetRecord();
        showSector();
        return;
    }
    select = std::clamp(select, 0, SectorsListBox->count() - 1);
    storing_ = true;
    SectorsListBox->setCurrentRow(select);
    storing_ = false;
    SectorsListBoxClick(select);
}

void TLines::SectorsListBoxClick(int row) {
    if (sectors_->ReadIndex(row) != 0) sectors_->forgetRecord();
    showSector();
}

void TLines::showSector() {
    const bool any = sectors_->currentPosition() != 0;
    DBEdit3->setText(any ? QString::number(static_cast<int>(sectors_->sector().no)) : QString());
    DBEdit4->setText(any ? shown(fieldText(sectors_->sector().type)) : QString());
    DBMemo2->setText(any ? shown(fieldText(sectors_->sector().sector_desc)) : QString());
}

void TLines::GroupBox2Exit() {
    if (!edit_ || lines_->currentPosition() == 0) return;
    storing_ = true;
    const int result = StoreEditedSubsystem(*lines_, DBEdit1->text().toInt(), stored(DBMemo1->text()));
    storing_ = false;
    const int number = lines_->subsystem().no;
    // The list again, the edited subsystem still selected.
    if (result == 0) showLines(std::max(0, lines_->Find(number)));
    else showSubsystem();
}

void TLines::GroupBox3Exit() {
    if (!edit_ || sectors_->currentPosition() == 0) return;
    storing_ = true;
    const int result = StoreEditedSector(*lines_, *sectors_, DBEdit3->text().toInt(), stored(DBEdit4->text()),
                                         stored(DBMemo2->text()));
    storing_ = false;
    const int number = sectors_->sector().no;
    if (result == 0) showSectors(std::max(0, sectors_->Find(number)));
    else showSector();
}

void TLines::newSubsystem(int number, const QString& description, int copyFrom) {
    if (NewSubsystem(*lines_, number, stored(description), copyFrom) != 0 && lines_->currentPosition() == 0) {
        showLines(LinesListBox->currentRow());
        return;
    }
    showLines(std::max(0, lines_->Find(lines_->subsystem().no)));
}

void TLines::UsunClick() {
    const int row = LinesListBox->currentRow();
    if (row < 0) return;
    DeleteSubsystemEntry(*lines_, row);
    showLines(row);
}

void TLines::newSector(int number, const QString& type, const QString& description) {
    k4::NewSector(*lines_, *sectors_, number, stored(type), stored(description));
    showSectors(std::max(0, sectors_->Find(number)));
}

void TLines::UsunSektorClick() {
    const int row = SectorsListBox->currentRow();
    if (row < 0) return;
    DeleteSectorEntry(*lines_, *sectors_, row);
    showSectors(row);
}

// "Nowy podsystem": the number, the description, and "&Zapisz" or "&Kopiuj
// sektory z:" with the subsystem to copy the sectors of.
void TLines::NowyClick() {
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Nowy podsystem"));
    auto* number = digits(&dialog, 3);
    auto* description = new QLineEdit(&dialog);
    description->setMaxLength(93);
    auto* source = digits(&dialog, 2);
    auto* save = new QPushButton(QStringLiteral("&Zapisz"), &dialog);
    auto* copy = new QPushButton(QStringLiteral("&Kopiuj sektory z:"), &dialog);
    auto* cancel = new QPushButton(QString::fromUtf8("&Porzuć"), &dialog);
    auto* form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("Numer podsystemu:"), number);
    form->addRow(QStringLiteral("Opis podsystemu:"), description);
    form->addRow(copy, source);
    auto* row = new QHBoxLayout;
    row->addWidget(save);
    row->addWidget(cancel);
    form->addRow(row);
    int copyFrom = -1;
    connect(save, &QPushButton::clicked, &dialog, &QDialog::accept);
    connect(copy, &QPushButton::clicked, &dialog, [&] {
        copyFrom = numberOf(source->text());
        dialog.accept();
    });
    connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return;
    newSubsystem(numberOf(number->text()), description->text(), copyFrom);
}

// "Nowy sektor": number, type and description.
void TLines::NowySektorClick() {
    if (lines_->currentPosition() == 0) return;
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Nowy sektor"));
    auto* number = digits(&dialog, 3);
    auto* type = new QLineEdit(&dialog);
    type->setMaxLength(3);
    auto* description = new QLineEdit(&dialog);
    description->setMaxLength(93);
    auto* save = new QPushButton(QStringLiteral("&Zapisz"), &dialog);
    auto* cancel = new QPushButton(QString::fromUtf8("&Porzuć"), &dialog);
    auto* form = new QFormLayout(&dialog);
    form->addRow(QStringLiteral("Numer sektora:"), number);
    form->addRow(QStringLiteral("Typ sektora:"), type);
    form->addRow(QStringLiteral("Opis sektora:"), description);
    auto* row = new QHBoxLayout;
    row->addWidget(save);
    row->addWidget(cancel);
    form->addRow(row);
    connect(save, &QPushButton::clicked, &dialog, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted) return;
    newSector(number->text().toInt(), type->text(), description->text());
}

} // namespace k4
