#include "window/Invitation_Wizard.h"

#include "canvas/ui/InputShield.h"
#include "canvas/ui/Repeat_Image.h"
#include "core/AppState.h"
#include "core/ImageProcesser.h"
#include "core/ImageCategories.h"
#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "core/DatePatterns.h"
#include "core/PathHelpers.h"
#include "core/UnitConversion.h"
#include "platform/UiServices.h"
#include "platform/ui/ImageBrowserView.h"
#include "platform/ui/DialogLook.h"
#include "window/WindowState.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <vector>

namespace {

Invitation_Wizard *g_instance = nullptr;

const QString kSelectFrame = QStringLiteral("Please select frame.");
const QString kSelectPhoto = QStringLiteral("Please select photo.");
const QString kClearDetailsQuestion = QStringLiteral("Are you sure you want to clear details?");
const QString kResetQuestion = QStringLiteral("Are you sure you want to continue?");
// The start wizard's card, in millimetres.
constexpr double kDefaultWidth = 120.0, kDefaultHeight = 150.0;
// The preview shows the effects on a copy of at most this many pixels a side.
constexpr int kPreviewEdge = 600;
constexpr int kPreviewBox = 300;

QToolButton *arrowButton(QStyle::StandardPixmap arrow, const QString &name, const QString &tip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(arrow));
    button->setToolTip(tip);
    button->setAutoRaise(false);
    button->setFixedSize(28, 26);
    return button;
}

QGroupBox *groupBox(const QString &title, const char *name, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QFormLayout *formIn(QWidget *box)
{
    auto *form = new QFormLayout(box);
    form->setContentsMargins(12, 10, 12, 12);
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(8);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return form;
}

} // namespace

// --- Construction ----------------------------------------------------------------------------------

Invitation_Wizard::Invitation_Wizard(InvitationWizardHost *host, QWidget *parent) : QDialog(parent), m_host(host)
{
    g_instance = this;
    setObjectName(QStringLiteral("Invitation_Wizard"));
    setWindowTitle(tr("Invitation Wizard"));
    setModal(true);
    DialogLook::applyBackground(this);

    // The heading: a banner with the page's title on it.
    auto *banner = new Repeat_Image(this);
    banner->setObjectName(QStringLiteral("banner"));
    banner->setFixedHeight(64);
    m_banner = banner;
    auto *title = new QLabel(tr("Invitation Wizard"), banner);
    m_title = title;
    title->setObjectName(QStringLiteral("wizard_title"));
    DialogLook::makeHeading(title, 1.45);
    page_heading = new QLabel(banner);
    page_heading->setObjectName(QStringLiteral("page_heading"));
    for (QLabel *label : {title, page_heading}) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        label->setPalette(pal);
    }
    auto *bannerLayout = new QVBoxLayout(banner);
    bannerLayout->setContentsMargins(22, 8, 22, 8);
    bannerLayout->setSpacing(1);
    bannerLayout->addWidget(title);
    bannerLayout->addWidget(page_heading);

    Start_card_box = buildStartPage();
    second_box = buildDesignPage();
    photo_box = buildPhotoPage();

    Help_btn = new QPushButton(tr("Help"), this);
    Help_btn->setObjectName(QStringLiteral("Help_btn"));
    Exit_btn = new QPushButton(tr("Exit"), this);
    Exit_btn->setObjectName(QStringLiteral("Exit_btn"));
    button_box = new QWidget(this);
    button_box->setObjectName(QStringLiteral("button_box"));
    Back_btn = new QPushButton(style()->standardIcon(QStyle::SP_ArrowBack), tr("Back"), button_box);
    Back_btn->setObjectName(QStringLiteral("Back_btn"));
    Next_btn = new QPushButton(style()->standardIcon(QStyle::SP_ArrowForward), tr("Next"), button_box);
    Next_btn->setObjectName(QStringLiteral("Next_btn"));
    Next_btn->setLayoutDirection(Qt::RightToLeft);
    Cancel_btn = new QPushButton(tr("Cancel"), button_box);
    Cancel_btn->setObjectName(QStringLiteral("Cancel_btn"));
    auto *stepping = new QHBoxLayout(button_box);
    stepping->setContentsMargins(0, 0, 0, 0);
    stepping->setSpacing(8);
    stepping->addWidget(Cancel_btn);
    stepping->addSpacing(10);
    stepping->addWidget(Back_btn);
    stepping->addWidget(Next_btn);
    Close_Btn = new QPushButton(tr("Close"), this);
    Close_Btn->setObjectName(QStringLiteral("Close_Btn"));
    Finish_Btn = new QPushButton(tr("Finish"), this);
    Finish_Btn->setObjectName(QStringLiteral("Finish_Btn"));
    for (QPushButton *button : {Help_btn, Exit_btn, Back_btn, Next_btn, Cancel_btn, Close_Btn, Finish_Btn}) {
        button->setAutoDefault(false);
        button->setMinimumWidth(88);
    }

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto *bottom = new QHBoxLayout;
    bottom->setSpacing(8);
    bottom->addWidget(Help_btn);
    bottom->addWidget(Exit_btn);
    bottom->addStretch(1);
    bottom->addWidget(button_box);
    bottom->addWidget(Close_Btn);
    bottom->addWidget(Finish_Btn);

    auto *pages = new QVBoxLayout;
    pages->setContentsMargins(18, 14, 18, 4);
    pages->addWidget(Start_card_box, 1);
    pages->addWidget(second_box, 1);
    pages->addWidget(photo_box, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 14);
    layout->setSpacing(0);
    layout->addWidget(banner);
    layout->addLayout(pages, 1);
    layout->addSpacing(8);
    auto *footer = new QVBoxLayout;
    footer->setContentsMargins(18, 0, 18, 0);
    footer->setSpacing(10);
    footer->addWidget(line);
    footer->addLayout(bottom);
    layout->addLayout(footer);

    connect(Help_btn, &QPushButton::clicked, this, [this] { HelpClick(); });
    connect(Exit_btn, &QPushButton::clicked, this, [this] { ExitClick(); });
    connect(Back_btn, &QPushButton::clicked, this, [this] { Back_Click(); });
    connect(Next_btn, &QPushButton::clicked, this, [this] { OK_Click(); });
    connect(Finish_Btn, &QPushButton::clicked, this, [this] { OK_Click(); });
    connect(Cancel_btn, &QPushButton::clicked, this, [this] { CancelClick(); });
    connect(Close_Btn, &QPushButton::clicked, this, [this] { Close_Form_Click(); });

    resize(900, 660);
    Show_Hide_Card_Start_Screen(true);
    Finish_Btn->hide();
    Close_Btn->hide();
}

