#include "DesignWindowFixture.h"

#include "document/SKTGraphicKinds.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/ImageBrowserView.h"
#include "properties/ui/AlignmentTab.h"
#include "properties/ui/CardPanel.h"
#include "window/Grid_Wizard.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include "fixtures/EventLoop.h"
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QAction>
#include <QToolButton>

#include <cmath>

namespace {

const QRectF kFirst(10, 20, 60, 40);
const QRectF kSecond(103, 77, 31, 52);
const QRectF kLocked(200, 150, 20, 20);

class ArrangeInWindowTest : public DesignWindowTest {
protected:
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        load();
        tab = window->Properties_Panel->aligmnt_tab;
    }

    // Three rectangles on `side`'s list, all selected: the reference first, then a free one and a
    // locked one.
    GraphicList placeSelection(SKTGraphicList &side, SKTGraphicView *canvas)
    {
        GraphicList placed;
        for (const QRectF &bounds : {kFirst, kSecond, kLocked}) {
            auto shape = std::make_shared<Shape_Control>();
            shape->Set_Shape_Type(QStringLiteral("R"));
            shape->_bounds = bounds;
            placed << shape;
        }
        placed.last()->ctrl_is_locked = true;
        side.insertGraphics(placed, platform::IndexSet::range(0, 3));
        canvas->changeSelectionIndexes(platform::IndexSet::range(0, 3));
        document->undoManager().closeEventGroup();
        return placed;
    }

    QRectF card() const { return window->_graphicView->canvasBounds(); }

    AlignmentTab *tab = nullptr;
};

void clear(SKTGraphicList &side)
{
    side.removeGraphicsAtIndexes(platform::IndexSet::range(0, side.count()));
}

double snapped(double value, double spacing)
{
    return std::floor(value / spacing + 0.5) * spacing;
}

TEST_F(ArrangeInWindowTest, EachCommandArrangesTheCurrentSidesSelectionAndLeavesTheLockedOneAlone)
{
    const double w = card().width(), h = card().height();
    const double spacing = 12.0;
    auto toGrid = [spacing](const QRectF &r) {
        const double x0 = snapped(r.left(), spacing), y0 = snapped(r.top(), spacing);
        return QRectF(x0, y0, snapped(r.right(), spacing) - x0, snapped(r.bottom(), spacing) - y0);
    };
    const struct {
        const char *button;
        QRectF first, second; // where the reference and the free object end up
    } rows[] = {
        {"Align_Left_btn", kFirst, {10, 77, 31, 52}},
        {"Align_Right_btn", kFirst, {39, 77, 31, 52}},
        {"Align_Top_btn", kFirst, {103, 20, 31, 52}},
        {"Align_Bottom_btn", kFirst, {103, 8, 31, 52}},
        {"Align_Horz_btn", kFirst, {24.5, 77, 31, 52}},
        {"Align_Vert_btn", kFirst, {103, 14, 31, 52}},
        {"Align_Center_btn", {w / 2 - 30, h / 2 - 20, 60, 40}, {w / 2 - 15.5, h / 2 - 26, 31, 52}},
        {"Make_same_width_btn", kFirst, {103, 77, 60, 52}},
        {"Make_same_height_btn", kFirst, {103, 77, 31, 40}},
        {"Make_natural_size_btn", {10, 20, 40, 40}, {103, 77, 31, 31}},
        {"Align_with_grid_btn", toGrid(kFirst), toGrid(kSecond)},
    };
    // The grid as the grid window leaves it: shown, with its spacing.
    Grid_Wizard *wizard = Grid_Wizard::defaultInstance();
    wizard->Fill_Controls(window->_grid._color, window->_grid._spacing, false);
    wizard->Show_hide_grid_chk->click();
    wizard->Grid_Space_slidr->setValue(static_cast<int>(spacing));
    ASSERT_EQ(window->_grid._spacing, spacing);
    ASSERT_TRUE(window->_grid.isAlwaysShown());

    for (const bool back : {false, true}) {
        for (const auto &row : rows) {
            SCOPED_TRACE(std::string(row.button) + (back ? " on the back" : " on the front"));
            clear(document->graphics());
            clear(document->graphics_back());
            if (back)
                window->Back_Card_Btn_Clicked();
            else
                window->Front_Card_Btn_Clicked();
            SKTGraphicView *canvas = back ? window->_graphicView_BACK : window->_graphicView;
            const GraphicList placed = placeSelection(back ? document->graphics_back() : document->graphics(), canvas);
            // The other side has a selection of its own that no command touches.
            auto other = std::make_shared<Shape_Control>();
            other->_bounds = kSecond;
            (back ? document->graphics() : document->graphics_back()).insertGraphics({other}, {0});

            auto *button = tab->findChild<QAbstractButton *>(QString::fromLatin1(row.button));
            ASSERT_NE(button, nullptr);
            ASSERT_TRUE(button->isEnabled()) << "two or more selected, the grid shown";
            button->click();

            EXPECT_EQ(placed.at(0)->bounds(), row.first);
            EXPECT_EQ(placed.at(1)->bounds(), row.second);
            EXPECT_EQ(placed.at(2)->bounds(), kLocked);
            EXPECT_EQ(other->bounds(), kSecond);
            EXPECT_TRUE(services->messages.isEmpty());
        }
    }
}

