#include "properties/ui/ShapeTab.h"

#include "document/SKTGraphic.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/FillBox.h"
#include "platform/ui/SetObjEnabled.h"
#include "platform/ui/StepperSpinBox.h"
#include "properties/PanelDesign.h"
#include "properties/PanelWriteBack.h"
#include "properties/ShapePanelValues.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

ShapeTab::ShapeTab(PanelDesign &design, QCheckBox *print_object_chk, QWidget *parent)
    : PanelTab("shape_tab", tr("Rectangle Properties"), parent), m_design(design), m_print(print_object_chk)
{
    build();
    connectActions();
}

void ShapeTab::build()
{
    Shape_prop_title = named(new QLabel(windowTitle()), "Shape_prop_title");
    QFont bold = Shape_prop_title->font();
    bold.setBold(true);
    Shape_prop_title->setFont(bold);
    addWidget(Shape_prop_title);

    QFormLayout *outline = addSection(tr("Outline"));
    Shape_border_chk = checkBox("Shape_border_chk", tr("Draw an outline"));
    addRow(outline, QString(), Shape_border_chk);
    QFormLayout *border = nullptr;
    Shape_Border_Box = innerBox("Shape_Border_Box", &border);
    shape_bor_Stepper = stepper("shape_bor_Stepper", "shape_bor_Text", 0, 50, tr(" pt"));
    shape_bor_Text = shape_bor_Stepper->textField();
    shape_bordr_clr = colorWell("shape_bordr_clr", tr("Outline colour"));
    shape_border_style = comboBox("shape_border_style", outlineStyles());
    addRow(border, tr("Width:"), shape_bor_Stepper);
    addRow(border, tr("Colour:"), shape_bordr_clr);
    addRow(border, tr("Style:"), shape_border_style);
    outline->addRow(Shape_Border_Box);

    QFormLayout *fillSection = addSection(tr("Fill"));
    Shape_fill_chk = checkBox("Shape_fill_chk", tr("Fill the shape"));
    addRow(fillSection, QString(), Shape_fill_chk);
    Shape_Fill_Box = new FillBox(QStringLiteral("Shape"), QStringLiteral("shape"),
                                 FillBox::Gradient | FillBox::Pattern);
    const FillBox &f = *Shape_Fill_Box;
    Shape_solid_fill_rd = f.solidRadio;
    Shape_gradient_fill_rd = f.gradientRadio;
    Shape_Style_fill_rd = f.patternRadio;
    shape_fill_clr = f.color;
    shape_fill_Grd_1_clr = f.gradient1;
    shape_fill_Grd_2_clr = f.gradient2;
    shape_grad_Stepper = f.angle;
    shape_grad_Text = f.angle->textField();
    shape_hatch_style = f.patternStyle;
    shape_hatch_bk_clr = f.patternBehind;
    shape_alpha_Stepper = f.opacity;
    shape_alpha_Text = f.opacity->textField();
    fillSection->addRow(Shape_Fill_Box);

    m_measures = addSection(tr("Shape"), &Shape_Measure_Box);
    Shape_Measure_Box->setObjectName(QStringLiteral("Shape_Measure_Box"));
    shape_cor_radius_Stepper = stepper("shape_cor_radius_Stepper", "shape_cor_radius_Text", 0, 200, tr(" pt"), 1);
    shape_cor_radius_Text = shape_cor_radius_Stepper->textField();
    shape_cor_radius_Label = addRow(m_measures, tr("Corners:"), shape_cor_radius_Stepper);
    shape_cor_radius_Label->setObjectName(QStringLiteral("shape_cor_radius_Label"));
    double_star_Stepper = stepper("double_star_Stepper", "double_star_Text", 1, 5);
    double_star_Text = double_star_Stepper->textField();
    double_star_Label = addRow(m_measures, tr("Points:"), double_star_Stepper);
    double_star_Label->setObjectName(QStringLiteral("double_star_Label"));
    polygon_Stepper = stepper("polygon_Stepper", "polygon_Text", 1, 5);
    polygon_Text = polygon_Stepper->textField();
    polygon_Label = addRow(m_measures, tr("Sides:"), polygon_Stepper);
    polygon_Label->setObjectName(QStringLiteral("polygon_Label"));
    finish();
}