Invitation_Wizard::~Invitation_Wizard()
{
    if (g_instance == this)
        g_instance = nullptr;
}

Invitation_Wizard *Invitation_Wizard::defaultInstance()
{
    return g_instance;
}

QWidget *Invitation_Wizard::buildStartPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("Start_card_box"));
    auto *heading = new QLabel(tr("How would you like to start your card?"), page);
    DialogLook::makeHeading(heading);
    QPushButton *wizard = DialogLook::choiceButton(
        tr("Create an Invitation with the Wizard"), tr("Pick a frame, a title, a message, the details and a photo."),
        QStringLiteral("Using_Wizard_btn"), page);
    QPushButton *fromTemplate = DialogLook::choiceButton(tr("Start from a Template"),
                                                         tr("Begin with a ready-made design and change what you like."),
                                                         QStringLiteral("Using_Template_btn"), page);
    QPushButton *open = DialogLook::choiceButton(tr("Open a Saved Design"), tr("Continue a design you saved before."),
                                                 QStringLiteral("Open_Log_btn"), page);
    APP_path_label = new QLabel(page);
    APP_path_label->setObjectName(QStringLiteral("APP_path_label"));
    APP_path_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPalette pal = APP_path_label->palette();
    pal.setColor(QPalette::WindowText, pal.color(QPalette::PlaceholderText));
    APP_path_label->setPalette(pal);

    auto *choices = new QVBoxLayout;
    choices->setSpacing(12);
    choices->addWidget(heading);
    choices->addSpacing(6);
    for (QPushButton *button : {wizard, fromTemplate, open}) {
        button->setMinimumWidth(460);
        choices->addWidget(button);
    }
    auto *centred = new QHBoxLayout;
    centred->addStretch(1);
    centred->addLayout(choices);
    centred->addStretch(1);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(2);
    layout->addLayout(centred);
    layout->addStretch(3);
    layout->addWidget(APP_path_label);

    connect(wizard, &QPushButton::clicked, this, [this] { Using_Wizard_Click(); });
    connect(fromTemplate, &QPushButton::clicked, this, [this] { Using_Template_Click(); });
    connect(open, &QPushButton::clicked, this, [this] { Open_Log_Click(); });
    return page;
}

