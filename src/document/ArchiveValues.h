#pragma once

#include "platform/KeyedArchiver.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QVariant>

// How the model's object fields travel through keyed archives: a null string, an invalid colour or
// a null picture is nil; fonts go by PostScript name and size.
QVariant archiveObject(const QString &value);
QVariant archiveObject(const QColor &value);
QVariant archiveObject(const QImage &value);
QVariant archiveObject(const QFont &value);

// The reverse; nil, or a value of another kind, reads as the empty value (null string, invalid
// colour, null picture, default font).
template <typename T>
T objectFromArchive(const QVariant &value);
template <>
QString objectFromArchive<QString>(const QVariant &value);
template <>
QColor objectFromArchive<QColor>(const QVariant &value);
template <>
QImage objectFromArchive<QImage>(const QVariant &value);
template <>
QFont objectFromArchive<QFont>(const QVariant &value);
