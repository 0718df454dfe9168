#include "PanelTestSupport.h"

#include "platform/ui/ColorWell.h"
#include "platform/ui/EffectSlider.h"
#include "properties/ImagePanelValues.h"
#include "properties/ui/DataSourceTab.h"
#include "properties/ui/ImageTab.h"
#include "properties/ui/SignatureTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPainter>
#include <QScopedValueRollback>

#include <gtest/gtest.h>

namespace {

void pick(ColorWell *well, const QColor &colour)
{
    well->setColor(colour);
    emit well->colorChanged(colour);
}

std::shared_ptr<SKTImage> somePicture()
{
    auto picture = made<SKTImage>();
    picture->_file_path = QStringLiteral("/pictures/cake.png");
    picture->_isDrawingStroke = true;
    picture->_strokeWidth = 2;
    picture->_strokeColor = QColor(Qt::black);
    picture->_stroke_border_type = QStringLiteral("DO");
    picture->img_trnsp_val = 80;
    picture->rotate_image = 15;
    picture->hue_val = 0.5f;
    picture->sat_val = 1.25f;
    picture->brt_val = -0.2f;
    picture->con_val = 1.5f;
    picture->srp_val = 0.4f;
    picture->ev_val = 1.0f;
    picture->blr_val = 2.5f;
    picture->Sepia = true;
    picture->_isFlippedVertically = true;
    return picture;
}

class ImageTabTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        reference = somePicture();
        design.current = reference;
        show(*reference);
    }

    void TearDown() override
    {
        delete tab;
        delete source;
    }

    void show(SKTGraphic &graphic, bool framePicture = false)
    {
        const QScopedValueRollback<bool> filling(App().Not_Draw_Only_Prop_Change, true);
        tab->fill(graphic, framePicture);
    }

    AppFixture app;
    ScopedScriptedServices services;
    FakeDesign design;
    QCheckBox print;
    DataSourceTab *source = new DataSourceTab(design, design);
    ImageTab *tab = new ImageTab(design, &print, *source);
    std::shared_ptr<SKTImage> reference;
};

struct ImageCase {
    const char *control;
    std::function<void(ImageTab &, DataSourceTab &)> change;
    std::function<QVariant(const SKTGraphic &)> field;
    QVariant expected;
};

