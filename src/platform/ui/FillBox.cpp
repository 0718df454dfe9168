#include "platform/ui/FillBox.h"

#include "platform/ui/ColorWell.h"
#include "platform/ui/Form.h"
#include "platform/ui/SetObjEnabled.h"
#include "platform/ui/StepperSpinBox.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>

FillBox::FillBox(const QString &radioOwner, const QString &controlOwner, int types, QWidget *parent)
    : QGroupBox(parent)
{
    const auto name = [](const QString &owner, const char *outlet) {
        return (owner + QLatin1String(outlet)).toLatin1();
    };
    const auto radio = [&](const QString &text, const char *outlet) {
        return Form::named(new QRadioButton(text), name(radioOwner, outlet).constData());
    };
    const auto well = [&](const char *outlet, const QString &toolTip) {
        return Form::colorWell(name(controlOwner, outlet).constData(), toolTip);
    };
    const auto stepper = [&](const char *outlet, const char *textOutlet, double maximum, const QString &suffix) {
        return Form::stepper(name(controlOwner, outlet).constData(), name(controlOwner, textOutlet).constData(), 0,
                             maximum, suffix);
    };

    setObjectName(QString::fromLatin1(name(radioOwner, "_Fill_Box")));
    QFormLayout *rows = Form::innerRows(this);

    solidRadio = radio(tr("Solid"), "_solid_fill_rd");
    gradientRadio = radio(tr("Gradient"), "_gradient_fill_rd");
    QList<QWidget *> radios{solidRadio, gradientRadio};
    if (types & Pattern)
        radios << (patternRadio = radio(tr("Pattern"), "_Style_fill_rd"));
    if (types & Picture)
        radios << (pictureRadio = radio(tr("Picture"), "_Image_fill_rd"));
    QLabel *typeLabel = Form::addRow(rows, tr("Type:"), Form::twoColumns(radios));
    // By the first row when the radios take two.
    if (radios.size() > 2)
        typeLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);

    color = well("_fill_clr", tr("Fill colour"));
    Form::addRow(rows, tr("Colour:"), color);
    gradient1 = well("_fill_Grd_1_clr", tr("Gradient start colour"));
    gradient2 = well("_fill_Grd_2_clr", tr("Gradient end colour"));
    Form::addRow(rows, tr("Gradient:"), Form::sideBySide({gradient1, gradient2}));
    angle = stepper("_grad_Stepper", "_grad_Text", 360, QStringLiteral("°"));
    Form::addRow(rows, tr("Angle:"), angle);
    if (types & Pattern) {
        patternStyle = Form::comboBox(name(controlOwner, "_hatch_style").constData());
        Form::addRow(rows, tr("Pattern:"), patternStyle);
        patternBehind = well("_hatch_bk_clr", tr("Colour behind the pattern"));
        Form::addRow(rows, tr("Behind:"), patternBehind);
    }
    opacity = stepper("_alpha_Stepper", "_alpha_Text", 100, tr(" %"));
    Form::addRow(rows, tr("Opacity:"), opacity);
}

QString FillBox::fillType() const
{
    if (gradientRadio->isChecked())
        return QStringLiteral("G");
    if (patternRadio && patternRadio->isChecked())
        return QStringLiteral("H");
    if (pictureRadio && pictureRadio->isChecked())
        return QStringLiteral("I");
    return QStringLiteral("S");
}

void FillBox::showFillType(const QString &fillType)
{
    const bool gradient = fillType == QLatin1String("G");
    const bool pattern = patternRadio && fillType == QLatin1String("H");
    const bool picture = pictureRadio && fillType == QLatin1String("I");
    const bool solid = !gradient && !pattern && !picture;
    solidRadio->setChecked(solid);
    gradientRadio->setChecked(gradient);
    const auto enable = [](QWidget *control, bool on) {
        if (control)
            SetObjEnabled(control, on);
    };
    if (patternRadio)
        patternRadio->setChecked(pattern);
    if (pictureRadio)
        pictureRadio->setChecked(picture);
    enable(color, solid);
    for (QWidget *control : {gradient1, gradient2})
        enable(control, gradient);
    enable(angle, gradient);
    enable(patternStyle, pattern);
    enable(patternBehind, pattern);
    enable(pictureControls, picture);
}
