#include "properties/ui/ImageTab.h"

#include "canvas/ui/InputShield.h"
#include "core/MessageBoxes.h"
#include "document/ControlTags.h"
#include "document/SKTImage.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/EffectSlider.h"
#include "platform/ui/SetObjEnabled.h"
#include "platform/ui/StepperSpinBox.h"
#include "properties/ImagePanelValues.h"
#include "properties/PanelDesign.h"
#include "properties/PanelWriteBack.h"
#include "properties/ui/DataSourceTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

struct ImageTab::Slider {
    EffectSlider *ImageTab::*slider;
    QLabel *ImageTab::*value;
    const char *name;
    const char *valueName;
    const char *label;
    double minimum, maximum, step;
    double neutral; // what the reset puts back
    void (ImageTab::*action)(QObject *);
};

// Ranges in the effect chain's units: hue in radians, exposure in stops, blur in pixels.
const ImageTab::Slider ImageTab::kSliders[] = {
    {&ImageTab::Trsp_slidr, &ImageTab::Trsp_slidr_val, "Trsp_slidr", "Trsp_slidr_val", QT_TR_NOOP("Opacity:"), 0, 100,
     1, 100, &ImageTab::Transperncy_Slider_Changed},
    {&ImageTab::Rotate_slidr, &ImageTab::Rotate_slidr_val, "Rotate_slidr", "Rotate_slidr_val", QT_TR_NOOP("Rotation:"),
     -180, 180, 1, 0, &ImageTab::Rotate_Slider_Changed},
    {&ImageTab::Hue_slidr, &ImageTab::Hue_slidr_val, "Hue_slidr", "Hue_slidr_val", QT_TR_NOOP("Hue:"), -3.14, 3.14,
     0.01, 0, &ImageTab::Hue_Slider_Changed},
    {&ImageTab::Sat_slidr, &ImageTab::Sat_slidr_val, "Sat_slidr", "Sat_slidr_val", QT_TR_NOOP("Saturation:"), 0, 2,
     0.01, 1, &ImageTab::Sat_Slider_Changed},
    {&ImageTab::Brt_slidr, &ImageTab::Brt_slidr_val, "Brt_slidr", "Brt_slidr_val", QT_TR_NOOP("Brightness:"), -1, 1,
     0.01, 0, &ImageTab::Brt_Slider_Changed},
    {&ImageTab::Con_slidr, &ImageTab::Con_slidr_val, "Con_slidr", "Con_slidr_val", QT_TR_NOOP("Contrast:"), 0.25, 4,
     0.01, 1, &ImageTab::Con_Slider_Changed},
    {&ImageTab::shrp_slidr, &ImageTab::shrp_slidr_val, "shrp_slidr", "shrp_slidr_val", QT_TR_NOOP("Sharpness:"), 0, 2,
     0.01, 0, &ImageTab::sharp_Slider_Changed},
    {&ImageTab::ev_slidr, &ImageTab::ev_slidr_val, "ev_slidr", "ev_slidr_val", QT_TR_NOOP("Exposure:"), -3, 3, 0.01, 0,
     &ImageTab::EV_Slider_Changed},
    {&ImageTab::blr_slidr, &ImageTab::blr_slidr_val, "blr_slidr", "blr_slidr_val", QT_TR_NOOP("Blur:"), 0, 20, 0.1, 0,
     &ImageTab::Blr_Slider_Changed},
};

