#include "maintenance/ui/auto_save_form.h"

#include "database/text_edge.h"
#include "maintenance/auto_save_settings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>

namespace k4 {

TAutoSaveForm::TAutoSaveForm(Config& config, AutoDump& dump, Messages& messages, QWidget* parent)
    : QDialog(parent), config_(config), dump_(dump), messages_(messages) {
    setWindowTitle(QStringLiteral("Automatyczny zrzut bazy"));
    setModal(true);
    directoryLabel = new QLabel(this);
    enabledBox = new QCheckBox(QStringLiteral("Włączony zrzut automatyczny"), this);
    enabledBox->setChecked(config_.block().autosave_flags & 1);
    OkBtn = new QPushButton(QStringLiteral("&OK"), this);
    ChangeBtn = new QPushButton(QStringLiteral("&Zmień katalog"), this);
    OkBtn->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(OkBtn);
    buttons->addWidget(ChangeBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(directoryLabel);
    layout->addWidget(enabledBox);
    layout->addLayout(buttons);
    connect(OkBtn, &QPushButton::clicked, this, [this] { OkBtnClick(); });
    connect(ChangeBtn, &QPushButton::clicked, this, [this] { ChangeBtnClick(); });
    showDirectory();
}

void TAutoSaveForm::showDirectory() {
    const ConfigBlock& b = config_.block();
    const std::string dir(b.autosave_dir, strnlen(b.autosave_dir, sizeof b.autosave_dir));
    directoryLabel->setText(QStringLiteral("do katalogu: ") + QString::fromStdString(Utf8FromMazovia(dir)));
}

void TAutoSaveForm::OkBtnClick() {
    if (applyAutoSaveSettings(config_, dump_, messages_, enabledBox->isChecked(), false) == 0) accept();
    showDirectory();
}

void TAutoSaveForm::ChangeBtnClick() {
    applyAutoSaveSettings(config_, dump_, messages_, enabledBox->isChecked(), true);
    showDirectory();
}

} // namespace k4
