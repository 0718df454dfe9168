#include "document/ArchiveValues.h"

#include "core/FontNames.h"

QVariant archiveObject(const QString &value)
{
    return value.isNull() ? QVariant() : QVariant(value);
}

QVariant archiveObject(const QColor &value)
{
    return value.isValid() ? QVariant(value) : QVariant();
}

QVariant archiveObject(const QImage &value)
{
    return value.isNull() ? QVariant() : QVariant(value);
}

QVariant archiveObject(const QFont &value)
{
    return QVariant::fromValue(platform::ArchivedFont{Font_PostScript_Name(value), value.pointSizeF()});
}

template <>
QString objectFromArchive<QString>(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<QString>() ? value.toString() : QString();
}

template <>
QColor objectFromArchive<QColor>(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<QColor>() ? value.value<QColor>() : QColor();
}

template <>
QImage objectFromArchive<QImage>(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<QImage>() ? value.value<QImage>() : QImage();
}

template <>
QFont objectFromArchive<QFont>(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QFont>())
        return value.value<QFont>();
    if (value.metaType() != QMetaType::fromType<platform::ArchivedFont>())
        return QFont();
    const platform::ArchivedFont font = value.value<platform::ArchivedFont>();
    // A size outside any sensible range would make text layout crawl or fail.
    const double size = font.size > 0 && font.size <= 4096 ? font.size : 12.0;
    return Font_With_Name(font.name, size);
}
