#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <initializer_list>

class ColorWell;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLayout;
class QWidget;
class StepperSpinBox;

// Controls named by their outlets and rows of labels and fields, so that every panel tab and
// window lines up and looks alike.
struct Form {
    template <typename Widget>
    static Widget *named(Widget *widget, const char *name)
    {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    }
    static QComboBox *comboBox(const char *name, const QStringList &items = {});
    static ColorWell *colorWell(const char *name, const QString &toolTip);
    // A stepper with its text field named `textName`.
    static StepperSpinBox *stepper(const char *name, const char *textName, double minimum, double maximum,
                                   const QString &suffix = QString(), int decimals = 0);
    static QCheckBox *checkBox(const char *name, const QString &text);
    // A label for a value that may not fit one line (a font's name): it wraps within the width of
    // a field, into a row with room for two lines.
    static QLabel *wrappingLabel(const char *name);

    // Rows of right-aligned labels and fields at their own width, laid into `owner`.
    static QFormLayout *rows(QWidget *owner);
    // A row's label, right-aligned in a column `width` wide.
    static QLabel *rowLabel(const QString &label, int width = kLabelWidth);
    // A box of rows without a frame of its own, inside a section: what SetObjEnabled turns on and
    // off as a whole. Its rows line up with the section's.
    static QGroupBox *innerBox(const char *name, QFormLayout **rows);
    // Makes `box` such a box and answers its rows.
    static QFormLayout *innerRows(QGroupBox *box);
    // A row whose label has the width every panel tab's labels share.
    static QLabel *addRow(QFormLayout *rows, const QString &label, QWidget *field);
    static QLabel *addRow(QFormLayout *rows, const QString &label, QLayout *fields);
    // Several controls side by side in one row.
    static QLayout *sideBySide(std::initializer_list<QWidget *> widgets);
    // Radio buttons or check boxes two to a row, in reading order.
    static QGridLayout *twoColumns(const QList<QWidget *> &widgets);

    static constexpr int kLabelWidth = 72;
};
