#pragma once

class PanelDesign;
class QImage;
class SKTGraphic;

// The barcode tab's write-back after the barcode settings window's OK. The source's 38 barcode
// settings and the print flag go into every selected object of the current side (their data
// binding and length unit stay their own), as every tab writes: not while the panel is being
// filled, nothing without a selection, then a redraw. The current object shows the picture the
// window handed over; every other selected barcode shows one made from the settings it now holds,
// rather than its old picture. Answers whether anything was written.
bool writeBarcodeSettingsToSelection(PanelDesign &design, const SKTGraphic &source, const SKTGraphic *current,
                                     const QImage &picture, int printObject);
