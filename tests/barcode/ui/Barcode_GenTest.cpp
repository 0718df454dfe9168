#include "barcode/BarcodeTestSupport.h"
#include "barcode/SymbolReader.h"

#include "barcode/BarcodeGenerator.h"
#include "barcode/Draw_DataMatrix_Barcode.h"
#include "barcode/ui/BarcodeWindowDesign.h"
#include "barcode/ui/Barcode_Gen.h"
#include "core/AppState.h"
#include "datasource/DataSourceState.h"
#include "datasource/Data_From_Excel.h"
#include "document/SKTBarcode.h"
#include "fixtures/ScriptedServices.h"
#include "fixtures/TestSupport.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/StepperSpinBox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <optional>

// The settings window driven without a screen: controls filled as a user fills them, OK and Cancel
// pressed, and the object's 38 barcode fields and its picture checked. Pictures are read back by
// zxing-cpp.

namespace {

class RecordingDesign : public BarcodeWindowDesign {
public:
    int refreshes = 0;
    QStringList shownSeries;
    QList<QPair<QString, QString>> messages;

    void Refresh_Canvas() override { ++refreshes; }
    void View_Data_Series(const QString &name) override { shownSeries << name; }
    void Open_Long_sms_Dialog(const QString &title, const QString &text) override { messages.append({title, text}); }
};

int titleIndex(const QString &title)
{
    return static_cast<int>(Barcode_Symbology_Titles().indexOf(title));
}

std::shared_ptr<SKTBarcode> barcodeObject(const QString &title, const QString &value)
{
    auto object = std::make_shared<SKTBarcode>();
    object->barcode_font_index = titleIndex(title);
    object->linear_or_2d = Barcode_Symbology_Named(title)->isTwoD() ? 1 : 0;
    (object->linear_or_2d == 1 ? object->two_d_font_val : object->linear_font_val) = value;
    return object;
}

// Typing into a field, and a step of a stepper to a value, as the user makes them.
void type(QLineEdit *field, const QString &text)
{
    field->setText(text);
    emit field->textEdited(text);
}

void step(StepperSpinBox *stepper, double value)
{
    stepper->setValue(value);
    emit stepper->stepped();
}

Decoded readAny(const QImage &picture)
{
    return decodeBarcode(picture, ZXing::BarcodeFormat::Any, true);
}

class BarcodeGenTest : public testing::Test {
protected:
    AppFixture app;
    ScopedScriptedServices services;
    RecordingDesign design;
    Barcode_Gen window{design};

