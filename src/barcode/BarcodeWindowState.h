#pragma once

#include <QImage>

// The process-wide values of the barcode settings window: the picture its last OK handed over and
// the settings it was opened with. reset() puts back the values the program starts with
// (App().reset() calls it).
struct BarcodeWindowState {
    BarcodeWindowState();
    BarcodeWindowState(const BarcodeWindowState &) = delete;
    BarcodeWindowState &operator=(const BarcodeWindowState &) = delete;

    void reset();

    QImage Barcode_output_image;
    int Barcode_module_size, USED_DPI_VALUE, PDF_Col, PDF_Row, QR_EC_Level_Val, QR_Enc_Mode_Val, QR_Version_Val,
        Measument_Unit_Is, last_unit_val;
};

BarcodeWindowState &BarcodeWindow();
