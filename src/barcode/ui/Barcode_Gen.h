#pragma once

#include "barcode/BarcodePicture.h"
#include "barcode/BarcodeSettings.h"
#include "datasource/DataSourceType.h"
#include "document/SKTGraphic.h"

#include <QDialog>
#include <QFont>
#include <QImage>

#include <functional>
#include <memory>
#include <optional>
#include <tuple>

class BarcodeWindowDesign;
class ColorWell;
class NKDBarcode;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QToolButton;
class StepperSpinBox;

// The barcode settings window: one for the whole run, owned by the design window. It edits the
// settings of one barcode object at a time as a settings value held by its controls, previews the
// barcode those settings make, and hands the settings and the picture back on OK. Pictures come from
// the generator, which reads nothing of this window: a bound run draws every object from its own
// settings.
//
// Its modal logic lives in the member functions below, so that callers and tests may fill the
// controls and press OK without a modal run. Controls carry their outlet names as objectName.
class Barcode_Gen : public QDialog {
    Q_OBJECT
public:
    explicit Barcode_Gen(BarcodeWindowDesign &design, QWidget *parent = nullptr);
    ~Barcode_Gen() override;

    // --- Opening and hand-off ---------------------------------------------------------------------
    // Loads the object, runs the window modally and, after OK, writes the settings into it. Answers
    // the object, or null without one. What it made is told by the object and by
    // Barcode_output_image.
    SKTGraphicPtr Open_Wnd(const SKTGraphicPtr &graphic);
    // The steps before and after the modal run: the object loaded and previewed; the run's code,
    // on 1 (OK) the controls written into the object.
    void Prepare_Wnd(const SKTGraphicPtr &graphic);
    void Finish_Wnd(int code);
    // The controls from the object's settings and data source; nothing is generated meanwhile.
    void Set_Barcode_Prop_To_Control(const SKTGraphicPtr &graphic);
    // OK closes only for a value the generator makes a picture of; otherwise the preview shows the
    // error and the window stays open.
    void OK_Btn_Clicked();
    void Cancel_Btn_Clicked();
    // Escape and the close button are Cancel.
    void reject() override;

    // The settings the controls hold now.
    BarcodeSettings currentSettings() const;
    // The value of the current mode as typed.
    QString currentValue() const;
    // The picture handed over: the barcode after OK, null after Cancel.
    QImage Barcode_output_image;

    // --- Generation and preview -------------------------------------------------------------------
    // The preview made again from the controls.
    void goButtonActionPerformed();
    void Encode_btn();
    // Whether the current value can be encoded at all: not empty, and ASCII in linear mode (a 2-D
    // value is left to its encoder). With check_image also a preview must be shown. An unusable
    // value blanks the preview; one outside ASCII in linear mode is said so under it.
    bool Check_And_Validat_Barcode(bool show_message, bool check_image);
    // Generates the value with the controls' settings; `show` puts the result into the preview.
    // Answers the linear model (null in 2-D mode and on failure). While the program fills the
    // controls it answers the preview's model and does nothing.
    std::shared_ptr<NKDBarcode> Generate_Barcode_Variable(int show, const QString &value, const QString &header,
                                                          const QString &footer);
    void Set_Blank_Image();
    // Whether the value text is printed; the above-the-bars box is offered only then.
    bool Get_Print_State();
    void Liner_Barcode_Opt_Select();
    void two_d_barcode_Opt_Select();
    // Raises the QR size to what the version needs.
    void Check_And_Set_QR_size_Acc_Version(int version);
    void _setLabels();

    // The preview as shown; null in the blank state.
    const BarcodePicture &previewPicture() const { return m_preview; }
    bool isBlank() const;

    // --- Actions of the controls ------------------------------------------------------------------
    void barcodeTypeChanged();
    void controlTextDidChange(QObject *control);
    void textDidChange();
    void textDidEndEditing(QObject *control);
    void Value_Font_Changed();
    void Header_Font_Changed();
    void Footer_Font_Changed();
    void changeFont(const QFont &font);
    void header_changeFont(const QFont &font);
    void footer_changeFont(const QFont &font);
    void Value_Margin_Changed();
    void Header_Margin_Changed();
    void Footer_Margin_Changed();
    void LR_Margin_Changed();
    void TB_Margin_Changed();
    void heightChanged();
    void widthChanged();
    void pdf_heightChanged();
    void PDF_EC_Lvl_Changed();
    void dm_modulesizeChanged();
    void captionChanged();
    void showinTopChanged();
    void hideHeaderChanged();
    void hideFooterChanged();
    void Header_Color_Changed();
    // Every combo box of the window reports its selection here.
    void comboBoxSelectionDidChange(QComboBox *combo);
    void DPI_Value_Changed();
    void View_batch_Series_Button();
    void QR_Version_Help_Btn();
    void QR_EC_Lvl_Help_Btn();
    void PDF_ec_lvl_Help_btn();
    void DM_format_Help_btn();
    void DM_Encoding_Help_btn();
    void DPI_Help_Label();

    // The font chooser the font buttons open; answers nothing when cancelled. Tests replace it.
    std::function<std::optional<QFont>(const QFont &current, const QString &title)> chooseFont;

    // --- State ------------------------------------------------------------------------------------
    int liner_or_2D_font = 0; // 0 linear, 1 two-dimensional
    SKTGraphicPtr pass_barcode_control; // the object loaded last; the data-source choices go into it
    std::shared_ptr<NKDBarcode> testBarcode; // the linear preview's model
    QImage image_2d;                          // the symbol of the last 2-D preview
    QFont value_font, header_font, footer_font;