void ShapeTab::connectActions()
{
    for (ColorWell *well : {shape_bordr_clr, shape_fill_clr, shape_fill_Grd_1_clr, shape_fill_Grd_2_clr,
                            shape_hatch_bk_clr})
        connect(well, &ColorWell::colorChanged, this, [this, well] { Set_Control_Clr(well); });
    connect(Shape_border_chk, &QCheckBox::clicked, this, [this] { Shape_Border_ChkBox(Shape_border_chk); });
    connect(Shape_fill_chk, &QCheckBox::clicked, this, [this] { Shape_Fill_Chk_Box(Shape_fill_chk); });
    const struct {
        StepperSpinBox *stepper;
        void (ShapeTab::*action)(QObject *);
    } steppers[] = {{shape_bor_Stepper, &ShapeTab::Shape_Border_Changed},
                    {shape_grad_Stepper, &ShapeTab::Shape_Gradient_Changed},
                    {shape_alpha_Stepper, &ShapeTab::Shape_Alpha_Changed},
                    {shape_cor_radius_Stepper, &ShapeTab::Shape_Corner_Radius_Changed},
                    {double_star_Stepper, &ShapeTab::Double_Star_Shape_Changed},
                    {polygon_Stepper, &ShapeTab::Polygon_Shape_Changed}};
    for (const auto &entry : steppers) {
        StepperSpinBox *spin = entry.stepper;
        const auto action = entry.action;
        connect(spin, &StepperSpinBox::stepped, this, [this, spin, action] { (this->*action)(spin); });
        connect(spin, &StepperSpinBox::typed, this, [this, spin, action] { (this->*action)(spin->textField()); });
    }
    connect(Shape_solid_fill_rd, &QRadioButton::clicked, this, [this] { Shape_Solid_RD_Sel(Shape_solid_fill_rd); });
    connect(Shape_gradient_fill_rd, &QRadioButton::clicked, this,
            [this] { Shape_Gradient_RD_Sel(Shape_gradient_fill_rd); });
    connect(Shape_Style_fill_rd, &QRadioButton::clicked, this, [this] { Shape_Hatch_RD_Sel(Shape_Style_fill_rd); });
    // A selection made while the panel is filled reaches the write-back too, which then does nothing.
    for (QComboBox *combo : {shape_border_style, shape_hatch_style})
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { Update_Shape_Graphics(); });
}

ShapePanelValues ShapeTab::values() const
{
    ShapePanelValues v;
    v.border = Shape_border_chk->isChecked();
    v.borderColor = shape_bordr_clr->color();
    v.borderWidth = shape_bor_Stepper->intValue();
    v.borderStyle = shape_border_style->currentIndex();
    v.fill = Shape_fill_chk->isChecked();
    v.fillColor = shape_fill_clr->color();
    v.fillRadio = Shape_Fill_Box->fillType();
    v.gradient1 = shape_fill_Grd_1_clr->color();
    v.gradient2 = shape_fill_Grd_2_clr->color();
    v.gradientAngle = shape_grad_Stepper->value();
    v.hatchBackground = shape_hatch_bk_clr->color();
    v.hatchName = shape_hatch_style->currentIndex() < 0 ? QString() : shape_hatch_style->currentText();
    v.opacityPercent = shape_alpha_Stepper->value();
    v.cornerRadius = shape_cor_radius_Stepper->value();
    v.doubleStar = double_star_Stepper->intValue();
    v.polygon = polygon_Stepper->intValue();
    v.printObject = m_print && m_print->isChecked() ? 1 : 0;
    return v;
}

void ShapeTab::Update_Shape_Graphics()
{
    const ShapePanelValues v = values();
    writeToSelection(m_design, [&v](SKTGraphic &graphic) { v.writeInto(graphic); });
}