    // OK as the user presses it; the code the modal run would end with, and the write-back.
    int pressOk()
    {
        window.setResult(0);
        window.OK_Btn_Clicked();
        const int code = window.result();
        if (code == 1)
            window.Finish_Wnd(code);
        return code;
    }
    void writeSeries(const QString &name, const QString &values)
    {
        QDir().mkpath(App().Data_Folder_Path);
        QFile file(App().Data_Folder_Path + QLatin1Char('/') + name + QStringLiteral(".txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(values.toUtf8());
    }
};

// An object whose every field differs from a new one's: opened and closed with OK at once, it keeps
// every one of them and gets the picture of its value.
TEST_F(BarcodeGenTest, OkAtOnceKeepsEveryFieldAndHandsOverThePicture)
{
    struct Row {
        const char *title;
        QString value;
        ZXing::BarcodeFormat format;
        std::string expected;
    };
    const Row rows[] = {{"Code 39", QStringLiteral("LOAD-39"), ZXing::BarcodeFormat::Code39, "LOAD-39"},
                        {"QR Code", QStringLiteral("load qr"), ZXing::BarcodeFormat::QRCode, "load qr"},
                        {"PDF417", QStringLiteral("load pdf"), ZXing::BarcodeFormat::PDF417, "load pdf"},
                        {"DataMatrix", QStringLiteral("LOAD DM"), ZXing::BarcodeFormat::DataMatrix, "LOAD DM"}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.title);
        auto object = barcodeObject(QLatin1String(row.title), row.value);
        object->linear_font_val = object->linear_or_2d == 1 ? QStringLiteral("LINEAR") : row.value;
        object->two_d_font_val = object->linear_or_2d == 1 ? row.value : QStringLiteral("two d");
        object->header_val = QStringLiteral("Head");
        object->footer_val = QStringLiteral("Foot");
        object->show_hide_ftr = 1;
        object->show_val_on_top = 1;
        object->align_hdr_index = 0;
        object->align_ftr_index = 2;
        object->linear_height_val = 1.25f;
        object->linear_width_val = 27.5f;
        object->qr_size_val = 90;
        object->qr_version_index = 4;
        object->qr_ec_index = 2;
        object->pdf_hgt_val = 55;
        object->pdf_wdt_val = 210;
        object->pdf_ec_val = 3;
        object->dm_module_val = 4;
        object->dm_format_index = static_cast<int>(Data_Matrix_Format_Items().indexOf(QStringLiteral("C18X18")));
        object->dm_encoding_index = 1;
        object->hdr_margin_val = 0.2f;
        object->ftr_margin_val = 0.3f;
        object->val_margin_val = 0.15f;
        object->TB_marging_val = 0.25f;
        object->LR_margin_val = 0.05f;
        object->value_font_val = QFont(QStringLiteral("Arial"), 9);
        object->header_font_val = QFont(QStringLiteral("Courier New"), 13);
        object->footer_font_val = QFont(QStringLiteral("Arial"), 7);
        object->barcode_hdr_clr_val = QColor(200, 10, 10);
        object->barcode_ftr_clr_val = QColor(10, 200, 10);
        object->barcode_val_clr_val = QColor(10, 10, 200);
        object->barcode_back_clr_val = QColor(250, 250, 210);
        object->barcode_clr_val = QColor(20, 20, 60);
        object->dpi_val_index = static_cast<int>(Barcode_DPI_Titles().indexOf(QStringLiteral("Custom")));
        object->dpi_custom_val = QStringLiteral("450");
        const BarcodeSettings before = Barcode_Settings_Of(*object);

        window.Prepare_Wnd(object);
        EXPECT_EQ(window.currentSettings(), before);
        EXPECT_EQ(window.value_font_value->text(), QStringLiteral("Arial ( 9.00 )"));
        ASSERT_EQ(pressOk(), 1);
        EXPECT_EQ(Barcode_Settings_Of(*object), before);
        ASSERT_FALSE(window.Barcode_output_image.isNull());
        EXPECT_EQ(readAny(window.Barcode_output_image), (Decoded{ZXing::ToString(row.format), row.expected}));
        // The picture is the one the object makes of its own settings.
        EXPECT_EQ(window.Barcode_output_image, Barcode_Image_For_Graphic(*object));
    }
}

// Each row fills controls as a user does, presses OK and checks the fields and what the picture reads.
TEST_F(BarcodeGenTest, ControlsFilledAndOkWriteTheObject)
{
    struct Row {
        const char *name;
        const char *title; // the object opened
        std::function<void(BarcodeGenTest &, Barcode_Gen &)> fill;
        std::function<void(const SKTGraphic &)> check;
        Decoded expected;
    };
    const QString qrTitle = QStringLiteral("QR Code");
    const Row rows[] = {
        {"linearTexts", "Code 39",
         [](BarcodeGenTest &, Barcode_Gen &w) {
             type(w.dataText, QStringLiteral("EDIT-1"));
             type(w.HeaderText, QStringLiteral("New head"));
             w.hideFooterCheckbox->click();
             w.captionCheckbox->click();
             step(w.HeightStepper, 1.5);
             step(w.widthStepper, 30);
             step(w.LR_mar_Stepper, 0.4);
             w.align_hdr_combo->setCurrentIndex(2);
         },
         [](const SKTGraphic &g) {
             EXPECT_EQ(g.linear_font_val, QStringLiteral("EDIT-1"));
             EXPECT_EQ(g.header_val, QStringLiteral("New head"));
             EXPECT_EQ(g.show_hide_ftr, 1);
             EXPECT_EQ(g.show_hide_val, 1);
             EXPECT_FLOAT_EQ(g.linear_height_val, 1.5f);
             EXPECT_FLOAT_EQ(g.linear_width_val, 30.0f);
             EXPECT_FLOAT_EQ(g.LR_margin_val, 0.4f);
             EXPECT_EQ(g.align_hdr_index, 2);
             EXPECT_EQ(g.linear_or_2d, 0);
         },
         {"Code39", "EDIT-1"}},
        {"fontsAndColours", "Extended Code 39",
         [](BarcodeGenTest &, Barcode_Gen &w) {
             QStringList asked;
             w.chooseFont = [&asked](const QFont &current, const QString &title) -> std::optional<QFont> {
                 asked << title;
                 QFont bigger = current;
                 bigger.setPointSizeF(current.pointSizeF() + 4);
                 return bigger;
             };
             w.val_font_btn->click();
             w.hdr_font_btn->click();
             w.chooseFont = [](const QFont &, const QString &) { return std::optional<QFont>(); };
             w.ftr_font_btn->click(); // cancelled: the footer font stays
             EXPECT_EQ(asked.size(), 2);
             w.barcode_clr->setColor(QColor(0, 0, 128));
             emit w.barcode_clr->colorChanged(QColor(0, 0, 128));
             w.bar_back_clr->setColor(QColor(255, 255, 224));
             emit w.bar_back_clr->colorChanged(QColor(255, 255, 224));
             type(w.dataText, QStringLiteral("Mixed Case"));
         },
         [](const SKTGraphic &g) {
             EXPECT_DOUBLE_EQ(g.value_font_val.pointSizeF(), 14.0);
             EXPECT_DOUBLE_EQ(g.header_font_val.pointSizeF(), 14.0);
             EXPECT_DOUBLE_EQ(g.footer_font_val.pointSizeF(), 10.0);
             EXPECT_EQ(g.barcode_clr_val, QColor(0, 0, 128));
             EXPECT_EQ(g.barcode_back_clr_val, QColor(255, 255, 224));
         },
         {"Code39", "Mixed Case"}},
        {"switchToQr", "Code 39",
         [qrTitle](BarcodeGenTest &, Barcode_Gen &w) {
             w.dataText_2D->setPlainText(QStringLiteral("https://example.org/rsvp"));
             w.barcodeTypePopup->setCurrentIndex(titleIndex(qrTitle));
             w.qr_ec_lvl_ComboBox->setCurrentIndex(3);
             w.qr_version_ComboBox->setCurrentIndex(4);
         },
         [](const SKTGraphic &g) {
             EXPECT_EQ(g.linear_or_2d, 1);
             EXPECT_EQ(g.barcode_font_index, titleIndex(QStringLiteral("QR Code")));
             EXPECT_EQ(g.two_d_font_val, QStringLiteral("https://example.org/rsvp"));
             EXPECT_EQ(g.qr_ec_index, 3);
             EXPECT_EQ(g.qr_version_index, 4);
             EXPECT_EQ(g.qr_size_val, 60) << "above version 4's 33 the size stays";
             EXPECT_EQ(g.linear_font_val, QStringLiteral("START"));
         },
         {"QRCode", "https://example.org/rsvp"}},
        {"pdf417Options", "PDF417",
         [](BarcodeGenTest &, Barcode_Gen &w) {
             step(w.Pdf_widthStepper_2D, 240);
             step(w.pdf_HeightStepper_2D, 80);
             step(w.pdf_ec_lvl_Stepper, 4);
             w.DPI_ComboBox->setCurrentIndex(static_cast<int>(Barcode_DPI_Titles().indexOf(QStringLiteral("300"))));
             w.dataText_2D->setPlainText(QStringLiteral("Table 12, Row B"));
         },
         [](const SKTGraphic &g) {
             EXPECT_EQ(g.pdf_wdt_val, 240);
             EXPECT_EQ(g.pdf_hgt_val, 80);
             EXPECT_EQ(g.pdf_ec_val, 4);
             EXPECT_EQ(Barcode_DPI_Titles().value(g.dpi_val_index), QStringLiteral("300"));
             EXPECT_EQ(g.dpi_custom_val, QStringLiteral("0")) << "no custom resolution was chosen";
         },
         {"PDF417", "Table 12, Row B"}},
        {"dataMatrixOptions", "DataMatrix",
         [](BarcodeGenTest &, Barcode_Gen &w) {
             w.dm_format_ComboBox->setCurrentIndex(
                 static_cast<int>(Data_Matrix_Format_Items().indexOf(QStringLiteral("C20X20"))));
             w.dm_encoding_ComboBox->setCurrentIndex(
                 static_cast<int>(Data_Matrix_Encoding_Items().indexOf(QStringLiteral("Text"))));
             step(w.dm_moduleStepper_2D, 3);
             w.DPI_ComboBox->setCurrentIndex(static_cast<int>(Barcode_DPI_Titles().indexOf(QStringLiteral("Custom"))));
             step(w.dpi_Stepper, 250);
             w.dataText_2D->setPlainText(QStringLiteral("guest list 42"));
         },
         [](const SKTGraphic &g) {
             EXPECT_EQ(Data_Matrix_Format_Items().value(g.dm_format_index), QStringLiteral("C20X20"));
             EXPECT_EQ(Data_Matrix_Encoding_Items().value(g.dm_encoding_index), QStringLiteral("Text"));
             EXPECT_EQ(g.dm_module_val, 3);
             EXPECT_EQ(g.dpi_custom_val, QStringLiteral("250"));
         },
         {"DataMatrix", "guest list 42"}},
        {"charactersADesignCannotHold", "QR Code",
         [](BarcodeGenTest &, Barcode_Gen &w) {
             w.dataText_2D->setPlainText(QStringLiteral("Zo\x01\u00EB"));
             type(w.HeaderText, QStringLiteral("h\x02"));
             type(w.FooterText, QStringLiteral("f\x1f"));
         },
         [](const SKTGraphic &g) {
             EXPECT_EQ(QStringList({g.two_d_font_val, g.header_val, g.footer_val}),
                       QStringList({QStringLiteral("Zo\uFFFD\u00EB"), QStringLiteral("h\uFFFD"), QStringLiteral("f\uFFFD")}));
         },
         {"QRCode", "Zo\uFFFD\u00EB"}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        auto object = barcodeObject(QLatin1String(row.title), QStringLiteral("START"));
        window.Prepare_Wnd(object);
        row.fill(*this, window);
        EXPECT_FALSE(window.isBlank());
        EXPECT_TRUE(window.barcode_error_label->isHidden());
        ASSERT_EQ(pressOk(), 1);
        row.check(*object);
        EXPECT_EQ(readAny(window.Barcode_output_image), row.expected);
        EXPECT_EQ(readAny(Barcode_Image_For_Graphic(*object)), row.expected);
    }
    EXPECT_TRUE(services->messages.isEmpty());
}

TEST_F(BarcodeGenTest, CancelAndEscapeChangeNothing)
{
    for (const bool escape : {false, true}) {
        auto object = barcodeObject(QStringLiteral("Code 39"), QStringLiteral("KEEP"));
        object->Set_Barcode_image(Barcode_Image_For_Graphic(*object));
        const QImage picture = object->_barcode_image;
        const BarcodeSettings before = Barcode_Settings_Of(*object);
        window.Prepare_Wnd(object);
        ASSERT_EQ(pressOk(), 1); // a picture handed over before must not survive the next opening
        window.Prepare_Wnd(object);
        type(window.dataText, QStringLiteral("CHANGED"));
        step(window.HeightStepper, 2.0);
        window.barcodeTypePopup->setCurrentIndex(titleIndex(QStringLiteral("DataMatrix")));
        if (escape)
            window.reject();
        else
            window.Cancel_Btn_Clicked();
        EXPECT_EQ(window.result(), 0);
        window.Finish_Wnd(window.result());
        EXPECT_EQ(Barcode_Settings_Of(*object), before);
        EXPECT_EQ(object->_barcode_image, picture);
        EXPECT_TRUE(window.Barcode_output_image.isNull());
    }
}

// Empty, non-ASCII in a linear symbology and values the symbology cannot encode: blank preview,
// error shown, window open.
TEST_F(BarcodeGenTest, UnusableValuesKeepTheWindowOpen)
{
    struct Row {
        const char *title;
        QString value;
        std::function<void(Barcode_Gen &)> options;
    };
    const Row rows[] = {
        {"Code 39", QString(), {}},
        {"Code 39", QStringLiteral("CAF\u00c9"), {}},
        {"Code 39", QStringLiteral("A*B"), {}},
        {"Code 128", QStringLiteral("caf\u00e9"), {}},
        {"QR Code", QString(18, QLatin1Char('a')), [](Barcode_Gen &w) { w.qr_version_ComboBox->setCurrentIndex(1); }},
        {"DataMatrix", QString(60, QLatin1Char('A')),
         [](Barcode_Gen &w) {
             w.dm_format_ComboBox->setCurrentIndex(
                 static_cast<int>(Data_Matrix_Format_Items().indexOf(QStringLiteral("C10X10"))));
         }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::string(row.title) + " " + row.value.toStdString());
        auto object = barcodeObject(QLatin1String(row.title), QStringLiteral("0123"));
        const BarcodeSettings before = Barcode_Settings_Of(*object);
        window.Prepare_Wnd(object);
        ASSERT_FALSE(window.isBlank());
        if (row.options)
            row.options(window);
        if (window.liner_or_2D_font == 1)
            window.dataText_2D->setPlainText(row.value);
        else
            type(window.dataText, row.value);
        EXPECT_TRUE(window.isBlank());
        EXPECT_FALSE(window.barcode_error_label->isHidden());
        EXPECT_NE(pressOk(), 1);
        EXPECT_TRUE(window.isBlank());
        EXPECT_FALSE(window.barcode_error_label->isHidden());
        EXPECT_TRUE(window.Barcode_output_image.isNull());
        EXPECT_EQ(Barcode_Settings_Of(*object), before);
    }
    EXPECT_TRUE(services->messages.isEmpty());
}

// Bound to a series whose first name is accented or not Latin, a 2-D symbol takes it from its UTF-8
// bytes: the preview, the picture OK hands over and a run's record read back. The linear
// symbologies hold ASCII only and still refuse it.
TEST_F(BarcodeGenTest, TwoDSymbolsTakeAnyLettersTheLinearOnesAsciiOnly)
{
    const QStringList names{QStringLiteral("Zoë O'Brien"), QStringLiteral("Ελένη Παπά"), QStringLiteral("山田太郎"),
                            QStringLiteral("Jiří Šťastný")};
    const struct {
        const char *title;
        std::optional<ZXing::BarcodeFormat> format; // none: refused
    } rows[] = {{"QR Code", ZXing::BarcodeFormat::QRCode},
                {"PDF417", ZXing::BarcodeFormat::PDF417},
                {"DataMatrix", ZXing::BarcodeFormat::DataMatrix},
                {"Code 128", std::nullopt},
                {"Extended Code 39", std::nullopt}};
    for (const auto &row : rows) {
        for (qsizetype first = 0; first < names.size(); ++first) {
            const QString &value = names.at(first);
            SCOPED_TRACE(std::string(row.title) + " " + value.toStdString());
            writeSeries(QStringLiteral("Members"), (names.mid(first) + names.mid(0, first)).join(QLatin1Char('\n')));
            auto object = barcodeObject(QLatin1String(row.title), QStringLiteral("0123"));
            window.Prepare_Wnd(object);
            window.Data_source_type->setCurrentIndex(1);
            window.Batch_Series->setCurrentIndex(int(window.Batch_Series->findText(QStringLiteral("Members"))));
            ASSERT_EQ(window.currentValue(), value);
            if (!row.format) {
                EXPECT_FALSE(window.Check_And_Validat_Barcode(false, false));
                EXPECT_TRUE(window.isBlank());
                EXPECT_NE(pressOk(), 1);
                EXPECT_FALSE(Set_Record_Barcode(*object->fullCopy(), value));
                continue;
            }
            EXPECT_TRUE(window.Check_And_Validat_Barcode(false, true));
            const QImage preview = window.previewPicture().toImage(window.currentSettings().USED_DPI_VALUE());
            EXPECT_EQ(readSymbol(preview, *row.format), value.toUtf8());
            ASSERT_EQ(pressOk(), 1);
            EXPECT_EQ(readSymbol(window.Barcode_output_image, *row.format), value.toUtf8());
            const SKTGraphicPtr record = object->fullCopy();
            ASSERT_TRUE(Set_Record_Barcode(*record, value));
            EXPECT_EQ(readSymbol(record->_barcode_image, *row.format), value.toUtf8());
        }
    }
}

// A change of symbology checks the bound series' first value again, not the value the other mode's
// field held: a linear symbology refuses an accented one, saying why, and OK keeps the window open;
// what it accepts is that value, in the preview and in the picture OK hands over.
TEST_F(BarcodeGenTest, AChangeOfSymbologyChecksTheBoundValueAgain)
{
    const struct {
        const char *from, *to;
        QString first;                              // the series' first value
        std::optional<ZXing::BarcodeFormat> format; // none: refused
    } rows[] = {{"QR Code", "Code 128", QStringLiteral("Zoë O'Brien"), std::nullopt},
                {"QR Code", "Code 128", QStringLiteral("ZOE-17"), ZXing::BarcodeFormat::Code128},
                {"Code 128", "QR Code", QStringLiteral("Zoë O'Brien"), ZXing::BarcodeFormat::QRCode}};
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.from) + " to " + row.to + " " + row.first.toStdString());
        writeSeries(QStringLiteral("Members"), row.first + QStringLiteral("\nAnn Lee\n"));
        auto object = barcodeObject(QLatin1String(row.from), QStringLiteral("0123"));
        window.Prepare_Wnd(object);
        window.Data_source_type->setCurrentIndex(1);
        window.Batch_Series->setCurrentIndex(int(window.Batch_Series->findText(QStringLiteral("Members"))));
        window.barcodeTypePopup->setCurrentIndex(titleIndex(QLatin1String(row.to)));
        EXPECT_EQ(window.currentValue(), row.first);
        if (!row.format) {
            EXPECT_TRUE(window.isBlank());
            EXPECT_NE(pressOk(), 1);
            EXPECT_FALSE(window.barcode_error_label->isHidden());
            EXPECT_EQ(window.barcode_error_label->text(),
                      QStringLiteral("The linear symbologies hold ASCII characters only: \"ë\" cannot be encoded."));
            EXPECT_EQ(object->barcode_font_index, titleIndex(QLatin1String(row.from)));
            continue;
        }
        const QImage preview = window.previewPicture().toImage(window.currentSettings().USED_DPI_VALUE());
        EXPECT_EQ(readSymbol(preview, *row.format), row.first.toUtf8());
        ASSERT_EQ(pressOk(), 1);
        EXPECT_EQ(readSymbol(window.Barcode_output_image, *row.format), row.first.toUtf8());
        EXPECT_EQ(object->barcode_font_index, titleIndex(QLatin1String(row.to)));
    }
    EXPECT_TRUE(services->messages.isEmpty());
}

