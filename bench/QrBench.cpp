#include "barcode/QREncoder.h"
#include "barcode/QR_Encode.h"

#include <benchmark/benchmark.h>

#include <QByteArray>

#include <memory>

#ifdef CARD_HAVE_LIBQRENCODE
#include <qrencode.h>
#endif

// QR Code encoding of card-like payloads of 20, 80 and 300 bytes at each level, beside libqrencode
// when it is installed. The "version" counter is the symbol version each encoder chose.

namespace {

QByteArray payload(int bytes)
{
    static const QByteArray kShort = "Table 12, Anna Maria and Paul";
    static const QByteArray kLink =
        "https://cards.example.org/invite?guest=Anna%20Maria&table=12&menu=vegetarian&rsvp=yes&lang=en";
    static const QByteArray kCard = "BEGIN:VCARD\nVERSION:3.0\nN:Mueller;Anna Maria\nORG:Zolt Cards GmbH\n"
                                    "TEL;TYPE=work:+49 30 1234567\nEMAIL:anna.mueller@example.org\n"
                                    "URL:https://cards.example.org/invite?guest=anna&table=12\n"
                                    "ADR:;;Hauptstrasse 5;Berlin;;10115;Germany\n"
                                    "NOTE:Dinner at 7 pm. Dress code smart casual. Please reply by 1 June.\n"
                                    "END:VCARD\n";
    const QByteArray &source = bytes <= 20 ? kShort : bytes <= 80 ? kLink : kCard;
    return source.left(bytes);
}

void setUp(benchmark::State &state, QByteArray &data, int &level)
{
    data = payload(static_cast<int>(state.range(0)));
    level = static_cast<int>(state.range(1));
    state.SetLabel(std::string("LMQH").substr(static_cast<std::size_t>(level), 1) + " " + std::to_string(data.size())
                   + " bytes");
}

void BM_CQR_Encode(benchmark::State &state)
{
    QByteArray data;
    int level = 0;
    setUp(state, data, level);
    qint64 version = 0;
    for (auto _ : state) {
        const auto encoder = std::make_unique<CQR_Encode>();
        if (!encoder->EncodeData(level, 0, true, -1, data.constData(), data.size()))
            state.SkipWithError("not encoded");
        version = encoder->m_nVersion;
        benchmark::DoNotOptimize(encoder->m_byModuleData);
    }
    state.counters["version"] = static_cast<double>(version);
}

// The whole road of a barcode value to its module grid: capacity check, symbol, grid.
void BM_QREncoder_Grid(benchmark::State &state)
{
    QByteArray data;
    int level = 0;
    setUp(state, data, level);
    qint64 size = 0;
    for (auto _ : state) {
        const std::optional<DataMatrix> grid = QREncoder::encodeCStringWithECLevel(level, 0, data);
        size = grid ? grid->dimension() : 0;
        benchmark::DoNotOptimize(size);
    }
    state.counters["version"] = static_cast<double>((size - 17) / 4);
}

#ifdef CARD_HAVE_LIBQRENCODE
void BM_libqrencode(benchmark::State &state)
{
    QByteArray data;
    int level = 0;
    setUp(state, data, level);
    int version = 0;
    for (auto _ : state) {
        QRcode *code = QRcode_encodeString(data.constData(), 0, static_cast<QRecLevel>(level), QR_MODE_8, 1);
        if (code == nullptr) {
            state.SkipWithError("not encoded");
            break;
        }
        version = code->version;
        benchmark::DoNotOptimize(code->data);
        QRcode_free(code);
    }
    state.counters["version"] = version;
}
#endif

void payloadsAndLevels(benchmark::internal::Benchmark *b)
{
    b->ArgNames({"bytes", "level"});
    for (int bytes : {20, 80, 300})
        for (int level = 0; level < 4; ++level)
            b->Args({bytes, level});
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_CQR_Encode)->Apply(payloadsAndLevels);
BENCHMARK(BM_QREncoder_Grid)->Apply(payloadsAndLevels);
#ifdef CARD_HAVE_LIBQRENCODE
BENCHMARK(BM_libqrencode)->Apply(payloadsAndLevels);
#endif

} // namespace