TEST_F(ArrangeInWindowTest, OneObjectLinesUpWithTheCard)
{
    const double w = card().width(), h = card().height();
    const struct {
        const char *button;
        QPointF origin;
    } rows[] = {
        {"Align_Left_btn", {0, 77}},           {"Align_Right_btn", {w - 31, 77}},
        {"Align_Top_btn", {103, 0}},           {"Align_Bottom_btn", {103, h - 52}},
        {"Align_Horz_btn", {w / 2 - 15.5, 77}}, {"Align_Vert_btn", {103, h / 2 - 26}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.button);
        clear(document->graphics());
        auto shape = std::make_shared<Shape_Control>();
        shape->_bounds = kSecond;
        document->graphics().insertGraphics({shape}, {0});
        window->_graphicView->changeSelectionIndexes({0});
        tab->findChild<QAbstractButton *>(QString::fromLatin1(row.button))->click();
        EXPECT_EQ(shape->bounds(), QRectF(row.origin, kSecond.size()));
    }
}

TEST_F(ArrangeInWindowTest, ArrangingTheFrontIsUndoneLikeADrag)
{
    const GraphicList placed = placeSelection(document->graphics(), window->_graphicView);
    tab->Align_Left_btn->click();
    tab->Make_same_height_btn->click();
    document->undoManager().closeEventGroup();
    ASSERT_EQ(placed.at(1)->bounds(), QRectF(10, 77, 31, 40));
    EXPECT_TRUE(window->Undo_btn->defaultAction()->isEnabled());

    window->Undo_Clicked();
    EXPECT_EQ(placed.at(1)->bounds(), kSecond);
    window->Redo_Clicked();
    EXPECT_EQ(placed.at(1)->bounds(), QRectF(10, 77, 31, 40));
}

TEST_F(ArrangeInWindowTest, SizingAndGridCommandsSayWhatTheyNeed)
{
    // Several selected on the front do not count while the back is edited.
    placeSelection(document->graphics(), window->_graphicView);
    window->Back_Card_Btn_Clicked();
    auto single = std::make_shared<Shape_Control>();
    single->_bounds = kSecond;
    document->graphics_back().insertGraphics({single}, {0});
    window->_graphicView_BACK->changeSelectionIndexes({0});

    tab->Make_Same_Width_Clicked(tab->Make_same_width_btn);
    tab->Make_Same_Height_Clicked(tab->Make_same_height_btn);
    EXPECT_FALSE(window->_grid.isAlwaysShown());
    EXPECT_FALSE(tab->Align_with_grid_btn->isEnabled());
    tab->Align_To_Grid_Clicked(tab->Align_with_grid_btn);
    EXPECT_EQ(services->messages,
              (QStringList{QStringLiteral("\nPlease select more than one control."),
                           QStringLiteral("\nPlease select more than one control."),
                           QStringLiteral("\nPlease use grid option first.")}));
    EXPECT_EQ(single->bounds(), kSecond);
}

