#include "database/ui/arms_form.h"

#include "database/armers_lst.h"
#include "database/field_text.h"
#include "database/lines_list.h"
#include "database/subscriber_database.h"
#include "database/subsys_lst.h"
#include "database/text_edge.h"
#include "messages/messages.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

QString shown(const std::string& mazovia) { return QString::fromStdString(Utf8FromMazovia(mazovia)); }

const char* const kDayNames[kScheduleDays] = {"poniedziałek", "wtorek", "środa", "czwartek", "piątek",
                                               "sobota", "niedziela", "święto"};

QRegularExpressionValidator* digitsOnly(QObject* parent, const char* pattern) {
    return new QRegularExpressionValidator(QRegularExpression(QString::fromLatin1(pattern)), parent);
}

// The time columns take "HH:MM", the delay columns three digits.
class WeekCellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        auto* editor = qobject_cast<QLineEdit*>(QStyledItemDelegate::createEditor(parent, option, index));
        if (!editor) return nullptr;
        const bool time = index.column() == 1 || index.column() == 3;
        if (time) editor->setInputMask(QStringLiteral("99:99;_"));
        else editor->setValidator(digitsOnly(editor, "[0-9]{0,3}"));
        return editor;
    }
};

QTableWidgetItem* fixedItem(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    return item;
}

} // namespace