TEST_F(BarcodeGenTest, SymbologyChoosesTheModeAndItsPanels)
{
    auto object = barcodeObject(QStringLiteral("Code 39"), QStringLiteral("0123"));
    window.Prepare_Wnd(object);
    EXPECT_EQ(window.sett_tab->count(), 3);
    EXPECT_EQ(window.barHeightLabel->text(), QStringLiteral("Bar Height (cm):"));
    EXPECT_EQ(window.margin_box->title(), QStringLiteral("Margins (cm)"));

    window.dataText_2D->clear();
    window.barcodeTypePopup->setCurrentIndex(titleIndex(QStringLiteral("QR Code")));
    EXPECT_EQ(services->messages, QStringList{QStringLiteral("\nPlease enter barcode value")});
    EXPECT_TRUE(window.isBlank());
    EXPECT_EQ(window.liner_or_2D_font, 1);
    EXPECT_EQ(window.sett_tab->count(), 4);
    EXPECT_EQ(window.sett_tab->indexOf(window.dpi_tab_item), 3);
    EXPECT_FALSE(window.two_d_sett_box->isHidden());
    EXPECT_TRUE(window.pdf_2d_sett_box->isHidden() && window.dm_2d_sett_box->isHidden());
    EXPECT_TRUE(window.linear_sett_box->isHidden() && window.val_text_box->isHidden());
    EXPECT_TRUE(window.val_mar_label->isHidden() && window.bar_clr_label->isHidden());
    EXPECT_TRUE(window.dataText->isHidden());

    window.barcodeTypePopup->setCurrentIndex(titleIndex(QStringLiteral("PDF417")));
    EXPECT_FALSE(window.pdf_2d_sett_box->isHidden());
    EXPECT_TRUE(window.two_d_sett_box->isHidden());

    window.barcodeTypePopup->setCurrentIndex(titleIndex(QStringLiteral("EAN-13")));
    EXPECT_EQ(window.liner_or_2D_font, 0);
    EXPECT_EQ(window.sett_tab->count(), 3);
    EXPECT_FALSE(window.val_mar_label->isHidden());
    window.barcodeTypePopup->setCurrentIndex(titleIndex(QStringLiteral("Code 39")));
    EXPECT_FALSE(window.isBlank());

    // Hiding the value text offers no place for it.
    window.captionCheckbox->click();
    EXPECT_FALSE(window.showinTopCheckbox->isEnabled());
    window.captionCheckbox->click();
    EXPECT_TRUE(window.showinTopCheckbox->isEnabled());

    // A 2-D object loads the 2-D panel whatever its index names.
    object->linear_or_2d = 1;
    window.Prepare_Wnd(object);
    EXPECT_EQ(window.liner_or_2D_font, 1);
    EXPECT_FALSE(window.dataText_2D_scl_v->isHidden());
    EXPECT_TRUE(window.isBlank());
}

