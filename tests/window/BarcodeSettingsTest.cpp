#include "DesignWindowFixture.h"

#include "barcode/BarcodeGenerator.h"
#include "barcode/BarcodeSettings.h"
#include "barcode/BarcodeWindowState.h"
#include "barcode/ui/Barcode_Gen.h"
#include "document/SKTBarcode.h"
#include "datasource/DataSourceState.h"
#include "datasource/ui/Long_SMS_Dlg.h"
#include "datasource/ui/View_Data_Series.h"
#include "datasource/SeriesStore.h"
#include "core/AppState.h"
#include "properties/ui/BarcodeTab.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace {

// The design window opens the barcode settings on the current side's current barcode and hands
// what OK made to the selection.
class BarcodeSettingsTest : public DesignWindowTest {
protected:
    void SetUp() override
    {
        DesignWindowTest::SetUp();
        load();
        window->Barcode_Tool_Clicked();
        window->Barcode_Tool_Clicked();
        current = document->graphics().at(0);
        other = document->graphics().at(1);
        window->_graphicView->changeSelectionIndexes({0, 1});
        window->_graphicView->setSelected_Graphic(current);
    }

    // Runs `inWindow` once the settings window's modal run has started.
    void whileOpen(std::function<void(Barcode_Gen &)> inWindow)
    {
        QTimer::singleShot(0, window.get(), [this, inWindow] { inWindow(*window->Barcode_Gen_Var); });
    }

    SKTGraphicPtr current, other;
};

TEST_F(BarcodeSettingsTest, OkPutsTheSettingsOnTheSelectionAndEachBarcodeShowsItsPicture)
{
    const int qr = static_cast<int>(Barcode_Symbology_Titles().indexOf(QStringLiteral("QR Code")));
    whileOpen([qr](Barcode_Gen &settings) {
        settings.barcodeTypePopup->setCurrentIndex(qr);
        settings.dataText_2D->setPlainText(QStringLiteral("https://example.org/rsvp"));
        settings.OK_Btn_Clicked();
    });
    window->Open_Barcode_Window();

    EXPECT_EQ(current->barcode_font_index, qr);
    EXPECT_EQ(current->two_d_font_val, QStringLiteral("https://example.org/rsvp"));
    ASSERT_FALSE(BarcodeWindow().Barcode_output_image.isNull());
    EXPECT_EQ(current->_barcode_image, BarcodeWindow().Barcode_output_image);
    EXPECT_EQ(current->_barcode_image, Barcode_Image_For_Graphic(*current));
    EXPECT_EQ(Barcode_Settings_Of(*other), Barcode_Settings_Of(*current));
    EXPECT_FALSE(other->_barcode_image.isNull());
    EXPECT_EQ(other->_barcode_image, Barcode_Image_For_Graphic(*other));
    // Each frame takes its picture's size, and Natural Size gives it back after a resize.
    for (const SKTGraphicPtr &barcode : {current, other})
        EXPECT_EQ(barcode->bounds().size(), barcode->_barcode_image.deviceIndependentSize());
    current->setBounds(QRectF(20, 30, 40, 40));
    window->_graphicView->makeNaturalSize();
    EXPECT_EQ(current->bounds(), QRectF(QPointF(20, 30), current->_barcode_image.deviceIndependentSize()));
}

TEST_F(BarcodeSettingsTest, CancelFromTheTabButtonChangesNothing)
{
    const BarcodeSettings before = Barcode_Settings_Of(*current);
    window->Show_RHS_Properties(current.get());
    whileOpen([](Barcode_Gen &settings) {
        settings.dataText->setText(QStringLiteral("CHANGED"));
        settings.Cancel_Btn_Clicked();
    });
    const QImage currentBefore = current->_barcode_image, otherBefore = other->_barcode_image;
    window->Properties_Panel->barcode_tab->barcode_prop_btn->click();
    EXPECT_EQ(Barcode_Settings_Of(*current), before);
    EXPECT_EQ(current->_barcode_image, currentBefore);
    EXPECT_EQ(other->_barcode_image, otherBefore);
    EXPECT_TRUE(BarcodeWindow().Barcode_output_image.isNull());
}

TEST_F(BarcodeSettingsTest, HelpShowsInTheLongMessageDialog)
{
    QTimer::singleShot(0, window.get(), [] { Long_SMS_Dlg::defaultInstance()->OKPressed(); });
    window->barcodeSettingsWindow()->QR_Version_Help_Btn();
    EXPECT_EQ(DataSources().Cutom_Msg_Title, QStringLiteral("Version :"));
    EXPECT_EQ(Long_SMS_Dlg::defaultInstance()->m_Msg_Title->text(), QStringLiteral("Version :"));
    EXPECT_EQ(Long_SMS_Dlg::defaultInstance()->m_Msg_Val->toPlainText(), DataSources().Cutom_Msg_Val);
    EXPECT_EQ(Long_SMS_Dlg::defaultInstance()->result(), 1);
}

} // namespace

namespace {

TEST_F(BarcodeSettingsTest, ViewSeriesShowsTheSeriesInTheViewerOverTheDesignWindow)
{
    ASSERT_TRUE(QDir().mkpath(App().Data_Folder_Path));
    ASSERT_TRUE(Write_Series_File(QStringLiteral("Tables"), {QStringLiteral("T1"), QStringLiteral(" "), QStringLiteral("T2")}));
    View_Data_Series *viewer = View_Data_Series::defaultInstance();
    QString count;
    QTimer::singleShot(0, viewer, [&] {
        count = viewer->list_count->text();
        viewer->OK_Btn_Clicked();
    });
    window->View_Data_Series(QStringLiteral("Tables"));
    EXPECT_EQ(count, QStringLiteral("Total Rows : 2"));
    EXPECT_EQ(viewer->parentWidget(), window->window());
}

} // namespace
