#include "platform/ui/Form.h"

#include "platform/ui/ColorWell.h"
#include "platform/ui/StepperSpinBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

QComboBox *Form::comboBox(const char *name, const QStringList &items)
{
    auto *combo = named(new QComboBox, name);
    combo->addItems(items);
    combo->setMinimumWidth(150);
    return combo;
}

ColorWell *Form::colorWell(const char *name, const QString &toolTip)
{
    auto *well = named(new ColorWell, name);
    well->setToolTip(toolTip);
    return well;
}

StepperSpinBox *Form::stepper(const char *name, const char *textName, double minimum, double maximum,
                              const QString &suffix, int decimals)
{
    auto *spin = named(new StepperSpinBox, name);
    spin->setDecimals(decimals);
    spin->setRange(minimum, maximum);
    spin->setSuffix(suffix);
    spin->setMinimumWidth(90);
    spin->setAlignment(Qt::AlignRight);
    spin->textField()->setObjectName(QString::fromLatin1(textName));
    return spin;
}

QCheckBox *Form::checkBox(const char *name, const QString &text)
{
    return named(new QCheckBox(text), name);
}

QLabel *Form::wrappingLabel(const char *name)
{
    auto *label = named(new QLabel, name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFixedWidth(180);
    // Form rows do not grow with wrapped text: the room for a second line is kept from the start.
    label->setMinimumHeight(label->fontMetrics().lineSpacing() * 2 + 2);
    return label;
}

QFormLayout *Form::rows(QWidget *owner)
{
    auto *rows = new QFormLayout(owner);
    rows->setHorizontalSpacing(8);
    rows->setVerticalSpacing(6);
    rows->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    rows->setFormAlignment(Qt::AlignLeft | Qt::AlignTop);
    rows->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    return rows;
}

QLabel *Form::rowLabel(const QString &label, int width)
{
    auto *text = new QLabel(label);
    text->setMinimumWidth(width);
    text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return text;
}

QGroupBox *Form::innerBox(const char *name, QFormLayout **rows)
{
    auto *box = named(new QGroupBox, name);
    *rows = innerRows(box);
    return box;
}

QFormLayout *Form::innerRows(QGroupBox *box)
{
    box->setFlat(true);
    // The section draws the frame; the box only groups.
    box->setStyleSheet(QStringLiteral("QGroupBox { border: none; margin: 0; padding: 0; }"));
    QFormLayout *boxRows = rows(box);
    boxRows->setContentsMargins(0, 0, 0, 0);
    return boxRows;
}

QLabel *Form::addRow(QFormLayout *rows, const QString &label, QWidget *field)
{
    QLabel *text = rowLabel(label);
    rows->addRow(text, field);
    return text;
}

QLabel *Form::addRow(QFormLayout *rows, const QString &label, QLayout *fields)
{
    QLabel *text = rowLabel(label);
    rows->addRow(text, fields);
    return text;
}

QLayout *Form::sideBySide(std::initializer_list<QWidget *> widgets)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    for (QWidget *widget : widgets)
        row->addWidget(widget);
    row->addStretch(1);
    return row;
}

QGridLayout *Form::twoColumns(const QList<QWidget *> &widgets)
{
    auto *grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);
    int index = 0;
    for (QWidget *widget : widgets) {
        grid->addWidget(widget, index / 2, index % 2);
        ++index;
    }
    return grid;
}
