#include "DesignWindowFixture.h"

#include "canvas/ui/SKTZoomingScrollView.h"
#include "canvas/ui/SWCenteringClipView.h"
#include "core/UnitConversion.h"
#include "document/SKTGraphicKinds.h"
#include "platform/ui/ColorWell.h"

#include <QAbstractItemModel>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QComboBox>
#include <QScrollBar>
#include <QTableView>

#include <thread>

namespace {

void expectMillimetres(const QSizeF &size, double width, double height)
{
    EXPECT_NEAR(size.width(), width, 0.0005);
    EXPECT_NEAR(size.height(), height, 0.0005);
}

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

class WindowServicesTest : public DesignWindowTest {
protected:
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        load();
    }
};

} // namespace

TEST(CardSizePresets, PresetsGiveMillimetresInEitherOrientation)
{
    expectMillimetres(SKTWindowController::Get_My_card_Size(QStringLiteral("PVC Card"), QStringLiteral("H"), 0),
                      85.598, 54.102);
    expectMillimetres(SKTWindowController::Get_My_card_Size(QStringLiteral("PVC Card"), QStringLiteral("V"), 0),
                      54.102, 85.598);
    // A portrait badge stays portrait in the landscape orientation.
    expectMillimetres(SKTWindowController::Get_My_card_Size(QStringLiteral("Paper"), QStringLiteral("H"), 5),
                      59.944, 89.916);
    expectMillimetres(SKTWindowController::Get_My_card_Size(QStringLiteral("Paper"), QStringLiteral("H"), 7),
                      150.114, 125.984);
    // Only the exact category names the plastic cards.
    expectMillimetres(SKTWindowController::Get_My_card_Size(QStringLiteral("pvc card"), QStringLiteral("H"), 0),
                      59.944, 40.132);
    // The sizes are single precision, as the presets are.
    EXPECT_EQ(SKTWindowController::Get_My_card_Size(QStringLiteral("PVC Card"), QStringLiteral("H"), 0).width(),
              static_cast<double>(static_cast<float>(3.37f * 25.4)));
}

TEST(CardSizePresets, AnIndexWithoutARowGivesTheSmallDefaultCard)
{
    for (int index : {-1, 7, 100, -5}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(SKTWindowController::Get_My_card_Size(QStringLiteral("PVC Card"), QStringLiteral("H"), index),
                  QSizeF(30, 30));
    }
    EXPECT_EQ(SKTWindowController::Get_My_card_Size(QStringLiteral("Paper"), QStringLiteral("V"), 8), QSizeF(30, 30));
}

TEST_F(WindowServicesTest, MillimetresReachTheSizeControlsAndPointsReachAllThreeCanvases)
{
    const QSizeF mm = SKTWindowController::Get_My_card_Size(QStringLiteral("PVC Card"), QStringLiteral("V"), 2);
    window->Set_Card_Size_In_Control(mm);
    EXPECT_NEAR(window->card_setting_tab->width_Stepper->value(), 60.452, 0.0005);
    EXPECT_EQ(window->card_setting_tab->width_Text->text(), QStringLiteral("60.452 mm"));
    EXPECT_NEAR(window->card_setting_tab->height_Stepper->value(), 91.948, 0.0005);

    const QSizeF points(MM_to_Points_Convert(85.6f), MM_to_Points_Convert(54.0f));
    window->Set_Document_Size(points);
    EXPECT_EQ(window->_graphicView->canvasSize(), QSizeF(243, 154));
    window->SetDocumentCanvasSize(points);
    for (SKTGraphicView *canvas : {window->_graphicView, window->_graphicView_BACK, window->_graphicView_TEMP})
        EXPECT_EQ(canvas->canvasSize(), points);
    for (SKTZoomingScrollView *scroll :
         {window->_zoomingScrollView, window->_zoomingScrollView_BACK, window->_zoomingScrollView_TEMP})
        EXPECT_EQ(scroll->documentSize(), points);
    EXPECT_NEAR(points.width(), 242.65, 0.005);
    EXPECT_EQ(window->frontCanvasBounds(), QRectF(QPointF(0, 0), points));

    // Sizes that are no card leave the canvases alone.
    for (const QSizeF &bad : {QSizeF(0, 0), QSizeF(-5, 20), QSizeF(qQNaN(), 20)})
        window->SetDocumentCanvasSize(bad);
    EXPECT_EQ(window->_graphicView_BACK->canvasSize(), points);
}

// Scrolled to its end at any zoom, the view shows the card's far edges, fractions of a point included.
TEST_F(WindowServicesTest, EveryPartOfTheCardCanBeScrolledIntoViewAtEveryZoom)
{
    window->SetDocumentCanvasSize(QSizeF(340.157, 425.197));
    SKTZoomingScrollView *scroll = window->_zoomingScrollView;
    for (double factor : SKTZoomingScrollView::SKTZoomingScrollViewFactors) {
        scroll->setFactor(factor);
        for (QScrollBar *bar : {scroll->horizontalScrollBar(), scroll->verticalScrollBar()})
            bar->setValue(bar->maximum());
        const QRectF shown = scroll->clipView()->bounds();
        EXPECT_TRUE(shown.right() >= 340.157 && shown.bottom() >= 425.197) << factor;
    }
}

