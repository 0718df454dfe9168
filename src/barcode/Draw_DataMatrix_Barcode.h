#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

// Data Matrix (ECC200) drawing of the barcode settings window: libiec16022 writes the data codewords,
// this program the ECI, the check codewords and the modules. The window's format and encoding lists
// come from here; its selections are passed back as the items' texts.

// "Auto", then "C<rows>X<columns>" for every ECC200 size, in the window's order (31 items).
const QStringList &Data_Matrix_Format_Items();
// "Auto", "Ascii", "C40", "Text", "Base256".
const QStringList &Data_Matrix_Encoding_Items();

struct DataMatrixFormatSize {
    int rows = 0;
    int columns = 0;
};

// The size a format item asks for: "C12X36" is 12 rows and 36 columns. "Auto", and an item without
// "X", ask for none (0 x 0): the encoder chooses.
DataMatrixFormatSize dataMatrixFormatSize(const QString &formatItem);

// The encoder's forced-encoding string for the data, one letter per byte. "Auto" (and any item not in
// the list) gives the shortest encodation this program chooses (see dataMatrixEncodations). A forced item's letters are A (ASCII),
// C (C40) and T (Text); where this encoder would write a wrong symbol the string says A instead: for
// Base256, for bytes it writes wrongly in C40 and Text, and for the last bytes of a C40 or Text run
// that do not fill a whole codeword pair.
QByteArray dataMatrixEncoding(const QByteArray &data, const QString &encodingItem);

// The text's UTF-8 bytes, led by the UTF-8 ECI unless plain ASCII, as a Data Matrix symbol of the
// chosen format and encoding. The picture shows the smallest symbol of the format that reads back as
// the value (the encoding's string first, plain ASCII when it does not), with a one-module light border, measures columns x Barcode_module_size by
// rows x Barcode_module_size points and is rendered at USED_DPI_VALUE dots per inch. When no symbol
// can be made (empty or too long a value, a size that does not hold it, a refusal of the encoder)
// the answer is a null picture and the reason is written to the diagnostic streams.
QImage Draw_DataMatrix_Barcode(const QString &text, const QString &formatItem, const QString &encodingItem,
                               int Barcode_module_size, double USED_DPI_VALUE);
