#include "hydro/ui/hydro_controls.h"

#include <QLabel>
#include <QPushButton>

namespace k4 {

namespace {

constexpr int kLabelTop = 20;
constexpr int kLabelHeight = 24;
constexpr int kButtonBelow = 24;
constexpr int kButtonHeight = 24;

const QColor kBlack = colorFromBgr(0x000000);
const QColor kGreen = colorFromBgr(0x008000);
const QColor kRed = colorFromBgr(0x0000FF);
const QColor kBlue = colorFromBgr(0xFF0000);
const QColor kGrey = colorFromBgr(0x808080);

QLabel* centredLine(QWidget* parent, const QFont& font, int top, int height, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(0, top, THydroObject::kWidth, height);
    return label;
}

} // namespace

TControlText::TControlText(QWidget* parent) : THydroObject(parent) {
    label_ = centredLine(this, hydroValueFont(), kLabelTop, kLabelHeight, "StateLabel");
    button_ = new QPushButton(this);
    button_->setObjectName("CommandButton");
    QObject::connect(button_, &QPushButton::clicked, this, [this] { press(); });
    placeButton(kLabelTop + kButtonBelow);
    TControlText::DispControl();
}

void TControlText::placeButton(int top) {
    button_->setGeometry(10, top, kWidth - 20, kButtonHeight);
    setPanelHeight(top + kButtonHeight + 8);
}

void TControlText::setState(int state) {
    state_ = state;
    DispControl();
}

void TControlText::press() {
    turnOn_ = state_ == 0 || state_ == 2;
    state_ = 3;
    // Every kind shows a pending command the same way.
    TControlText::DispControl();
    if (OnPress) OnPress(*this);
}

void TControlText::display(const QString& text, const QColor& colour, const QString& buttonText, bool enabled) {
    if (!text.isNull()) label_->setText(text);
    QPalette palette = label_->palette();
    palette.setColor(QPalette::WindowText, colour);
    label_->setPalette(palette);
    if (!buttonText.isNull()) button_->setText(buttonText);
    button_->setEnabled(enabled);
}

void TControlText::DispControl() {
    switch (state_) {
    case 0: display(QStringLiteral("Wyłączony"), kBlack, QStringLiteral("Włącz"), true); break;
    case 1: display(QStringLiteral("Włączony"), kGreen, QStringLiteral("Wyłącz"), true); break;
    case 2: display(QStringLiteral("AWARIA"), kRed, QString(), true); break;
    default: display(QString(), kGrey, QString(), false); break;
    }
}

// --- THPump ---------------------------------------------------------------

THPump::THPump(QWidget* parent) : TControlText(parent) {
    const int currentTop = kLabelTop + 24;
    const int timeTop = currentTop + 16;
    currentLabel_ = centredLine(this, hydroLineFont(), currentTop, 16, "CurrentLabel");
    timeLabel_ = centredLine(this, hydroLineFont(), timeTop, 16, "TimeLabel");
    placeButton(timeTop + kButtonBelow);
    setGlyphKind(gkPompa);
    DispPump();
}

void THPump::setState(int state) {
    state_ = state;
    DispPump();
}

void THPump::setPumpCurr(double value) {
    current_ = value;
    DispPump();
}

void THPump::setPumpTime(double value) {
    time_ = value;
    DispPump();
}

void THPump::setShowWhat(int bits) {
    showWhat_ = bits;
    DispPump();
}

void THPump::setCurrUnits(const QString& units) {
    currUnits_ = units;
    DispPump();
}

void THPump::setTimeUnits(const QString& units) {
    timeUnits_ = units;
    DispPump();
}

void THPump::DispPump() {
    switch (state_) {
    case 0: display(QStringLiteral("Wyłączona"), kGreen, QStringLiteral("Włącz"), true); break;
    case 1: display(QStringLiteral("Włączona"), kBlue, QStringLiteral("Wyłącz"), true); break;
    case 2: display(QStringLiteral("AWARIA"), kRed, QStringLiteral("Włącz"), true); break;
    default: display(QString(), kGrey, QString(), false); break;
    }
    currentLabel_->setText(QString::asprintf("Prąd=%.1f ", current_) + currUnits_);
    timeLabel_->setText(QString::asprintf("Czas=%.1f ", time_) + timeUnits_);
    currentLabel_->setVisible((showWhat_ & 1) != 0);
    timeLabel_->setVisible((showWhat_ & 2) != 0);
}

// --- THHydr, THBolt ---------------------------------------------------------

THHydr::THHydr(QWidget* parent) : TControlText(parent) {
    setGlyphKind(gkHydrofor);
    DispControl();
}

void THHydr::DispControl() {
    switch (state_) {
    case 0: display(QStringLiteral("Wyłączony"), kBlack, QStringLiteral("Włącz"), true); break;
    case 1: display(QStringLiteral("Włączony"), kBlack, QStringLiteral("Wyłącz"), true); break;
    case 2: display(QStringLiteral("AWARIA"), kRed, QString(), false); break;
    default: display(QString(), kGrey, QString(), false); break;
    }
}

THBolt::THBolt(QWidget* parent) : TControlText(parent) {
    setGlyphKind(gkZasuwa);
    DispControl();
}

void THBolt::DispControl() {
    switch (state_) {
    case 0: display(QStringLiteral("Zamknięta"), kBlack, QStringLiteral("Otwórz"), true); break;
    case 1: display(QStringLiteral("Otwarta"), kBlack, QStringLiteral("Zamknij"), true); break;
    case 2: display(QStringLiteral("AWARIA"), kRed, QString(), false); break;
    default: display(QString(), kGrey, QString(), false); break;
    }
}

} // namespace k4
