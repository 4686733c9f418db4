#include "hydro/ui/odometer.h"

#include <QPainter>

#include <algorithm>

namespace k4 {

namespace {

int glyphIndex(QChar c) {
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) return c.unicode() - '0';
    if (c >= QLatin1Char('A') && c <= QLatin1Char('F')) return 10 + c.unicode() - 'A';
    return kBlankDigit;
}

QRect glyphRect(QChar c) { return QRect(0, glyphIndex(c) * kDigitHeight, kDigitWidth, kDigitHeight); }

} // namespace

TOdometer::TOdometer(QWidget* parent) : QWidget(parent) {
    setObjectName("Odometer");
    frames_.setSingleShot(false);
    QObject::connect(&frames_, &QTimer::timeout, this, [this] { nextFrame(); });
    computeLimit();
    setFixedSize(Width(), Height());
}

void TOdometer::setBaseType(TBaseType base) {
    base_ = base;
    computeLimit();
    update();
}

void TOdometer::setDigitCount(int count) {
    if (count < 1 || count > 32) return;
    digits_ = count;
    computeLimit();
    setFixedSize(Width(), Height());
    update();
}

void TOdometer::computeLimit() {
    uint64_t limit = 0x7FFFFFFF;
    switch (base_) {
    case TBaseType::btBinary:
        if (digits_ < 32) limit = (uint64_t{1} << digits_) - 1;
        break;
    case TBaseType::btDecimal:
        if (digits_ < 10) {
            limit = 1;
            for (int i = 0; i < digits_; ++i) limit *= 10;
            --limit;
        }
        break;
    case TBaseType::btHexadecimal:
        if (digits_ < 8) limit = (uint64_t{1} << (4 * digits_)) - 1;
        break;
    }
    limit_ = static_cast<uint32_t>(limit);
}

QString TOdometer::textOf(uint32_t value) const {
    switch (base_) {
    case TBaseType::btBinary: {
        QString bits;
        for (int i = std::min(digits_, 32) - 1; i >= 0; --i) bits += (value >> i) & 1 ? QLatin1Char('1') : QLatin1Char('0');
        return bits;
    }
    case TBaseType::btHexadecimal: return QString::number(value, 16).toUpper().rightJustified(digits_, QLatin1Char('0'));
    case TBaseType::btDecimal: break;
    }
    return QString::number(value).rightJustified(digits_, QLatin1Char('0'));
}

void TOdometer::setValue(uint32_t v) {
    if (v > limit_) v %= limit_;
    finishAnimation();
    const uint32_t current = value_;
    // Counting up wraps from the limit to 0, counting down from 0 to the limit.
    const bool up = (current < limit_ && v == current + 1) || (current == limit_ && v == 0);
    const bool down = (current != 0 && v == current - 1) || (current == 0 && v == limit_ && limit_ != 0);
    value_ = v;
    if ((up || down) && animation_ != TAnimationType::atNone) startRoll(current, up);
    update();
}

void TOdometer::startRoll(uint32_t from, bool up) {
    from_ = textOf(from);
    rollUp_ = up;
    frame_ = 0;
    // The station has one thread: even a "synchronous" roll is drawn frame
    // by frame from the timer, never by sleeping between frames.
    frames_.start(frameInterval_);
}

void TOdometer::nextFrame() {
    if (++frame_ >= kDigitHeight) {
        frame_ = kDigitHeight;
        frames_.stop();
    }
    update();
}

void TOdometer::finishAnimation() {
    frames_.stop();
    frame_ = kDigitHeight;
    update();
}

void TOdometer::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QImage& strip = digitStrip();
    const QString now = textOf(value_);
    // Content moves up when counting up, unless the wheels turn the other way.
    const bool newFromBelow = rollUp_ != topToBottom_;
    for (int i = 0; i < now.size(); ++i) {
        const QRect cell(i * kDigitWidth, 0, kDigitWidth, kDigitHeight);
        const QChar target = now[i];
        if (!animating() || i >= from_.size() || from_[i] == target) {
            p.drawImage(cell, strip, glyphRect(target));
            continue;
        }
        const int shift = frame_;
        p.setClipRect(cell);
        const int oldY = newFromBelow ? -shift : shift;
        const int newY = newFromBelow ? kDigitHeight - shift : shift - kDigitHeight;
        p.drawImage(QRect(cell.x(), oldY, kDigitWidth, kDigitHeight), strip, glyphRect(from_[i]));
        p.drawImage(QRect(cell.x(), newY, kDigitWidth, kDigitHeight), strip, glyphRect(target));
        p.setClipping(false);
    }
}

THCntr::THCntr(QWidget* parent) : THydroObject(parent) {
    odometer_ = new TOdometer(this);
    odometer_->setDigitCount(10);
    odometer_->move(0, 20);
    setGlyphKind(gkPrzeplyw);
    setPanelHeight(20 + 24);
}

} // namespace k4