TEST_F(ImageTabTest, EveryControlWritesItsFieldIntoEverySelectedObject)
{
    const ImageCase cases[] = {
        {"Image_border_chk", [](ImageTab &t, DataSourceTab &) { t.Image_border_chk->click(); },
         [](const SKTGraphic &g) { return QVariant(g._isDrawingStroke); }, false},
        {"Image_bor_Stepper", [](ImageTab &t, DataSourceTab &) { t.Image_bor_Stepper->stepBy(2); },
         [](const SKTGraphic &g) { return QVariant(g._strokeWidth); }, 4.0},
        {"Image_bor_Text", [](ImageTab &t, DataSourceTab &) { typeInto(t.Image_bor_Stepper, QStringLiteral("9")); },
         [](const SKTGraphic &g) { return QVariant(g._strokeWidth); }, 9.0},
        {"Image_bordr_clr", [](ImageTab &t, DataSourceTab &) { pick(t.Image_bordr_clr, QColor(1, 2, 3)); },
         [](const SKTGraphic &g) { return QVariant(g._strokeColor); }, QColor(1, 2, 3)},
        {"Image_border_style", [](ImageTab &t, DataSourceTab &) { t.Image_border_style->setCurrentIndex(3); },
         [](const SKTGraphic &g) { return QVariant(g._stroke_border_type); }, QStringLiteral("DD")},
        {"Image_FIH_chk", [](ImageTab &t, DataSourceTab &) { t.Image_FIH_chk->click(); },
         [](const SKTGraphic &g) { return QVariant(g._isFlippedHorizontally); }, true},
        {"Image_FIV_chk", [](ImageTab &t, DataSourceTab &) { t.Image_FIV_chk->click(); },
         [](const SKTGraphic &g) { return QVariant(g._isFlippedVertically); }, false},
        {"Image_Invert_chk", [](ImageTab &t, DataSourceTab &) { t.Image_Invert_chk->click(); },
         [](const SKTGraphic &g) { return QVariant(g.invert_clr); }, true},
        {"Image_Gray_Scale_chk", [](ImageTab &t, DataSourceTab &) { t.Image_Gray_Scale_chk->click(); },
         [](const SKTGraphic &g) { return QVariant(g.gray_Scale); }, true},
        {"Image_Sepia_chk", [](ImageTab &t, DataSourceTab &) { t.Image_Sepia_chk->click(); },
         [](const SKTGraphic &g) { return QVariant(g.Sepia); }, false},
        // The opacity stays in percent.
        {"Trsp_slidr", [](ImageTab &t, DataSourceTab &) { t.Trsp_slidr->setFloatValue(40); },
         [](const SKTGraphic &g) { return QVariant(g.img_trnsp_val); }, 40.0f},
        {"Rotate_slidr", [](ImageTab &t, DataSourceTab &) { t.Rotate_slidr->setFloatValue(-90); },
         [](const SKTGraphic &g) { return QVariant(g.rotate_image); }, -90.0f},
        {"Hue_slidr", [](ImageTab &t, DataSourceTab &) { t.Hue_slidr->setFloatValue(-1.25); },
         [](const SKTGraphic &g) { return QVariant(g.hue_val); }, -1.25f},
        {"Sat_slidr", [](ImageTab &t, DataSourceTab &) { t.Sat_slidr->setFloatValue(0.5); },
         [](const SKTGraphic &g) { return QVariant(g.sat_val); }, 0.5f},
        {"Brt_slidr", [](ImageTab &t, DataSourceTab &) { t.Brt_slidr->setFloatValue(0.25); },
         [](const SKTGraphic &g) { return QVariant(g.brt_val); }, 0.25f},
        {"Con_slidr", [](ImageTab &t, DataSourceTab &) { t.Con_slidr->setFloatValue(2); },
         [](const SKTGraphic &g) { return QVariant(g.con_val); }, 2.0f},
        {"shrp_slidr", [](ImageTab &t, DataSourceTab &) { t.shrp_slidr->setFloatValue(1.5); },
         [](const SKTGraphic &g) { return QVariant(g.srp_val); }, 1.5f},
        {"ev_slidr", [](ImageTab &t, DataSourceTab &) { t.ev_slidr->setFloatValue(-2); },
         [](const SKTGraphic &g) { return QVariant(g.ev_val); }, -2.0f},
        {"blr_slidr", [](ImageTab &t, DataSourceTab &) { t.blr_slidr->setFloatValue(7.5); },
         [](const SKTGraphic &g) { return QVariant(g.blr_val); }, 7.5f},
        // A slider movement writes every value, not only its own.
        {"blr_slidr (hue too)", [](ImageTab &t, DataSourceTab &) { t.blr_slidr->setFloatValue(7.5); },
         [](const SKTGraphic &g) { return QVariant(g.hue_val); }, 0.5f},
        {"blr_slidr (path too)", [](ImageTab &t, DataSourceTab &) { t.blr_slidr->setFloatValue(7.5); },
         [](const SKTGraphic &g) { return QVariant(g._file_path); }, QStringLiteral("/pictures/cake.png")},
    };
    for (const ImageCase &c : cases) {
        SCOPED_TRACE(c.control);
        design.selection = {made<SKTImage>(), made<SKTImage>(), made<Shape_Control>(QStringLiteral("R"))};
        show(*reference);
        const int refreshes = design.refreshes;
        c.change(*tab, *source);
        for (const SKTGraphicPtr &graphic : design.selection)
            EXPECT_EQ(c.field(*graphic), c.expected) << graphic->className().toStdString();
        EXPECT_EQ(design.refreshes, refreshes + 1);
    }
}

TEST_F(ImageTabTest, SlidersShowTheirValuesAndTheResetAsksFirst)
{
    design.selection = {made<SKTImage>(), made<SKTImage>()};
    EXPECT_EQ(tab->Trsp_slidr_val->text(), QStringLiteral("80"));
    EXPECT_EQ(tab->Hue_slidr_val->text(), QStringLiteral("0.50"));
    EXPECT_EQ(tab->blr_slidr_val->text(), QStringLiteral("2.5"));
    tab->Con_slidr->setFloatValue(3.25);
    EXPECT_EQ(tab->Con_slidr_val->text(), QStringLiteral("3.25"));

    services->yesNoAnswers = {false};
    tab->Image_reset_btn->click();
    EXPECT_EQ(tab->Con_slidr->floatValue(), 3.25);
    EXPECT_EQ(design.selection.first()->con_val, 3.25f);

    services->yesNoAnswers = {true};
    tab->Image_reset_btn->click();
    EXPECT_EQ(services->questions.size(), 2);
    EXPECT_EQ(services->questions.last(), QStringLiteral("Are you sure you want to continue?"));
    const ImagePanelValues neutral; // the fields' own start values
    for (const SKTGraphicPtr &graphic : design.selection) {
        const ImagePanelValues v = ImagePanelValues::of(*graphic);
        EXPECT_EQ(v.opacityPercent, neutral.opacityPercent);
        EXPECT_EQ(v.rotation, 0);
        EXPECT_EQ(v.hue, 0);
        EXPECT_EQ(v.saturation, 1);
        EXPECT_EQ(v.brightness, 0);
        EXPECT_EQ(v.contrast, 1);
        EXPECT_EQ(v.sharpness, 0);
        EXPECT_EQ(v.exposure, 0);
        EXPECT_EQ(v.blur, 0);
        EXPECT_FALSE(v.flipHorizontally || v.flipVertically || v.invert || v.grayScale || v.sepia);
    }
    EXPECT_EQ(tab->Trsp_slidr_val->text(), QStringLiteral("100"));

    // The reset new pictures ask for touches the controls only.
    tab->Hue_slidr->setFloatValue(1);
    const int refreshes = design.refreshes;
    tab->Reset_Image_Editing_Controls();
    EXPECT_EQ(design.refreshes, refreshes);
    EXPECT_EQ(design.selection.first()->hue_val, 1.0f);
    EXPECT_EQ(tab->Hue_slidr_val->text(), QStringLiteral("0.00"));
}

