#include "config/ui/config_form_dialog.h"

#include "config/ui/base_conf_form.h"
#include "net/ui/ip_form.h"

#include "database/text_edge.h"
#include "messages/messages.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cstdio>
#include <cstring>

namespace k4 {

namespace {

QString shown(const std::string& mazovia) { return QString::fromStdString(Utf8FromMazovia(mazovia)); }
std::string stored(const QString& text) { return MazoviaFromUtf8(text.toStdString()); }

QComboBox* portChoice(QWidget* parent, bool withNone) {
    auto* box = new QComboBox(parent);
    if (withNone) box->addItem(QStringLiteral("BRAK"));
    for (int i = 1; i <= 4; ++i) box->addItem(QStringLiteral("COM%1").arg(i));
    return box;
}

QGroupBox* speedGroup(QWidget* parent, QButtonGroup*& group) {
    auto* box = new QGroupBox(QStringLiteral("Prędk. połącz."), parent);
    auto* layout = new QHBoxLayout(box);
    group = new QButtonGroup(box);
    const char* speeds[] = {"2400", "4800", "9600"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(QString::fromLatin1(speeds[i]), box);
        group->addButton(b, i);
        layout->addWidget(b);
    }
    return box;
}

void choose(QButtonGroup* group, int id) {
    if (QAbstractButton* b = group->button(id)) b->setChecked(true);
}

} // namespace

TConfigForm::TConfigForm(ConfigBlock& live, std::vector<MenuCopyTop> menus, const DataDir& dir, Messages& messages,
                         std::function<bool(const ConfigBlock&)> apply, QWidget* parent)
    : QDialog(parent), live_(live), copy_(live), menus_(std::move(menus)), dir_(dir), messages_(messages),
      apply_(std::move(apply)) {
    setObjectName(QStringLiteral("ConfigForm"));
    setWindowTitle(QStringLiteral("Konfiguracja"));
    // The base entries 0 and 1 are the two serial base links, whatever the
    // file says.
    live_.bases[0].rsLink = 2;
    live_.bases[1].rsLink = 3;
    copy_.bases[0].rsLink = 2;
    copy_.bases[1].rsLink = 3;

    auto* grid = new QGridLayout(this);
    Bazy = new QTabBar(this);
    Bazy->setObjectName(QStringLiteral("Bazy"));
    for (const char* t : {"Standard", "Nadawcza", "Odbiorcza", "Std/Odb"}) Bazy->addTab(QString::fromUtf8(t));
    grid->addWidget(Bazy, 0, 0, 1, 4);

    auto* ports = new QGroupBox(QStringLiteral("Porty"), this);
    auto* portsLayout = new QGridLayout(ports);
    InterPort = portChoice(ports, false);
    DataPort = portChoice(ports, false);
    portsLayout->addWidget(new QLabel(QStringLiteral("Port Interface"), ports), 0, 0);
    portsLayout->addWidget(InterPort, 0, 1);
    portsLayout->addWidget(new QLabel(QStringLiteral("Port Danych"), ports), 1, 0);
    portsLayout->addWidget(DataPort, 1, 1);
    grid->addWidget(ports, 1, 0);

    BaseGroup = new QGroupBox(QStringLiteral("Bazy odbiorcze"), this);
    auto* baseLayout = new QGridLayout(BaseGroup);
    Base1Label = new QLabel(QStringLiteral("Baza odbiorcza 1"), BaseGroup);
    Base2Label = new QLabel(QStringLiteral("Baza odbiorcza 2"), BaseGroup);
    Base1 = portChoice(BaseGroup, true);
    Base2 = portChoice(BaseGroup, true);
    baseLayout->addWidget(Base1Label, 0, 0);
    baseLayout->addWidget(Base1, 0, 1);
    baseLayout->addWidget(speedGroup(BaseGroup, Speed1), 0, 2);
    baseLayout->addWidget(Base2Label, 1, 0);
    baseLayout->addWidget(Base2, 1, 1);
    baseLayout->addWidget(speedGroup(BaseGroup, Speed2), 1, 2);
    Synopt = new QCheckBox(QStringLiteral("Tab. synopt."), BaseGroup);
    baseLayout->addWidget(Synopt, 2, 0);
    BaseList = new QListWidget(BaseGroup);
    BaseList->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    baseLayout->addWidget(new QLabel(QStringLiteral("Retr.  IP GPRS/Tel. GSM  Potw.GSM  Konw."), BaseGroup), 3, 0, 1, 3);
    baseLayout->addWidget(BaseList, 4, 0, 1, 3);
    grid->addWidget(BaseGroup, 1, 1, 3, 3);

    auto* options = new QGroupBox(QStringLiteral("Opcje"), this);
    auto* optionsLayout = new QVBoxLayout(options);
    Gsm = new QGroupBox(QStringLiteral("GSM"), options);
    Gsm->setCheckable(true);
    Otr = new QGroupBox(QStringLiteral("OTR"), options);
    Otr->setCheckable(true);
    OptionBox = new QCheckBox(QStringLiteral("Konw. wewn."), options);
    NoIncomplete = new QCheckBox(QStringLiteral("Brak Niepełnych ..."), options);
    LinkNa = new QCheckBox(QStringLiteral("Link NA"), options);
    MultiBlock = new QCheckBox(QStringLiteral("Blok wielok. al."), options);
    for (QWidget* w : std::initializer_list<QWidget*>{Gsm, Otr, OptionBox, NoIncomplete, LinkNa, MultiBlock})
        optionsLayout->addWidget(w);
    grid->addWidget(options, 2, 0);

    auto* delays = new QGroupBox(QStringLiteral("Zwłoki"), this);
    auto* delaysLayout = new QGridLayout(delays);
    const std::pair<const char*, QLineEdit**> edits[] = {{"Zwłoka odb.", &TicksDelayME},
                                                          {"Zwłoka nad.", &SetDelayME},
                                                          {"Alarm br. linii", &NoLineDelayME},
                                                          {"Zwłoka pow.", &IfFireDelayME}};
    int row = 0;
    for (const auto& [caption, edit] : edits) {
        *edit = new QLineEdit(delays);
        delaysLayout->addWidget(new QLabel(QString::fromUtf8(caption), delays), row, 0);
        delaysLayout->addWidget(*edit, row++, 1);
    }
    TicksDelayME->setObjectName(QStringLiteral("TicksDelayME"));
    SetDelayME->setObjectName(QStringLiteral("SetDelayME"));
    NoLineDelayME->setObjectName(QStringLiteral("NoLineDelayME"));
    IfFireDelayME->setObjectName(QStringLiteral("IfFireDelayME"));
    grid->addWidget(delays, 3, 0);

    Autosave = new QCheckBox(QStringLiteral("Katalog zrzutu automatycznego"), this);
    AutosaveDir = new QLineEdit(this);
    AutosaveDir->setMaxLength(59);
    Town = new QLineEdit(this);
    Town->setMaxLength(41);
    RecvIp = new QLineEdit(this);
    RecvMark = new QComboBox(this);
    RecvMark->addItems({QStringLiteral("0"), QStringLiteral("F")});
    grid->addWidget(Autosave, 4, 0);
    grid->addWidget(AutosaveDir, 4, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Miejscowość"), this), 5, 0);
    grid->addWidget(Town, 5, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Program odbiorczy"), this), 6, 0);
    grid->addWidget(RecvIp, 6, 1, 1, 2);
    grid->addWidget(RecvMark, 6, 3);

    Menus = new QTreeWidget(this);
    Menus->setHeaderHidden(true);
    for (const MenuCopyTop& top : menus_) {
        auto* topItem = new QTreeWidgetItem(Menus, {QString::fromStdString(top.caption).remove('&')});
        for (const MenuCopyItem& item : top.items) {
            auto* child = new QTreeWidgetItem(topItem, {QString::fromStdString(item.caption).remove('&')});
            child->setCheckState(0, item.checked ? Qt::Checked : Qt::Unchecked);
            child->setHidden(item.hidden);
        }
    }
    Menus->expandAll();
    grid->addWidget(Menus, 7, 0, 1, 4);

    SetBtn = new QPushButton(QStringLiteral("&Ustaw"), this);
    AutotestBtn = new QPushButton(QStringLiteral("Autotest portów"), this);
    EthBtn = new QPushButton(QStringLiteral("Pakiety Eth"), this);
    CancelBtn = new QPushButton(QStringLiteral("&Porzuć"), this);
    // The port search belongs to the station's module bus; a dialog not
    // given it (the tests') has the button unusable.
    AutotestBtn->setEnabled(false);
    connect(EthBtn, &QPushButton::clicked, this, [this] {
        TIpForm form(dir_, messages_, this);
        form.exec();
    });
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {SetBtn, AutotestBtn, EthBtn, CancelBtn}) buttons->addWidget(b);
    grid->addLayout(buttons, 8, 0, 1, 4);

    show(ConfigFormState::fromBlock(copy_));
    fillBaseList();

    connect(Bazy, &QTabBar::currentChanged, this, &TConfigForm::tabChanged);
    connect(NoIncomplete, &QCheckBox::toggled, this, &TConfigForm::noIncompleteToggled);
    connect(IfFireDelayME, &QLineEdit::editingFinished, this,
            [this] { IfFireDelayME->setText(QString::fromStdString(correctedRepeatDelay(IfFireDelayME->text().toStdString()))); });
    connect(SetBtn, &QPushButton::clicked, this, &TConfigForm::SetBtnClick);
    connect(BaseList, &QListWidget::itemDoubleClicked, this, [this] { BaseListDblClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(AutotestBtn, &QPushButton::clicked, this, &TConfigForm::AutotestBtnClick);
}

QString TConfigForm::baseLine(int i, const BaseEntry& e) {
    char radio[8] = "";
    if (e.radio != 0) std::snprintf(radio, sizeof radio, "%2.2x", e.radio);
    char line[128];
    const std::string name(e.name, strnlen(e.name, sizeof e.name));
    if (e.gprsAddress[0] != 0) {
        std::snprintf(line, sizeof line, "%02d %-10.10s  %2.2s %3.3d.%3.3d.%3.3d.%3.3d", i + 1, name.c_str(), radio,
                      e.gprsAddress[0], e.gprsAddress[1], e.gprsAddress[2], e.gprsAddress[3]);
    } else {
        const std::string gsm(e.gsmNumber, strnlen(e.gsmNumber, sizeof e.gsmNumber));
        std::snprintf(line, sizeof line, "%02d %-10.10s  %2.2s  %10.10s    ", i + 1, name.c_str(), radio, gsm.c_str());
    }
    std::string text = line;
    char param[16];
    if (e.gsmParam != 0) {
        std::snprintf(param, sizeof param, "   %1.1d   ", e.gsmParam);
        text += param;
    } else {
        text += std::string(7, ' ');
    }
    text += (e.flags & 0x10) ? "    X   " : std::string(8, ' ');
    return shown(text);
}

void TConfigForm::BaseListDblClick() {
    const int row = BaseList->currentRow();
    if (row < 0 || row >= kBaseEntries) return;
    TBaseConfForm entry(copy_.bases[row], static_cast<int16_t>(copy_.mode), messages_, this);
    entry.exec();
    fillBaseList();
    BaseList->setCurrentRow(row);
}

void TConfigForm::fillBaseList() {
    BaseList->clear();
    for (int i = 0; i < kBaseEntries; ++i) BaseList->addItem(baseLine(i, copy_.bases[i]));
}

void TConfigForm::show(const ConfigFormState& s) {
    filling_ = true;
    Bazy->setCurrentIndex(s.tab);
    InterPort->setCurrentIndex(s.interPort);
    DataPort->setCurrentIndex(s.dataPort);
    Base1->setCurrentIndex(s.base1);
    Base2->setCurrentIndex(s.base2);
    choose(Speed1, s.speed1);
    choose(Speed2, s.speed2);
    Gsm->setChecked(s.gsm);
    Otr->setChecked(s.otr);
    OptionBox->setChecked(s.optionBox);
    NoIncomplete->setChecked(s.noIncomplete);
    LinkNa->setChecked(s.linkNa);
    MultiBlock->setChecked(s.multiAlarmBlock);
    TicksDelayME->setText(QString::fromStdString(s.recvDelay));
    SetDelayME->setText(QString::fromStdString(s.sendDelay));
    NoLineDelayME->setText(QString::fromStdString(s.noLineDelay));
    IfFireDelayME->setText(QString::fromStdString(s.repeatDelay));
    Autosave->setChecked(s.autosave);
    AutosaveDir->setText(shown(s.autosaveDir));
    Town->setText(shown(s.town));
    RecvIp->setText(QString::fromStdString(s.recvIp));
    RecvMark->setCurrentIndex(s.recvMarkF ? 1 : 0);
    Synopt->setChecked(s.synopt);

    const bool receiving = s.tab == kTabReceiving;
    const bool sendingNames = s.tab == kTabSending;
    OptionBox->setText(s.tab == kTabStandard || s.tab == kTabStdRecv ? QStringLiteral("Konw. wewn.")
                                                                     : QStringLiteral("Typ testu (AA)"));
    InterPort->setEnabled(!receiving);
    DataPort->setEnabled(!receiving);
    BaseGroup->setEnabled(s.tab != kTabStandard);
    if (s.tab != kTabStandard) {
        BaseGroup->setTitle(sendingNames ? QStringLiteral("Bazy odbiorcze") : QStringLiteral("Bazy nadawcze"));
        Base1Label->setText(sendingNames ? QStringLiteral("Baza odbiorcza 1") : QStringLiteral("Baza nadawcza 1"));
        Base2Label->setText(sendingNames ? QStringLiteral("Baza odbiorcza 2") : QStringLiteral("Baza nadawcza 2"));
    }
    Synopt->setEnabled(!receiving);
    BaseList->setEnabled(!receiving);
    NoLineDelayME->setEnabled(!receiving);
    LinkNa->setEnabled(!receiving);
    filling_ = false;
}

ConfigFormState TConfigForm::read() const {
    ConfigFormState s;
    s.tab = Bazy->currentIndex();
    s.interPort = InterPort->currentIndex();
    s.dataPort = DataPort->currentIndex();
    s.base1 = Base1->currentIndex();
    s.base2 = Base2->currentIndex();
    s.speed1 = Speed1->checkedId() < 0 ? 0 : Speed1->checkedId();
    s.speed2 = Speed2->checkedId() < 0 ? 0 : Speed2->checkedId();
    s.gsm = Gsm->isChecked();
    s.otr = Otr->isChecked();
    s.optionBox = OptionBox->isChecked();
    s.noIncomplete = NoIncomplete->isChecked();
    s.linkNa = LinkNa->isChecked();
    s.multiAlarmBlock = MultiBlock->isChecked();
    s.recvDelay = TicksDelayME->text().toStdString();
    s.sendDelay = SetDelayME->text().toStdString();
    s.noLineDelay = NoLineDelayME->text().toStdString();
    s.repeatDelay = IfFireDelayME->text().toStdString();
    s.autosave = Autosave->isChecked();
    s.autosaveDir = stored(AutosaveDir->text());
    s.town = stored(Town->text());
    s.recvIp = RecvIp->text().toStdString();
    s.recvMarkF = RecvMark->currentIndex() == 1;
    s.synopt = Synopt->isChecked();
    return s;
}

void TConfigForm::tabChanged(int tab) {
    if (filling_) return;
    ConfigFormState s = read();
    s.layOutTab(tab, copy_);
    show(s);
}

void TConfigForm::noIncompleteToggled(bool on) {
    if (filling_ || !on) return;
    const char* warning =
        "Wyłączenie sprawdzania niepełnych meldunków, w wypadku awarii centralki u abonenta \n"
        "może spowodować naliczanie dużych rachunków za telefon!\n"
        "Zalecane jest pozostawienie kontroli niepełnych meldunków.\n"
        "Zostawić kontrolę?";
    if (messages_.AskYesNo(mz(warning)) == 12) NoIncomplete->setChecked(false);
}

std::vector<MenuCopyTop> TConfigForm::menusShown() const {
    std::vector<MenuCopyTop> menus = menus_;
    for (int t = 0; t < Menus->topLevelItemCount() && t < int(menus.size()); ++t) {
        QTreeWidgetItem* top = Menus->topLevelItem(t);
        for (int i = 0; i < top->childCount() && i < int(menus[size_t(t)].items.size()); ++i)
            menus[size_t(t)].items[size_t(i)].checked = top->child(i)->checkState(0) == Qt::Checked;
    }
    return menus;
}

void TConfigForm::SetBtnClick() {
    if (!writeMenus(dir_, checksOf(menusShown()))) messages_.ShowNotice(mz("\x03" "zapisu pliku menus"), kNoticeError);
    read().applyTo(copy_);
    if (apply_ && apply_(copy_)) restarted_ = true;
    accept();
}

void TConfigForm::setPortSearch(std::function<bool()> search) {
    portSearch_ = std::move(search);
    AutotestBtn->setEnabled(static_cast<bool>(portSearch_));
}

// The search writes the ports it found into the live block and saves it;
// the port groups follow, so that a later "&Ustaw" keeps them. The lines
// were closed and reopened either way, so the paths must be rebuilt.
void TConfigForm::AutotestBtnClick() {
    if (!portSearch_) return;
    portSearch_();
    restarted_ = true;
    copy_.inter_port = live_.inter_port;
    copy_.data_port = live_.data_port;
    filling_ = true;
    if (live_.inter_port >= 1 && live_.inter_port <= InterPort->count()) InterPort->setCurrentIndex(live_.inter_port - 1);
    if (live_.data_port >= 1 && live_.data_port <= DataPort->count()) DataPort->setCurrentIndex(live_.data_port - 1);
    filling_ = false;
}

} // namespace k4
