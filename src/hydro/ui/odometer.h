#pragma once
// The rolling-digit counter of the flow counters: a row of digit wheels
// drawn from the digit strip. A change by one rolls the digits that change
// by one glyph, up or down; any other change shows the new value at once.
#include "hydro/ui/hydro_object.h"

#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdint>

namespace k4 {

enum class TAnimationType { atNone, atSynchronous, atAsynchronous };
enum class TBaseType { btBinary, btDecimal, btHexadecimal };

class TOdometer : public QWidget {
    Q_OBJECT
public:
    explicit TOdometer(QWidget* parent = nullptr);

    TAnimationType AnimationType() const { return animation_; }
    void setAnimationType(TAnimationType type) { animation_ = type; }
    int Height() const { return kDigitHeight; }
    int Width() const { return digits_ * kDigitWidth; }
    int FrameInterval() const { return frameInterval_; }
    void setFrameInterval(int ms) { frameInterval_ = ms <= 0 ? 1 : std::min(ms, 255); }
    TBaseType BaseType() const { return base_; }
    void setBaseType(TBaseType base);
    int DigitCount() const { return digits_; }
    // 1..32; anything else is refused.
    void setDigitCount(int count);
    uint32_t Limit() const { return limit_; }
    bool IncTopToBottom() const { return topToBottom_; }
    void setIncTopToBottom(bool on) { topToBottom_ = on; }
    uint32_t Value() const { return value_; }
    void setValue(uint32_t value);

    // The digits as they stand when no roll is running.
    QString text() const { return textOf(value_); }
    QString textOf(uint32_t value) const;
    bool animating() const { return frame_ < kDigitHeight; }
    // Runs the roll to its end at once.
    void finishAnimation();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void computeLimit();
    void startRoll(uint32_t from, bool up);
    void nextFrame();

    TAnimationType animation_ = TAnimationType::atSynchronous;
    TBaseType base_ = TBaseType::btDecimal;
    int digits_ = 8;
    int frameInterval_ = 30;
    bool topToBottom_ = false;
    uint32_t limit_ = 99999999;
    uint32_t value_ = 0;
    // The roll: the old text and the frame reached (kDigitHeight: none).
    QString from_;
    bool rollUp_ = true;
    int frame_ = kDigitHeight;
    QTimer frames_;
};

class THCntr : public THydroObject {
    Q_OBJECT
public:
    explicit THCntr(QWidget* parent = nullptr);
    int Value() const { return static_cast<int>(odometer_->Value()); }
    void setValue(int value) { odometer_->setValue(static_cast<uint32_t>(value)); }
    TOdometer* odometer() const { return odometer_; }

private:
    TOdometer* odometer_;
};

} // namespace k4
