#include "shell/ui/kestrel.h"

#include "baselink/trace_ring.h"
#include "baselink/ui/tech_form.h"
#include "config/config_block.h"
#include "database/text_edge.h"
#include "shell/alarm_service.h"
#include "messages/messages.h"
#include "shell/station_commands.h"
#include "shell/ui/alarms_lst_model.h"
#include "shell/ui/checking_cells.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace k4 {

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kTeal(0x00, 0x80, 0x80);

QFont windowFont() {
    QFont font;
    font.setFamilies({"MS Sans Serif", "Liberation Sans", "Arial", "DejaVu Sans"});
    font.setPixelSize(13);
    return font;
}

QFont alarmsFont() {
    QFont font;
    font.setFamilies({"Courier New", "Liberation Mono", "DejaVu Sans Mono"});
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(13);
    font.setBold(true);
    return font;
}

void paintBackground(QWidget* widget, const QColor& colour, const QColor& text = Qt::black) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

TKestrel::TKestrel(const KestrelParts& parts, QWidget* parent)
    : QWidget(parent, Qt::Window), parts_(parts) {
    setObjectName("Kestrel");
    setWindowTitle(QStringLiteral("Kestrel4"));
    setProperty("helpContext", kWindowHelpContext);
    setFixedSize(kWidth, kHeight);
    setFont(windowFont());
    paintBackground(this, kSilver);

    service_ = std::make_unique<AlarmService>(parts_.alarms, parts_.messages, parts_.alarmWindows);

    buildTools();
    buildMenus();
    buildAreas();
    buildStatusBar();

    Button1 = new QPushButton(QStringLiteral("T"), this);
    Button1->setObjectName("Button1");
    Button1->hide();
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    Button2 = new QPushButton(QStringLiteral("N"), this);
    Button2->setObjectName("Button2");
    Button2->hide();
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(kTimerMs);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    parts_.alarms.setObserver(this);
    if (parts_.blockades) {
        parts_.blockades->setObserver(this);
        refillBlockades(0);
    }
    // Every start is outside supervisor mode, with the restrictions of
    // "menus" on the operator.
    setSupervisorMenus(false);

    // The form sees every key first, whichever window has the focus: F5 and
    // F9 must reach it even from a dialog.
    qApp->installEventFilter(this);
}

TKestrel::~TKestrel() {
    qApp->removeEventFilter(this);
    Timer1->stop();
    parts_.alarms.setObserver(nullptr);
    if (parts_.blockades) parts_.blockades->setObserver(nullptr);
}

// --- construction --------------------------------------------------------

void TKestrel::buildTools() {
    CoolBar1 = new QToolBar(this);
    CoolBar1->setObjectName("CoolBar1");
    CoolBar1->setGeometry(0, 0, kWidth, 26);
    CoolBar1->setMovable(false);
    CoolBar1->setFloatable(false);
    CoolBar1->setIconSize(QSize(16, 16));
    CoolBar1->setContentsMargins(0, 0, 0, 0);
    // The menu buttons read as a menu bar: no drop-down arrows.
    CoolBar1->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));

    auto* about = new QToolButton(CoolBar1);
    about->setObjectName("ToolButton9");
    about->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
    about->setToolTip(QStringLiteral("O programie"));
    about->setAutoRaise(true);
    toolButtons_[9] = about;
    CoolBar1->addWidget(about);
    CoolBar1->addSeparator();
    // The about box belongs to later work; the button is there and does nothing yet.
    connect(about, &QToolButton::clicked, this, [this] { runMenuCommand("ToolButton9"); });

    const auto& tree = mainMenuTree();
    topHidden_.assign(tree.size(), false);
    for (size_t t = 0; t < tree.size(); ++t) {
        const int number = static_cast<int>(t) + 1;
        auto* button = new QToolButton(CoolBar1);
        button->setObjectName(QStringLiteral("ToolButton%1").arg(number));
        button->setText(QString::fromUtf8(tree[t].caption));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setAutoRaise(true);
        toolButtons_[number] = button;
        QAction* slot = CoolBar1->addWidget(button);
        slot->setObjectName(QStringLiteral("ToolBar3Slot%1").arg(number));
    }

    auto* spacer = new QWidget(CoolBar1);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    CoolBar1->addWidget(spacer);

    TimeLbl = new QLabel(QStringLiteral("Czas"), CoolBar1);
    TimeLbl->setObjectName("TimeLbl");
    // 129 pixels held the date and time in the font the station was drawn
    // for; a wider font grows the label to the left rather than cut it.
    TimeLbl->setMinimumWidth(129);
    TimeLbl->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    CoolBar1->addWidget(TimeLbl);
}

