// The design window's side of the barcode settings window: it owns the window, opens it on the
// current barcode and hands what OK made to the barcode tab; it answers the window's questions about
// the data sources a barcode takes its value from, and shows its help texts.

#include "window/SKTWindowController.h"

#include "barcode/ui/Barcode_Gen.h"
#include "barcode/BarcodeWindowState.h"
#include "canvas/ui/SKTGraphicView.h"
#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "datasource/ui/Long_SMS_Dlg.h"
#include "datasource/ui/View_Data_Series.h"
#include "properties/ui/PropertiesPanel.h"

#include <QDir>
#include <QFile>
#include <QMainWindow>



Barcode_Gen *SKTWindowController::barcodeSettingsWindow()
{
    if (!Barcode_Gen_Var)
        Barcode_Gen_Var = new Barcode_Gen(*this, window());
    return Barcode_Gen_Var;
}

void SKTWindowController::Open_Barcode_Window()
{
    Log_Exceptions([&] {
        // The preview shows another side's objects: nothing is edited through it.
        if (isPreviewShown())
            return;
        const SKTGraphicView *canvas = currentCanvas();
        const SKTGraphicPtr graphic = canvas ? canvas->Selected_Graphic() : nullptr;
        if (!graphic || graphic->kind() != SKTGraphic::Kind::Barcode)
            return;
        Barcode_Gen *settings = barcodeSettingsWindow();
        const SKTGraphicPtr result = settings->Open_Wnd(graphic);
        BarcodeWindow().Barcode_output_image = settings->Barcode_output_image;
        if (result && !BarcodeWindow().Barcode_output_image.isNull())
            Update_Barcode_Graphics(*result);
    });
}

void SKTWindowController::View_barcode_prop_Button()
{
    Open_Barcode_Window();
}

void SKTWindowController::Update_Barcode_Graphics(const SKTGraphic &source)
{
    if (!Properties_Panel)
        return;
    const SKTGraphicView *canvas = currentCanvas();
    const SKTGraphicPtr current = canvas ? canvas->Selected_Graphic() : nullptr;
    Properties_Panel->barcode_tab->Update_Barcode_Graphics(source, current.get(), BarcodeWindow().Barcode_output_image);
}

void SKTWindowController::View_Data_Series(const QString &seriesName)
{
    ::View_Data_Series::Open_Series(seriesName, window());
}

void SKTWindowController::Open_Long_sms_Dialog(const QString &title, const QString &text)
{
    Long_SMS_Dlg::Show_Information(title, text);
}