TEST_F(BarcodeGenTest, QrSizeKeepsUpWithTheVersionAndTheValue)
{
    auto object = barcodeObject(QStringLiteral("QR Code"), QStringLiteral("0123"));
    object->qr_size_val = 30;
    window.Prepare_Wnd(object);
    EXPECT_EQ(window.HeightStepper_2D->intValue(), 30);
    window.qr_version_ComboBox->setCurrentIndex(10);
    EXPECT_EQ(window.HeightStepper_2D->intValue(), 57);
    window.qr_version_ComboBox->setCurrentIndex(2);
    EXPECT_EQ(window.HeightStepper_2D->intValue(), 57) << "a larger size stays";
    step(window.HeightStepper_2D, 21);
    EXPECT_EQ(window.HeightStepper_2D->intValue(), 25) << "version 2 needs 25 modules";

    // An automatic version grows with the value: the size follows, and the preview reads.
    window.qr_version_ComboBox->setCurrentIndex(0);
    const QString longValue = QString(300, QLatin1Char('x'));
    window.dataText_2D->setPlainText(longValue);
    EXPECT_EQ(window.HeightStepper_2D->intValue(), 61);
    ASSERT_EQ(pressOk(), 1);
    EXPECT_EQ(object->qr_size_val, 61);
    EXPECT_EQ(readAny(window.Barcode_output_image), (Decoded{"QRCode", longValue.toStdString()}));
}

