#include "properties/ui/CardBackgroundTab.h"

#include "platform/ui/ColorWell.h"
#include "platform/ui/FillBox.h"
#include "platform/ui/ImageBrowserView.h"
#include "platform/ui/StepperSpinBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CardBackgroundTab::CardBackgroundTab(QWidget *parent) : PanelTab("card_bkgd_tab", tr("Card Background"), parent)
{
    QFormLayout *fillSection = addSection(tr("Fill"));
    Card_fill_chk = checkBox("Card_fill_chk", tr("Fill the card"));
    addRow(fillSection, QString(), Card_fill_chk);
    Card_Fill_Box = new FillBox(QStringLiteral("Card"), QStringLiteral("Card"),
                                FillBox::Gradient | FillBox::Pattern | FillBox::Picture);
    const FillBox &f = *Card_Fill_Box;
    Card_solid_fill_rd = f.solidRadio;
    Card_gradient_fill_rd = f.gradientRadio;
    Card_Style_fill_rd = f.patternRadio;
    Card_Image_fill_rd = f.pictureRadio;
    Card_fill_clr = f.color;
    Card_fill_Grd_1_clr = f.gradient1;
    Card_fill_Grd_2_clr = f.gradient2;
    Card_grad_Stepper = f.angle;
    Card_grad_Text = f.angle->textField();
    Card_hatch_style = f.patternStyle;
    Card_hatch_bk_clr = f.patternBehind;
    Card_alpha_Stepper = f.opacity;
    Card_alpha_Text = f.opacity->textField();
    fillSection->addRow(Card_Fill_Box);

    QFormLayout *picture = addSection(tr("Picture"), &Card_image_box);
    Card_image_box->setObjectName(QStringLiteral("Card_image_box"));
    Card_Fill_Box->pictureControls = Card_image_box;
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