ImageTab::ImageTab(PanelDesign &design, QCheckBox *print_object_chk, DataSourceTab &source, QWidget *parent)
    : PanelTab("image_tab", tr("Image Properties"), parent), m_design(design), m_print(print_object_chk),
      m_source(source)
{
    QFormLayout *outline = addSection(tr("Outline"));
    Image_border_chk = checkBox("Image_border_chk", tr("Draw an outline"));
    addRow(outline, QString(), Image_border_chk);
    QFormLayout *border = nullptr;
    Image_Border_Box = innerBox("Image_Border_Box", &border);
    Image_bor_Stepper = stepper("Image_bor_Stepper", "Image_bor_Text", 0, 50, tr(" pt"));
    Image_bor_Text = Image_bor_Stepper->textField();
    Image_bordr_clr = colorWell("Image_bordr_clr", tr("Outline colour"));
    Image_border_style = comboBox("Image_border_style", outlineStyles());
    addRow(border, tr("Width:"), Image_bor_Stepper);
    addRow(border, tr("Colour:"), Image_bordr_clr);
    addRow(border, tr("Style:"), Image_border_style);
    outline->addRow(Image_Border_Box);

    QFormLayout *effects = addSection(tr("Effects"), &Image_Edit_Prop_Box);
    Image_Edit_Prop_Box->setObjectName(QStringLiteral("Image_Edit_Prop_Box"));
    Image_FIH_chk = checkBox("Image_FIH_chk", tr("Mirror across"));
    Image_FIV_chk = checkBox("Image_FIV_chk", tr("Mirror down"));
    Image_Invert_chk = checkBox("Image_Invert_chk", tr("Invert"));
    Image_Gray_Scale_chk = checkBox("Image_Gray_Scale_chk", tr("Greyscale"));
    Image_Sepia_chk = checkBox("Image_Sepia_chk", tr("Sepia"));
    QGridLayout *checks =
        twoColumns({Image_FIH_chk, Image_FIV_chk, Image_Gray_Scale_chk, Image_Sepia_chk, Image_Invert_chk});
    checks->setContentsMargins(0, 0, 0, 4);
    effects->addRow(checks);
    const int fieldWidth = fontMetrics().horizontalAdvance(QStringLiteral("-180.00")) + 4;
    for (const Slider &entry : kSliders) {
        auto *slider = named(new EffectSlider(entry.minimum, entry.maximum, entry.step), entry.name);
        slider->setMinimumWidth(130);
        auto *value = named(new QLabel, entry.valueName);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setFixedWidth(fieldWidth);
        this->*entry.slider = slider;
        this->*entry.value = value;
        addRow(effects, tr(entry.label), sideBySide({slider, value}));
        const auto action = entry.action;
        connect(slider, &QSlider::valueChanged, this, [this, slider, action] { (this->*action)(slider); });
    }
    Image_reset_btn = named(new QPushButton(tr("Reset Effects")), "Image_reset_btn");
    Image_reset_btn->setToolTip(tr("Put every effect back to none"));
    addRow(effects, QString(), Image_reset_btn);
    finish();
    Reset_Image_Editing_Controls();

    connect(Image_bordr_clr, &ColorWell::colorChanged, this, [this] { Set_ImageControl_Clr(Image_bordr_clr); });
    connect(Image_border_chk, &QCheckBox::clicked, this, [this] { Image_Border_ChkBox(Image_border_chk); });
    connect(Image_bor_Stepper, &StepperSpinBox::stepped, this, [this] { Image_Border_Changed(Image_bor_Stepper); });
    connect(Image_bor_Stepper, &StepperSpinBox::typed, this, [this] { Image_Border_Changed(Image_bor_Text); });
    connect(Image_border_style, &QComboBox::currentIndexChanged, this, [this] { Update_Image_Graphics(); });
    const struct {
        QCheckBox *box;
        void (ImageTab::*action)(QObject *);
    } boxes[] = {{Image_Gray_Scale_chk, &ImageTab::Image_Gray_Scale_Chked},
                 {Image_Sepia_chk, &ImageTab::Image_Sepia_Chked},
                 {Image_Invert_chk, &ImageTab::Image_Invert_Chked},
                 {Image_FIV_chk, &ImageTab::Image_FIV_Chked},
                 {Image_FIH_chk, &ImageTab::Image_FIH_Chked}};
    for (const auto &entry : boxes) {
        QCheckBox *box = entry.box;
        const auto action = entry.action;
        connect(box, &QCheckBox::clicked, this, [this, box, action] { (this->*action)(box); });
    }
    connect(Image_reset_btn, &QPushButton::clicked, this, [this] { Image_reset_Button(Image_reset_btn); });
    connect(m_source.manual_brws_btn, &QPushButton::clicked, this,
            [this] { Manual_Image_Browse_Btn(m_source.manual_brws_btn); });
    connect(m_source.manual_lib_brws_btn, &QPushButton::clicked, this,
            [this] { Manual_Library_Browse_Btn(m_source.manual_lib_brws_btn); });
}