// The size's tooltip names the floor a value sets, so that a symbol grown past its size is explained.
TEST_F(BarcodeGenTest, QrSizeTooltipTellsWhyTheSymbolGrew)
{
    auto object = barcodeObject(QStringLiteral("QR Code"), QStringLiteral("0123"));
    object->qr_size_val = 21;
    window.Prepare_Wnd(object);
    EXPECT_TRUE(window.HeightStepper_2D->toolTip().startsWith(QStringLiteral("At least 21 pt")));
    window.dataText_2D->setPlainText(QString(300, QLatin1Char('x')));
    EXPECT_EQ(window.HeightStepper_2D->intValue(), 61);
    EXPECT_TRUE(window.HeightStepper_2D->toolTip().startsWith(QStringLiteral("At least 61 pt")));
    window.qr_version_ComboBox->setCurrentIndex(15);
    EXPECT_TRUE(window.HeightStepper_2D->toolTip().startsWith(QStringLiteral("At least 77 pt")));
}

// Spreading is the window's own setting: it reaches the preview and the picture handed over, is not
// offered for UPC and EAN, and stays as it was for the next object, which keeps no trace of it.
TEST_F(BarcodeGenTest, SpreadingBoxIsTheWindowsOwnSetting)
{
    auto object = barcodeObject(QStringLiteral("Code 128"), QStringLiteral("SPREAD"));
    window.Prepare_Wnd(object);
    ASSERT_TRUE(window.kerning_value_Checkbox->isEnabled());
    const QImage plain = window.previewPicture().toImage(72.0);
    window.kerning_value_Checkbox->click();
    EXPECT_TRUE(window.currentSettings().kerning_value);
    EXPECT_NE(window.previewPicture().toImage(72.0), plain);
    ASSERT_EQ(pressOk(), 1);
    EXPECT_EQ(readAny(window.Barcode_output_image), (Decoded{"Code128", "SPREAD"}));
    EXPECT_FALSE(Barcode_Settings_Of(*object).kerning_value);

    auto ean = barcodeObject(QStringLiteral("EAN-13"), QStringLiteral("400638133393"));
    window.Prepare_Wnd(ean);
    EXPECT_TRUE(window.kerning_value_Checkbox->isChecked());
    EXPECT_FALSE(window.kerning_value_Checkbox->isEnabled());
    window.barcodeTypePopup->setCurrentIndex(titleIndex(QStringLiteral("Code 39")));
    EXPECT_TRUE(window.kerning_value_Checkbox->isEnabled());
}

