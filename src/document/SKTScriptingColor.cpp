#include "document/SKTScriptingColor.h"

#include <array>
#include <cstring>

namespace {

const QByteArray kRGBType("cRGB");

} // namespace

std::optional<QColor> scriptingRGBColorWithDescriptor(const SKTColorDescriptor &descriptor)
{
    std::array<quint16, 3> rgb{};
    if (descriptor.type != kRGBType || descriptor.data.size() != qsizetype(sizeof(rgb)))
        return std::nullopt;
    std::memcpy(rgb.data(), descriptor.data.constData(), sizeof(rgb));
    return QColor::fromRgbF(float(rgb[0] / 65535.0), float(rgb[1] / 65535.0), float(rgb[2] / 65535.0), 1.0f);
}

SKTColorDescriptor scriptingRGBColorDescriptor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    const std::array<quint16, 3> components{quint16(rgb.redF() * 65535.0), quint16(rgb.greenF() * 65535.0),
                                            quint16(rgb.blueF() * 65535.0)};
    return {kRGBType, QByteArray(reinterpret_cast<const char *>(components.data()), qsizetype(sizeof(components)))};
}