ImagePanelValues ImageTab::values() const
{
    ImagePanelValues v;
    v.border = Image_border_chk->isChecked();
    v.borderColor = Image_bordr_clr->color();
    v.borderWidth = Image_bor_Stepper->intValue();
    v.borderStyle = Image_border_style->currentIndex();
    v.flipHorizontally = Image_FIH_chk->isChecked();
    v.flipVertically = Image_FIV_chk->isChecked();
    v.invert = Image_Invert_chk->isChecked();
    v.grayScale = Image_Gray_Scale_chk->isChecked();
    v.sepia = Image_Sepia_chk->isChecked();
    v.opacityPercent = Trsp_slidr->floatValue();
    v.rotation = Rotate_slidr->floatValue();
    v.hue = Hue_slidr->floatValue();
    v.saturation = Sat_slidr->floatValue();
    v.brightness = Brt_slidr->floatValue();
    v.contrast = Con_slidr->floatValue();
    v.sharpness = shrp_slidr->floatValue();
    v.exposure = ev_slidr->floatValue();
    v.blur = blr_slidr->floatValue();
    v.path = m_source.Manual_image_path->text();
    v.printObject = m_print && m_print->isChecked() ? 1 : 0;
    return v;
}

void ImageTab::Update_Image_Graphics()
{
    const ImagePanelValues v = values();
    writeToSelection(m_design, [&v](SKTGraphic &graphic) { v.writeInto(graphic); });
}

QLabel *ImageTab::valueField(const EffectSlider *slider) const
{
    for (const Slider &entry : kSliders)
        if (this->*entry.slider == slider)
            return this->*entry.value;
    return nullptr;
}

void ImageTab::showSlider(EffectSlider *slider, double value)
{
    {
        const QSignalBlocker quiet(slider);
        slider->setFloatValue(value);
    }
    if (QLabel *field = valueField(slider))
        field->setText(slider->valueText());
}

void ImageTab::fill(SKTGraphic &graphic, bool framePictureSelected)
{
    // The main photo and the frame picture are edited through their own command.
    Image_Edit_Prop_Box->setVisible(!framePictureSelected);
    m_source.manual_lib_brws_btn->setVisible(!framePictureSelected);

    const ImagePanelValues v = ImagePanelValues::of(graphic);
    m_source.Manual_image_path->setText(v.path);
    m_source.showDataSource(graphic.binding.data_source_type);
    m_source.showSeries(graphic, false);
    Image_border_chk->setChecked(v.border);
    Image_bor_Stepper->setValue(v.borderWidth);
    Image_bordr_clr->setColor(v.borderColor);
    if (v.borderStyle >= 0)
        Image_border_style->setCurrentIndex(v.borderStyle);
    SetObjEnabled(Image_Border_Box, v.border);
    showSlider(Rotate_slidr, v.rotation);
    showSlider(Trsp_slidr, v.opacityPercent);
    showSlider(Hue_slidr, v.hue);
    showSlider(Sat_slidr, v.saturation);
    showSlider(Brt_slidr, v.brightness);
    showSlider(Con_slidr, v.contrast);
    showSlider(shrp_slidr, v.sharpness);
    showSlider(ev_slidr, v.exposure);
    showSlider(blr_slidr, v.blur);
    Image_Gray_Scale_chk->setChecked(v.grayScale);
    Image_Sepia_chk->setChecked(v.sepia);
    Image_Invert_chk->setChecked(v.invert);
    Image_FIV_chk->setChecked(v.flipVertically);
    Image_FIH_chk->setChecked(v.flipHorizontally);
}

void ImageTab::Reset_Image_Editing_Controls()
{
    for (const Slider &entry : kSliders)
        showSlider(this->*entry.slider, entry.neutral);
    for (QCheckBox *box : {Image_FIH_chk, Image_FIV_chk, Image_Invert_chk, Image_Gray_Scale_chk, Image_Sepia_chk})
        box->setChecked(false);
}

