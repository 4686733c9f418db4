#include "hydro/ui/hydro_measures.h"

#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace k4 {

namespace {

constexpr int kBodyTop = 20;
constexpr int kValueHeight = 24;
constexpr int kLimitHeight = 16;
constexpr int kGap = 8;
constexpr int kGaugeRight = 28;
constexpr int kGaugeWidth = 20;

const QColor kAlarmRed = colorFromBgr(0x0000FF);

QLabel* makeValueLabel(QWidget* parent, const QRect& at) {
    auto* label = new QLabel(parent);
    label->setObjectName("ValueLabel");
    label->setFont(hydroValueFont());
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(at);
    return label;
}

void paintValue(QLabel* label, double value, double alertMin, double alertMax, const QString& units) {
    label->setText(hydroValueText(value, units));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, hydroValueAlarming(value, alertMin, alertMax) ? kAlarmRed : QColor(Qt::black));
    label->setPalette(palette);
}

} // namespace

QString hydroValueText(double value, const QString& units) {
    return QString::asprintf("%.1f ", value) + units;
}

bool hydroValueAlarming(double value, double alertMin, double alertMax) {
    return std::isnan(value) || value < alertMin || value > alertMax;
}

// --- TMeasText ------------------------------------------------------------

TMeasText::TMeasText(QWidget* parent) : THydroObject(parent) {
    label_ = makeValueLabel(this, QRect(0, kBodyTop, kWidth, kValueHeight));
    setPanelHeight(kBodyTop + kValueHeight);
    setValue(0);
}

void TMeasText::setValue(double value) {
    value_ = value;
    paintValue(label_, value_, alertMin_, alertMax_, units_);
}

void TMeasText::setUnits(const QString& units) {
    units_ = units;
    update();
}

THPres::THPres(QWidget* parent) : TMeasText(parent) {
    setUnits(QStringLiteral("kPa"));
    setGlyphKind(gkCisnienie);
    setValue(Value());
}

THTemp::THTemp(QWidget* parent) : TMeasText(parent) {
    setUnits(QStringLiteral("°C"));
    setGlyphKind(gkTemperatura);
    setValue(Value());
}

THFlow::THFlow(QWidget* parent) : TMeasText(parent) {
    setUnits(QStringLiteral("m3/h"));
    setGlyphKind(gkPrzeplywChw);
    setValue(Value());
}

// --- the gauge ------------------------------------------------------------

THydroGauge::THydroGauge(QWidget* parent) : QWidget(parent) { setObjectName("Gauge"); }

void THydroGauge::setPosition(int position) {
    position_ = std::clamp(position, 0, 100);
    update();
}

void THydroGauge::setColour(const QColor& colour) {
    colour_ = colour;
    update();
}

void THydroGauge::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect trough = rect();
    p.fillRect(trough, QColor(0xE0, 0xE0, 0xE0));
    const int inner = trough.height() - 2;
    const int filled = (inner * position_ + 50) / 100;
    p.fillRect(QRect(1, 1 + inner - filled, trough.width() - 2, filled), colour_);
    // A sunken edge: dark above and left, light below and right.
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(trough.topLeft(), trough.topRight());
    p.drawLine(trough.topLeft(), trough.bottomLeft());
    p.setPen(Qt::white);
    p.drawLine(trough.bottomLeft(), trough.bottomRight());
    p.drawLine(trough.topRight(), trough.bottomRight());
}

// --- TMeasGraph -----------------------------------------------------------

TMeasGraph::TMeasGraph(QWidget* parent) : THydroObject(parent) {
    gauge_ = new THydroGauge(this);
    label_ = makeValueLabel(this, QRect(0, kBodyTop, kWidth - kGaugeRight, kValueHeight));
    const int minTop = kBodyTop + kValueHeight + kGap;
    const int maxTop = minTop + kLimitHeight + kGap;
    for (QLabel** limit : {&minLabel_, &maxLabel_}) {
        *limit = new QLabel(this);
        (*limit)->setFont(hydroLimitFont());
        (*limit)->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    minLabel_->setObjectName("MinLabel");
    maxLabel_->setObjectName("MaxLabel");
    minLabel_->setGeometry(8, minTop, kWidth - kGaugeRight - 8, kLimitHeight);
    maxLabel_->setGeometry(8, maxTop, kWidth - kGaugeRight - 8, kLimitHeight);
    minLabel_->setText(QStringLiteral("Min value"));
    maxLabel_->setText(QStringLiteral("Max value"));
    setPanelHeight(maxTop + 24);
    showValue();
}

void TMeasGraph::placeChildren() {
    THydroObject::placeChildren();
    // Made before the body: the first placement comes from the base.
    if (gauge_) gauge_->setGeometry(width() - kGaugeRight, 24, kGaugeWidth, height() - 32);
}

void TMeasGraph::SetValueMax(double value) {
    valueMax_ = value;
    updateGauge();
}

void TMeasGraph::SetValueMin(double value) {
    valueMin_ = value;
    updateGauge();
}

void TMeasGraph::SetValue(double value) {
    value_ = value;
    showValue();
}

void TMeasGraph::setAlertMax(double value) {
    alertMax_ = value;
    maxSet_ = true;
    showLimits();
    showValue();
}

void TMeasGraph::setAlertMin(double value) {
    alertMin_ = value;
    minSet_ = true;
    showLimits();
    showValue();
}

void TMeasGraph::setUnits(const QString& units) {
    units_ = units;
    showValue();
    showLimits();
}

int TMeasGraph::gaugePercent() const {
    if (valueMax_ == valueMin_ || std::isnan(value_)) return 0;
    const double p = (value_ - valueMin_) * 100.0 / (valueMax_ - valueMin_);
    if (std::isnan(p)) return 0;
    return static_cast<int>(std::lround(std::clamp(p, 0.0, 100.0)));
}

void TMeasGraph::updateGauge() { gauge_->setPosition(gaugePercent()); }

void TMeasGraph::showValue() {
    paintValue(label_, value_, alertMin_, alertMax_, units_);
    updateGauge();
}

void TMeasGraph::showLimits() {
    if (minSet_) minLabel_->setText(QString::asprintf("Min=%.1f ", alertMin_) + units_);
    if (maxSet_) maxLabel_->setText(QString::asprintf("Max=%.1f ", alertMax_) + units_);
}

// --- the inverted gauge ------------------------------------------------------

TMeasGraphInv::TMeasGraphInv(QWidget* parent) : TMeasGraph(parent) { updateGauge(); }

void TMeasGraphInv::SetValueMax(double value) { TMeasGraph::SetValueMax(value); }
void TMeasGraphInv::SetValueMin(double value) { TMeasGraph::SetValueMin(value); }
void TMeasGraphInv::SetValue(double value) { TMeasGraph::SetValue(value); }

// A depth: the deeper the water table, the emptier the bar.
// A value that is not a number leaves the bar empty either way.
void TMeasGraphInv::updateGauge() { gauge()->setPosition(std::isnan(Value()) ? 0 : 100 - gaugePercent()); }

THTank::THTank(QWidget* parent) : TMeasGraph(parent) {
    setGaugeColour(colorFromBgr(0xFFFF00));
    setGlyphKind(gkZbiornik);
}

THWell::THWell(QWidget* parent) : TMeasGraphInv(parent) {
    setGaugeColour(colorFromBgr(0xFF0000));
    setGlyphKind(gkStudnia);
}

} // namespace k4