QWidget *Invitation_Wizard::buildDesignPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("second_box"));

    // Left: the frames.
    QGroupBox *frames = groupBox(tr("Frame"), "frame_box", page);
    imageBrowser = new ImageBrowserView(frames);
    imageBrowser->setObjectName(QStringLiteral("imageBrowser"));
    imageBrowser->setAllowsReordering(true);
    imageBrowser->setSelectionMode(QAbstractItemView::SingleSelection);
    imageBrowser->setMinimumWidth(300);
    auto *zoomRow = new QHBoxLayout;
    auto *zoomLabel = new QLabel(tr("Size"), frames);
    zoomLabel->setObjectName(QStringLiteral("_zoom_label"));
    zoomRow->addWidget(zoomLabel);
    zoomRow->addWidget(imageBrowser->zoomSlider(), 1);
    auto *framesLayout = new QVBoxLayout(frames);
    framesLayout->setContentsMargins(10, 10, 10, 10);
    framesLayout->setSpacing(8);
    framesLayout->addWidget(imageBrowser, 1);
    framesLayout->addLayout(zoomRow);

    // Right: texts, details and size.
    QGroupBox *texts = groupBox(tr("Title and Message"), "texts_box", page);
    msg_title = new QLineEdit(texts);
    msg_title->setObjectName(QStringLiteral("msg_title"));
    msg_value = new QPlainTextEdit(texts);
    msg_value->setObjectName(QStringLiteral("msg_value"));
    msg_value->setTabChangesFocus(true);
    msg_value->setFixedHeight(msg_value->fontMetrics().lineSpacing() * 3 + 12);
    QToolButton *titleBack = arrowButton(QStyle::SP_ArrowBack, QStringLiteral("Title_Back_btn"), tr("Previous title"), texts);
    QToolButton *titleNext = arrowButton(QStyle::SP_ArrowForward, QStringLiteral("Title_Next_btn"), tr("Next title"), texts);
    QToolButton *msgBack = arrowButton(QStyle::SP_ArrowBack, QStringLiteral("Msg_Back_btn"), tr("Previous message"), texts);
    QToolButton *msgNext = arrowButton(QStyle::SP_ArrowForward, QStringLiteral("Msg_Next_btn"), tr("Next message"), texts);
    auto *titleRow = new QHBoxLayout;
    titleRow->setSpacing(4);
    titleRow->addWidget(msg_title, 1);
    titleRow->addWidget(titleBack);
    titleRow->addWidget(titleNext);
    auto *msgRow = new QHBoxLayout;
    msgRow->setSpacing(4);
    msgRow->addWidget(msg_value, 1);
    msgRow->addWidget(msgBack, 0, Qt::AlignTop);
    msgRow->addWidget(msgNext, 0, Qt::AlignTop);
    QFormLayout *textForm = formIn(texts);
    textForm->addRow(tr("Title:"), titleRow);
    textForm->addRow(tr("Message:"), msgRow);

    QGroupBox *details = groupBox(tr("Invitation Details"), "details_box", page);
    from_value = new QLineEdit(details);
    from_value->setObjectName(QStringLiteral("from_value"));
    from_value->setPlaceholderText(tr("Who invites"));
    to_value = new QLineEdit(details);
    to_value->setObjectName(QStringLiteral("to_value"));
    to_value->setPlaceholderText(tr("Who is invited"));
    venue_value = new QLineEdit(details);
    venue_value->setObjectName(QStringLiteral("venue_value"));
    venue_value->setPlaceholderText(tr("Where"));
    Date_picker = new QDateEdit(QDate::currentDate(), details);
    Date_picker->setObjectName(QStringLiteral("Date_picker"));
    Date_picker->setCalendarPopup(true);
    Date_ctrl_value = new QLineEdit(details);
    Date_ctrl_value->setObjectName(QStringLiteral("Date_ctrl_value"));
    Time_picker = new QTimeEdit(QTime::currentTime(), details);
    Time_picker->setObjectName(QStringLiteral("Time_picker"));
    Time_ctrl_value = new QLineEdit(details);
    Time_ctrl_value->setObjectName(QStringLiteral("Time_ctrl_value"));
    for (QLineEdit *shown : {Date_ctrl_value, Time_ctrl_value}) {
        shown->setReadOnly(true);
        shown->setPlaceholderText(tr("Not on the card"));
    }
    const int pickerWidth = std::max(Date_picker->sizeHint().width(), Time_picker->sizeHint().width()) + 8;
    Date_picker->setFixedWidth(pickerWidth);
    Time_picker->setFixedWidth(pickerWidth);
    auto *dateRow = new QHBoxLayout;
    dateRow->addWidget(Date_picker);
    dateRow->addWidget(Date_ctrl_value, 1);
    auto *timeRow = new QHBoxLayout;
    timeRow->addWidget(Time_picker);
    timeRow->addWidget(Time_ctrl_value, 1);
    clear_details_btn = new QPushButton(tr("Clear Details"), details);
    clear_details_btn->setObjectName(QStringLiteral("clear_details_btn"));
    clear_details_btn->setAutoDefault(false);
    QFormLayout *detailForm = formIn(details);
    detailForm->addRow(tr("From:"), from_value);
    detailForm->addRow(tr("To:"), to_value);
    detailForm->addRow(tr("Venue:"), venue_value);
    detailForm->addRow(tr("Date:"), dateRow);
    detailForm->addRow(tr("Time:"), timeRow);
    detailForm->addRow(QString(), clear_details_btn);
    detailForm->setAlignment(clear_details_btn, Qt::AlignRight);

    QGroupBox *size = groupBox(tr("Card Size"), "size_box", page);
    width_Stepper = new QDoubleSpinBox(size);
    width_Stepper->setObjectName(QStringLiteral("width_Stepper"));
    height_Stepper = new QDoubleSpinBox(size);
    height_Stepper->setObjectName(QStringLiteral("height_Stepper"));
    for (QDoubleSpinBox *stepper : {width_Stepper, height_Stepper}) {
        stepper->setRange(10.0, 1000.0);
        stepper->setDecimals(1);
        stepper->setSuffix(QStringLiteral(" mm"));
        stepper->setAlignment(Qt::AlignRight);
    }
    auto *sizeRow = new QHBoxLayout(size);
    sizeRow->setContentsMargins(12, 10, 12, 12);
    sizeRow->setSpacing(10);
    sizeRow->addWidget(new QLabel(tr("Width:"), size));
    sizeRow->addWidget(width_Stepper, 1);
    sizeRow->addSpacing(12);
    sizeRow->addWidget(new QLabel(tr("Height:"), size));
    sizeRow->addWidget(height_Stepper, 1);

    auto *right = new QVBoxLayout;
    right->setSpacing(12);
    right->addWidget(texts);
    right->addWidget(details);
    right->addWidget(size);
    right->addStretch(1);

    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->addWidget(frames, 5);
    layout->addLayout(right, 6);

    connect(imageBrowser, &ImageBrowserView::selectionDidChange, this, [this] { imageBrowserSelectionDidChange(); });
    connect(titleBack, &QToolButton::clicked, this, [this] { Title_Back_Click(); });
    connect(titleNext, &QToolButton::clicked, this, [this] { Title_Next_Click(); });
    connect(msgBack, &QToolButton::clicked, this, [this] { Msg_Back_Click(); });
    connect(msgNext, &QToolButton::clicked, this, [this] { Msg_Next_Click(); });
    connect(clear_details_btn, &QPushButton::clicked, this, [this] { Clear_Details_Click(); });
    connect(Date_picker, &QDateEdit::dateChanged, this, [this] { datePickerAction(); });
    connect(Time_picker, &QTimeEdit::timeChanged, this, [this] { timePickerAction(); });
    for (QLineEdit *field : {from_value, to_value, venue_value, msg_title})
        connect(field, &QLineEdit::textChanged, this, [this, field] { controlTextDidChange(field); });
    connect(msg_value, &QPlainTextEdit::textChanged, this, [this] { controlTextDidChange(msg_value); });
    return page;
}