TEST_F(BarcodeGenTest, DataSourceChoicesGoIntoTheObjectAtOnceAndSurviveCancel)
{
    auto object = barcodeObject(QStringLiteral("Code 39"), QStringLiteral("TYPED"));
    window.Prepare_Wnd(object);
    EXPECT_FALSE(window.Batch_Series->isEnabled());

    window.Data_source_type->setCurrentIndex(1); // Series, with no series yet
    EXPECT_EQ(services->messages, QStringList{QStringLiteral("\nPlease create batch processing series first.")});
    EXPECT_EQ(object->binding.data_source_type, 0);
    EXPECT_TRUE(window.dataText->isReadOnly());

    writeSeries(QStringLiteral("Guests"), QStringLiteral("G-1\nG-2\n"));
    writeSeries(QStringLiteral("Tables"), QStringLiteral("T-1\n"));
    window.Data_source_type->setCurrentIndex(0);
    EXPECT_FALSE(window.dataText->isReadOnly());
    window.Data_source_type->setCurrentIndex(1);
    EXPECT_EQ(object->binding.data_source_type, 1);
    EXPECT_EQ(window.Batch_Series->count(), 2);
    window.Batch_Series->setCurrentIndex(1);
    EXPECT_EQ(object->binding.batch_list_name, QStringLiteral("Tables"));
    EXPECT_EQ(object->binding.batch_list_index, 1);
    EXPECT_EQ(window.dataText->text(), QStringLiteral("T-1"));
    EXPECT_EQ(design.refreshes, 1);
    window.view_series_btn->click();
    EXPECT_EQ(design.shownSeries, QStringList{QStringLiteral("Tables")});

    window.Cancel_Btn_Clicked();
    window.Finish_Wnd(window.result());
    EXPECT_EQ(object->linear_font_val, QStringLiteral("TYPED"));
    EXPECT_EQ(object->binding.data_source_type, 1);
    // What the object now holds is what its picture shows: the series' first value, as a run prints it.
    EXPECT_EQ(decodeBarcode(object->_barcode_image, ZXing::BarcodeFormat::Any), (Decoded{"Code39", "T-1"}));

    // A first value the symbology cannot hold prints as nothing: so the object shows nothing.
    writeSeries(QStringLiteral("Accents"), QStringLiteral("é\n"));
    const QSize before = object->_barcode_image.size();
    window.Prepare_Wnd(object);
    window.Batch_Series->setCurrentIndex(0);
    ASSERT_EQ(object->binding.batch_list_name, QStringLiteral("Accents"));
    window.Cancel_Btn_Clicked();
    window.Finish_Wnd(window.result());
    EXPECT_EQ(object->_barcode_image.size(), before);
    const QImage &shown = object->_barcode_image;
    int drawn = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            drawn += qAlpha(shown.pixel(x, y)) != 0;
    EXPECT_EQ(drawn, 0);
    window.Prepare_Wnd(object);
    window.Batch_Series->setCurrentIndex(int(window.Batch_Series->findText(QStringLiteral("Tables"))));
    window.Cancel_Btn_Clicked();
    window.Finish_Wnd(window.result());

    // Opened again, the list shows the object's series.
    window.Prepare_Wnd(object);
    EXPECT_EQ(window.Data_source_type->currentIndex(), 1);
    EXPECT_EQ(window.Batch_Series->currentText(), QStringLiteral("Tables"));

    // With a bound sheet the third choice lists its columns.
    DataSources().Excel_Binding_Use = true;
    Data_From_Excel &excel = *Data_From_Excel::defaultInstance();
    excel.setColumnTitles({QStringLiteral("Row"), QStringLiteral("Name"), QStringLiteral("Code")});
    excel.Create_List_By_Array({QStringLiteral("Ann"), QStringLiteral("CELL-2")}, 2);
    window.Prepare_Wnd(object);
    ASSERT_EQ(window.Data_source_type->count(), 3);
    window.Data_source_type->setCurrentIndex(2);
    EXPECT_EQ(object->binding.data_source_type, 2);
    window.Batch_Series->setCurrentIndex(2);
    EXPECT_EQ(object->binding.excel_col_indx, 2);
    EXPECT_EQ(window.dataText->text(), QStringLiteral("CELL-2"));
    EXPECT_EQ(object->binding.batch_list_name, QStringLiteral("Tables"));
    excel.reset();
}

