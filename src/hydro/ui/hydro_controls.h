#pragma once
// The panels of switchable elements: the state as text and a command button
// (pump, hydrophore, gate valve). A press asks for the opposite of what the
// element shows, marks the command pending and tells the window, which turns
// it into an order to the subscriber.
#include "hydro/ui/hydro_object.h"

#include <functional>

class QLabel;
class QPushButton;

namespace k4 {

class TControlText : public THydroObject {
    Q_OBJECT
public:
    explicit TControlText(QWidget* parent = nullptr);

    // 0 off, 1 on, 2 failure, 3 command pending.
    int State() const { return state_; }
    virtual void setState(int state);
    std::function<void(TControlText&)> OnPress;
    // The command the last press asked for.
    bool TurnOn() const { return turnOn_; }

    // The button, as the operator presses it.
    void press();
    virtual void DispControl();

    QLabel* stateLabel() const { return label_; }
    QPushButton* button() const { return button_; }

protected:
    // The state text in its colour; the button's text when the state has
    // one, and whether it can be pressed.
    void display(const QString& text, const QColor& colour, const QString& buttonText, bool enabled);
    void placeButton(int top);

    int state_ = 0;

private:
    QLabel* label_;
    QPushButton* button_;
    bool turnOn_ = false;
};

class THPump : public TControlText {
    Q_OBJECT
public:
    explicit THPump(QWidget* parent = nullptr);

    void setState(int state) override;
    double PumpCurr() const { return current_; }
    void setPumpCurr(double value);
    double PumpTime() const { return time_; }
    void setPumpTime(double value);
    int ShowWhat() const { return showWhat_; }
    void setShowWhat(int bits);
    QString CurrUnits() const { return currUnits_; }
    void setCurrUnits(const QString& units);
    QString TimeUnits() const { return timeUnits_; }
    void setTimeUnits(const QString& units);

    void DispPump();
    QLabel* currentLabel() const { return currentLabel_; }
    QLabel* timeLabel() const { return timeLabel_; }

private:
    QLabel* currentLabel_;
    QLabel* timeLabel_;
    double current_ = 0, time_ = 0;
    int showWhat_ = 3;
    QString currUnits_, timeUnits_;
};

class THHydr : public TControlText {
    Q_OBJECT
public:
    explicit THHydr(QWidget* parent = nullptr);
    void DispControl() override;
};

class THBolt : public TControlText {
    Q_OBJECT
public:
    explicit THBolt(QWidget* parent = nullptr);
    void DispControl() override;
};

} // namespace k4