    // --- Controls ---------------------------------------------------------------------------------
    QComboBox *barcodeTypePopup;
    QLineEdit *dataText;
    QWidget *dataText_2D_scl_v;
    QPlainTextEdit *dataText_2D;
    QPushButton *encodeButton;
    QLineEdit *HeaderText, *FooterText;
    QComboBox *Data_source_type, *Batch_Series;
    QPushButton *view_series_btn;

    QScrollArea *image_scroll;
    QLabel *barcodeImage;
    QLabel *barcode_error_label;

    QTabWidget *sett_tab;
    QWidget *dpi_tab_item;

    QGroupBox *linear_sett_box;
    QLabel *barHeightLabel, *barWidthLabel;
    StepperSpinBox *HeightStepper, *widthStepper;
    QLineEdit *HeightText, *widthText;
    QComboBox *bar_align_combo;

    QGroupBox *two_d_sett_box;
    StepperSpinBox *HeightStepper_2D;
    QLineEdit *HeightText_2D;
    QComboBox *qr_version_ComboBox, *qr_ec_lvl_ComboBox;

    QGroupBox *pdf_2d_sett_box;
    StepperSpinBox *pdf_HeightStepper_2D, *Pdf_widthStepper_2D, *pdf_ec_lvl_Stepper;
    QLineEdit *pdf_HeightText_2D, *Pdf_widthText_2D, *pdf_ec_lvl_Text;

    QGroupBox *dm_2d_sett_box;
    StepperSpinBox *dm_moduleStepper_2D;
    QLineEdit *dm_moduleText_2D;
    QComboBox *dm_format_ComboBox, *dm_encoding_ComboBox;

    QGroupBox *val_text_box;
    QCheckBox *captionCheckbox, *showinTopCheckbox, *hideHeaderCheckbox, *hideFooterCheckbox;
    // The window's own setting, which no object keeps: it stays as it was from one object to the next.
    QCheckBox *kerning_value_Checkbox;
    QLabel *val_font_label, *value_font_value, *header_font_value, *footer_font_value;
    QPushButton *val_font_btn, *hdr_font_btn, *ftr_font_btn;
    QComboBox *align_hdr_combo, *align_ftr_combo;

    QGroupBox *margin_box;
    StepperSpinBox *val_mar_Stepper, *hdr_mar_Stepper, *ftr_mar_Stepper, *TB_mar_Stepper, *LR_mar_Stepper;
    QLineEdit *val_mar_Text, *hdr_mar_Text, *ftr_mar_Text, *TB_mar_Text, *LR_mar_Text;
    QLabel *val_mar_label;

    ColorWell *bar_hdr_clr, *bar_ftr_clr, *bar_val_clr, *bar_back_clr, *barcode_clr;
    QLabel *val_clr_label, *bar_clr_label, *bar_bk_clr_label;

    QComboBox *DPI_ComboBox;
    StepperSpinBox *dpi_Stepper;
    QLineEdit *dpi_Text;

private:
    void build();
    void showSettings(const BarcodeSettings &settings);
    QWidget *buildSymbolTab();
    QWidget *buildTextTab();
    QWidget *buildLayoutTab();
    QWidget *buildResolutionTab();
    void connectActions();
    QToolButton *helpButton(const char *name, void (Barcode_Gen::*action)());

    // Linear handlers act only on a shown preview: they make it again from the controls.
    void resizeAndRedraw();
    // What a change of the texts' fonts or margins asks: the 2-D symbol framed again, or the linear
    // barcode sized and drawn again.
    void redrawAround();
    void useFont(QFont &kept, QLabel *shown, const QFont &font);
    // 2-D: the last symbol framed again with the current texts, fonts, colours and margins.
    void Get_2d_barcode_from_image();
    void Get_Image_From_Barcode(const std::shared_ptr<NKDBarcode> &model);
    void Get_Image_From_barcode_image(const QImage &symbol);
    void Set_Barcode_On_Panel(const BarcodePicture &picture);
    // The QR size never below what the version, or for an automatic one the value, needs.
    void keepQrSizeForValue(const QString &value);
    // The QR size's lower limit, with the reason told in its tooltip.
    void setQrSizeFloor(int modules);
    // The data-source controls for a source, filled without writing into the object.
    void showDataSource(std::optional<DataSourceType> source);
    void fillSeriesList(const QStringList &items, int selected);
    void Data_Source_Changed();
    void Batch_Series_Changed();
    void setValueText(const QString &value);
    // A bound object's value field shows its first record's value: on a change of symbology the
    // field of the other mode may hold another value, one the new symbology must be checked with.
    void showBoundValue();
    // After Cancel the object keeps the data source chosen meanwhile: its picture then shows what a
    // run draws of it, the bound value (the first one) in the object's own settings, or nothing.
    void showBoundValueInObject(SKTGraphic &object);
    void setFontLabel(QLabel *label, const QFont &font);
    std::optional<QFont> pickFont(const QFont &current, const QString &title);
    void setBoxShown(QWidget *widget, bool shown);
    QList<QWidget *> inputControls() const;

    BarcodeWindowDesign &m_design;
    BarcodePicture m_preview;
    // The object's custom resolution, kept unless the custom resolution is chosen here.
    QString m_dpi_custom_val = QStringLiteral("0");
    // The object's data source when the window opened: type, series, Excel column.
    std::tuple<int, QString, int> m_openedSource;
};