void TKestrel::buildMenus() {
    const auto& tree = mainMenuTree();
    for (size_t t = 0; t < tree.size(); ++t) {
        const TopMenuDef& top = tree[t];
        QToolButton* button = toolButtons_[static_cast<int>(t) + 1];
        if (top.items.empty()) {
            // A top entry that is itself a command ("&Pomiary", "&Nadzór").
            auto* action = new QAction(QString::fromUtf8(top.caption), this);
            action->setObjectName(QString::fromLatin1(top.name));
            action->setProperty("helpContext", top.help);
            actions_[top.name] = action;
            const std::string name = top.name;
            connect(action, &QAction::triggered, this, [this, name] { runMenuCommand(name); });
            connect(button, &QToolButton::clicked, action, &QAction::trigger);
            continue;
        }
        auto* menu = new QMenu(QString::fromUtf8(top.caption), this);
        menu->setObjectName(QString::fromLatin1(top.name));
        menu->setProperty("helpContext", top.help);
        menus_[top.name] = menu;
        for (const MenuItemDef& item : top.items) {
            QAction* action = item.separator ? menu->addSeparator() : menu->addAction(QString::fromUtf8(item.caption));
            action->setObjectName(QString::fromLatin1(item.name));
            action->setProperty("helpContext", item.help);
            action->setVisible(!item.hidden);
            actions_[item.name] = action;
            if (item.separator) continue;
            const std::string name = item.name;
            connect(action, &QAction::triggered, this, [this, name] { runMenuCommand(name); });
        }
        button->setMenu(menu);
        button->setPopupMode(QToolButton::InstantPopup);
    }

    // "&Pomiary" is hidden and disabled until the station has hydro units.
    setTopHidden(1, true);
    toolButtons_[2]->setEnabled(false);
    actions_["Obiekty1"]->setEnabled(false);
    // Items only some stations have.
    actions_["Testyodbioru1"]->setVisible(parts_.config.mode != 0);
    actions_["Diody1"]->setVisible(parts_.config.synopt_port != 0);
}

void TKestrel::buildAreas() {
    Checking = new QFrame(this);
    Checking->setObjectName("Checking");
    Checking->setGeometry(5, 29, 305, 292);
    Checking->setFrameShape(QFrame::Panel);
    Checking->setFrameShadow(QFrame::Sunken);
    paintBackground(Checking, kTeal);
    checking_ = std::make_unique<CheckingCells>(Checking);

    Blokady = new QListWidget(this);
    Blokady->setObjectName("Blokady");
    Blokady->setGeometry(5, 332, 305, 117);
    paintBackground(Blokady, kTeal, Qt::white);
    QFont blockFont = windowFont();
    Blokady->setFont(blockFont);
    Blokady->installEventFilter(this);
    connect(Blokady, &QListWidget::itemDoubleClicked, this, [this] { BlokadyDblClick(); });

    AlarmsLst = new QListView(this);
    AlarmsLst->setObjectName("AlarmsLst");
    AlarmsLst->setGeometry(320, 29, 315, 420);
    paintBackground(AlarmsLst, Qt::black, kSilver);
    AlarmsLst->setFont(alarmsFont());
    AlarmsLst->setUniformItemSizes(true);
    AlarmsLst->setSelectionMode(QAbstractItemView::SingleSelection);
    AlarmsLst->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    alarmsModel_ = new AlarmsLstModel(parts_.alarms, parts_.events, parts_.config.mode, this);
    AlarmsLst->setModel(alarmsModel_);
    AlarmsLst->setItemDelegate(new AlarmsLstDelegate(AlarmsLst));
    connect(AlarmsLst, &QListView::doubleClicked, this, [this] { AlarmsLstDblClick(); });
}

