#include "printing/ui/printers_form.h"

#include "database/text_edge.h"
#include "printing/printer_settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace k4 {
namespace {

QButtonGroup* codePageGroup(QWidget* owner, QGroupBox* box, const char* name) {
    auto* group = new QButtonGroup(owner);
    group->setObjectName(QString::fromLatin1(name));
    auto* layout = new QVBoxLayout(box);
    const auto& choices = codePageChoices();
    for (int i = 0; i < static_cast<int>(choices.size()); ++i) {
        auto* radio = new QRadioButton(QString::fromStdString(choices[static_cast<size_t>(i)]), box);
        group->addButton(radio, i);
        layout->addWidget(radio);
    }
    return group;
}

void check(QButtonGroup* group, int id) {
    if (QAbstractButton* b = group->button(id)) b->setChecked(true);
}

} // namespace

TPrintersForm::TPrintersForm(Config& config, Messages& messages, const std::vector<std::string>& printers,
                             QWidget* parent)
    : QDialog(parent), config_(config), messages_(messages) {
    setWindowTitle(QStringLiteral("Drukarki"));
    setProperty("helpContext", kHelpPrinters);
    setModal(true);
    CBAl = new QComboBox(this);
    CBAl->setObjectName("CBAl");
    CBDa = new QComboBox(this);
    CBDa->setObjectName("CBDa");
    for (const std::string& entry : printerListEntries(printers)) {
        CBAl->addItem(QString::fromStdString(entry));
        CBDa->addItem(QString::fromStdString(entry));
    }
    auto* alBox = new QGroupBox(QStringLiteral("Polskie litery"), this);
    auto* daBox = new QGroupBox(QStringLiteral("Polskie litery"), this);
    RGAlPl = codePageGroup(this, alBox, "RGAlPl");
    RGDaPl = codePageGroup(this, daBox, "RGDaPl");
    graphicMode = new QCheckBox(QStringLiteral("Druk w trybie graficznym"), this);
    SetBtn = new QPushButton(QStringLiteral("Ustaw"), this);
    Button3 = new QPushButton(QStringLiteral("Ustawienia &wydruku"), this);
    closeBtn = new QPushButton(QStringLiteral("Koniec"), this);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Druk meldunków"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Druk danych"), this), 0, 1);
    grid->addWidget(CBAl, 1, 0);
    grid->addWidget(CBDa, 1, 1);
    grid->addWidget(alBox, 2, 0);
    grid->addWidget(daBox, 2, 1);
    grid->addWidget(graphicMode, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SetBtn);
    buttons->addWidget(Button3);
    buttons->addWidget(closeBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    const PrinterChoice c = printerChoiceOf(config_.block());
    CBAl->setCurrentIndex(c.eventPrinter < CBAl->count() ? c.eventPrinter : -1);
    CBDa->setCurrentIndex(c.dataPrinter < CBDa->count() ? c.dataPrinter : -1);
    check(RGAlPl, c.eventCp);
    check(RGDaPl, c.dataCp);
    graphicMode->setChecked(c.graphic);
    daBox->setEnabled(!c.graphic);
    connect(graphicMode, &QCheckBox::toggled, daBox, [daBox](bool on) { daBox->setEnabled(!on); });
    connect(SetBtn, &QPushButton::clicked, this, [this] { SetBtnClick(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(closeBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TPrintersForm::SetBtnClick() {
    PrinterChoice c;
    c.eventPrinter = CBAl->currentIndex();
    c.dataPrinter = CBDa->currentIndex();
    c.eventCp = RGAlPl->checkedId();
    c.dataCp = RGDaPl->checkedId();
    c.graphic = graphicMode->isChecked();
    storePrinterChoice(config_.block(), c);
    if (config_.SaveConfig(1) != 0) messages_.ShowNotice(mz("\x03zapisu konfiguracji"), kNoticeError);
    accept();
}

void TPrintersForm::Button3Click() {
    QPrinter printer;
    QPageSetupDialog dialog(&printer, this);
    dialog.exec();
}

TPrintNamesForm::TPrintNamesForm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Wybór danych"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    for (const std::string& item : printDataItems()) {
        items.push_back(new QCheckBox(QString::fromStdString(item), this));
        layout->addWidget(items.back());
    }
    printBtn = new QPushButton(QStringLiteral("Drukuj"), this);
    dropBtn = new QPushButton(QStringLiteral("Porzuć"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(printBtn);
    buttons->addWidget(dropBtn);
    layout->addLayout(buttons);
    connect(printBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(dropBtn, &QPushButton::clicked, this, &QDialog::reject);
}

int TPrintNamesForm::mask() const {
    std::vector<bool> ticked;
    for (const QCheckBox* box : items) ticked.push_back(box->isChecked());
    return printDataMask(ticked);
}

int choosePrintData(QWidget* parent) {
    TPrintNamesForm form(parent);
    return form.exec() == QDialog::Accepted ? form.mask() : -1;
}

} // namespace k4