TEST_F(ArrangeInWindowTest, ThePrintFlagReachesOnlyUnlockedSelectedObjects)
{
    window->Back_Card_Btn_Clicked();
    const GraphicList placed = placeSelection(document->graphics_back(), window->_graphicView_BACK);
    window->Show_RHS_Properties(placed.at(1).get());
    QCheckBox *print = window->Properties_Panel->print_object_chk;
    ASSERT_TRUE(print->isVisibleTo(window->Properties_Panel));
    print->click();
    EXPECT_EQ(placed.at(0)->print_object, 1);
    EXPECT_EQ(placed.at(1)->print_object, 1);
    EXPECT_EQ(placed.at(2)->print_object, 0) << "locked";
    print->click();
    EXPECT_EQ(placed.at(1)->print_object, 0);
}

TEST_F(ArrangeInWindowTest, TheGridWindowShowsTheGridAndItsChangesShowItForGood)
{
    window->_grid._color = QColor(Qt::darkCyan);
    window->_grid._spacing = 18.0;
    Grid_Wizard *wizard = Grid_Wizard::defaultInstance();
    QStringList seen;
    QTimer::singleShot(0, wizard, [&] {
        seen << wizard->Grid_clr->color().name() << QString::number(wizard->Grid_Space_slidr->value())
             << QString::number(wizard->Show_hide_grid_chk->isChecked())
             << QString::number(wizard->Grid_Opt_box->isEnabled());
        wizard->Show_hide_grid_chk->click();
        wizard->Grid_Space_slidr->setValue(24);
        wizard->Cancel_Btn_Clicked();
    });
    tab->Grid_Settings_btn->click();
    EXPECT_EQ(seen, (QStringList{QColor(Qt::darkCyan).name(), "18", "0", "0"}));
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_EQ(window->_grid._spacing, 24.0);
    EXPECT_TRUE(window->_grid.isAlwaysShown()) << "for good, not for a moment";
    EXPECT_TRUE(tab->Align_with_grid_btn->isEnabled());
    EXPECT_TRUE(window->alignWithGridButtonEnabled());

    // Hiding it again turns the button off.
    wizard->Show_hide_grid_chk->click();
    EXPECT_FALSE(window->_grid.isAlwaysShown());
    EXPECT_FALSE(tab->Align_with_grid_btn->isEnabled());

    // Snapping flips with the box.
    tab->Grid_Snap_chk->click();
    EXPECT_TRUE(window->_grid.isConstraining());
    tab->Grid_Snap_chk->click();
    EXPECT_FALSE(window->_grid.isConstraining());
}

TEST_F(ArrangeInWindowTest, TheSizingButtonsFollowTheNumberSelected)
{
    placeSelection(document->graphics(), window->_graphicView);
    for (QPushButton *button : {tab->Make_same_width_btn, tab->Make_same_height_btn, tab->Make_natural_size_btn})
        EXPECT_TRUE(button->isEnabled());
    window->_graphicView->changeSelectionIndexes({1});
    for (QPushButton *button : {tab->Make_same_width_btn, tab->Make_same_height_btn, tab->Make_natural_size_btn})
        EXPECT_FALSE(button->isEnabled());
}

// --- Background browser ---------------------------------------------------------------------------

