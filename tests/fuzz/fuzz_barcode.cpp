// The barcode generator on arbitrary settings and values: every symbology must answer a picture of
// bounded size or none, never crash, overflow or run for long.

#include "FuzzSupport.h"

#include "barcode/BarcodeGenerator.h"
#include "document/SKTBarcode.h"

#include <cstring>

// Fontconfig, which the values' text is laid out with, keeps what it loads for the life of the process:
// LeakSanitizer would stop the run on it at the first check and save an empty input as a crash.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startFuzzingApplication(argc, argv);
    return 0;
}

namespace {

// Reads the settings from the front of the input, as a damaged file or pasteboard would hold them.
class Reader {
public:
    Reader(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    template <typename T>
    T next()
    {
        T value{};
        const size_t n = std::min(sizeof(T), m_size - m_at);
        std::memcpy(&value, m_data + m_at, n);
        m_at += n;
        return value;
    }
    QString rest() const
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(m_data + m_at), static_cast<qsizetype>(m_size - m_at));
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_at = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Reader in(data, size);
    SKTBarcode barcode;
    barcode.barcode_font_index = in.next<uint8_t>() % (static_cast<int>(Symbology::Count) + 1);
    barcode.linear_or_2d = in.next<uint8_t>() & 1;
    barcode.show_hide_val = in.next<uint8_t>() & 1;
    barcode.qr_version_index = in.next<int8_t>();
    barcode.qr_ec_index = in.next<int8_t>();
    barcode.dm_format_index = in.next<int8_t>();
    barcode.dm_encoding_index = in.next<int8_t>();
    barcode.dpi_val_index = in.next<int8_t>();
#define READ_FIELD(Name, Range) barcode.Name = in.next<decltype(barcode.Name)>();
    BARCODE_SETTINGS_RANGES(READ_FIELD)
#undef READ_FIELD
    const QString value = in.rest();
    // As a file or pasteboard hands them over: held to the window's ranges on reading.
    Hold_Barcode_Fields_To_Ranges(barcode);
    const BarcodeSettings settings = Barcode_Settings_Of(barcode);
    const BarcodePicture picture = Get_Image_From_Val(settings, value, QStringLiteral("H"), QStringLiteral("F"));
    if (!picture.isNull()) {
        const QSizeF points = picture.size();
        if (!(points.width() > 0 && points.width() < 1e5 && points.height() > 0 && points.height() < 1e5))
            __builtin_trap();
        (void)picture.toImage(72);
    }
    return 0;
}
