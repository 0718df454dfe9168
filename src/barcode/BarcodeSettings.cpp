#include "barcode/BarcodeSettings.h"

#include "document/SKTGraphic.h"

#include <algorithm>

namespace {

constexpr int kAutoDpi = 600;
constexpr int kLeastCustomDpi = 72;
// Beyond this a card-sized symbol makes pictures of hundreds of megabytes.
constexpr int kMostCustomDpi = 1200;

} // namespace

bool BarcodeSettings::operator==(const BarcodeSettings &other) const
{
#define BARCODE_SETTINGS_EQUAL(Type, Name, Initial)                                                \
    if (!(Name == other.Name))                                                                     \
        return false;
    BARCODE_SETTINGS_FIELDS(BARCODE_SETTINGS_EQUAL)
#undef BARCODE_SETTINGS_EQUAL
    return kerning_value == other.kerning_value;
}

QString BarcodeSettings::headerAlignment() const
{
    return Barcode_Alignment_Titles().value(align_hdr_index);
}

QString BarcodeSettings::footerAlignment() const
{
    return Barcode_Alignment_Titles().value(align_ftr_index);
}

int BarcodeSettings::USED_DPI_VALUE() const
{
    const QString title = Barcode_DPI_Titles().value(dpi_val_index);
    if (title == QLatin1String("Custom")) {
        bool ok = false;
        const int custom = dpi_custom_val.trimmed().toInt(&ok);
        return ok && custom > 0 ? std::clamp(custom, kLeastCustomDpi, kMostCustomDpi) : kAutoDpi;
    }
    bool ok = false;
    const int listed = title.toInt(&ok);
    return ok ? listed : kAutoDpi;
}

BarcodeSettings Barcode_Settings_Of(const SKTGraphic &graphic)
{
    BarcodeSettings settings;
#define BARCODE_SETTINGS_READ(Type, Name, Initial) settings.Name = graphic.Name;
    BARCODE_SETTINGS_FIELDS(BARCODE_SETTINGS_READ)
#undef BARCODE_SETTINGS_READ
    // Whatever wrote the fields, the generator draws only what the settings window could set.
    Hold_Barcode_Fields_To_Ranges(settings);
    return settings;
}

void Set_Barcode_Settings(SKTGraphic &graphic, const BarcodeSettings &settings)
{
#define BARCODE_SETTINGS_WRITE(Type, Name, Initial) graphic.Name = settings.Name;
    BARCODE_SETTINGS_FIELDS(BARCODE_SETTINGS_WRITE)
#undef BARCODE_SETTINGS_WRITE
}

const QStringList &Barcode_Alignment_Titles()
{
    // A new barcode keeps index 1: header and footer centred over the symbol.
    static const QStringList titles{QStringLiteral("Left"), QStringLiteral("Center"), QStringLiteral("Right")};
    return titles;
}

const QStringList &Barcode_DPI_Titles()
{
    static const QStringList titles{QStringLiteral("Auto"), QStringLiteral("72"),  QStringLiteral("96"),
                                    QStringLiteral("150"),  QStringLiteral("200"), QStringLiteral("300"),
                                    QStringLiteral("600"),  QStringLiteral("1200"), QStringLiteral("Custom")};
    return titles;
}

double Centimetres_To_Points(double centimetres)
{
    return centimetres * 0.393701 * 72.0;
}

float Mils_To_Points(float mils)
{
    return mils / 1000.0f * 72.0f;
}

Barcode_Margins Barcode_Margins_Of(const BarcodeSettings &settings)
{
    const auto points = [](float centimetres) { return static_cast<float>(Centimetres_To_Points(centimetres)); };
    Barcode_Margins margins;
    margins.value_margin = settings.printsCaption() ? points(settings.val_margin_val) : 0.0f;
    margins.header_margin = settings.printsHeader() ? points(settings.hdr_margin_val) : 0.0f;
    margins.footer_margin = settings.printsFooter() ? points(settings.ftr_margin_val) : 0.0f;
    margins.LR_margin = points(settings.LR_margin_val);
    margins.TB_margin = points(settings.TB_marging_val);
    return margins;
}