QByteArray picture(const QColor &colour)
{
    QImage image(12, 8, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class BackgroundInWindowTest : public DesignWindowTest {
protected:
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        writeFile(QStringLiteral("Frames/Rose.PNG"), picture(Qt::red));
        writeFile(QStringLiteral("Frames/lily.jpg"), picture(Qt::white));
        writeFile(QStringLiteral("Frames/Amber.png"), picture(QColor(255, 190, 0)));
        writeFile(QStringLiteral("Frames/scan.tiff"), picture(Qt::gray));
        writeFile(QStringLiteral("Frames/read me.txt"));
        load();
        browser = window->card_bkgd_tab->imageBrowser;
    }

    QStringList listed() const
    {
        QStringList names;
        for (const MyImageObject &item : browser->items())
            names << item.image_Name;
        return names;
    }

    ImageBrowserView *browser = nullptr;
};

TEST_F(BackgroundInWindowTest, TheWindowListsTheFramesAtStart)
{
    EXPECT_EQ(listed(), (QStringList{"Amber.png", "Rose.PNG", "lily.jpg"}));
    EXPECT_EQ(browser->itemAtIndex(1).path, resourcePath(QStringLiteral("Frames/Rose.PNG")));
    EXPECT_TRUE(browser->allowsReordering());
}

TEST_F(BackgroundInWindowTest, APickOnTheBackSideChangesTheFrontOnly)
{
    auto frame = std::make_shared<SKTImage>();
    frame->control_ID = QStringLiteral("PARTY_IMAGE_BG");
    document->insertGraphics({frame}, {0});
    window->Back_Card_Btn_Clicked();
    const Card_Property back = window->Back_card_Prop;
    window->sett_tab->setCurrentWidget(window->card_bkgd_tab);
    browser->setSelectionIndexes({1});

    const QString rose = resourcePath(QStringLiteral("Frames/Rose.PNG"));
    EXPECT_EQ(window->Properties_Panel->cardPanel->selected_image, rose);
    EXPECT_EQ(window->Front_card_Prop.Card_BG_Image_Path(), rose);
    EXPECT_TRUE(window->Front_card_Prop.Card_fill_chk());
    EXPECT_EQ(window->Front_card_Prop.Card_BG_Image().size(), QSize(12, 8));
    EXPECT_EQ(frame->FilePath(), rose);
    EXPECT_EQ(window->Back_card_Prop, back);
    // The panel shows the back's own settings, and the frames stay in view.
    EXPECT_EQ(App().Card_Front_Or_Back, 1);
    EXPECT_TRUE(window->card_bkgd_tab->Card_Image_path->text().isEmpty());
    EXPECT_EQ(window->sett_tab->currentWidget(), window->card_bkgd_tab);

    // On the front the pick shows in the panel too.
    window->Front_Card_Btn_Clicked();
    browser->setSelectionIndexes({2});
    const QString lily = resourcePath(QStringLiteral("Frames/lily.jpg"));
    EXPECT_EQ(window->Front_card_Prop.Card_BG_Image_Path(), lily);
    EXPECT_EQ(window->card_bkgd_tab->Card_Image_path->text(), lily);
}

// --- Looks -----------------------------------------------------------------------------------------

class PanelLookTest : public BackgroundInWindowTest {
protected:
    void settle()
    {
        waitFor([&] { return browser->pendingThumbnails() == 0; });
        QCoreApplication::processEvents();
    }

    void shoot(const QString &name)
    {
        settle();
        const QImage shot = window->Properties_Panel->grab().toImage();
        ASSERT_FALSE(shot.isNull());
        EXPECT_TRUE(shot.save(testOutputPath(name)));
        EXPECT_TRUE(shot.save(QDir::temp().filePath(name)));
    }
};

TEST_F(PanelLookTest, TheAlignmentAndBackgroundTabsRenderForALook)
{
    // The frames the program ships, as a user sees them.
    QDir(resourcePath(QStringLiteral("Frames"))).removeRecursively();
    const QDir shipped(sourceResourcesPath() + QStringLiteral("/Frames"));
    QDir().mkpath(resourcePath(QStringLiteral("Frames")));
    for (const QString &name : shipped.entryList(QDir::Files))
        QFile::copy(shipped.filePath(name), resourcePath(QStringLiteral("Frames/") + name));
    window->Load_and_fill_backgrounds();
    window->Main_wnd->show();

    EXPECT_EQ(window->Properties_Panel->aligmnt_tab->palette().color(QPalette::Window), QColor(241, 244, 250));
    window->sett_tab->setCurrentWidget(window->card_bkgd_tab);
    browser->setSelectionIndexes({1});
    window->sett_tab->setCurrentWidget(window->card_bkgd_tab);
    shoot(QStringLiteral("panel-background-tab.png"));

    window->Rect_Tool_Clicked();
    window->Circle_Tool_Clicked();
    window->_graphicView->changeSelectionIndexes({0, 1});
    window->sett_tab->setCurrentWidget(window->aligmnt_tab);
    shoot(QStringLiteral("panel-alignment-tab.png"));
}

} // namespace
