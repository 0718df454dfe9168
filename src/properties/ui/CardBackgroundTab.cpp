#include "properties/ui/CardBackgroundTab.h"

#include "platform/ui/ColorWell.h"
#include "platform/ui/ImageBrowserView.h"
#include "properties/ui/StepperSpinBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CardBackgroundTab::CardBackgroundTab(QWidget *parent) : PanelTab("card_bkgd_tab", tr("Card Background"), parent)
{
    QFormLayout *fillSection = addSection(tr("Fill"));
    Card_fill_chk = checkBox("Card_fill_chk", tr("Fill the card"));
    addRow(fillSection, QString(), Card_fill_chk);
    QFormLayout *fill = nullptr;
    Card_Fill_Box = innerBox("Card_Fill_Box", &fill);
    Card_solid_fill_rd = named(new QRadioButton(tr("Solid")), "Card_solid_fill_rd");
    Card_gradient_fill_rd = named(new QRadioButton(tr("Gradient")), "Card_gradient_fill_rd");
    Card_Style_fill_rd = named(new QRadioButton(tr("Pattern")), "Card_Style_fill_rd");
    Card_Image_fill_rd = named(new QRadioButton(tr("Picture")), "Card_Image_fill_rd");
    addRow(fill, tr("Type:"),
           twoColumns({Card_solid_fill_rd, Card_gradient_fill_rd, Card_Style_fill_rd, Card_Image_fill_rd}))->setAlignment(Qt::AlignRight | Qt::AlignTop);
    Card_fill_clr = colorWell("Card_fill_clr", tr("Fill colour"));
    addRow(fill, tr("Colour:"), Card_fill_clr);
    Card_fill_Grd_1_clr = colorWell("Card_fill_Grd_1_clr", tr("Gradient start colour"));
    Card_fill_Grd_2_clr = colorWell("Card_fill_Grd_2_clr", tr("Gradient end colour"));
    addRow(fill, tr("Gradient:"), sideBySide({Card_fill_Grd_1_clr, Card_fill_Grd_2_clr}));
    Card_grad_Stepper = stepper("Card_grad_Stepper", "Card_grad_Text", 0, 360, QStringLiteral("°"));
    Card_grad_Text = Card_grad_Stepper->textField();
    addRow(fill, tr("Angle:"), Card_grad_Stepper);
    Card_hatch_style = comboBox("Card_hatch_style");
    addRow(fill, tr("Pattern:"), Card_hatch_style);
    Card_hatch_bk_clr = colorWell("Card_hatch_bk_clr", tr("Colour behind the pattern"));
    addRow(fill, tr("Behind:"), Card_hatch_bk_clr);
    Card_alpha_Stepper = stepper("Card_alpha_Stepper", "Card_alpha_Text", 0, 100, tr(" %"));
    Card_alpha_Text = Card_alpha_Stepper->textField();
    addRow(fill, tr("Opacity:"), Card_alpha_Stepper);
    fillSection->addRow(Card_Fill_Box);

    QFormLayout *picture = addSection(tr("Picture"), &Card_image_box);
    Card_image_box->setObjectName(QStringLiteral("Card_image_box"));
    Card_Image_path = named(new QLineEdit, "Card_Image_path");
    Card_Image_path->setReadOnly(true);
    Card_Image_path->setPlaceholderText(tr("No picture"));
    addRow(picture, tr("File:"), Card_Image_path);
    Card_Image_Browse_btn = named(new QPushButton(tr("Browse…")), "Card_Image_Browse_btn");
    Card_Image_Browse_btn->setToolTip(tr("Choose a picture file for the background"));
    Card_Image_Library_btn = named(new QPushButton(tr("Library…")), "Card_Image_Library_btn");
    Card_Image_Library_btn->setToolTip(tr("Choose a background from the frame library"));
    addRow(picture, QString(), sideBySide({Card_Image_Browse_btn, Card_Image_Library_btn}));
    Card_image_layout = comboBox("Card_image_layout", {QStringLiteral("Center"), QStringLiteral("Stretch"), QStringLiteral("Tile")});
    addRow(picture, tr("Layout:"), Card_image_layout);

    // The frames take the height the page has left, so a taller window shows more of them.
    auto *frames = named(new QGroupBox(tr("Frames")), "Frames_box");
    frames->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    auto *framesLayout = new QVBoxLayout(frames);
    framesLayout->setContentsMargins(8, 8, 8, 8);
    imageBrowser = named(new ImageBrowserView, "imageBrowser");
    imageBrowser->setAllowsReordering(true);
    // Two frames side by side in the panel's width.
    imageBrowser->setZoomValue(kFrameZoom);
    imageBrowser->setSelectionMode(QAbstractItemView::SingleSelection);
    imageBrowser->setToolTip(tr("Pick a frame for the front; drag to change the order"));
    imageBrowser->setMinimumHeight(180);
    framesLayout->addWidget(imageBrowser);
    addWidget(frames);
}