TEST_F(WindowServicesTest, TheDocumentsCanvasSizeIsFollowedOnlyUnderItsContext)
{
    window->observeValueForKeyPath(QStringLiteral("canvasSize"), QSizeF(300, 200), QStringLiteral("other"));
    window->observeValueForKeyPath(QStringLiteral("canvasSize"), QVariant(), QString::fromLatin1(SKTWindowController::kCanvasSizeContext));
    EXPECT_EQ(window->_graphicView->canvasSize(), QSizeF(243, 154));
    window->observeValueForKeyPath(QStringLiteral("canvasSize"), QSizeF(300, 200),
                                   QString::fromLatin1(SKTWindowController::kCanvasSizeContext));
    EXPECT_EQ(window->_graphicView_TEMP->canvasSize(), QSizeF(300, 200));

    // The document announces "canvasSize" with its print information, but without a size.
    document->setPrintInfo(platform::PrintInfo());
    EXPECT_EQ(window->_graphicView->canvasSize(), QSizeF(300, 200));
    ASSERT_TRUE(document->hasObservers(SKTDocument::CanvasSizeKey));
    window->setDocument(nullptr);
    EXPECT_FALSE(document->hasObservers(SKTDocument::CanvasSizeKey));
}

TEST_F(WindowServicesTest, TheListTableHoldsTrimmedRowsAndRefusesRowsOutsideIt)
{
    // The window starts with the plastic card sizes listed.
    EXPECT_EQ(window->ListData.size(), window->pvc_card_arry.size());
    window->ListData.clear();
    LogCapture log;
    window->Create_List(QStringLiteral("  "));
    window->Create_List(QStringLiteral(" CR80 \n"));
    window->Create_List(QStringLiteral("CR79"));
    EXPECT_EQ(window->ListData.size(), 2);
    EXPECT_EQ(window->Get_Item_Text(0), QStringLiteral("CR80"));
    EXPECT_EQ(window->Get_Item_Text(2), QString(QLatin1String("")));
    EXPECT_FALSE(window->Get_Item_Text(2).isNull());
    EXPECT_EQ(window->card_setting_tab->ColList->model()->rowCount(), 2);
    EXPECT_EQ(window->card_setting_tab->ColList->model()->index(1, 0).data().toString(), QStringLiteral("CR79"));
    EXPECT_EQ(window->numberOfRowsInTableView(nullptr), 0);

    window->tableView_setObjectValue_forTableColumn_row(window->card_setting_tab->ColList, QStringLiteral("x"),
                                                        QStringLiteral("Extension"), 2);
    EXPECT_TRUE(log.lines().contains(
        QStringLiteral("Invalid parameter not satisfying: pRowIndex >= 0 && pRowIndex < [ListData count]")));
    EXPECT_EQ(window->ListData.size(), 2);
    window->card_setting_tab->ColList->model()->setData(window->card_setting_tab->ColList->model()->index(0, 0), QStringLiteral("CR80-Credit"));
    EXPECT_EQ(window->Get_Item_Text(0), QStringLiteral("CR80-Credit"));

    window->Mark_List_New_Selection(0);
    window->Mark_List_New_Selection(1);
    const QModelIndexList rows = window->card_setting_tab->ColList->selectionModel()->selectedRows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.first().row(), 1);
    // A row without the key yields no text.
    window->ListData.append(QVariantMap{{QStringLiteral("Other"), 1}});
    EXPECT_TRUE(window->Get_Item_Text(2).isNull());
}

TEST_F(WindowServicesTest, RefreshMarksOnlyTheCurrentSideAndNothingDuringABatchRun)
{
    window->Main_wnd->show();
    QCoreApplication::processEvents();
    PaintCounter front, back;
    window->_graphicView->installEventFilter(&front);
    window->_graphicView_BACK->installEventFilter(&back);

    window->Refresh_Canvas();
    QCoreApplication::processEvents();
    EXPECT_GT(front.paints, 0);

    front.paints = 0;
    App().Card_Value_In_Process = true;
    window->Refresh_Canvas();
    QCoreApplication::processEvents();
    EXPECT_EQ(front.paints, 0);
    App().Card_Value_In_Process = false;

    // From a worker the request is handed to the GUI thread.
    std::thread worker([&] { window->Refresh_Canvas(); });
    worker.join();
    QCoreApplication::processEvents(); // the handed-over request
    QCoreApplication::processEvents(); // the paint it asked for
    EXPECT_GT(front.paints, 0);
    EXPECT_EQ(back.paints, 0);
}

