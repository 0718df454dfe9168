#pragma once

#include <QDoubleSpinBox>

class QLineEdit;

// A stepper and its text field in one control, which tells a step from typing: the arrows, the
// wheel and the arrow keys announce stepped(); a value typed into the field is taken into the
// stepper when editing ends (Return or leaving the field) and announces typed(). Values set by
// the program announce neither. Whole numbers unless decimals are asked for.
class StepperSpinBox : public QDoubleSpinBox {
    Q_OBJECT
public:
    explicit StepperSpinBox(QWidget *parent = nullptr);

    // The paired text field.
    QLineEdit *textField() const { return lineEdit(); }
    // The stepper's value as a whole number, toward zero.
    int intValue() const;

    void stepBy(int steps) override;

signals:
    void stepped();
    void typed();

private:
    bool m_edited = false;
};