TArmerForm::TArmerForm(QWidget* parent) : QDialog(parent) {
    setObjectName("ArmerForm");
    setWindowTitle(QString::fromUtf8("Załączający"));
    ArmerNo = new QLineEdit(this);
    ArmerNo->setMaxLength(4);
    ArmerNo->setValidator(digitsOnly(ArmerNo, "[0-9]*"));
    Lines = new QListWidget(this);
    for (int p = 0; p < kArmPositions; ++p) {
        auto* item = new QListWidgetItem(QString::number(p), Lines);
        item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        item->setCheckState(Qt::Unchecked);
    }
    auto* save = new QPushButton(QStringLiteral("&Zapisz"), this);
    auto* cancel = new QPushButton(QString::fromUtf8("&Porzuć"), this);
    connect(save, &QPushButton::clicked, this, &TArmerForm::ZapiszClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Kod:"), ArmerNo);
    form->addRow(QStringLiteral("Podsystemy:"), Lines);
    auto* row = new QHBoxLayout;
    row->addWidget(save);
    row->addWidget(cancel);
    form->addRow(row);
}

void TArmerForm::ZapiszClick() {
    code = ArmerNo->text().isEmpty() ? 0 : std::min(ArmerNo->text().toInt(), 32767);
    mask = 0;
    for (int p = 0; p < kArmPositions; ++p)
        if (Lines->item(p)->checkState() == Qt::Checked) mask = static_cast<uint16_t>(mask | 1u << p);
    accept();
}

TSubsysForm::TSubsysForm(const ArmingSchedule& schedule, bool used, QWidget* parent) : QDialog(parent) {
    setObjectName("SubsysForm");
    setWindowTitle(QStringLiteral("Podsystem"));
    const bool panel = !used || (schedule.identification & kPanelSubsystemBit);
    Numer = new QLineEdit(this);
    Numer->setMaxLength(3);
    Numer->setValidator(digitsOnly(Numer, "[0-9]*"));
    if (used && panel) Numer->setText(QString::number(schedule.identification & 0x7F));
    Kompatybilna = new QCheckBox(QString::fromUtf8("(S) Wersja kompatybilna wstecz"), this);
    Kompatybilna->setChecked(!panel);
    Nazwa = new QLineEdit(this);
    Nazwa->setMaxLength(10);
    if (!panel) Nazwa->setText(shown(fieldText(schedule.name)));
    Pozycja = new QLineEdit(this);
    Pozycja->setMaxLength(1);
    Pozycja->setValidator(digitsOnly(Pozycja, "[0-9]"));
    auto* save = new QPushButton(QStringLiteral("&Zapisz"), this);
    auto* remove = new QPushButton(QString::fromUtf8("&Usuń"), this);
    auto* copy = new QPushButton(QStringLiteral("&Kopiuj do pozycji:"), this);
    auto* cancel = new QPushButton(QString::fromUtf8("&Porzuć"), this);
    connect(save, &QPushButton::clicked, this, [this] { done(Saved); });
    connect(remove, &QPushButton::clicked, this, [this] { done(Removed); });
    connect(copy, &QPushButton::clicked, this, [this] {
        if (!Pozycja->text().isEmpty()) done(Copied);
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Numer podsystemu w centrali:"), Numer);
    form->addRow(Kompatybilna);
    form->addRow(QStringLiteral("Nazwa:"), Nazwa);
    form->addRow(copy, Pozycja);
    auto* row = new QHBoxLayout;
    for (QPushButton* b : {save, remove, cancel}) row->addWidget(b);
    form->addRow(row);
}

uint8_t TSubsysForm::identification(int position) const {
    if (Kompatybilna->isChecked()) return static_cast<uint8_t>(position);
    return static_cast<uint8_t>(kPanelSubsystemBit | (std::min(Numer->text().toInt(), 127) & 0x7F));
}
QString TSubsysForm::name() const { return Nazwa->text(); }
int TSubsysForm::copyTarget() const { return Pozycja->text().isEmpty() ? -1 : Pozycja->text().toInt(); }

TArms::TArms(SubscriberDatabase& database, bool edit, SubscriberRecord& record, QWidget* parent)
    : QDialog(parent), database_(database), edit_(edit), record_(record),
      plans_(std::make_unique<SubsysLst>(database.files(), record.arm_plans)),
      armers_(std::make_unique<ArmersLst>(record.armers, !edit)) {
    setObjectName("Arms");
    setWindowTitle(QString::fromUtf8("Wyłączenia/Załączenia"));
    resize(563, 305);

    SubsysLB = new QListWidget(this);
    WeekGrid = new QTableWidget(kScheduleDays + 1, 6, this);
    WeekGrid->setObjectName("WeekGrid");
    WeekGrid->horizontalHeader()->hide();
    WeekGrid->verticalHeader()->hide();
    const int widths[6] = {64, 64, 46, 64, 46, 35};
    for (int c = 0; c < 6; ++c) WeekGrid->setColumnWidth(c, widths[c]);
    const char* heads[6] = {"", "Wyłączenie", "Zwłoka", "Załączenie", "Zwłoka", "Pomiń"};
    for (int c = 0; c < 6; ++c) WeekGrid->setItem(0, c, fixedItem(QString::fromUtf8(heads[c])));
    for (int d = 0; d < kScheduleDays; ++d) WeekGrid->setItem(d + 1, 0, fixedItem(QString::fromUtf8(kDayNames[d])));
    WeekGrid->setItemDelegate(new WeekCellDelegate(WeekGrid));
    WeekGrid->setEditTriggers(edit ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                         QAbstractItemView::AnyKeyPressed
                                   : QAbstractItemView::NoEditTriggers);

    Grid = new QTableWidget(1, kArmPositions + 1, this);
    Grid->setObjectName("Grid");
    Grid->horizontalHeader()->hide();
    Grid->verticalHeader()->hide();
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setItem(0, 0, fixedItem(QStringLiteral("Kod")));
    for (int p = 0; p < kArmPositions; ++p) Grid->setItem(0, p + 1, fixedItem(QString::number(p)));
    Grid->resizeColumnsToContents();

    NewBtn = new QPushButton(QStringLiteral("&Nowy kod"), this);
    DelBtn = new QPushButton(QString::fromUtf8("&Usuń kod"), this);
    SaveBtn = new QPushButton(QStringLiteral("&Koniec zmian"), this);
    EndBtn = new QPushButton(QStringLiteral("&Koniec"), this);
    for (QPushButton* b : {NewBtn, DelBtn, SaveBtn}) b->setVisible(edit);
    EndBtn->setVisible(!edit);
    (edit ? SaveBtn : EndBtn)->setDefault(true);
    connect(NewBtn, &QPushButton::clicked, this, &TArms::NewBtnClick);
    connect(DelBtn, &QPushButton::clicked, this, &TArms::DelBtnClick);
    connect(SaveBtn, &QPushButton::clicked, this, &TArms::SaveBtnClick);
    connect(EndBtn, &QPushButton::clicked, this, [this] { done(kArmsEnded); });

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Podsystemy"), this), 0, 0);
    grid->addWidget(SubsysLB, 1, 0, 2, 1);
    grid->addWidget(WeekGrid, 1, 1);
    grid->addWidget(Grid, 2, 1);
    auto* row = new QHBoxLayout;
    for (QPushButton* b : {NewBtn, DelBtn, SaveBtn, EndBtn}) row->addWidget(b);
    grid->addLayout(row, 3, 0, 1, 2);

    connect(SubsysLB, &QListWidget::currentRowChanged, this, [this](int r) {
        if (!filling_ && r >= 0) SubsysLBClick(r);
    });
    connect(SubsysLB, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        if (!filling_) SubsysLBClickCheck(SubsysLB->row(item));
    });
    connect(SubsysLB, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { SubsysLBDblClick(SubsysLB->row(item)); });
    connect(WeekGrid, &QTableWidget::cellDoubleClicked, this, [this](int r, int c) {
        if (c == 5) WeekGridToggle(r, c);
    });
    connect(WeekGrid, &QTableWidget::currentCellChanged, this, [this](int, int c, int, int) {
        // The skip column is toggled, never typed into.
        if (edit_)
            WeekGrid->setEditTriggers(c == 5 ? QAbstractItemView::NoEditTriggers
                                             : QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                                   QAbstractItemView::AnyKeyPressed);
    });
    connect(WeekGrid, &QTableWidget::cellChanged, this, [this](int r, int c) {
        if (!filling_ && (c == 1 || c == 3)) WeekGridSetEditText(r, c, WeekGrid->item(r, c)->text());
    });
    connect(Grid, &QTableWidget::cellDoubleClicked, this, &TArms::GridToggle);
    WeekGrid->installEventFilter(this);
    Grid->installEventFilter(this);

    fillArmers();
    fillPositions();
    filling_ = true;
    SubsysLB->setCurrentRow(0);
    filling_ = false;
    SubsysLBClick(0);
}

TArms::~TArms() = default;

bool TArms::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        if (watched == WeekGrid && WeekGrid->currentColumn() == 5) {
            WeekGridToggle(WeekGrid->currentRow(), 5);
            return true;
        }
        if (watched == Grid) {
            GridToggle(Grid->currentRow(), Grid->currentColumn());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TArms::fillPositions() {
    filling_ = true;
    SubsysLB->clear();
    LinesList lines(database_.files(), record_.lines);
    for (int p = 0; p < kArmPositions; ++p) {
        char text[64];
        const int32_t at = plans_->Item(p);
        if (at == 0 || plans_->ReadPosition(p) != 0) {
            std::snprintf(text, sizeof text, ".........");
        } else if (plans_->schedule().identification & kPanelSubsystemBit) {
            const int number = plans_->schedule().identification & 0x7F;
            std::string description;
            const int index = lines.usable() ? lines.Find(number) : -1;
            if (index >= 0 && lines.ReadIndex(index) == 0) description = fieldText(lines.subsystem().line_desc);
            if (description.empty()) description = "BRAK OPISU PODSYSTEMU";
            std::snprintf(text, sizeof text, "%2.2d %.32s", number, description.c_str());
        } else {
            std::snprintf(text, sizeof text, "%2.2d (S) %.10s", p, fieldText(plans_->schedule().name).c_str());
        }
        auto* item = new QListWidgetItem(shown(text), SubsysLB);
        item->setFlags(edit_ ? Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable
                             : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState((record_.arm_mask >> p) & 1 ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
}

void TArms::fillWeek() {
    filling_ = true;
    const WeekCells texts = weekCellsOf(copy_);
    for (int d = 0; d < kScheduleDays; ++d)
        for (int c = 0; c < kWeekColumns; ++c) {
            const QString text = shown_ == 255 ? QString() : QString::fromStdString(texts[d][c]);
            auto* item = new QTableWidgetItem(text);
            item->setFlags(edit_ && c < 4 ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable
                                          : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            WeekGrid->setItem(d + 1, c + 1, item);
        }
    filling_ = false;
}

WeekCells TArms::cells() const {
    WeekCells c;
    for (int d = 0; d < kScheduleDays; ++d)
        for (int k = 0; k < kWeekColumns; ++k) {
            const QTableWidgetItem* item = WeekGrid->item(d + 1, k + 1);
            c[d][k] = item ? item->text().toStdString() : std::string();
        }
    return c;
}

void TArms::SubsysLBClick(int row) {
    if (shown_ != 255 && row != shown_) storeWeekGrid();
    if (row == shown_) return;
    if (plans_->Item(row) == 0 || plans_->ReadPosition(row) != 0) {
        // A schedule that cannot be read shows as none.
        shown_ = 255;
        copy_ = ArmingSchedule{};
        fillWeek();
        return;
    }
    ArmingSchedule& schedule = plans_->schedule();
    if (!(schedule.identification & kPanelSubsystemBit)) schedule.identification = static_cast<uint8_t>(row);
    copy_ = schedule;
    shown_ = row;
    fillWeek();
}

void TArms::storeWeekGrid() {
    if (!edit_ || shown_ == 255) return;
    ArmingSchedule result{};
    if (storeWeekCells(copy_, cells(), result) != WeekStore::Changed) return;
    if (database_.messages().AskYesNo(mz("\x03" "Dane zostały zmienione!\nZapisać je?")) != kResultYes) return;
    // The buffer must be the shown position's record before it is written
    // back: another position may have been read into it meanwhile.
    if (plans_->ReadPosition(shown_) != 0) {
        database_.messages().ShowNotice(mz("\x03odczytu danych o Wyłączeniach/Załączeniach"), kNoticeError);
        return;
    }
    plans_->schedule() = result;
    if (plans_->Rewrite() != 0) {
        database_.messages().ShowNotice(mz("\x03zapisu danych o Wyłączeniach/Załączeniach"), kNoticeError);
        return;
    }
    copy_ = result;
    changed_ = true;
}

void TArms::WeekGridToggle(int row, int column) {
    if (!edit_ || column != 5 || row < 1 || shown_ == 255) return;
    QTableWidgetItem* item = WeekGrid->item(row, column);
    filling_ = true;
    item->setText(item->text().isEmpty() ? QString::fromLatin1(kSkipMark) : QString());
    filling_ = false;
}

void TArms::WeekGridSetEditText(int row, int column, const QString& text) {
    if (row < 1 || (column != 1 && column != 3)) return;
    if (timeCellRefused(text.toStdString()))
        database_.messages().ShowNotice(mz("\x03Niepoprawna godzina"), kNoticeInfo);
}

void TArms::fillArmers() {
    Grid->setRowCount(1 + armers_->Count());
    for (int i = 0; i < armers_->Count(); ++i) {
        char code[8];
        std::snprintf(code, sizeof code, "%3.3d", static_cast<int>(armers_->Item(i).code));
        Grid->setItem(i + 1, 0, fixedItem(QString::fromLatin1(code)));
        for (int p = 0; p < kArmPositions; ++p)
            Grid->setItem(i + 1, p + 1,
                          fixedItem((armers_->Item(i).mask >> p) & 1 ? QStringLiteral("X") : QString()));
    }
}

void TArms::storeArmersMarks() {
    std::vector<std::array<bool, kArmPositions>> marks(static_cast<size_t>(armers_->Count()));
    for (int i = 0; i < armers_->Count(); ++i)
        for (int p = 0; p < kArmPositions; ++p) {
            const QTableWidgetItem* item = Grid->item(i + 1, p + 1);
            marks[static_cast<size_t>(i)][static_cast<size_t>(p)] = item && !item->text().isEmpty();
        }
    storeArmersGrid(*armers_, marks);
}

void TArms::GridToggle(int row, int column) {
    // Only the data area: below the header row, right of the codes.
    if (!edit_ || row < 1 || column < 1) return;
    QTableWidgetItem* item = Grid->item(row, column);
    if (item) item->setText(item->text().isEmpty() ? QStringLiteral("X") : QString());
}

void TArms::addArmer(int code, uint16_t mask) {
    if (code == 0) return;
    // Marks toggled in the grid so far are kept before it is filled again.
    storeArmersMarks();
    const int before = armers_->Count();
    const int index = armers_->AddCode(code);
    if (index >= 0 && armers_->Count() > before) armers_->Item(index).mask = mask;
    fillArmers();
}

void TArms::NewBtnClick() {
    TArmerForm form(this);
    if (form.exec() == QDialog::Accepted) addArmer(form.code, form.mask);
}

void TArms::DelBtnClick() {
    const int row = Grid->currentRow();
    if (!edit_ || row < 1 || row > armers_->Count()) return;
    storeArmersMarks();
    armers_->Remove(row - 1);
    fillArmers();
}

void TArms::SaveBtnClick() {
    storeWeekGrid();
    storeArmersMarks();
    done(kArmsSaved);
}

void TArms::SubsysLBClickCheck(int row) {
    if (row < 0 || row >= kArmPositions) return;
    QListWidgetItem* item = SubsysLB->item(row);
    const bool ticked = plans_->TickPosition(row, item->checkState() == Qt::Checked, record_.arm_mask);
    filling_ = true;
    item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    filling_ = false;
}

void TArms::SubsysLBDblClick(int row) {
    if (!edit_ || row < 0 || row >= kArmPositions) return;
    storeWeekGrid();
    const bool used = plans_->ReadPosition(row) == 0;
    TSubsysForm form(plans_->schedule(), used, this);
    const int outcome = form.exec();
    if (outcome == QDialog::Rejected) return;
    positionOutcome(row, outcome, form.identification(row), form.name(), form.copyTarget());
}

void TArms::positionOutcome(int row, int outcome, uint8_t identification, const QString& name, int copyTarget) {
    if (outcome == TSubsysForm::Saved) {
        // The schedule saved is the one on screen, or an empty week for a
        // position without one.
        if (plans_->ReadPosition(row) != 0) plans_->clearBuffer();
        ArmingSchedule& schedule = plans_->schedule();
        std::memset(schedule.name, 0, sizeof schedule.name);
        if (!(identification & kPanelSubsystemBit)) {
            const std::string text = MazoviaFromUtf8(name.toStdString());
            std::memcpy(schedule.name, text.data(), std::min(text.size(), sizeof schedule.name));
        }
        if (plans_->SavePosition(row, identification) == 0) changed_ = true;
    } else if (outcome == TSubsysForm::Removed) {
        if (plans_->RemovePosition(row, record_.arm_mask) == 0) changed_ = true;
    } else if (outcome == TSubsysForm::Copied) {
        if (plans_->CopyToPosition(row, copyTarget) == 0) changed_ = true;
    }
    fillPositions();
    filling_ = true;
    SubsysLB->setCurrentRow(row);
    filling_ = false;
    shown_ = 255;
    SubsysLBClick(row);
}

} // namespace k4
