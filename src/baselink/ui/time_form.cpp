#include "baselink/ui/time_form.h"

#include "config/config.h"
#include "database/text_edge.h"
#include "messages/messages.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <charconv>

namespace k4 {

std::optional<int16_t> storedCorrection(const std::string& text) {
    long value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    while (first < last && *first == ' ') ++first;
    while (last > first && last[-1] == ' ') --last;
    auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || first == last || value < -9999 || value > 99999) return std::nullopt;
    return static_cast<int16_t>(value > 32767 ? 32767 : value);
}

TTimeForm::TTimeForm(Config& config, Messages& messages, std::function<void()> openClockPanel, QWidget* parent)
    : QDialog(parent), config_(config), messages_(messages) {
    setObjectName("TimeForm");
    setWindowTitle(QStringLiteral("Czas"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8("Poprawka zegara (sekundy na dobę * 10)"), this));
    CorrectionE = new QLineEdit(QString::number(static_cast<int16_t>(config.block().time_adjust)), this);
    CorrectionE->setMaxLength(6);
    layout->addWidget(CorrectionE);
    SaveBtn = new QPushButton(QString::fromUtf8("Zapisz &poprawkę"), this);
    ClockBtn = new QPushButton(QStringLiteral("&Zegar systemowy"), this);
    EndBtn = new QPushButton(QStringLiteral("&Koniec"), this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {SaveBtn, ClockBtn, EndBtn}) buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(SaveBtn, &QPushButton::clicked, this, [this] { SaveBtnClick(); });
    connect(ClockBtn, &QPushButton::clicked, this, [openClockPanel] {
        if (openClockPanel) openClockPanel();
    });
    connect(EndBtn, &QPushButton::clicked, this, &QDialog::accept);
}

int TTimeForm::SaveBtnClick() {
    const auto value = storedCorrection(CorrectionE->text().toStdString());
    if (!value) {
        messages_.ShowNotice(mz("\x03Poprawka zegara: liczba od -9999 do 99999"), kNoticeInfo);
        return -1;
    }
    config_.block().time_adjust = *value;
    CorrectionE->setText(QString::number(*value));
    if (config_.SaveConfig(1) != 0) {
        messages_.ShowNotice(mz("\x03zapisu konfiguracji"), kNoticeError);
        return -1;
    }
    return 0;
}

} // namespace k4