TEST_F(BarcodeGenTest, HelpButtonsShowTheirTexts)
{
    const QList<QPair<const char *, const char *>> buttons{
        {"QR_Version_Help_Btn", "Version :"},           {"QR_EC_Lvl_Help_Btn", "Error correction (EC) level :"},
        {"PDF_ec_lvl_Help_btn", "PDF EC Level :"},      {"DM_format_Help_btn", "Preferred Format :"},
        {"DM_Encoding_Help_btn", "Encoding Mode :"},    {"DPI_Help_Label", "DPI (Dots Per Inch) :"}};
    for (const auto &[name, title] : buttons) {
        auto *button = window.findChild<QToolButton *>(QLatin1String(name));
        ASSERT_TRUE(button) << name;
        button->click();
        ASSERT_FALSE(design.messages.isEmpty());
        EXPECT_EQ(design.messages.last().first, QLatin1String(title));
        EXPECT_FALSE(design.messages.last().second.isEmpty());
    }
    EXPECT_TRUE(design.messages.last().second.contains(QStringLiteral("\n\nBigger the DPI")));
    window.View_batch_Series_Button();
    EXPECT_EQ(services->messages, QStringList{QStringLiteral("\nPlease select the series.")});
}

TEST_F(BarcodeGenTest, TheModalRunWritesOnOkOnly)
{
    EXPECT_EQ(window.Open_Wnd(nullptr), nullptr);
    auto object = barcodeObject(QStringLiteral("Code 39"), QStringLiteral("MODAL"));
    QTimer::singleShot(0, &window, [this] {
        type(window.dataText, QStringLiteral("MODAL-2"));
        window.OK_Btn_Clicked();
    });
    EXPECT_EQ(window.Open_Wnd(object), object);
    EXPECT_EQ(object->linear_font_val, QStringLiteral("MODAL-2"));
    EXPECT_EQ(readAny(window.Barcode_output_image), (Decoded{"Code39", "MODAL-2"}));
}

