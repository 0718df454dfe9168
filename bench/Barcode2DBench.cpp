#include "barcode/Draw_DataMatrix_Barcode.h"
#include "barcode/pdf417View.h"
#include "barcode/pdf417lib.h"

#include <benchmark/benchmark.h>

extern "C" {
#include <iec16022ecc200.h>
}
#ifdef CARD_HAVE_ZINT
#include <zint.h>
#endif

#include <cstdlib>

// PDF417 and Data Matrix symbols of a contact line (about 80 bytes), next to zint encoding the same
// bytes where it is installed.

namespace {

const QByteArray kValue = "Jane Example, Example Ltd., 42 Long Road, Springfield 12345, +44 20 7946 0958";

void BM_Pdf417_Encode(benchmark::State &state)
{
    pdf417param p;
    for (auto _ : state) {
        pdf417init(p);
        p.text = kValue;
        p.lenText = static_cast<int>(kValue.size());
        p.options = PDF417_USE_ERROR_LEVEL | PDF417_INVERT_BITMAP;
        p.errorLevel = 2;
        p.aspectRatio = 1.0f;
        paintCode(p);
        benchmark::DoNotOptimize(p.outBits.data());
    }
}
BENCHMARK(BM_Pdf417_Encode);

// The settings window's road: encode, then the picture of a 100 x 20 point object at 600 dpi.
void BM_Pdf417_Picture600Dpi(benchmark::State &state)
{
    pdf417View view(QSizeF(100, 20));
    const QString text = QString::fromUtf8(kValue);
    for (auto _ : state)
        benchmark::DoNotOptimize(view.drawWithText(text, 600.0));
}
BENCHMARK(BM_Pdf417_Picture600Dpi);

void BM_DataMatrix_Encode_iec16022(benchmark::State &state)
{
    QByteArray data = kValue;
    for (auto _ : state) {
        int w = 0, h = 0;
        char *encoding = nullptr;
        unsigned char *grid = iec16022ecc200(&w, &h, &encoding, static_cast<int>(data.size()),
                                             reinterpret_cast<unsigned char *>(data.data()), nullptr, nullptr, nullptr);
        benchmark::DoNotOptimize(grid);
        std::free(grid);
        std::free(encoding);
    }
}
BENCHMARK(BM_DataMatrix_Encode_iec16022);

// The settings window's road: module size 2 at 600 dpi.
void BM_DataMatrix_Picture600Dpi(benchmark::State &state)
{
    const QString text = QString::fromUtf8(kValue);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            Draw_DataMatrix_Barcode(text, QStringLiteral("Auto"), QStringLiteral("Auto"), 2, 600.0));
}
BENCHMARK(BM_DataMatrix_Picture600Dpi);

#ifdef CARD_HAVE_ZINT
void zintEncode(benchmark::State &state, int symbology)
{
    zint_symbol *symbol = ZBarcode_Create();
    for (auto _ : state) {
        ZBarcode_Clear(symbol);
        symbol->symbology = symbology;
        const int error = ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char *>(kValue.constData()),
                                          static_cast<int>(kValue.size()));
        benchmark::DoNotOptimize(error);
    }
    ZBarcode_Delete(symbol);
}

void BM_Zint_Pdf417_Encode(benchmark::State &state)
{
    zintEncode(state, BARCODE_PDF417);
}
BENCHMARK(BM_Zint_Pdf417_Encode);

void BM_Zint_DataMatrix_Encode(benchmark::State &state)
{
    zintEncode(state, BARCODE_DATAMATRIX);
}
BENCHMARK(BM_Zint_DataMatrix_Encode);
#endif

} // namespace
