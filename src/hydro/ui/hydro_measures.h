#pragma once
// The panels of measured values: the value as text (pressure, temperature,
// flow), and the value beside a bar gauge (tank level; the well's water
// table depth on an inverted gauge). A value outside its alarm levels, or
// not a number at all, is drawn red.
#include "hydro/ui/hydro_object.h"

class QLabel;

namespace k4 {

// "%.1f %s"
QString hydroValueText(double value, const QString& units);
bool hydroValueAlarming(double value, double alertMin, double alertMax);

class TMeasText : public THydroObject {
    Q_OBJECT
public:
    explicit TMeasText(QWidget* parent = nullptr);

    double Value() const { return value_; }
    void setValue(double value);
    double AlertMin() const { return alertMin_; }
    void setAlertMin(double value) { alertMin_ = value; }
    double AlertMax() const { return alertMax_; }
    void setAlertMax(double value) { alertMax_ = value; }
    QString Units() const { return units_; }
    // Only repaints: the text follows at the next value.
    void setUnits(const QString& units);

    QLabel* valueLabel() const { return label_; }

private:
    QLabel* label_;
    double value_ = 0;
    double alertMin_ = -2147483647.0;
    double alertMax_ = 2147483647.0;
    QString units_;
};

class THPres : public TMeasText {
    Q_OBJECT
public:
    explicit THPres(QWidget* parent = nullptr);
};

class THTemp : public TMeasText {
    Q_OBJECT
public:
    explicit THTemp(QWidget* parent = nullptr);
};

class THFlow : public TMeasText {
    Q_OBJECT
public:
    explicit THFlow(QWidget* parent = nullptr);
};

// The bar: a sunken trough filled from the bottom to the position 0..100.
class THydroGauge : public QWidget {
    Q_OBJECT
public:
    explicit THydroGauge(QWidget* parent);
    int position() const { return position_; }
    void setPosition(int position);
    void setColour(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int position_ = 0;
    QColor colour_ = Qt::blue;
};

class TMeasGraph : public THydroObject {
    Q_OBJECT
public:
    explicit TMeasGraph(QWidget* parent = nullptr);

    double ValueMax() const { return valueMax_; }
    virtual void SetValueMax(double value);
    double ValueMin() const { return valueMin_; }
    virtual void SetValueMin(double value);
    double Value() const { return value_; }
    virtual void SetValue(double value);
    double AlertMax() const { return alertMax_; }
    void setAlertMax(double value);
    double AlertMin() const { return alertMin_; }
    void setAlertMin(double value);
    QString Units() const { return units_; }
    void setUnits(const QString& units);

    // p: where Value lies between ValueMin and ValueMax, 0..100.
    int gaugePercent() const;
    int gaugePosition() const { return gauge_->position(); }
    THydroGauge* gauge() const { return gauge_; }
    QLabel* valueLabel() const { return label_; }
    QLabel* minLabel() const { return minLabel_; }
    QLabel* maxLabel() const { return maxLabel_; }

protected:
    void setGaugeColour(const QColor& colour) { gauge_->setColour(colour); }
    void placeChildren() override;
    virtual void updateGauge();
    void showValue();

private:
    void showLimits();

    THydroGauge* gauge_ = nullptr;
    QLabel* label_;
    QLabel* minLabel_;
    QLabel* maxLabel_;
    double valueMax_ = 100, valueMin_ = 0, value_ = 0;
    double alertMax_ = 100, alertMin_ = 0;
    bool minSet_ = false, maxSet_ = false;
    QString units_;
};

class TMeasGraphInv : public TMeasGraph {
    Q_OBJECT
public:
    explicit TMeasGraphInv(QWidget* parent = nullptr);
    void SetValueMax(double value) override;
    void SetValueMin(double value) override;
    void SetValue(double value) override;

protected:
    void updateGauge() override;
};

class THTank : public TMeasGraph {
    Q_OBJECT
public:
    explicit THTank(QWidget* parent = nullptr);
};

class THWell : public TMeasGraphInv {
    Q_OBJECT
public:
    explicit THWell(QWidget* parent = nullptr);
};

} // namespace k4