// Pictures of the window for a look: /tmp/barcode_gen_linear.png and /tmp/barcode_gen_2d.png.
TEST_F(BarcodeGenTest, ScreenshotsInLinearAnd2DMode)
{
    struct Shot {
        const char *file;
        const char *title;
        QString value;
        int tab;
    };
    const Shot shots[] = {{"/tmp/barcode_gen_linear.png", "Code 39", QStringLiteral("CARD-2024"), 0},
                          {"/tmp/barcode_gen_linear_texts.png", "Code 39", QStringLiteral("CARD-2024"), 1},
                          {"/tmp/barcode_gen_2d.png", "QR Code", QStringLiteral("https://example.org/party"), 0},
                          {"/tmp/barcode_gen_2d_layout.png", "PDF417", QStringLiteral("Table 7"), 2}};
    window.show();
    for (const Shot &shot : shots) {
        window.Prepare_Wnd(barcodeObject(QLatin1String(shot.title), shot.value));
        window.sett_tab->setCurrentIndex(shot.tab);
        QApplication::processEvents();
        const QImage picture = window.grab().toImage();
        EXPECT_FALSE(window.isBlank()) << shot.file;
        ASSERT_TRUE(picture.save(QLatin1String(shot.file))) << shot.file;
    }
}

} // namespace