TEST_F(ImageTabTest, BrowsingGivesTheCurrentPictureTheFileAndOnlyTheMainPhotoObjectTheMainPhoto)
{
    const QString file = app.resourcePath() + QStringLiteral("balloon.png");
    QImage balloon(6, 4, QImage::Format_ARGB32);
    balloon.fill(Qt::red);
    ASSERT_TRUE(balloon.save(file));
    app.hub.mainPhoto = QImage(3, 3, QImage::Format_ARGB32);

    auto photo = made<SKTImage>();
    photo->control_ID = QStringLiteral("PARTY_IMAGE");
    auto frame = made<SKTImage>();
    frame->control_ID = QStringLiteral("PARTY_IMAGE_BG");
    auto other = made<SKTImage>();
    const struct {
        std::shared_ptr<SKTImage> current;
        bool library;
        QStringList mainPhotos;
        QSize picture;
    } cases[] = {
        {other, false, {}, QSize(6, 4)},
        {frame, false, {}, QSize(6, 4)},
        {photo, false, {file}, QSize(3, 3)},
        {other, true, {}, QSize(6, 4)},
        {photo, true, {}, QSize(3, 3)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.current->control_ID.toStdString() + (c.library ? " library" : " file"));
        design.mainPhotos.clear();
        auto second = made<SKTImage>();
        design.selection = {c.current, second};
        design.current = c.current;
        (c.library ? design.libraryPictureAnswer : design.userPictureAnswer) = file;
        (c.library ? source->manual_lib_brws_btn : source->manual_brws_btn)->click();
        EXPECT_EQ(design.mainPhotos, c.mainPhotos);
        EXPECT_EQ(c.current->_contents.size(), c.picture);
        EXPECT_EQ(source->Manual_image_path->text(), file);
        // Both take the path; only the current one the picture.
        EXPECT_EQ(c.current->_file_path, file);
        EXPECT_EQ(second->_file_path, file);
        EXPECT_TRUE(second->_contents.isNull());
        design.userPictureAnswer.clear();
        design.libraryPictureAnswer.clear();
    }

    // A cancelled panel changes nothing.
    const int refreshes = design.refreshes;
    source->manual_brws_btn->click();
    source->manual_lib_brws_btn->click();
    EXPECT_EQ(design.refreshes, refreshes);
    EXPECT_EQ(source->Manual_image_path->text(), file);
}

TEST_F(ImageTabTest, TheMainPhotoAndTheFramePictureShowNoEffectsNorLibrary)
{
    tab->show();
    source->show();
    show(*reference, true);
    EXPECT_FALSE(tab->Image_Edit_Prop_Box->isVisible());
    EXPECT_FALSE(source->manual_lib_brws_btn->isVisible());
    show(*reference, false);
    EXPECT_TRUE(tab->Image_Edit_Prop_Box->isVisible());
    EXPECT_TRUE(source->manual_lib_brws_btn->isVisible());
}

TEST_F(ImageTabTest, ShowingAndWritingBackLeavesAPictureAsItWas)
{
    auto plain = made<SKTImage>();
    plain->_file_path = QStringLiteral("/pictures/plain.jpg");
    auto outlined = somePicture();
    outlined->print_object = 1;
    outlined->_isFlippedHorizontally = true;
    outlined->invert_clr = true;
    outlined->gray_Scale = true;
    for (const SKTGraphicPtr &object : {SKTGraphicPtr(reference), SKTGraphicPtr(plain), SKTGraphicPtr(outlined)}) {
        SCOPED_TRACE(object->_file_path.toStdString());
        const QStringList before = archivedFields(*object);
        print.setChecked(object->print_object != 0);
        show(*object);
        design.selection = {object};
        tab->Update_Image_Graphics();
        EXPECT_EQ(archivedFields(*object), before);
    }
}