void ImageTab::slid(EffectSlider *slider)
{
    if (QLabel *field = valueField(slider))
        field->setText(slider->valueText());
    Update_Image_Graphics();
}

// Each slider's action shows its own slider's value, whichever control sent it.
void ImageTab::Transperncy_Slider_Changed(QObject *) { slid(Trsp_slidr); }
void ImageTab::Rotate_Slider_Changed(QObject *) { slid(Rotate_slidr); }
void ImageTab::Hue_Slider_Changed(QObject *) { slid(Hue_slidr); }
void ImageTab::Sat_Slider_Changed(QObject *) { slid(Sat_slidr); }
void ImageTab::Brt_Slider_Changed(QObject *) { slid(Brt_slidr); }
void ImageTab::Con_Slider_Changed(QObject *) { slid(Con_slidr); }
void ImageTab::sharp_Slider_Changed(QObject *) { slid(shrp_slidr); }
void ImageTab::EV_Slider_Changed(QObject *) { slid(ev_slidr); }
void ImageTab::Blr_Slider_Changed(QObject *) { slid(blr_slidr); }

void ImageTab::Set_ImageControl_Clr(QObject *) { Update_Image_Graphics(); }
void ImageTab::Image_Border_Changed(QObject *) { Update_Image_Graphics(); }
void ImageTab::Image_Gray_Scale_Chked(QObject *) { Update_Image_Graphics(); }
void ImageTab::Image_Sepia_Chked(QObject *) { Update_Image_Graphics(); }
void ImageTab::Image_Invert_Chked(QObject *) { Update_Image_Graphics(); }
void ImageTab::Image_FIV_Chked(QObject *) { Update_Image_Graphics(); }
void ImageTab::Image_FIH_Chked(QObject *) { Update_Image_Graphics(); }

void ImageTab::Image_Border_ChkBox(QObject *)
{
    SetObjEnabled(Image_Border_Box, Image_border_chk->isChecked());
    Update_Image_Graphics();
}

void ImageTab::Image_reset_Button(QObject *)
{
    if (!Show_YES_NO_MessageBox(QStringLiteral("Are you sure you want to continue?")))
        return;
    Reset_Image_Editing_Controls();
    Update_Image_Graphics();
}

void ImageTab::givePicture(const QString &path, const QImage &picture)
{
    SKTGraphic *current = m_design.currentGraphic();
    if (!current || current->kind() != SKTGraphic::Kind::Image)
        return;
    auto *image = static_cast<SKTImage *>(current);
    if (isMainPhoto(*image))
        image->setFilePath(path);
    else
        image->setPicture(path, picture);
}

void ImageTab::Manual_Image_Browse_Btn(QObject *)
{
    const QString path = m_design.chooseUserPicture();
    if (path.isEmpty())
        return;
    // Read once, as the window reads pictures, the main photo's file kept with it. A picture that
    // cannot be read changes nothing: the objects keep their pictures and paths.
    const SKTGraphic *chosenFor = m_design.currentGraphic();
    QByteArray file;
    const QImage picture = InputShield::loadChosenPicture(window(), path, QStringLiteral("picture"),
                                                          chosenFor && isMainPhoto(*chosenFor) ? &file : nullptr);
    if (picture.isNull())
        return;
    m_source.Manual_image_path->setText(path);
    // Only the main photo object stands for the design's main photo: another picture's file leaves
    // the invitation's photo alone.
    const SKTGraphic *current = m_design.currentGraphic();
    if (current && isMainPhoto(*current))
        m_design.Update_frame_Main_Photo_And_Path(path, true, picture, file);
    givePicture(path, picture);
    Update_Image_Graphics();
}

void ImageTab::Manual_Library_Browse_Btn(QObject *)
{
    const QString path = m_design.chooseLibraryPicture();
    if (path.isEmpty())
        return;
    const QImage picture = InputShield::loadChosenPicture(window(), path);
    if (picture.isNull())
        return;
    m_source.Manual_image_path->setText(path);
    givePicture(path, picture);
    Update_Image_Graphics();
}
