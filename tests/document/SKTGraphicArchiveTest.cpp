#include "document/SKTGraphicKinds.h"
#include "platform/PropertyList.h"

#include "fixtures/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Every stored field set to something other than its default, so a field that is not archived or
// read back shows up as a difference.
void setEveryField(SKTGraphic &g)
{
    g._bounds = QRectF(12.5, -3.25, 140, 60.75);
    g.ctrl_is_locked = true;
    g._isDrawingFill = false;
    g._fillColor = QColor(10, 20, 30, 200);
    g._isDrawingStroke = false;
    g._strokeColor = QColor(200, 100, 50);
    g._strokeWidth = 2.25;
    g._stroke_border_type = QStringLiteral("DD");
    g._fill_type = QStringLiteral("G");
    g._fill_Grad_clr1 = Qt::red;
    g._fill_Grad_clr2 = Qt::blue;
    g._fill_grad_angle = 45.5;
    g._fill_htch_clr = Qt::green;
    g._fill_hatch_type = QStringLiteral("Bricks");
    g._isFlippedHorizontally = true;
    g._isFlippedVertically = true;
    g.invert_clr = g.gray_Scale = g.Sepia = true;
    g.img_trnsp_val = 55;
    g.hue_val = 0.5f;
    g.sat_val = 1.5f;
    g.brt_val = 0.25f;
    g.con_val = 2;
    g.srp_val = 0.75f;
    g.ev_val = -1;
    g.blr_val = 3;
    g.binding.data_source_type = 2;
    g.rotate_image = 90;
    g._file_path = QStringLiteral("/tmp/picture.png");
    g.sign_or_fingureprint = QStringLiteral("F");
    g.binding.batch_list_name = QStringLiteral("Guests");
    g.binding.batch_list_index = 4;
    g._line_ori = 1;
    g._line_cap_style = 2;
    g.alpha_val = 80;
    g.alpha_val_stroke = 70;
    g.text_ctrl_font = QFont(QStringLiteral("Liberation Serif"), 18);
    g.txt_clr = Qt::darkMagenta;
    g.Text_contents().string = QStringLiteral("Hello\nthere");
    g.Text_contents().font = QFont(QStringLiteral("Liberation Sans"), 11);
    g.Text_contents().foregroundColor = Qt::darkCyan;
    g._shape_type = QStringLiteral("DS");
    g.cor_rad_val = 4;
    QImage barcode(8, 4, QImage::Format_RGB32);
    barcode.fill(Qt::black);
    g._barcode_image = barcode;
    g.linear_or_2d = 1;
    g.barcode_font_index = 3;
    g.linear_font_val = QStringLiteral("L");
    g.two_d_font_val = QStringLiteral("T");
    g.header_val = QStringLiteral("H");
    g.footer_val = QStringLiteral("F");
    g.show_hide_hdr = g.show_hide_ftr = g.show_hide_val = g.show_val_on_top = 1;
    g.align_hdr_index = 0;
    g.align_ftr_index = 2;
    g.linear_height_val = 0.8f;
    g.linear_width_val = 30;
    g.qr_size_val = 90;
    g.qr_version_index = 5;
    g.qr_ec_index = 2;
    g.pdf_hgt_val = 30;
    g.pdf_wdt_val = 120;
    g.pdf_ec_val = 4;
    g.dm_module_val = 3;
    g.dm_format_index = 6;
    g.dm_encoding_index = 1;
    g.hdr_margin_val = 0.2f;
    g.ftr_margin_val = 0.3f;
    g.val_margin_val = 0.4f;
    g.TB_marging_val = 0.5f;
    g.LR_margin_val = 0.6f;
    g.value_font_val = QFont(QStringLiteral("Liberation Mono"), 9);
    g.header_font_val = QFont(QStringLiteral("Liberation Sans"), 10);
    g.footer_font_val = QFont(QStringLiteral("Liberation Serif"), 12);
    g.barcode_hdr_clr_val = Qt::red;
    g.barcode_ftr_clr_val = Qt::green;
    g.barcode_val_clr_val = Qt::blue;
    g.barcode_back_clr_val = Qt::yellow;
    g.barcode_clr_val = Qt::darkGray;
    g.dpi_val_index = 2;
    g.dpi_custom_val = QStringLiteral("450");
    g.barcode_unit_val = 0;
    g.text_alignmnet_Vert = 0;
    g.text_alignmnet = 1;
    g.text_transfrom_case = 3;
    g.text_kerning = 1.5f;
    g.print_object = 1;
    g.control_ID = QStringLiteral("NAME");
    g.binding.excel_binding = true;
    g.binding.excel_col_indx = 7;
    g.binding.excel_col_title = QStringLiteral("E-mail");
    g.Text_Value = QStringLiteral("Value");
    g.ctrl_is_visible = false;
    g.double_star_type = 3;
    g.polygon_type = 4;
    g.Drawing_Shadow = true;
    // Opaque, as its opacity of 30 (above 1) draws it: the colour saved is the colour set.
    g.Shadow_Color = QColor(1, 2, 3);
    g.Shadow_offset_X = -2;
    g.Shadow_offset_Y = 7;
    g.Shadow_blur = 1.5f;
    g.Shadow_transparency = 30;
    g.text_rotation = 270;
}

QStringList describe(SKTGraphic &g)
{
    return fieldsOf([&](platform::KeyedEncoder &coder) { g.encodeWithCoder(coder); });
}

} // namespace

