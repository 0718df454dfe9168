#pragma once

#include <QByteArray>
#include <QColor>

#include <optional>

// Colours as scripts pass them: a descriptor of the RGB colour type "cRGB" holding three unsigned
// 16-bit components, red, green and blue, in the machine's byte order.
struct SKTColorDescriptor {
    QByteArray type;
    QByteArray data;
};

// The colour of a "cRGB" descriptor of exactly six bytes, opaque; none for any other descriptor.
std::optional<QColor> scriptingRGBColorWithDescriptor(const SKTColorDescriptor &descriptor);
// The colour's red, green and blue, each times 65535 and truncated, in a "cRGB" descriptor.
SKTColorDescriptor scriptingRGBColorDescriptor(const QColor &color);
