#include "platform/ui/StepperSpinBox.h"

#include "platform/WholeNumbers.h"

#include <QLineEdit>


StepperSpinBox::StepperSpinBox(QWidget *parent) : QDoubleSpinBox(parent)
{
    setDecimals(0);
    // The value follows the field only when editing ends, not at every key.
    setKeyboardTracking(false);
    setAccelerated(true);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { m_edited = true; });
    // Leaving the field without typing is no edit.
    connect(this, &QAbstractSpinBox::editingFinished, this, [this] {
        if (!m_edited)
            return;
        m_edited = false;
        emit typed();
    });
}

int StepperSpinBox::intValue() const
{
    return truncatedInt(value());
}

void StepperSpinBox::stepBy(int steps)
{
    // A step takes what was typed so far as its starting point, as the field shows it.
    m_edited = false;
    const double before = value();
    QDoubleSpinBox::stepBy(steps);
    if (value() != before)
        emit stepped();
}
