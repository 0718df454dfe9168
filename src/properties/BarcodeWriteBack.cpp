#include "properties/BarcodeWriteBack.h"

#include "barcode/BarcodeGenerator.h"
#include "barcode/BarcodeSettings.h"
#include "document/SKTGraphic.h"
#include "properties/PanelWriteBack.h"

#include <QImage>

bool writeBarcodeSettingsToSelection(PanelDesign &design, const SKTGraphic &source, const SKTGraphic *current,
                                     const QImage &picture, int printObject)
{
    // Taken before the loop: the source is usually one of the selected objects.
    const BarcodeSettings settings = Barcode_Settings_Of(source);
    return writeToSelection(design, [&](SKTGraphic &graphic) {
        graphic.print_object = printObject;
        Set_Barcode_Settings(graphic, settings);
        if (&graphic == current) {
            graphic.Set_Barcode_image(picture);
        } else if (graphic.kind() == SKTGraphic::Kind::Barcode) {
            const QImage own = Barcode_Image_For_Graphic(graphic);
            if (!own.isNull())
                graphic.Set_Barcode_image(own);
        }
        // The symbol is drawn unscaled: a frame of another size would not cover what is drawn.
        if (graphic.kind() == SKTGraphic::Kind::Barcode)
            graphic.makeNaturalSize();
    });
}