QWidget *Invitation_Wizard::buildPhotoPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("photo_box"));

    QGroupBox *photo = groupBox(tr("Main Photo"), "main_photo_box", page);
    Selected_picture = new QLabel(photo);
    Selected_picture->setObjectName(QStringLiteral("Selected_picture"));
    Selected_picture->setFixedSize(kPreviewBox, kPreviewBox);
    Selected_picture->setAlignment(Qt::AlignCenter);
    Selected_picture->setFrameShape(QFrame::StyledPanel);
    Selected_picture->setAutoFillBackground(true);
    QPalette white = Selected_picture->palette();
    white.setColor(QPalette::Window, Qt::white);
    Selected_picture->setPalette(white);
    image_path = new QLineEdit(photo);
    image_path->setObjectName(QStringLiteral("image_path"));
    image_path->setReadOnly(true);
    image_path->setPlaceholderText(tr("No photo chosen"));
    browse_photo_btn = new QPushButton(tr("Browse..."), photo);
    browse_photo_btn->setObjectName(QStringLiteral("browse_photo_btn"));
    browse_photo_btn->setAutoDefault(false);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(image_path, 1);
    pathRow->addWidget(browse_photo_btn);
    auto *photoLayout = new QVBoxLayout(photo);
    photoLayout->setContentsMargins(12, 10, 12, 12);
    photoLayout->setSpacing(10);
    photoLayout->addWidget(Selected_picture, 0, Qt::AlignHCenter);
    photoLayout->addLayout(pathRow);
    photoLayout->addStretch(1);

    Image_Setting_Box = groupBox(tr("Effects"), "Image_Setting_Box", page);
    gray_scale_chk = new QCheckBox(tr("Grayscale"), Image_Setting_Box);
    gray_scale_chk->setObjectName(QStringLiteral("gray_scale_chk"));
    sepia_chk = new QCheckBox(tr("Sepia"), Image_Setting_Box);
    sepia_chk->setObjectName(QStringLiteral("sepia_chk"));
    invert_chk = new QCheckBox(tr("Invert Colours"), Image_Setting_Box);
    invert_chk->setObjectName(QStringLiteral("invert_chk"));
    flip_vertical_chk = new QCheckBox(tr("Flip Vertical"), Image_Setting_Box);
    flip_vertical_chk->setObjectName(QStringLiteral("flip_vertical_chk"));
    flip_horizontal_chk = new QCheckBox(tr("Flip Horizontal"), Image_Setting_Box);
    flip_horizontal_chk->setObjectName(QStringLiteral("flip_horizontal_chk"));
    auto *checks = new QGridLayout;
    checks->setHorizontalSpacing(18);
    checks->setVerticalSpacing(6);
    checks->addWidget(gray_scale_chk, 0, 0);
    checks->addWidget(sepia_chk, 0, 1);
    checks->addWidget(invert_chk, 0, 2);
    checks->addWidget(flip_vertical_chk, 1, 0);
    checks->addWidget(flip_horizontal_chk, 1, 1);

    struct SliderRow {
        EffectSlider **field;
        const char *name;
        const char *label;
        double minimum, maximum, step;
    };
    const SliderRow rows[] = {
        {&Brt_Slider, "Brt_Slider", "Brightness:", -1.0, 1.0, 0.01},
        {&Con_Slider, "Con_Slider", "Contrast:", 0.25, 4.0, 0.01},
        {&Sat_Slider, "Sat_Slider", "Saturation:", 0.0, 2.0, 0.01},
        {&Hue_Slider, "Hue_Slider", "Hue:", -3.14, 3.14, 0.01},
        {&EV_Slider, "EV_Slider", "Exposure:", -3.0, 3.0, 0.01},
        {&sharp_Slider, "sharp_Slider", "Sharpness:", 0.0, 2.0, 0.01},
        {&Blr_Slider, "Blr_Slider", "Blur:", 0.0, 20.0, 0.1},
        {&Rotate_Slider, "Rotate_Slider", "Rotation:", -180.0, 180.0, 1.0},
        {&Transperncy_Slider, "Transperncy_Slider", "Transparency:", 0.0, 100.0, 1.0},
    };
    auto *sliders = new QGridLayout;
    sliders->setHorizontalSpacing(10);
    sliders->setVerticalSpacing(10);
    int row = 0;
    for (const SliderRow &entry : rows) {
        auto *slider = new EffectSlider(entry.minimum, entry.maximum, entry.step, Image_Setting_Box);
        slider->setObjectName(QString::fromLatin1(entry.name));
        auto *value = new QLabel(Image_Setting_Box);
        value->setObjectName(QString::fromLatin1(entry.name).replace(QStringLiteral("_Slider"), QStringLiteral("_value")));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance(QStringLiteral("-180.00")) + 4);
        auto *label = new QLabel(tr(entry.label), Image_Setting_Box);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        sliders->addWidget(label, row, 0);
        sliders->addWidget(slider, row, 1);
        sliders->addWidget(value, row, 2);
        *entry.field = slider;
        m_sliders << slider;
        m_sliderValues << value;
        connect(slider, &QSlider::valueChanged, this, [this] { Image_Setting_Changed(); });
        ++row;
    }
    sharp_Slider->setPageStep(10); // the alternate increment, 0.1
    sliders->setColumnStretch(1, 1);

    effects_note = new QLabel(Image_Setting_Box);
    effects_note->setObjectName(QStringLiteral("effects_note"));
    effects_note->setWordWrap(true);
    effects_note->hide();
    auto *reset = new QPushButton(tr("Reset Effects"), Image_Setting_Box);
    reset->setObjectName(QStringLiteral("Image_reset_btn"));
    reset->setAutoDefault(false);
    auto *effects = new QVBoxLayout(Image_Setting_Box);
    effects->setContentsMargins(12, 10, 12, 12);
    effects->setSpacing(12);
    effects->addLayout(checks);
    effects->addLayout(sliders);
    effects->addWidget(effects_note);
    effects->addStretch(1);
    effects->addWidget(reset, 0, Qt::AlignRight);

    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->addWidget(photo, 0);
    layout->addWidget(Image_Setting_Box, 1);

    connect(browse_photo_btn, &QPushButton::clicked, this, [this] { Browse_Image_Click(); });
    connect(reset, &QPushButton::clicked, this, [this] { Image_reset_Button(); });
    for (QCheckBox *box : {gray_scale_chk, sepia_chk, invert_chk, flip_vertical_chk, flip_horizontal_chk})
        connect(box, &QCheckBox::toggled, this, [this] { Image_Setting_Changed(); });
    return page;
}

