#include "barcode/BarcodeSymbology.h"

#include "barcode/BarcodeGenerator.h"
#include "barcode/JapanPostBarcode.h"
#include "barcode/NKDCodabarBarcode.h"
#include "barcode/NKDCode128Barcode.h"
#include "barcode/NKDCode39Barcode.h"
#include "barcode/NKDEAN13Barcode.h"
#include "barcode/NKDEAN8Barcode.h"
#include "barcode/NKDExtendedCode39Barcode.h"
#include "barcode/NKDIndustrialTwoOfFiveBarcode.h"
#include "barcode/NKDInterleavedTwoOfFiveBarcode.h"
#include "barcode/NKDModifiedPlesseyBarcode.h"
#include "barcode/NKDModifiedPlesseyHexBarcode.h"
#include "barcode/NKDPlanetBarcode.h"
#include "barcode/NKDPostnetBarcode.h"
#include "barcode/NKDRoyalMailBarcode.h"
#include "barcode/NKDUPCABarcode.h"
#include "barcode/NKDUPCEBarcode.h"
#include "core/NamesTable.h"

#include <array>

namespace {

template <typename Model>
std::unique_ptr<NKDBarcode> linear(const QString &value, bool printsCaption)
{
    return std::make_unique<Model>(value, printsCaption);
}

template <int CodeSet>
std::unique_ptr<NKDBarcode> code128(const QString &value, bool printsCaption)
{
    return std::make_unique<NKDCode128Barcode>(value, printsCaption, CodeSet);
}

using S = Symbology;

// Ten modules for the plain linear codes; the retail codes', Plessey's and the 2-D codes' are their
// own. PostNet and Planet clear 1/8 in at their 0.015 in modules; Royal Mail and Japan Post 2 mm at
// the default bar width.
constexpr Quiet_Zone kTen{10, 10};
constexpr Quiet_Zone kPostal{9, 9};
constexpr Quiet_Zone kFourState{4, 4};

constexpr std::array kSymbologies{
    Barcode_Symbology{S::Code39, "Code 39", &linear<NKDCode39Barcode>, nullptr, kTen},
    Barcode_Symbology{S::ExtendedCode39, "Extended Code 39", &linear<NKDExtendedCode39Barcode>, nullptr, kTen},
    Barcode_Symbology{S::Interleaved2Of5, "Interleaved 2 of 5", &linear<NKDInterleavedTwoOfFiveBarcode>, nullptr, kTen},
    Barcode_Symbology{S::UPCA, "UPCA", &linear<NKDUPCABarcode>, nullptr, {9, 9}},
    Barcode_Symbology{S::PostNet, "PostNet", &linear<NKDPostnetBarcode>, nullptr, kPostal},
    Barcode_Symbology{S::ModifiedPlessey, "Modified Plessey", &linear<NKDModifiedPlesseyBarcode>, nullptr, {12, 12}},
    Barcode_Symbology{S::ModifiedPlesseyHex, "Modified Plessey (Hex)",
                      &linear<NKDModifiedPlesseyHexBarcode>, nullptr, {12, 12}},
    Barcode_Symbology{S::Industrial2Of5, "Industrial 2 of 5", &linear<NKDIndustrialTwoOfFiveBarcode>, nullptr, kTen},
    Barcode_Symbology{S::EAN13, "EAN-13", &linear<NKDEAN13Barcode>, nullptr, {11, 7}},
    Barcode_Symbology{S::Code128, "Code 128", &code128<NKDCode128Barcode::Automatic>, nullptr, kTen},
    Barcode_Symbology{S::Code128SetA, "Code 128 SET A", &code128<NKDCode128Barcode::SetA>, nullptr, kTen},
    Barcode_Symbology{S::Code128SetB, "Code 128 SET B", &code128<NKDCode128Barcode::SetB>, nullptr, kTen},
    Barcode_Symbology{S::Code128SetC, "Code 128 SET C", &code128<NKDCode128Barcode::SetC>, nullptr, kTen},
    Barcode_Symbology{S::Codabar, "Codabar", &linear<NKDCodabarBarcode>, nullptr, kTen},
    Barcode_Symbology{S::UPCE, "UPCE", &linear<NKDUPCEBarcode>, nullptr, {9, 7}},
    Barcode_Symbology{S::EAN8, "EAN-8", &linear<NKDEAN8Barcode>, nullptr, {7, 7}},
    Barcode_Symbology{S::RoyalMail, "Royal Mail Barcode (RM4SCC / CBC)",
                      &linear<NKDRoyalMailBarcode>, nullptr, kFourState},
    Barcode_Symbology{S::Planet, "Planet", &linear<NKDPlanetBarcode>, nullptr, kPostal},
    Barcode_Symbology{S::JapanPost, "Japan Post Barcode", &linear<JapanPostBarcode>, nullptr, kFourState},
    // The 2-D lengths are each symbology's largest capacity, in digits.
    Barcode_Symbology{S::QRCode, "QR Code", nullptr, &QR_Code_Symbol, Quiet_Zone{4, 4}, 7089},
    Barcode_Symbology{S::PDF417, "PDF417", nullptr, &PDF417_Symbol, Quiet_Zone{2, 2}, 2710},
    Barcode_Symbology{S::DataMatrix, "DataMatrix", nullptr, &DataMatrix_Symbol, Quiet_Zone{1, 1}, 3116},
};
static_assert(Names_Table_In_Step<Symbology>(kSymbologies));

} // namespace

const Barcode_Symbology &Barcode_Symbology_Of(Symbology id)
{
    return kSymbologies.at(static_cast<std::size_t>(id));
}

const Barcode_Symbology *Barcode_Symbology_At(int storedIndex)
{
    if (storedIndex < 0 || storedIndex >= static_cast<int>(kSymbologies.size()))
        return nullptr;
    return &kSymbologies[static_cast<std::size_t>(storedIndex)];
}

const Barcode_Symbology *Barcode_Symbology_Named(const QString &title)
{
    for (const Barcode_Symbology &row : kSymbologies)
        if (title == QLatin1String(row.title))
            return &row;
    return nullptr;
}

const QStringList &Barcode_Symbology_Titles()
{
    static const QStringList titles = [] {
        QStringList list;
        for (const Barcode_Symbology &row : kSymbologies)
            list.append(row.name());
        return list;
    }();
    return titles;
}
