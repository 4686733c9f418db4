#include "hydro/ui/przeliczenie.h"

#include "database/text_edge.h"
#include "messages/messages.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace k4 {

namespace {

// The largest raw signal a calibration field holds, in millivolts.
constexpr int kRawLimit = 32767;

void tell(Messages& messages, const std::string& utf8) {
    messages.ShowNotice(MazoviaFromUtf8("\x03" + utf8), kNoticeInfo);
}

QLineEdit* digitsField(QWidget* parent, bool decimal) {
    auto* edit = new QLineEdit(parent);
    const QString pattern = decimal ? QStringLiteral("[0-9]{0,6}(\\.[0-9]{0,4})?") : QStringLiteral("[0-9]{0,5}");
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
    return edit;
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

} // namespace

TPrzeliczenie::TPrzeliczenie(MsrSetting& setting, Messages& messages, QWidget* parent)
    : QDialog(parent), setting_(setting), messages_(messages) {
    setObjectName("Przeliczenie");
    setWindowTitle(QStringLiteral("Przeliczenie"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    Pomiar = new QComboBox(this);
    for (int t = 0; t < kMsrTypes; ++t) Pomiar->addItem(QString::fromUtf8(measurementType(t).name));
    Przetwornik = new QComboBox(this);
    for (int c = 0; c < kMsrConverters; ++c) Przetwornik->addItem(QString::fromUtf8(converterName(c)));
    Opornik = digitsField(this, false);
    Opornik->setMaxLength(4);
    ZakresOd = digitsField(this, true);
    ZakresDo = digitsField(this, true);
    form->addRow(QStringLiteral("Pomiar"), Pomiar);
    form->addRow(QStringLiteral("Przetwornik"), Przetwornik);
    form->addRow(QStringLiteral("Opornik [Ω]"), Opornik);
    form->addRow(QStringLiteral("Zakres/Kalibracja od"), ZakresOd);
    form->addRow(QStringLiteral("do"), ZakresDo);
    layout->addLayout(form);
    auto* buttons = new QHBoxLayout;
    KalibracjaBtn = new QPushButton(QStringLiteral("Ka&libracja"), this);
    SaveBtn = new QPushButton(QStringLiteral("&Zapisz"), this);
    buttons->addStretch();
    buttons->addWidget(KalibracjaBtn);
    buttons->addWidget(SaveBtn);
    layout->addLayout(buttons);
    connect(KalibracjaBtn, &QPushButton::clicked, this, [this] { KalibracjaBtnClick(); });
    connect(SaveBtn, &QPushButton::clicked, this, [this] { SaveBtnClick(); });
    calibrate = [this](MsrSetting& s, QWidget* owner) {
        TKalibracja dialog(s, messages_, owner);
        return dialog.exec() == QDialog::Accepted;
    };
    Pomiar->setCurrentIndex(std::min(setting_.type, kMsrTypes - 1));
    Przetwornik->setCurrentIndex(std::min(setting_.converter, kMsrConverters - 1));
    Opornik->setText(QString::number(setting_.resistor * 10));
    showFields();
}

void TPrzeliczenie::showFields() {
    const bool configured = setting_.configured();
    if (configured) {
        const RangeText range = rangeText(setting_);
        ZakresOd->setText(range.ok ? QString::fromStdString(trimmed(range.low)) : QString());
        ZakresDo->setText(range.ok ? QString::fromStdString(trimmed(range.high)) : QString());
        if (!range.ok) ZakresOd->setPlaceholderText(QString::fromStdString(range.error));
    }
    ZakresOd->setReadOnly(configured);
    ZakresDo->setReadOnly(configured);
}

bool TPrzeliczenie::applyFields() {
    const int ohms = Opornik->text().toInt();
    const int converter = Przetwornik->currentIndex();
    // The resistor byte counts tens of ohms; at full scale the current
    // makes 200 mV per unit, and the calibration field holds 16 bits.
    if (ohms / 10 > 255 || (converter != kConverterVoltage && converterSpan(converter, ohms / 10).high > kRawLimit)) {
        tell(messages_, "Opornik " + std::to_string(ohms) + " Ω jest za duży dla przetwornika " +
                            converterName(converter) + " (największy " +
                            std::to_string(converter == 2 ? 2550 : kRawLimit / 200 * 10) + " Ω)");
        return false;
    }
    const int newResistor = ohms / 10;
    changedWiring_ = setting_.configured() && (newResistor != setting_.resistor || converter != setting_.converter);
    setting_.type = Pomiar->currentIndex();
    setting_.converter = converter;
    setting_.resistor = newResistor;
    if (!setting_.configured()) return calibrateByRange();
    return true;
}

// The range typed in, on the converter's whole signal span.
bool TPrzeliczenie::calibrateByRange() {
    const int decimals = setting_.decimals();
    const Converted low = parseScaled(ZakresOd->text().toStdString(), decimals);
    const Converted high = parseScaled(ZakresDo->text().toStdString(), decimals);
    if (!low.ok || !high.ok) {
        tell(messages_, low.ok ? high.error : low.error);
        return false;
    }
    const SignalSpan span = converterSpan(setting_.converter, setting_.resistor);
    setting_.p0 = static_cast<int>(low.value);
    setting_.p1 = static_cast<int>(high.value);
    setting_.v0 = span.low;
    setting_.v1 = span.high;
    return true;
}

void TPrzeliczenie::SaveBtnClick() {
    if (!applyFields()) return;
    const bool noResistor = setting_.resistor == 0 && setting_.converter != kConverterVoltage;
    if (setting_.p0 == setting_.p1 || noResistor) {
        messages_.ShowNotice(mz("\x03Kalibracja zakresem wymaga podania opornika lub/i wartości granicznych"),
                             kNoticeInfo);
        if (noResistor) {
            setting_.p0 = 0;
            setting_.p1 = 0;
            showFields();
        }
        return;
    }
    if (changedWiring_ &&
        messages_.AskYesNo(mz("\x03Zmiany wpłyną na kalibrację! Przeprowadzić kalibrację zakresem?")) == kResultYes &&
        !calibrateByRange())
        return;
    accept();
}

void TPrzeliczenie::KalibracjaBtnClick() {
    if (!applyFields()) return;
    if (calibrate) calibrate(setting_, this);
    showFields();
}

// --- TKalibracja ---------------------------------------------------------------

TKalibracja::TKalibracja(MsrSetting& setting, Messages& messages, QWidget* parent)
    : QDialog(parent), setting_(setting), messages_(messages) {
    setObjectName("Kalibracja");
    setWindowTitle(QStringLiteral("Kalibracja"));
    auto* layout = new QVBoxLayout(this);
    const int decimals = setting_.decimals();
    auto point = [&](const QString& title, int p, int v, QLineEdit*& value, QLineEdit*& raw) {
        auto* box = new QGroupBox(title, this);
        auto* form = new QFormLayout(box);
        value = digitsField(box, true);
        raw = digitsField(box, false);
        // The engineering value the raw signal gives on the stored line;
        // the stored point itself where there is no line.
        const Converted shown = rawToValue(setting_, v);
        value->setText(QString::fromStdString(trimmed(formatScaled(shown.ok ? shown.value : p, decimals))));
        raw->setText(QString::number(v));
        form->addRow(QString::fromUtf8(measurementType(setting_.type).unit), value);
        form->addRow(QStringLiteral("mV"), raw);
        layout->addWidget(box);
    };
    point(QStringLiteral("Pierwszy punkt pomiarowy"), setting_.p0, setting_.v0, Value0, Raw0);
    point(QStringLiteral("Drugi punkt pomiarowy"), setting_.p1, setting_.v1, Value1, Raw1);
    SaveBtn = new QPushButton(QStringLiteral("&Zapisz"), this);
    layout->addWidget(SaveBtn, 0, Qt::AlignRight);
    connect(SaveBtn, &QPushButton::clicked, this, [this] { SaveBtnClick(); });
}

void TKalibracja::SaveBtnClick() {
    const int decimals = setting_.decimals();
    const Converted p0 = parseScaled(Value0->text().toStdString(), decimals);
    const Converted p1 = parseScaled(Value1->text().toStdString(), decimals);
    if (!p0.ok || !p1.ok) {
        tell(messages_, p0.ok ? p1.error : p0.error);
        return;
    }
    const int v0 = Raw0->text().toInt();
    const int v1 = Raw1->text().toInt();
    if (v0 > kRawLimit || v1 > kRawLimit) {
        tell(messages_, "Sygnał większy niż " + std::to_string(kRawLimit) + " mV");
        return;
    }
    // Two points at one signal draw no line: every value would be a guess.
    if (v0 == v1) {
        tell(messages_, "Punkty pomiarowe muszą mieć różne sygnały");
        return;
    }
    setting_.p0 = static_cast<int>(p0.value);
    setting_.p1 = static_cast<int>(p1.value);
    setting_.v0 = v0;
    setting_.v1 = v1;
    accept();
}

} // namespace k4
