#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class ColorWell;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QGridLayout;
class QGroupBox;
class QRadioButton;
class QLabel;
class QVBoxLayout;
class StepperSpinBox;

// A page of the properties panel: titled sections of label and control rows, stacked from the top
// and scrolled when they do not fit. Its window title is the label of its tab. The helpers make
// controls named by their outlets, so that every tab looks and lines up alike.
class PanelTab : public QWidget {
    Q_OBJECT
public:
    PanelTab(const char *name, const QString &title, QWidget *parent = nullptr);

    // Appends a titled section and answers its rows.
    QFormLayout *addSection(const QString &title, QGroupBox **box = nullptr);
    // Appends a widget that spans the page (a title, a note).
    void addWidget(QWidget *widget);
    // Ends the page: what follows the sections is empty space.
    void finish();

    // Controls named by their outlets.
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
    // A box of rows without a frame of its own, inside a section: what SetObjEnabled turns on and
    // off as a whole. Its rows line up with the section's.
    static QGroupBox *innerBox(const char *name, QFormLayout **rows);
    // A row whose label has the width every tab's labels share.
    static QLabel *addRow(QFormLayout *rows, const QString &label, QWidget *field);
    static QLabel *addRow(QFormLayout *rows, const QString &label, QLayout *fields);
    // Several controls side by side in one row.
    static QLayout *sideBySide(std::initializer_list<QWidget *> widgets);
    // Radio buttons or check boxes two to a row, in reading order.
    static QGridLayout *twoColumns(std::initializer_list<QWidget *> widgets);
    // The fill controls of a tab; a tab without a kind of fill leaves its controls null.
    struct FillControls {
        QRadioButton *solidRadio, *gradientRadio, *patternRadio, *pictureRadio;
        QWidget *color, *gradient1, *gradient2, *angle, *patternStyle, *patternBehind, *pictureBox;
    };
    // Ticks the radio of a fill type ("G" gradient, "H" pattern, "I" picture, solid for any other
    // and for a kind the tab does not have) and enables only the controls of that type.
    static void showFillType(const FillControls &controls, const QString &fillType);
    // The five outline styles in the order of their codes.
    static QStringList outlineStyles();

    static constexpr int kLabelWidth = 72;

private:
    QVBoxLayout *m_sections;
};