void Invitation_Wizard::setBackgroundPattern(const QImage &pattern)
{
    m_pattern = pattern;
    if (pattern.isNull())
        return;
    QPalette pal = palette();
    QBrush brush(DialogLook::kBackground);
    brush.setTextureImage(pattern);
    pal.setBrush(QPalette::Window, brush);
    setPalette(pal);
}

void Invitation_Wizard::setBanner(const QImage &banner)
{
    static_cast<Repeat_Image *>(m_banner)->setBannerImage(banner);
    if (banner.isNull()) {
        // Without its picture the banner is a plain band of the heading colour.
        QImage band(1, 1, QImage::Format_RGB32);
        band.fill(QColor(60, 96, 170));
        static_cast<Repeat_Image *>(m_banner)->setBannerImage(band);
    }
}

// --- Running -----------------------------------------------------------------------------------------

int Invitation_Wizard::Open_Wnd()
{
    int code = 0;
    Log_Exceptions([&] {
        Prepare_Wizard();
        code = exec();
        hide();
    });
    return code;
}

int Invitation_Wizard::Open_Wnd_For_Edit_Photo()
{
    int code = 0;
    Log_Exceptions([&] {
        Prepare_Edit_Photo();
        code = exec();
        hide();
    });
    return code;
}

void Invitation_Wizard::Prepare_Wizard()
{
    wizard_or_edit_photo = false;
    browse_photo_btn->setEnabled(true);
    width_Stepper->setValue(kDefaultWidth);
    height_Stepper->setValue(kDefaultHeight);
    APP_path_label->setText(tr("Resources: %1").arg(App().Resource_Path));
    imageBrowser->removeAllItems();
    Show_Hide_Card_Start_Screen(true);
    Finish_Btn->hide();
    Close_Btn->hide();
    imageBrowser->setZoomValue(0.4);
    Load_and_fill_backgrounds();
    Reset_All();
    Load_Msg_And_Title();
    msg_title->setText(Get_Title());
    msg_value->setPlainText(Get_Message());
    setPageHeading();
}

void Invitation_Wizard::Prepare_Edit_Photo()
{
    const WindowState &win = Win();
    wizard_or_edit_photo = true;
    Win().Start_Card_Option = QStringLiteral("W");
    width_Stepper->setValue(kDefaultWidth);
    height_Stepper->setValue(kDefaultWidth);
    APP_path_label->setText(tr("Resources: %1").arg(App().Resource_Path));
    showPhotoPage();
    button_box->hide();
    Exit_btn->hide();
    Help_btn->hide();
    Finish_Btn->show();
    Close_Btn->show();
    next_counter = 3;
    Image_Setting_Box->setEnabled(true);
    image_path->setText(win.Invite_Frame_Pic_IMG);

    // Effects always start from the photo as it was loaded, never from one that carries them.
    User_Picture_file.clear();
    User_Picture = m_host ? m_host->Main_Photo_original(&User_Picture_file) : QImage();
    m_previewSource = QImage();
    const Image_Effect_Settings kept = win.mainPhotoEffects();
    const float keptRotation = win.IMG_rotate_image;
    m_kept = kept;
    m_keptRotation = keptRotation;
    setEffectControls(kept, false, false);
    {
        const QSignalBlocker block(Rotate_Slider);
        Rotate_Slider->setFloatValue(keptRotation);
    }
    showSliderValue(Rotate_Slider);
    if (!User_Picture.isNull()) {
        setPreviewSource(User_Picture);
        Update_Image_With_Settings();
    } else {
        showPreview(m_host ? m_host->Main_Photo_image() : QImage());
    }
    browse_photo_btn->setEnabled(!(m_host && m_host->mainPhotoFromDataSource()));
    setPageHeading();
}

// --- Pages -------------------------------------------------------------------------------------------

void Invitation_Wizard::Show_Hide_Card_Start_Screen(bool start)
{
    if (start) {
        next_counter = 0;
        auto_background_selection = false;
        photo_box->hide();
        second_box->hide();
        Start_card_box->show();
        button_box->hide();
        Exit_btn->show();
        Help_btn->show();
        Reset_All();
        msg_title->setText(Get_Title());
        msg_value->setPlainText(Get_Message());
    } else {
        photo_box->hide();
        Start_card_box->hide();
        second_box->show();
        button_box->show();
        Exit_btn->hide();
        Help_btn->hide();
    }
    setPageHeading();
}

void Invitation_Wizard::showPhotoPage()
{
    next_counter = 3;
    Start_card_box->hide();
    second_box->hide();
    photo_box->show();
    setPageHeading();
}

