#include "platform/ui/EffectSlider.h"

#include <algorithm>
#include <cmath>

EffectSlider::EffectSlider(double minimum, double maximum, double step, QWidget *parent)
    : QSlider(Qt::Horizontal, parent), m_minimum(minimum), m_step(step)
{
    setRange(0, static_cast<int>(std::lround((maximum - minimum) / step)));
    setSingleStep(1);
    setPageStep(std::max(1, static_cast<int>(std::lround(maximum - minimum) / step / 20)));
}

double EffectSlider::floatValue() const
{
    return m_minimum + value() * m_step;
}

void EffectSlider::setFloatValue(double value)
{
    setValue(static_cast<int>(std::lround((value - m_minimum) / m_step)));
}

int EffectSlider::decimals() const
{
    return m_step >= 1.0 ? 0 : static_cast<int>(std::lround(-std::log10(m_step)));
}

QString EffectSlider::valueText() const
{
    return QString::number(floatValue(), 'f', decimals());
}