void TKestrel::buildStatusBar() {
    StatusBar1 = new QFrame(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setGeometry(5, 453, 628, 25);
    statusPanel0_ = new QLabel(StatusBar1);
    statusPanel0_->setObjectName("StatusPanel0");
    statusPanel0_->setGeometry(0, 2, 500, 21);
    statusPanel0_->setFrameShape(QFrame::Panel);
    statusPanel0_->setFrameShadow(QFrame::Sunken);
    statusPanel1_ = new QLabel(StatusBar1);
    statusPanel1_->setObjectName("StatusPanel1");
    statusPanel1_->setGeometry(502, 2, 50, 21);
    statusPanel1_->setFrameShape(QFrame::Panel);
    statusPanel1_->setFrameShadow(QFrame::Sunken);
    statusPanel1_->setAlignment(Qt::AlignCenter);
    // Panel 1 is the bold green one.
    QFont bold = windowFont();
    bold.setBold(true);
    statusPanel1_->setFont(bold);
    QPalette green = statusPanel1_->palette();
    green.setColor(QPalette::WindowText, QColor(0x00, 0x80, 0x00));
    statusPanel1_->setPalette(green);
}

// --- timer ---------------------------------------------------------------

void TKestrel::startTimer1() { Timer1->start(); }
void TKestrel::stopTimer1() { Timer1->stop(); }
bool TKestrel::timerRunning() const { return Timer1->isActive(); }

void TKestrel::Timer1Timer() {
    const bool pending = inputPending_;
    inputPending_ = false;
    parts_.station.timerTick(pending);
}

void TKestrel::showClock(const std::string& text) { TimeLbl->setText(QString::fromStdString(text)); }

// --- menus and supervisor mode --------------------------------------------

QAction* TKestrel::menuItem(const std::string& name) const {
    auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

QMenu* TKestrel::topMenu(const std::string& name) const {
    auto it = menus_.find(name);
    return it == menus_.end() ? nullptr : it->second;
}

QToolButton* TKestrel::toolButton(int number) const {
    auto it = toolButtons_.find(number);
    return it == toolButtons_.end() ? nullptr : it->second;
}

void TKestrel::offerHydroUnits() {
    // Only the tool bar slot is shown: the restrictions of "menus" were
    // written for the menus without it and keep counting it as hidden.
    for (QAction* slot : CoolBar1->actions())
        if (slot->objectName() == QStringLiteral("ToolBar3Slot2")) slot->setVisible(true);
    toolButtons_[2]->setEnabled(true);
    actions_["Obiekty1"]->setEnabled(true);
}

void TKestrel::setTopHidden(int top, bool hidden) {
    topHidden_[static_cast<size_t>(top)] = hidden;
    // A tool bar hides its widgets through their slots.
    for (QAction* slot : CoolBar1->actions())
        if (slot->objectName() == QStringLiteral("ToolBar3Slot%1").arg(top + 1)) slot->setVisible(!hidden);
}

void TKestrel::setSupervisorMenus(bool on) {
    const auto& tree = mainMenuTree();
    const int supervised = static_cast<int>(tree.size()) - 2; // "&Nadzorowane"
    setTopHidden(supervised, !on);
    setTopHidden(supervised + 1, on); // "&Nadzór"
    actions_["Demo1"]->setVisible(on);
    supervisor_ = on;
    if (!on) {
        applyMenuRestrictions();
        return;
    }
    for (int t = 0; t < supervised; ++t)
        for (const MenuItemDef& item : tree[static_cast<size_t>(t)].items) actions_[item.name]->setEnabled(true);
}

void TKestrel::applyMenuRestrictions() {
    if (supervisor_) return;
    restrictions_.load(parts_.dataDir);
    const auto& tree = mainMenuTree();
    const int restricted = static_cast<int>(tree.size()) - kUnrestrictedTopMenus;
    for (int t = 0; t < restricted; ++t) {
        const auto& items = tree[static_cast<size_t>(t)].items;
        for (int i = 0; i < static_cast<int>(items.size()); ++i)
            actions_[items[static_cast<size_t>(i)].name]->setEnabled(restrictions_.enabled(topHidden_, t, i));
    }
}

void TKestrel::Nadzr2Click() {
    if (supervisor_) return;
    if (parts_.station.enterSupervisorMode()) setSupervisorMenus(true);
}

void TKestrel::Powrt1Click() {
    if (!supervisor_) return;
    parts_.station.leaveSupervisorMode();
    setSupervisorMenus(false);
}

void TKestrel::Minimalizacja1Click() { parts_.station.minimise(); }

void TKestrel::Wyjcie1Click() {
    // Every alarm still in the list ends in the history before the run does.
    for (int i = parts_.alarms.count() - 1; i >= 0; --i) parts_.alarms.remove(i);
    Timer1->stop();
    exiting_ = true;
    parts_.station.exitStation();
}

void TKestrel::Button1Click() { parts_.trace.setEnabled(true); }
void TKestrel::Button2Click() { parts_.trace.setEnabled(false); }

void TKestrel::runMenuCommand(const std::string& name) {
    if (name == "Nadzr2") return Nadzr2Click();
    if (name == "Powrt1") return Powrt1Click();
    if (name == "Minimalizacja1") return Minimalizacja1Click();
    if (name == "Wyjcie1") return Wyjcie1Click();
    parts_.station.runCommand(name);
}

// --- alarms ----------------------------------------------------------------

void TKestrel::alarmRaised() {
    parts_.station.wakeScreen();
    alarmsModel_->lineAdded();
    AlarmsLst->setFocus();
    AlarmsLst->setCurrentIndex(alarmsModel_->index(0));
    AlarmsLst->viewport()->update();
}

void TKestrel::alarmRemoved(int index) { alarmsModel_->lineRemoved(index); }
void TKestrel::alarmChanged(int index) { alarmsModel_->lineChanged(index); }

int TKestrel::selectedAlarmLine() const {
    const QModelIndexList selected = AlarmsLst->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TKestrel::AlarmsLstDblClick() {
    // F9 from elsewhere finds the list without its highlight (it was saved
    // and cleared when the list lost the focus): with nothing selected the
    // service takes line 0, the newest alarm.
    service_->serviceSelected(selectedAlarmLine());
}

QString TKestrel::alarmLine(int line) const {
    return alarmsModel_->data(alarmsModel_->index(line), Qt::DisplayRole).toString();
}

QColor TKestrel::alarmLineColour(int line) const {
    return alarmsModel_->data(alarmsModel_->index(line), AlarmsLstModel::kColourRole).value<QColor>();
}

int TKestrel::alarmLineCount() const { return alarmsModel_->rowCount(); }

// --- blockades -------------------------------------------------------------

void TKestrel::refillBlockades(int select) {
    Blokady->clear();
    if (!parts_.blockades) return;
    for (int i = 0; i < parts_.blockades->count(); ++i)
        Blokady->addItem(QString::fromStdString(parts_.blockades->lineText(i)).left(99));
    if (select >= 0 && select < Blokady->count()) Blokady->setCurrentRow(select);
}

void TKestrel::blockadesLoaded() { refillBlockades(0); }
void TKestrel::blockadeAdded(int index) { refillBlockades(index); }
void TKestrel::blockadeRemoved(int index) {
    refillBlockades(index < Blokady->count() - 1 ? index : index - 1);
}

void TKestrel::BlokadyDblClick() {
    if (!parts_.blockades) return;
    int line = Blokady->currentRow();
    if (line < 0 && !Blokady->hasFocus()) line = blokadySavedSelection_;
    if (parts_.messages.AskYesNo(mz("\x03" "Odblokować abonenta?")) != kResultYes) return;
    parts_.blockades->removeAt(line);
}

QString TKestrel::blockadeLine(int line) const {
    QListWidgetItem* item = Blokady->item(line);
    return item ? item->text() : QString();
}

int TKestrel::blockadeLineCount() const { return Blokady->count(); }

// --- keys, focus, closing --------------------------------------------------

void TKestrel::TechFormOpen() {
    if (techOpen_) return;
    techOpen_ = true;
    ++techOpened_;
    {
        TTechForm form(parts_.trace, parts_.scheduler, parts_.clock, this);
        form.exec();
    }
    techOpen_ = false;
}

bool TKestrel::previewKey(QObject* watched, QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers();
    switch (key->key()) {
    case Qt::Key_F5:
        TechFormOpen();
        return true;
    case Qt::Key_F9:
        AlarmsLstDblClick();
        return true;
    case Qt::Key_Space:
        if (mods & (Qt::ControlModifier | Qt::AltModifier)) return false;
        if (watched == AlarmsLst) {
            AlarmsLstDblClick();
            return true;
        }
        if (watched == Blokady) {
            BlokadyDblClick();
            return true;
        }
        // Space anywhere else silences the alarm sound and goes on to its field.
        // (Once, at the field itself, not again at each parent it passes.)
        if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->window()->focusWidget() == widget)
            parts_.station.silenceAlarm();
        return false;
    // The keys that would take the operator out of the station.
    case Qt::Key_Tab:
        return (mods & Qt::AltModifier) != 0;
    case Qt::Key_Escape:
        return (mods & (Qt::ControlModifier | Qt::AltModifier)) != 0;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return true;
    default:
        return false;
    }
}

bool TKestrel::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        // Each key is looked at once, at the widget it is meant for.
        if (!watched->isWidgetType() || exiting_) break;
        inputPending_ = true;
        if (previewKey(watched, static_cast<QKeyEvent*>(event))) return true;
        break;
    case QEvent::MouseButtonPress:
        if (watched->isWidgetType()) inputPending_ = true;
        break;
    case QEvent::FocusOut:
        // No line stays highlighted in a list the operator has left.
        if (watched == AlarmsLst) {
            alarmsSavedSelection_ = selectedAlarmLine();
            AlarmsLst->clearSelection();
        } else if (watched == Blokady) {
            blokadySavedSelection_ = Blokady->currentRow();
            Blokady->clearSelection();
        }
        break;
    case QEvent::FocusIn:
        if (watched == AlarmsLst && alarmsSavedSelection_ >= 0 && alarmsSavedSelection_ < alarmLineCount())
            AlarmsLst->setCurrentIndex(alarmsModel_->index(alarmsSavedSelection_));
        else if (watched == Blokady && blokadySavedSelection_ >= 0 && blokadySavedSelection_ < Blokady->count())
            Blokady->setCurrentRow(blokadySavedSelection_);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TKestrel::keyPressEvent(QKeyEvent* event) {
    if (!previewKey(this, event)) QWidget::keyPressEvent(event);
}

void TKestrel::closeEvent(QCloseEvent* event) {
    // Only "&Wyjście" ends the station; the window manager's close does not.
    if (exiting_) event->accept();
    else event->ignore();
}

} // namespace k4
