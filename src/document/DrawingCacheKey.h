#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QPointF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <type_traits>

// Appends what a drawing reads to a picture cache key as plain bytes. Keys are only compared with
// keys made the same way in the same process, so they need no byte order or format version, and
// building one on every paint costs next to nothing.
class DrawingCacheKey {
public:
    explicit DrawingCacheKey(QByteArray &bytes) : m_bytes(bytes) {}

    template <typename T>
        requires std::is_arithmetic_v<T> || std::is_enum_v<T>
    DrawingCacheKey &operator<<(T value)
    {
        m_bytes.append(reinterpret_cast<const char *>(&value), sizeof value);
        return *this;
    }
    DrawingCacheKey &operator<<(const QSizeF &size) { return *this << size.width() << size.height(); }
    DrawingCacheKey &operator<<(const QPointF &point) { return *this << point.x() << point.y(); }
    DrawingCacheKey &operator<<(const QString &text)
    {
        *this << text.size();
        m_bytes.append(reinterpret_cast<const char *>(text.constData()), text.size() * qsizetype(sizeof(QChar)));
        return *this;
    }
    // A colour as the painter will use it; extended colours keep their range.
    DrawingCacheKey &operator<<(const QColor &color)
    {
        *this << color.spec();
        if (color.spec() == QColor::ExtendedRgb)
            return *this << color.redF() << color.greenF() << color.blueF() << color.alphaF();
        return *this << static_cast<quint64>(color.rgba64());
    }
    // The font's text form leaves some of these out and rounds the size.
    DrawingCacheKey &operator<<(const QFont &font)
    {
        *this << font.toString() << font.pointSizeF() << font.pixelSize() << font.kerning() << font.overline()
              << font.hintingPreference() << font.letterSpacing() << font.wordSpacing();
        const QStringList families = font.families();
        *this << families.size();
        for (const QString &family : families)
            *this << family;
        return *this;
    }

private:
    QByteArray &m_bytes;
};
