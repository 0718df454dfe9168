#pragma once

#include <QSlider>

// A slider over a range of decimal values, in steps of `step`.
class EffectSlider : public QSlider {
    Q_OBJECT
public:
    EffectSlider(double minimum, double maximum, double step, QWidget *parent = nullptr);
    double floatValue() const;
    void setFloatValue(double value);
    int decimals() const;
    // The value as its label shows it: as many decimals as the step has.
    QString valueText() const;

private:
    double m_minimum;
    double m_step;
};