void Invitation_Wizard::setPageHeading()
{
    m_title->setText(wizard_or_edit_photo ? tr("Main Photo") : tr("Invitation Wizard"));
    setWindowTitle(m_title->text());
    if (wizard_or_edit_photo)
        page_heading->setText(tr("Choose the main photo and its effects"));
    else if (next_counter == 0)
        page_heading->setText(tr("Welcome"));
    else if (next_counter == 2)
        page_heading->setText(tr("Step 1 of 2: frame, texts and details"));
    else
        page_heading->setText(tr("Step 2 of 2: the main photo and its effects"));
    Back_btn->setEnabled(next_counter > 0);
    Next_btn->setText(next_counter == 3 ? tr("Finish") : tr("Next"));
}

// --- Actions -----------------------------------------------------------------------------------------

void Invitation_Wizard::Using_Wizard_Click()
{
    Select_card_option(1, sender());
}

void Invitation_Wizard::Using_Template_Click()
{
    Select_card_option(0, sender());
}

void Invitation_Wizard::Open_Log_Click()
{
    Select_card_option(2, sender());
}

void Invitation_Wizard::Select_card_option(int option, QObject *)
{
    static const char *const codes[] = {"T", "W", "L"};
    if (option >= 0 && option < 3)
        Win().Start_Card_Option = QString::fromLatin1(codes[option]);
    OK_Click();
}

void Invitation_Wizard::OK_Click()
{
    const QString option = Win().Start_Card_Option;
    if (!wizard_or_edit_photo && option == QLatin1String("L")) {
        if (m_host && m_host->Open_Log_File() == 1)
            done(1);
        return;
    }
    if (!wizard_or_edit_photo && option == QLatin1String("T")) {
        if (m_host && m_host->Open_Template_Design() == 1)
            done(1);
        return;
    }
    switch (next_counter) {
    case 0:
        Show_Hide_Card_Start_Screen(false);
        // The first frame is chosen for the user; choosing it must not move on by itself.
        auto_background_selection = true;
        if (numberOfItemsInImageBrowser() > 0) {
            imageBrowser->setSelectionIndexes({0});
            selected_image = imageBrowser_itemAtIndex(0).path;
        }
        auto_background_selection = false;
        next_counter = 2;
        setPageHeading();
        break;
    case 2:
        if (QFileInfo(selected_image).isFile())
            showPhotoPage();
        else
            Show_MessageBox(kSelectFrame);
        break;
    case 3:
        if (!QFileInfo(image_path->text()).isFile() || User_Picture.isNull()) {
            Show_MessageBox(kSelectPhoto);
            break;
        }
        finish();
        break;
    default:
        break;
    }
}

void Invitation_Wizard::finish()
{
    App().Card_Shape = 0;
    WindowState &win = Win();
    if (!wizard_or_edit_photo) {
        const QSizeF millimetres(width_Stepper->value(), height_Stepper->value());
        const QSizeF points(MM_to_Points_Convert(static_cast<float>(millimetres.width())),
                            MM_to_Points_Convert(static_cast<float>(millimetres.height())));
        if (m_host) {
            m_host->Set_Card_Size_In_Control(millimetres);
            m_host->Set_Document_Size(points);
            m_host->SetDocumentCanvasSize(points);
        }
        // What the fields show when the wizard finishes is what goes on the card.
        selected_title = msg_title->text();
        selected_msg = msg_value->toPlainText();
        win.Invite_Title = Trim_Str(selected_title);
        win.Invite_Message = Trim_Str(selected_msg);
        win.Invite_From = Trim_Str(from_value->text());
        win.Invite_To = Trim_Str(to_value->text());
        win.Invite_Venue = Trim_Str(venue_value->text());
        win.Invite_Date = Trim_Str(selected_date);
        win.Invite_Time = Trim_Str(selected_time);
        win.Invite_BG_IMG = Trim_Str(selected_image);
        win.Invite_Frame_IMG = Trim_Str(selected_image);
    }
    win.Invite_Frame_Pic_IMG = Trim_Str(image_path->text());

    // The card's photo is made from the whole unprocessed photo, not from the preview's copy.
    const Image_Effect_Settings effects = effectSettings();
    win.setMainPhotoEffects(effects, static_cast<float>(Rotate_Slider->floatValue()));
    QString failed;
    const QImage processed = ImageProcesser::Get_Processed_Image(User_Picture, effects, &failed);
    if (!failed.isEmpty())
        Show_MessageBox(tr("These effects could not be applied to the photo and were left out:\n%1").arg(failed));
    if (m_host)
        m_host->setMainPhoto(User_Picture, User_Picture_file, processed);
    done(1);
}

void Invitation_Wizard::Back_Click()
{
    if (next_counter == 2) {
        Show_Hide_Card_Start_Screen(true);
    } else if (next_counter == 3 && !wizard_or_edit_photo) {
        next_counter = 2;
        photo_box->hide();
        Start_card_box->hide();
        second_box->show();
        setPageHeading();
    }
}

void Invitation_Wizard::CancelClick()
{
    Show_Hide_Card_Start_Screen(true);
}

void Invitation_Wizard::Close_Form_Click()
{
    // Closing the photo editor keeps the photo, so it keeps the settings the photo was made with.
    if (wizard_or_edit_photo)
        restoreKeptSettings();
    done(0);
}

void Invitation_Wizard::restoreKeptSettings()
{
    Win().setMainPhotoEffects(m_kept, m_keptRotation);
}

void Invitation_Wizard::ExitClick()
{
    Win().Start_Card_Option = QString(QLatin1String(""));
    done(0);
    platform::uiServices().terminate(0);
}

void Invitation_Wizard::HelpClick()
{
    Open_Help_File();
}

void Invitation_Wizard::reject()
{
    if (wizard_or_edit_photo || next_counter == 0)
        Close_Form_Click();
    else
        CancelClick();
}

