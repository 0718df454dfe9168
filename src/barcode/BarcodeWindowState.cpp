#include "barcode/BarcodeWindowState.h"

#include "core/AppState.h"

BarcodeWindowState::BarcodeWindowState()
{
    reset();
}

void BarcodeWindowState::reset()
{
    Barcode_output_image = QImage();
    Barcode_module_size = 1;
    USED_DPI_VALUE = 600;
    PDF_Col = 3;
    PDF_Row = 0;
    QR_EC_Level_Val = QR_Enc_Mode_Val = QR_Version_Val = 0;
    Measument_Unit_Is = last_unit_val = 0;
}

BarcodeWindowState &BarcodeWindow()
{
    static BarcodeWindowState *const state = [] {
        static BarcodeWindowState made;
        App().addSubsystemReset([] { made.reset(); });
        return &made;
    }();
    return *state;
}