TEST(GraphicArchive, EveryFieldAndTheClassComeBack)
{
    AppFixture app;
    for (const QString cls : {"Shape_Control", "SKTLine", "SKTText", "SKTImage", "SKTSignature", "SKTBarcode"}) {
        SKTGraphicPtr original = SKTGraphic::graphicWithClassName(cls);
        ASSERT_TRUE(original) << cls.toStdString();
        setEveryField(*original);
        const QStringList before = describe(*original);
        ASSERT_EQ(before.size(), cls == "SKTLine" ? 104 : 102) << "a line adds its direction";

        const SKTGraphicPtr back = SKTGraphic::graphicWithArchivedData(original->archivedData());
        ASSERT_TRUE(back) << cls.toStdString();
        EXPECT_EQ(back->className(), cls);
        const QStringList after = describe(*back);
        for (int i = 0; i < before.size(); ++i)
            EXPECT_EQ(after.value(i), before.at(i)) << cls.toStdString();
    }
}

TEST(GraphicArchive, ALineKeepsItsDirection)
{
    SKTLine rising;
    rising._bounds = QRectF(0, 0, 50, 20);
    rising._pointsRight = true;
    rising._pointsDown = false;
    const SKTGraphicPtr back = SKTGraphic::graphicWithArchivedData(rising.archivedData());
    ASSERT_TRUE(back);
    const auto &line = static_cast<const SKTLine &>(*back);
    EXPECT_EQ(line.beginPoint(), rising.beginPoint());
    EXPECT_EQ(line.endPoint(), rising.endPoint());

    // Archives from before the direction was kept read as they always did.
    platform::MemoryKeyedArchive old;
    rising.encodeWithCoder(old);
    old.remove(QStringLiteral("_pointsRight"));
    old.remove(QStringLiteral("_pointsDown"));
    SKTLine plain;
    plain.initWithCoder(old);
    EXPECT_FALSE(plain._pointsRight);
    EXPECT_FALSE(plain._pointsDown);
}

TEST(GraphicArchive, DoublesTravelAsFloats)
{
    Shape_Control shape;
    shape._strokeWidth = 0.1;
    shape._fill_grad_angle = 45.5;
    const SKTGraphicPtr back = SKTGraphic::graphicWithArchivedData(shape.archivedData());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->_strokeWidth, double(0.1f));
    EXPECT_EQ(back->_fill_grad_angle, 45.5);
}

TEST(GraphicArchive, EachMissingKeyTakesANewGraphicsValueAndANilStaysNil)
{
    AppFixture app;
    for (const QString cls : {"Shape_Control", "SKTLine", "SKTText", "SKTImage", "SKTSignature", "SKTBarcode"}) {
        SKTGraphicPtr original = SKTGraphic::graphicWithClassName(cls);
        setEveryField(*original);
        const QStringList changed = describe(*original);
        const QStringList fresh = describe(*SKTGraphic::graphicWithClassName(cls));
        const QVariantMap top = platform::propertyListFromData(original->archivedData())->toMap();
        const QVariantMap root = top.value("$objects").toList().at(1).toMap();
        // Strip one key at a time, as an older or foreign writer may have left it out: that field
        // alone reads as a new graphic of the class has it.
        for (int i = 0; i < changed.size(); ++i) {
            const QString key = changed[i].section(QLatin1Char('='), 0, 0);
            if (!root.contains(key))
                continue; // kept by the kind itself, not the common table
            QVariantMap stripped = top;
            QVariantList objects = stripped.value("$objects").toList();
            QVariantMap object = root;
            object.remove(key);
            objects[1] = object;
            stripped.insert("$objects", objects);
            const SKTGraphicPtr back = SKTGraphic::graphicWithArchivedData(
                platform::propertyListData(stripped, platform::PropertyListFormat::Binary));
            ASSERT_TRUE(back) << cls.toStdString() << " " << key.toStdString();
            // A new graphic writes no column title: without its key there is none.
            QStringList expected = changed;
            const auto found = std::find_if(fresh.cbegin(), fresh.cend(),
                                            [&key](const QString &entry) { return entry.section(QLatin1Char('='), 0, 0) == key; });
            if (found == fresh.cend())
                expected.removeAt(i);
            else
                expected[i] = *found;
            EXPECT_EQ(describe(*back), expected) << cls.toStdString() << " without " << key.toStdString();
        }
    }

    // Nil written is nil read, not the new graphic's value.
    Shape_Control shape;
    shape._shape_type = QString();
    shape._fill_Grad_clr1 = QColor();
    shape.header_val = QString();
    const SKTGraphicPtr back = SKTGraphic::graphicWithArchivedData(shape.archivedData());
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->_shape_type.isNull());
    EXPECT_FALSE(back->_fill_Grad_clr1.isValid());
    EXPECT_TRUE(back->header_val.isNull());
}

TEST(GraphicArchive, DataThatIsNotAGraphicArchiveGivesNothing)
{
    EXPECT_FALSE(SKTGraphic::graphicWithArchivedData(QByteArray("garbage")));
    const platform::EncodableObject stranger{{QStringLiteral("NSView"), QStringLiteral("NSObject")}, nullptr};
    EXPECT_FALSE(SKTGraphic::graphicWithArchivedData(platform::KeyedArchiver::archivedData(stranger)));
    // Truncations of a real archive never crash.
    const QByteArray good = Shape_Control().archivedData();
    for (qsizetype n = 0; n < good.size(); n += 7)
        SKTGraphic::graphicWithArchivedData(good.left(n));
}
