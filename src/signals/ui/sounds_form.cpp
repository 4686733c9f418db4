#include "signals/ui/sounds_form.h"

#include "database/text_edge.h"
#include "signals/sound_settings.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace k4 {

TSoundsForm::TSoundsForm(Config& config, SoundFiles& files, AlarmSoundControl& sounds, Messages& messages,
                         bool filesBackEnd, std::string directory, std::function<uint32_t(int)> classColour,
                         QWidget* parent)
    : QDialog(parent), config_(config), files_(files), sounds_(sounds), messages_(messages),
      filesBackEnd_(filesBackEnd), directory_(std::move(directory)), classColour_(std::move(classColour)) {
    setWindowTitle(QStringLiteral("Dźwięki"));
    setProperty("helpContext", kHelpSounds);
    setModal(true);
    list = new QTreeWidget(this);
    list->setRootIsDecorated(false);
    list->setHeaderLabels({QStringLiteral("Typ alarmu"), QStringLiteral("Plik dźwiękowy alarmu"),
                           QStringLiteral("Graj raz")});
    Button1 = new QPushButton(QStringLiteral("Koniec"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list);
    layout->addWidget(Button1);
    chooseFile = [this](const QString& dir) {
        QFileDialog dialog(this, QStringLiteral("Dźwięki"), dir, QStringLiteral("*.wav"));
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setFilter(QDir::Files);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::string();
        return QFileInfo(dialog.selectedFiles().first()).fileName().toStdString();
    };
    refill();
    connect(list, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { lineDoubleClicked(list->indexOfTopLevelItem(item)); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TSoundsForm::refill() {
    list->clear();
    for (int c = 0; c < SoundFiles::kCategories; ++c) {
        auto* item = new QTreeWidgetItem(list);
        item->setText(0, QString::fromStdString(soundCategoryText(c)));
        if (c > 0 && classColour_) {
            QPixmap square(10, 10);
            square.fill(QColor::fromRgb(classColour_(c)));
            item->setIcon(0, QIcon(square));
        }
        if (filesBackEnd_) {
            item->setText(1, QString::fromStdString(files_.slot(c)));
            item->setCheckState(2, config_.block().tones[c][6] == 0 ? Qt::Checked : Qt::Unchecked);
        } else {
            item->setText(1, QString::fromStdString(toneProfileLine(config_.block(), c)));
        }
    }
}

void TSoundsForm::lineDoubleClicked(int category) {
    if (category < 0 || category >= SoundFiles::kCategories) return;
    sounds_.playSound(category);
    if (filesBackEnd_) {
        const std::string name = chooseFile(QString::fromStdString(directory_));
        // A name longer than a slot is refused rather than cut: a cut name
        // would point at another file.
        if (!name.empty() && files_.setSlot(category, name)) files_.save();
        refill();
    } else {
        TSoundForm editor(config_, messages_, category, this);
        editor.exec();
        refill();
    }
}

void TSoundsForm::Button1Click() {
    if (filesBackEnd_) {
        std::vector<bool> once;
        for (int c = 0; c < list->topLevelItemCount(); ++c)
            once.push_back(list->topLevelItem(c)->checkState(2) == Qt::Checked);
        if (storePlayOnce(config_.block(), once) && config_.SaveConfig(1) != 0)
            messages_.ShowNotice(mz("\x03zapisu konfiguracji"), kNoticeError);
    }
    accept();
}

TSoundForm::TSoundForm(Config& config, Messages& messages, int category, QWidget* parent)
    : QDialog(parent), config_(config), messages_(messages), category_(category) {
    setWindowTitle(QStringLiteral("Dźwięki alarmu"));
    setModal(true);
    auto* grid = new QGridLayout;
    const char* labels[7] = {"Ton 1 (x10 Hz)", "Czas 1 (x10 ms)", "Ton 2", "Czas 2", "Ton 3", "Czas 3", "Ton ciągły"};
    for (int i = 0; i < 7; ++i) {
        auto* edit = new QLineEdit(this);
        edit->setInputMask(QStringLiteral("99;_"));
        edit->setText(QString::number(static_cast<int8_t>(config.block().tones[category][i])));
        fields[static_cast<size_t>(i)] = edit;
        grid->addWidget(new QLabel(QString::fromUtf8(labels[i]), this), i, 0);
        grid->addWidget(edit, i, 1);
    }
    SaveBtn = new QPushButton(QStringLiteral("Zapisz"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(SaveBtn);
    connect(SaveBtn, &QPushButton::clicked, this, [this] { SaveBtnClick(); });
}

void TSoundForm::SaveBtnClick() {
    std::array<std::string, 7> texts;
    for (size_t i = 0; i < texts.size(); ++i) texts[i] = fields[i]->text().toStdString();
    if (storeToneFields(config_.block(), category_, texts) && config_.SaveConfig(1) != 0)
        messages_.ShowNotice(mz("\x03zapisu konfiguracji"), kNoticeError);
    accept();
}

} // namespace k4
