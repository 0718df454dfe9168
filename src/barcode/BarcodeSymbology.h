#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <memory>

class NKDBarcode;
struct BarcodeSettings;

// The symbologies of the settings window's popup, linear ones first, then 2-D. An enumerator's value
// is its popup index, which barcode objects store as `barcode_font_index`: append, never reorder.
enum class Symbology {
    Code39,
    ExtendedCode39,
    Interleaved2Of5,
    UPCA,
    PostNet,
    ModifiedPlessey,
    ModifiedPlesseyHex,
    Industrial2Of5,
    EAN13,
    Code128,
    Code128SetA,
    Code128SetB,
    Code128SetC,
    Codabar,
    UPCE,
    EAN8,
    RoyalMail,
    Planet,
    JapanPost,
    QRCode,
    PDF417,
    DataMatrix,
    Count
};

// The longest value a linear symbology is asked to draw: far past any that fits on a card, and short
// enough that a damaged file's megabyte value is refused at once instead of drawn for a minute.
inline constexpr int kMostLinearValueLength = 256;

// The light space a reader needs beside a symbol before anything else may begin, in modules, left and
// right of the bars (a 2-D symbol needs its left one on every side). A card of any colour may meet the
// barcode's own ground: where they meet, a reader takes the quiet zone to end.
struct Quiet_Zone {
    float left = 0;
    float right = 0;
};

// A row of the symbology table: the title the popup shows, what makes the symbology (a linear model
// for a value and caption flag, or a 2-D symbol picture for a value; one of the two is set), its
// quiet zone, and the most characters a value of it can have.
struct Barcode_Symbology {
    Symbology id;
    const char *title;
    std::unique_ptr<NKDBarcode> (*linearModel)(const QString &value, bool printsCaption);
    QImage (*symbolPicture)(const BarcodeSettings &settings, const QString &value);
    Quiet_Zone quietZone;
    int mostValueLength = kMostLinearValueLength;

    int storedIndex() const { return static_cast<int>(id); }
    // Whether the value is short enough to be tried; a longer one draws nothing, as an invalid one.
    bool mayHold(const QString &value) const { return value.size() <= mostValueLength; }
    bool isTwoD() const { return symbolPicture != nullptr; }
    QString name() const { return QLatin1String(title); }
};

const Barcode_Symbology &Barcode_Symbology_Of(Symbology id);
// The symbology a barcode object's stored index names; null past the table.
const Barcode_Symbology *Barcode_Symbology_At(int storedIndex);
// The symbology of a title; null for a title nothing makes.
const Barcode_Symbology *Barcode_Symbology_Named(const QString &title);
// The popup's items: every title, at its stored index.
const QStringList &Barcode_Symbology_Titles();