// --- Texts and details -----------------------------------------------------------------------------

void Invitation_Wizard::Load_Msg_And_Title()
{
    const QString folder = App().Resource_Path;
    Title_Array.setEntries(Load_Text_Entries(folder + QStringLiteral("Title.txt")));
    Message_Array.setEntries(Load_Text_Entries(folder + QStringLiteral("Message.txt")));
}

void Invitation_Wizard::Title_Back_Click()
{
    msg_title->setText(Title_Array.back());
}

void Invitation_Wizard::Title_Next_Click()
{
    msg_title->setText(Title_Array.next());
}

void Invitation_Wizard::Msg_Back_Click()
{
    msg_value->setPlainText(Message_Array.back());
}

void Invitation_Wizard::Msg_Next_Click()
{
    msg_value->setPlainText(Message_Array.next());
}

void Invitation_Wizard::controlTextDidChange(QWidget *field)
{
    const auto cut = [](QLineEdit *edit, int limit) {
        if (edit->text().size() > limit)
            edit->setText(edit->text().left(limit));
    };
    if (field == from_value)
        cut(from_value, kFromLimit);
    else if (field == to_value)
        cut(to_value, kToLimit);
    else if (field == venue_value)
        cut(venue_value, kVenueLimit);
    else if (field == msg_title)
        cut(msg_title, kTitleLimit);
    else if (field == msg_value && msg_value->toPlainText().size() > kMessageLimit) {
        msg_value->setPlainText(msg_value->toPlainText().left(kMessageLimit));
        msg_value->moveCursor(QTextCursor::End);
    }
    if (field == from_value || field == to_value || field == venue_value) {
        if (!static_cast<QLineEdit *>(field)->text().isEmpty())
            clear_details_btn->setEnabled(true);
    }
}

void Invitation_Wizard::datePickerAction()
{
    selected_date = QLocale().toString(Date_picker->date(), QLocale::LongFormat);
    Date_ctrl_value->setText(selected_date);
    clear_details_btn->setEnabled(true);
}

void Invitation_Wizard::timePickerAction()
{
    selected_time = Format_Date_With_Pattern(QDateTime(QDate::currentDate(), Time_picker->time()), QStringLiteral("h:mm a"));
    Time_ctrl_value->setText(selected_time);
    clear_details_btn->setEnabled(true);
}

void Invitation_Wizard::Clear_Details_Click()
{
    if (Show_YES_NO_MessageBox(kClearDetailsQuestion))
        Clear_Details();
}

void Invitation_Wizard::Clear_Details()
{
    from_value->clear();
    to_value->clear();
    venue_value->clear();
    {
        const QSignalBlocker blockDate(Date_picker);
        const QSignalBlocker blockTime(Time_picker);
        Date_picker->setDate(QDate::currentDate());
        Time_picker->setTime(QTime::currentTime());
    }
    // The date and time go with their fields: cleared details put none on the card.
    selected_date = QString(QLatin1String(""));
    selected_time = QString(QLatin1String(""));
    Date_ctrl_value->clear();
    Time_ctrl_value->clear();
    clear_details_btn->setEnabled(false);
}

void Invitation_Wizard::Reset_All()
{
    selected_image = QString(QLatin1String(""));
    User_Picture = QImage();
    User_Picture_file.clear();
    m_previewSource = QImage();
    Reset_Image_Editing_Controls();
    Image_Setting_Box->setEnabled(false);
    showPreview(QImage());
    next_counter = 0;
    Title_Array.setIndex(0);
    Message_Array.setIndex(0);
    selected_title = selected_msg = selected_date = selected_time = QString(QLatin1String(""));
    msg_title->clear();
    msg_value->clear();
    clear_details_btn->setEnabled(false);
    image_path->clear();
    imageBrowser->setSelectionIndexes({});
    Clear_Details();
}

// --- Frames ------------------------------------------------------------------------------------------

void Invitation_Wizard::Load_and_fill_backgrounds()
{
    imageBrowser->showPicturesIn(Frames_Folder());
}

void Invitation_Wizard::addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID)
{
    imageBrowser->addImageWithPath(path, imageName, image_UID);
}

int Invitation_Wizard::numberOfItemsInImageBrowser() const
{
    return imageBrowser->count();
}

const MyImageObject &Invitation_Wizard::imageBrowser_itemAtIndex(int index) const
{
    return imageBrowser->itemAtIndex(index);
}

bool Invitation_Wizard::imageBrowser_moveItemsAtIndexes_toIndex(const QList<int> &indexes, int destination)
{
    imageBrowser->moveItemsAtIndexes(indexes, destination);
    return true;
}

void Invitation_Wizard::imageBrowserSelectionDidChange()
{
    const QList<int> selection = imageBrowser->selectionIndexes();
    if (selection.isEmpty() || selection.first() >= numberOfItemsInImageBrowser())
        return;
    selected_image = imageBrowser_itemAtIndex(selection.first()).path;
    // A frame the user clicks moves straight on to the photo.
    if (!auto_background_selection && next_counter == 2)
        OK_Click();
}

// --- Photo ---------------------------------------------------------------------------------------------

void Invitation_Wizard::Browse_Image_Click()
{
    const QString current = image_path->text();
    // A folder that is there: a panel given a missing one opens elsewhere with its name typed in.
    const QString folder = QFileInfo(current).isFile() ? QFileInfo(current).absolutePath()
                                                       : Panel_Start_Folder(QStandardPaths::PicturesLocation);
    const QString path = platform::uiServices().chooseFileToOpen(tr("Choose a Photo"), folder, platform::photoFileTypes());
    if (!path.isEmpty())
        Load_Photo(path);
}