void ShapeTab::fill(const SKTGraphic &graphic)
{
    const ShapePanelValues v = ShapePanelValues::of(graphic);
    Shape_border_chk->setChecked(v.border);
    shape_bor_Stepper->setValue(v.borderWidth);
    shape_bordr_clr->setColor(v.borderColor);
    // A code the list does not hold keeps the style shown before.
    if (v.borderStyle >= 0)
        shape_border_style->setCurrentIndex(v.borderStyle);
    Shape_fill_chk->setChecked(v.fill);
    shape_fill_clr->setColor(v.fillColor);
    shape_fill_Grd_1_clr->setColor(v.gradient1);
    shape_fill_Grd_2_clr->setColor(v.gradient2);
    shape_hatch_bk_clr->setColor(v.hatchBackground);
    shape_hatch_style->setCurrentIndex(v.hatchName.isEmpty() ? -1 : shape_hatch_style->findText(v.hatchName));
    shape_grad_Stepper->setValue(v.gradientAngle);
    // The stepper keeps what its limits allow, and its field shows that.
    shape_alpha_Stepper->setValue(v.opacityPercent);
    shape_cor_radius_Stepper->setValue(v.cornerRadius);
    double_star_Stepper->setValue(v.doubleStar);
    polygon_Stepper->setValue(v.polygon);
    SetObjEnabled(Shape_Border_Box, Shape_border_chk->isChecked());
    SetObjEnabled(Shape_Fill_Box, Shape_fill_chk->isChecked());
    showFillType(v.fillRadio);
}

void ShapeTab::showShapeMeasures(const QString &shapeCode)
{
    const bool corner = shapeCode == QLatin1String("RR");
    const bool star = shapeCode == QLatin1String("DS");
    const bool polygon = shapeCode == QLatin1String("P");
    m_measures->setRowVisible(shape_cor_radius_Stepper, corner);
    m_measures->setRowVisible(double_star_Stepper, star);
    m_measures->setRowVisible(polygon_Stepper, polygon);
    Shape_Measure_Box->setVisible(corner || star || polygon);
}

void ShapeTab::setShapeName(const QString &name)
{
    setWindowTitle(name);
    Shape_prop_title->setText(name);
}

void ShapeTab::showFillType(const QString &fillType)
{
    Shape_Fill_Box->showFillType(fillType);
}

// The text fields are the steppers' own: a step shows in its field at once, and a typed value is
// the stepper's when the action comes, so each action writes the stepper's value as it stands.

void ShapeTab::Set_Control_Clr(QObject *)
{
    Update_Shape_Graphics();
}

void ShapeTab::Shape_Border_ChkBox(QObject *)
{
    SetObjEnabled(Shape_Border_Box, Shape_border_chk->isChecked());
    Update_Shape_Graphics();
}

void ShapeTab::Shape_Fill_Chk_Box(QObject *)
{
    SetObjEnabled(Shape_Fill_Box, Shape_fill_chk->isChecked());
    Update_Shape_Graphics();
}

void ShapeTab::Shape_Border_Changed(QObject *) { Update_Shape_Graphics(); }
void ShapeTab::Shape_Gradient_Changed(QObject *) { Update_Shape_Graphics(); }
void ShapeTab::Shape_Alpha_Changed(QObject *) { Update_Shape_Graphics(); }
void ShapeTab::Shape_Corner_Radius_Changed(QObject *) { Update_Shape_Graphics(); }
void ShapeTab::Double_Star_Shape_Changed(QObject *) { Update_Shape_Graphics(); }
void ShapeTab::Polygon_Shape_Changed(QObject *) { Update_Shape_Graphics(); }

void ShapeTab::Shape_Solid_RD_Sel(QObject *)
{
    showFillType(QStringLiteral("S"));
    Update_Shape_Graphics();
}

void ShapeTab::Shape_Gradient_RD_Sel(QObject *)
{
    showFillType(QStringLiteral("G"));
    Update_Shape_Graphics();
}

void ShapeTab::Shape_Hatch_RD_Sel(QObject *)
{
    showFillType(QStringLiteral("H"));
    Update_Shape_Graphics();
}
