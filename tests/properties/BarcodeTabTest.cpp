#include "PanelTestSupport.h"

#include "barcode/BarcodeGenerator.h"
#include "barcode/BarcodeSettings.h"
#include "document/SKTBarcode.h"
#include "document/Shape_Control.h"
#include "properties/ui/BarcodeTab.h"
#include "properties/ui/PropertiesPanel.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>

namespace {

int titleIndex(const char *title)
{
    return static_cast<int>(Barcode_Symbology_Titles().indexOf(QLatin1String(title)));
}

class BarcodeTabTest : public testing::Test {
protected:
    AppFixture app;
    FakeDesign design;
    PropertiesPanel panel{design, design, design};
    BarcodeTab &tab = *panel.barcode_tab;

    std::shared_ptr<SKTBarcode> current = made<SKTBarcode>();
    std::shared_ptr<SKTBarcode> other = made<SKTBarcode>();
    std::shared_ptr<Shape_Control> shape = made<Shape_Control>(QStringLiteral("R"));

    BarcodeTabTest()
    {
        // The settings window has written its result into the current object.
        current->barcode_font_index = titleIndex("QR Code");
        current->linear_or_2d = 1;
        current->two_d_font_val = QStringLiteral("https://example.org/rsvp");
        current->header_val = QStringLiteral("Scan me");
        current->align_hdr_index = 0;
        current->align_ftr_index = 2;
        current->qr_ec_index = 2;
        current->header_font_val = QFont(QStringLiteral("Arial"), 12);
        current->barcode_clr_val = QColor(30, 30, 90);
        current->dpi_val_index = static_cast<int>(Barcode_DPI_Titles().indexOf(QStringLiteral("300")));
        // The other barcode has its own binding and unit, and an old picture.
        other->barcode_font_index = titleIndex("Code 39");
        other->binding.data_source_type = 1;
        other->binding.batch_list_name = QStringLiteral("Guests");
        other->binding.batch_list_index = 3;
        other->binding.excel_col_indx = 2;
        other->barcode_unit_val = 0;
        other->Set_Barcode_image(Barcode_Image_For_Graphic(*other));
        design.selection = {current, other, shape};
    }
};

TEST_F(BarcodeTabTest, OkCopiesTheSettingsAndGivesEveryBarcodeItsOwnPicture)
{
    const QImage handedOver = Barcode_Image_For_Graphic(*current);
    const QImage oldPicture = other->_barcode_image;
    panel.print_object_chk->setChecked(true);

    tab.Update_Barcode_Graphics(*current, current.get(), handedOver);

    const BarcodeSettings source = Barcode_Settings_Of(*current);
    for (const SKTGraphicPtr &graphic : design.selection) {
        EXPECT_EQ(Barcode_Settings_Of(*graphic), source) << graphic->className().toStdString();
        EXPECT_EQ(graphic->print_object, 1);
    }
    // Header and footer keep their own alignments; binding and unit stay the object's own.
    EXPECT_EQ(other->align_hdr_index, 0);
    EXPECT_EQ(other->align_ftr_index, 2);
    EXPECT_EQ(other->binding.data_source_type, 1);
    EXPECT_EQ(other->binding.batch_list_name, QStringLiteral("Guests"));
    EXPECT_EQ(other->binding.batch_list_index, 3);
    EXPECT_EQ(other->binding.excel_col_indx, 2);
    EXPECT_EQ(other->barcode_unit_val, 0);

    EXPECT_EQ(current->_barcode_image, handedOver);
    EXPECT_NE(other->_barcode_image, oldPicture);
    EXPECT_EQ(other->_barcode_image, Barcode_Image_For_Graphic(*other));
    EXPECT_TRUE(shape->_barcode_image.isNull()) << "only barcodes show pictures";
    EXPECT_EQ(design.refreshes, 1);
}

TEST_F(BarcodeTabTest, NothingIsWrittenWhileThePanelFillsOrWithoutSelection)
{
    const BarcodeSettings before = Barcode_Settings_Of(*other);
    App().Not_Draw_Only_Prop_Change = true;
    tab.Update_Barcode_Graphics(*current, current.get(), QImage(4, 4, QImage::Format_ARGB32));
    App().Not_Draw_Only_Prop_Change = false;
    design.selection.clear();
    tab.Update_Barcode_Graphics(*current, current.get(), QImage(4, 4, QImage::Format_ARGB32));
    EXPECT_EQ(Barcode_Settings_Of(*other), before);
    EXPECT_TRUE(current->_barcode_image.isNull());
    EXPECT_EQ(design.refreshes, 0);
}

TEST_F(BarcodeTabTest, TheButtonOpensTheSettingsWindow)
{
    panel.Show_RHS_Properties(current.get());
    ASSERT_EQ(panel.sett_tab->widget(0), &tab);
    tab.barcode_prop_btn->click();
    EXPECT_EQ(app.hub.barcodeWindowCount, 1);
}

} // namespace