// --- Signature tab ---------------------------------------------------------------------------------

class SignatureTabTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        delete tab;
        delete source;
    }

    void show(SKTGraphic &graphic)
    {
        const QScopedValueRollback<bool> filling(App().Not_Draw_Only_Prop_Change, true);
        tab->fill(graphic);
    }

    static std::shared_ptr<SKTSignature> signature(const QString &path)
    {
        auto sign = made<SKTSignature>();
        sign->_file_path = path;
        sign->_isDrawingStroke = true;
        sign->_strokeWidth = 3;
        sign->_stroke_border_type = QStringLiteral("DA");
        return sign;
    }

    AppFixture app;
    ScopedScriptedServices services;
    FakeDesign design;
    QCheckBox print;
    DataSourceTab *source = new DataSourceTab(design, design);
    SignatureTab *tab = new SignatureTab(design, &print, *source);
};

TEST_F(SignatureTabTest, EveryControlWritesItsFieldIntoEverySelectedObject)
{
    auto shown = signature(QStringLiteral("/scans/mine.png"));
    using Case = std::tuple<const char *, std::function<void(SignatureTab &)>,
                            std::function<QVariant(const SKTGraphic &)>, QVariant>;
    const Case cases[] = {
        {"Sign_border_chk", [](SignatureTab &t) { t.Sign_border_chk->click(); },
         [](const SKTGraphic &g) { return QVariant(g._isDrawingStroke); }, false},
        {"Sign_bor_Stepper", [](SignatureTab &t) { t.Sign_bor_Stepper->stepBy(1); },
         [](const SKTGraphic &g) { return QVariant(g._strokeWidth); }, 4.0},
        {"Sign_bor_Text", [](SignatureTab &t) { typeInto(t.Sign_bor_Stepper, QStringLiteral("8")); },
         [](const SKTGraphic &g) { return QVariant(g._strokeWidth); }, 8.0},
        {"Sign_bordr_clr", [](SignatureTab &t) { pick(t.Sign_bordr_clr, QColor(0, 0, 90)); },
         [](const SKTGraphic &g) { return QVariant(g._strokeColor); }, QColor(0, 0, 90)},
        {"Sign_border_style", [](SignatureTab &t) { t.Sign_border_style->setCurrentIndex(0); },
         [](const SKTGraphic &g) { return QVariant(g._stroke_border_type); }, QStringLiteral("S")},
        // The path shown is the shown signature's, never one left from before.
        {"Sign_image_path", [](SignatureTab &t) { t.Sign_bor_Stepper->stepBy(1); },
         [](const SKTGraphic &g) { return QVariant(g._file_path); }, QStringLiteral("/scans/mine.png")},
    };
    for (const auto &[control, change, field, expected] : cases) {
        SCOPED_TRACE(control);
        show(*signature(QStringLiteral("/scans/other.png")));
        design.selection = {signature(QStringLiteral("/scans/a.png")), signature(QStringLiteral("Default"))};
        show(*shown);
        change(*tab);
        for (const SKTGraphicPtr &graphic : design.selection)
            EXPECT_EQ(field(*graphic), expected);
    }
}

TEST_F(SignatureTabTest, ABrowsedPictureReachesEverySelectedSignature)
{
    const QString file = app.resourcePath() + QStringLiteral("scan.png");
    QImage scan(10, 5, QImage::Format_ARGB32);
    scan.fill(Qt::darkBlue);
    ASSERT_TRUE(scan.save(file));
    auto first = signature(QStringLiteral("Default"));
    auto second = signature(QStringLiteral("Default"));
    design.selection = {first, second};
    show(*first);

    tab->Sign_Browse_btn->click(); // cancelled
    EXPECT_EQ(first->_file_path, QStringLiteral("Default"));

    services->fileAnswers = {file};
    tab->Sign_Browse_btn->click();
    EXPECT_EQ(tab->Sign_image_path->text(), file);
    QImage canvas(40, 40, QImage::Format_ARGB32);
    QPainter painter(&canvas);
    for (const SKTGraphicPtr &graphic : design.selection) {
        graphic->drawContentsInView(painter, false);
        EXPECT_EQ(static_cast<SKTSignature &>(*graphic)._contents_img.size(), QSize(10, 5));
    }
}

TEST_F(SignatureTabTest, ShowingAndWritingBackLeavesASignatureAsItWas)
{
    auto sign = signature(QStringLiteral("/scans/mine.png"));
    sign->sign_or_fingureprint = QStringLiteral("F");
    sign->print_object = 1;
    const QStringList before = archivedFields(*sign);
    print.setChecked(true);
    show(*sign);
    design.selection = {sign};
    tab->Update_Sign_Graphics();
    EXPECT_EQ(archivedFields(*sign), before);
}

} // namespace