bool Invitation_Wizard::Load_Photo(const QString &path)
{
    QString problem;
    QByteArray file;
    const QImage picture = InputShield::loadPicture(this, path, &problem, &file);
    if (picture.isNull()) {
        // The path and the photo stay together: a file that is no picture changes neither.
        Show_MessageBox(QStringLiteral("The photo \"%1\" cannot be used: %2.\n%3").arg(path, problem, kSelectPhoto));
        return false;
    }
    Image_Setting_Box->setEnabled(true);
    image_path->setText(path);
    User_Picture = picture;
    User_Picture_file = file;
    setPreviewSource(picture);
    Update_Image_With_Settings();
    return true;
}

void Invitation_Wizard::setPreviewSource(const QImage &photo)
{
    m_previewSource = photo.width() > kPreviewEdge || photo.height() > kPreviewEdge
                          ? photo.scaled(kPreviewEdge, kPreviewEdge, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                          : photo;
    m_previewScale = static_cast<double>(m_previewSource.width()) / photo.width();
}

void Invitation_Wizard::Image_reset_Button()
{
    if (!Show_YES_NO_MessageBox(kResetQuestion))
        return;
    Reset_Image_Editing_Controls();
    Update_Image_With_Settings();
}

void Invitation_Wizard::Reset_Image_Editing_Controls()
{
    setEffectControls(Image_Effect_Settings{}, false, false);
    Rotate_Slider->setFloatValue(0.0);
    showSliderValue(Rotate_Slider);
}

void Invitation_Wizard::setEffectControls(const Image_Effect_Settings &s, bool flipV, bool flipH)
{
    std::vector<QSignalBlocker> blocks;
    blocks.reserve(static_cast<size_t>(m_sliders.size()) + 5);
    for (EffectSlider *slider : m_sliders)
        blocks.emplace_back(slider);
    for (QCheckBox *box : {gray_scale_chk, sepia_chk, invert_chk, flip_vertical_chk, flip_horizontal_chk})
        blocks.emplace_back(box);
    Brt_Slider->setFloatValue(s.brt);
    Con_Slider->setFloatValue(s.con);
    Sat_Slider->setFloatValue(s.sat);
    Hue_Slider->setFloatValue(s.hue);
    EV_Slider->setFloatValue(s.exposure);
    sharp_Slider->setFloatValue(s.sharpness);
    Blr_Slider->setFloatValue(s.blur);
    Rotate_Slider->setFloatValue(s.rotate);
    Transperncy_Slider->setFloatValue(s.tranprency);
    gray_scale_chk->setChecked(s.grayscale);
    sepia_chk->setChecked(s.sepia);
    invert_chk->setChecked(s.invrtclr);
    flip_vertical_chk->setChecked(flipV);
    flip_horizontal_chk->setChecked(flipH);
    for (EffectSlider *slider : m_sliders)
        showSliderValue(slider);
}

void Invitation_Wizard::showSliderValue(EffectSlider *slider)
{
    const qsizetype index = m_sliders.indexOf(slider);
    if (index >= 0)
        m_sliderValues.at(index)->setText(slider->valueText());
}

void Invitation_Wizard::Image_Setting_Changed()
{
    if (auto *slider = qobject_cast<EffectSlider *>(sender()))
        showSliderValue(slider);
    Update_Image_With_Settings();
}

Image_Effect_Settings Invitation_Wizard::effectSettings() const
{
    Image_Effect_Settings s;
    s.grayscale = gray_scale_chk->isChecked();
    s.sepia = sepia_chk->isChecked();
    s.invrtclr = invert_chk->isChecked();
    s.hue = static_cast<float>(Hue_Slider->floatValue());
    s.sat = static_cast<float>(Sat_Slider->floatValue());
    s.brt = static_cast<float>(Brt_Slider->floatValue());
    s.con = static_cast<float>(Con_Slider->floatValue());
    s.sharpness = static_cast<float>(sharp_Slider->floatValue());
    s.exposure = static_cast<float>(EV_Slider->floatValue());
    s.blur = static_cast<float>(Blr_Slider->floatValue());
    s.tranprency = static_cast<float>(Transperncy_Slider->floatValue());
    s.rotate = Image_Effect_Settings::rotationFrom(static_cast<float>(Rotate_Slider->floatValue()));
    return s;
}

void Invitation_Wizard::Update_Image_With_Settings()
{
    const Image_Effect_Settings s = effectSettings();
    Win().setMainPhotoEffects(s, static_cast<float>(Rotate_Slider->floatValue()));
    if (m_previewSource.isNull())
        return;
    // The preview works on a smaller copy: its blur is measured in the copy's pixels.
    Image_Effect_Settings preview = s;
    preview.blur = static_cast<float>(s.blur * m_previewScale);
    QString failed;
    showPreview(ImageProcesser::Get_Processed_Image(m_previewSource, preview, &failed));
    showEffectFailures(failed);
}

void Invitation_Wizard::showEffectFailures(const QString &failed)
{
    effects_note->setText(failed.isEmpty() ? QString() : tr("Left out, they could not be applied: %1").arg(failed));
    effects_note->setVisible(!failed.isEmpty());
}

void Invitation_Wizard::showPreview(const QImage &picture)
{
    if (picture.isNull()) {
        Selected_picture->clear();
        return;
    }
    const QSize box = Selected_picture->contentsRect().size();
    const qreal ratio = Selected_picture->devicePixelRatioF();
    QImage shown = picture.scaled(box * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    shown.setDevicePixelRatio(ratio);
    Selected_picture->setPixmap(QPixmap::fromImage(shown));
}
