#include "properties/ui/PanelTab.h"

#include "platform/ui/ColorWell.h"
#include "platform/ui/DialogLook.h"
#include "platform/ui/SetObjEnabled.h"
#include "properties/ui/StepperSpinBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QRadioButton>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {


// Every row's label: right-aligned in a column of one width.
QLabel *rowLabel(const QString &label)
{
    auto *text = new QLabel(label);
    text->setMinimumWidth(PanelTab::kLabelWidth);
    text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return text;
}

QFormLayout *rowsLayout(QWidget *owner)
{
    auto *rows = new QFormLayout(owner);
    rows->setHorizontalSpacing(8);
    rows->setVerticalSpacing(6);
    rows->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    rows->setFormAlignment(Qt::AlignLeft | Qt::AlignTop);
    rows->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    return rows;
}

} // namespace

PanelTab::PanelTab(const char *name, const QString &title, QWidget *parent) : QWidget(parent)
{
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(title);
    DialogLook::applyBackground(this);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto *scroll = new QScrollArea(this);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto *content = new QWidget(scroll);
    content->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);
    m_sections = new QVBoxLayout(content);
    m_sections->setContentsMargins(8, 10, 8, 10);
    m_sections->setSpacing(10);
    scroll->setWidget(content);
    outer->addWidget(scroll);
}

QFormLayout *PanelTab::addSection(const QString &title, QGroupBox **box)
{
    auto *section = new QGroupBox(title);
    QFormLayout *rows = rowsLayout(section);
    rows->setContentsMargins(8, 8, 8, 8);
    m_sections->addWidget(section);
    if (box)
        *box = section;
    return rows;
}

void PanelTab::addWidget(QWidget *widget)
{
    m_sections->addWidget(widget);
}

void PanelTab::finish()
{
    m_sections->addStretch(1);
}

QComboBox *PanelTab::comboBox(const char *name, const QStringList &items)
{
    auto *combo = named(new QComboBox, name);
    combo->addItems(items);
    combo->setMinimumWidth(150);
    return combo;
}

ColorWell *PanelTab::colorWell(const char *name, const QString &toolTip)
{
    auto *well = named(new ColorWell, name);
    well->setToolTip(toolTip);
    return well;
}

StepperSpinBox *PanelTab::stepper(const char *name, const char *textName, double minimum, double maximum,
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

QCheckBox *PanelTab::checkBox(const char *name, const QString &text)
{
    return named(new QCheckBox(text), name);
}

QLabel *PanelTab::wrappingLabel(const char *name)
{
    auto *label = named(new QLabel, name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFixedWidth(180);
    // Form rows do not grow with wrapped text: the room for a second line is kept from the start.
    label->setMinimumHeight(label->fontMetrics().lineSpacing() * 2 + 2);
    return label;
}

QGroupBox *PanelTab::innerBox(const char *name, QFormLayout **rows)
{
    auto *box = named(new QGroupBox, name);
    box->setFlat(true);
    // The section draws the frame; the box only groups.
    box->setStyleSheet(QStringLiteral("QGroupBox { border: none; margin: 0; padding: 0; }"));
    *rows = rowsLayout(box);
    (*rows)->setContentsMargins(0, 0, 0, 0);
    return box;
}

QLabel *PanelTab::addRow(QFormLayout *rows, const QString &label, QWidget *field)
{
    QLabel *text = rowLabel(label);
    rows->addRow(text, field);
    return text;
}

QLabel *PanelTab::addRow(QFormLayout *rows, const QString &label, QLayout *fields)
{
    QLabel *text = rowLabel(label);
    rows->addRow(text, fields);
    return text;
}

QLayout *PanelTab::sideBySide(std::initializer_list<QWidget *> widgets)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    for (QWidget *widget : widgets)
        row->addWidget(widget);
    row->addStretch(1);
    return row;
}

QGridLayout *PanelTab::twoColumns(std::initializer_list<QWidget *> widgets)
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

void PanelTab::showFillType(const FillControls &c, const QString &fillType)
{
    const bool gradient = c.gradientRadio && fillType == QLatin1String("G");
    const bool pattern = c.patternRadio && fillType == QLatin1String("H");
    const bool picture = c.pictureRadio && fillType == QLatin1String("I");
    const bool solid = !gradient && !pattern && !picture;
    const auto check = [](QRadioButton *radio, bool on) {
        if (radio)
            radio->setChecked(on);
    };
    const auto enable = [](QWidget *control, bool on) {
        if (control)
            SetObjEnabled(control, on);
    };
    check(c.solidRadio, solid);
    check(c.gradientRadio, gradient);
    check(c.patternRadio, pattern);
    check(c.pictureRadio, picture);
    enable(c.color, solid);
    for (QWidget *control : {c.gradient1, c.gradient2, c.angle})
        enable(control, gradient);
    enable(c.patternStyle, pattern);
    enable(c.patternBehind, pattern);
    enable(c.pictureBox, picture);
}

QStringList PanelTab::outlineStyles()
{
    return {tr("Solid"), tr("Dash"), tr("Dot"), tr("Dash Dot"), tr("Dash Dot Dot")};
}