TEST_F(WindowServicesTest, EveryCanvasDrawsItsOwnSidesFace)
{
    window->Front_card_Prop.setCard_fill_chk(true);
    window->Front_card_Prop.setCard_fill_clr(QColor(200, 0, 0));
    window->Back_card_Prop.setCard_fill_chk(true);
    window->Back_card_Prop.setCard_fill_clr(QColor(0, 0, 200));
    const auto face = [&] {
        QImage image(20, 20, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        window->Card_Base_Drawing(painter, QRectF(0, 0, 20, 20));
        painter.end();
        return image.pixelColor(10, 10);
    };
    EXPECT_EQ(face(), QColor(200, 0, 0));
    App().Card_Front_Or_Back = 1;
    EXPECT_EQ(face(), QColor(0, 0, 200));

    // Each canvas draws its own side's face whichever side is current, so both can show at once;
    // the preview shows the face of the side it was filled from.
    const auto centreOf = [](SKTGraphicView *canvas) {
        const QImage image = canvas->grab().toImage();
        return image.pixelColor(image.width() / 2, image.height() / 2);
    };
    for (int current : {0, 1}) {
        App().Card_Front_Or_Back = current;
        EXPECT_EQ(centreOf(window->_graphicView), QColor(200, 0, 0));
        EXPECT_EQ(centreOf(window->_graphicView_BACK), QColor(0, 0, 200));
        window->Temp_Design_Control_Assign();
        EXPECT_EQ(centreOf(window->_graphicView_TEMP), current == 1 ? QColor(0, 0, 200) : QColor(200, 0, 0));
    }
}

TEST_F(WindowServicesTest, CardWideTextSettingsApplyOnlyWhereTheyChanged)
{
    auto text = std::make_shared<SKTText>();
    text->txt_clr = QColor(Qt::red);
    text->text_ctrl_font = QFont(QStringLiteral("Liberation Sans"), 9);
    auto frame = std::make_shared<SKTImage>();
    frame->control_ID = QStringLiteral("PARTY_IMAGE_BG");
    frame->setBounds(QRectF(5, 5, 10, 10));
    document->insertGraphics({text, frame}, {0, 1});
    window->SetDocumentCanvasSize(QSizeF(300, 200));

    // Nothing changed since the baselines were taken: texts keep their own colour and font.
    window->Update_All_Card_Content();
    EXPECT_EQ(text->txt_clr, QColor(Qt::red));
    EXPECT_EQ(text->text_ctrl_font.family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(frame->bounds(), QRectF(0, 0, 300, 200));

    window->card_setting_tab->All_Text_clr->setColor(QColor(0, 90, 0));
    window->card_setting_tab->All_Text_font_COPY = App().All_Text_font;
    App().All_Text_font = QFont(QStringLiteral("Liberation Mono"), 11);
    window->Update_All_Card_Content();
    EXPECT_EQ(text->txt_clr, QColor(0, 90, 0));
    EXPECT_EQ(text->text_ctrl_font.family(), QStringLiteral("Liberation Mono"));
}

// The panel's presets work as the card-size dialog's: a row fills the size, the orientation lists
// the sizes again, and Apply Size gives the card the size shown.
TEST_F(WindowServicesTest, APresetRowFillsTheSizeThatApplySizeGivesTheCard)
{
    CardSettingsTab *tab = window->card_setting_tab;
    const auto shown = [tab] { return QSizeF(tab->width_Stepper->value(), tab->height_Stepper->value()); };
    tab->ColList->selectRow(1); // CR79
    expectMillimetres(shown(), 84.074, 52.324);

    tab->Preset_ComboBox->setCurrentIndex(tab->Preset_ComboBox->findText(QStringLiteral("Vertical")));
    expectMillimetres(shown(), 54.102, 85.598); // the first row, stood up
    tab->ColList->selectRow(1);
    expectMillimetres(shown(), 52.324, 84.074);

    tab->Apply_Size_btn->click();
    const QSizeF points(MM_to_Points_Convert(52.324f), MM_to_Points_Convert(84.074f));
    EXPECT_NEAR(window->_graphicView->canvasSize().width(), points.width(), 0.01);
    EXPECT_NEAR(window->_graphicView->canvasSize().height(), points.height(), 0.01);
    EXPECT_NEAR(window->Front_card_Prop.Card_Size().height(), points.height(), 0.01);

    // A size typed that no preset has, lying: the panel and the card settings say so at once.
    tab->width_Stepper->setValue(76.2);
    tab->height_Stepper->setValue(50.8);
    tab->Apply_Size_btn->click();
    EXPECT_EQ(tab->Preset_ComboBox->currentText(), QStringLiteral("Horizontal"));
    EXPECT_TRUE(tab->ColList->selectionModel()->selectedRows().isEmpty());
    EXPECT_EQ(window->Front_card_Prop.Card_Preset(), QStringLiteral("Horizontal"));
    EXPECT_EQ(window->Front_card_Prop.Card_Cat_index(), -1);
    expectMillimetres(shown(), 76.2, 50.8);

    // Showing the card panel again keeps the card's own size, whichever row it selects.
    window->Set_Card_Size_In_Control(QSizeF(70, 40));
    window->Show_RHS_Properties(nullptr);
    expectMillimetres(shown(), 70, 40);
}
