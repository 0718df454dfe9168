#include "core/WindowUtilities.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QLocale>
#include <QPainter>
#include <QSaveFile>
#include <QTimeZone>
#include <QVersionNumber>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

constexpr double kMetresPerInch = 0.0254;
constexpr double kPointsPerInch = 72.0;
// Beyond this a side is no picture anyone meant to make; QImage would fail later and less clearly.
constexpr double kMaxPixelSide = 32767.0;

// What a new QImage claims (the screen's resolution once there is a GUI), which says nothing about
// the picture.
int unspecifiedDotsPerMetre()
{
    return QImage(1, 1, QImage::Format_Mono).dotsPerMeterX();
}

// Dots per metre are whole numbers, so 72 dpi is stored as 2835 (72.009 dpi) and 300 as 11811:
// a resolution within a dot and a half per metre of a whole dpi is taken as that whole dpi.
double dotsPerInch(int dotsPerMetre)
{
    const double dpi = dotsPerMetre * kMetresPerInch;
    const double whole = std::round(dpi);
    return std::abs(dpi - whole) <= 1.5 * kMetresPerInch ? whole : dpi;
}

bool usablePixelSide(double side)
{
    return std::isfinite(side) && side >= 1.0 && side <= kMaxPixelSide;
}

QImage blankImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (!image.isNull())
        image.fill(Qt::transparent);
    return image;
}

// A file name with its last extension removed; a name that is all extension (".hidden") stays.
QString withoutExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

QString padded(qint64 value, qsizetype width)
{
    return QString::number(value).rightJustified(width, QLatin1Char('0'));
}

QString zoneOffset(int seconds, bool withColon, bool zForZero)
{
    if (seconds == 0 && zForZero)
        return QStringLiteral("Z");
    const QChar sign = seconds < 0 ? QLatin1Char('-') : QLatin1Char('+');
    const int minutes = std::abs(seconds) / 60;
    return sign + padded(minutes / 60, 2) + (withColon ? QStringLiteral(":") : QString()) + padded(minutes % 60, 2);
}

QString eraName(const QDate &date, qsizetype n)
{
    const bool ad = date.year() > 0;
    if (n == 4)
        return ad ? QStringLiteral("Anno Domini") : QStringLiteral("Before Christ");
    if (n == 5)
        return ad ? QStringLiteral("A") : QStringLiteral("B");
    return ad ? QStringLiteral("AD") : QStringLiteral("BC");
}

QString monthField(const QLocale &locale, int month, qsizetype n, bool standalone)
{
    if (n <= 2)
        return padded(month, n);
    if (n == 3)
        return standalone ? locale.standaloneMonthName(month, QLocale::ShortFormat)
                          : locale.monthName(month, QLocale::ShortFormat);
    const QString name = standalone ? locale.standaloneMonthName(month, QLocale::LongFormat)
                                    : locale.monthName(month, QLocale::LongFormat);
    return n == 4 ? name : name.left(1);
}

QString dayNameField(const QLocale &locale, int dayOfWeek, qsizetype n)
{
    if (n == 4)
        return locale.dayName(dayOfWeek, QLocale::LongFormat);
    if (n == 5)
        return locale.dayName(dayOfWeek, QLocale::NarrowFormat);
    return locale.dayName(dayOfWeek, QLocale::ShortFormat);
}

// One run of `n` equal pattern letters; letters without a meaning here are copied as they are.
QString dateField(const QDateTime &when, const QLocale &locale, QChar letter, qsizetype n)
{
    const QDate date = when.date();
    const QTime time = when.time();
    switch (letter.unicode()) {
    case 'G':
        return eraName(date, n);
    case 'y':
        if (n == 2)
            return padded(std::abs(date.year()) % 100, 2);
        return padded(date.year(), n);
    case 'M':
        return monthField(locale, date.month(), n, false);
    case 'L':
        return monthField(locale, date.month(), n, true);
    case 'd':
        return padded(date.day(), n);
    case 'D':
        return padded(date.dayOfYear(), n);
    case 'E':
        return dayNameField(locale, date.dayOfWeek(), n);
    case 'a':
        return time.hour() < 12 ? locale.amText() : locale.pmText();
    case 'h':
        return padded(time.hour() % 12 == 0 ? 12 : time.hour() % 12, n);
    case 'H':
        return padded(time.hour(), n);
    case 'K':
        return padded(time.hour() % 12, n);
    case 'k':
        return padded(time.hour() == 0 ? 24 : time.hour(), n);
    case 'm':
        return padded(time.minute(), n);
    case 's':
        return padded(time.second(), n);
    case 'S': // fractions of a second, truncated to n digits
        return padded(time.msec(), 3).leftJustified(n, QLatin1Char('0'), true);
    case 'z':
        return n == 4 ? when.timeZone().displayName(when, QTimeZone::LongName, locale)
                      : when.timeZoneAbbreviation();
    case 'Z':
        if (n == 4)
            return QStringLiteral("GMT") + zoneOffset(when.offsetFromUtc(), true, false);
        return zoneOffset(when.offsetFromUtc(), n == 5, n == 5);
    default:
        return QString(n, letter);
    }
}

bool isPatternLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

void logException(const std::exception &e)
{
    Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
}

bool reportSaveFailure(const QString &path, const QString &reason)
{
    Show_MessageBox(path);
    Show_MessageBox(reason);
    return false;
}

} // namespace

float Points_to_MM_Convert(float points)
{
    return static_cast<float>(static_cast<double>(points) * 0.3527777777778);
}

float MM_to_Points_Convert(float mm)
{
    return static_cast<float>(static_cast<double>(mm) * 2.834645669291);
}

QSizeF imageSizeInPoints(const QImage &image)
{
    if (image.isNull())
        return {};
    // Without a resolution of its own a picture measures its device-independent size, as the
    // other picture helpers read it.
    const int unspecified = unspecifiedDotsPerMetre();
    const QSizeF independent = image.deviceIndependentSize();
    const auto side = [unspecified](int pixels, int dotsPerMetre, double fallback) {
        if (dotsPerMetre <= 0 || dotsPerMetre == unspecified)
            return fallback;
        return pixels * kPointsPerInch / dotsPerInch(dotsPerMetre);
    };
    return {side(image.width(), image.dotsPerMeterX(), independent.width()),
            side(image.height(), image.dotsPerMeterY(), independent.height())};
}

void setImageSizeInPoints(QImage &image, const QSizeF &size)
{
    if (image.isNull() || !(size.width() > 0.0) || !(size.height() > 0.0))
        return;
    const int unspecified = unspecifiedDotsPerMetre();
    const auto perMetre = [unspecified](int pixels, double points) {
        const int value = static_cast<int>(std::lround(pixels * kPointsPerInch / (points * kMetresPerInch)));
        // The default would read as "no resolution"; one dot more still reads as the same dpi.
        return value == unspecified ? value + 1 : value;
    };
    image.setDotsPerMeterX(perMetre(image.width(), size.width()));
    image.setDotsPerMeterY(perMetre(image.height(), size.height()));
    // Painters draw a picture at its device-independent size: keep that in step (exact across).
    image.setDevicePixelRatio(image.width() / size.width());
}

QImage imageResize(const QImage &image, const QSizeF &newSize)
{
    if (image.isNull()) {
        Show_NSLog_Message(QStringLiteral("Invalid Image"));
        return {};
    }
    try {
        const double width = std::ceil(newSize.width());
        const double height = std::ceil(newSize.height());
        if (!usablePixelSide(width) || !usablePixelSide(height)) {
            Show_NSLog_Message(QStringLiteral("Invalid image size"));
            return {};
        }
        QImage result = blankImage(static_cast<int>(width), static_cast<int>(height));
        if (result.isNull()) {
            Show_NSLog_Message(QStringLiteral("Invalid image size"));
            return {};
        }
        {
            QPainter painter(&result);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(QRectF(0, 0, newSize.width(), newSize.height()), image, QRectF(image.rect()));
        }
        setImageSizeInPoints(result, newSize);
        return result;
    } catch (const std::exception &e) {
        logException(e);
        return {};
    }
}

QImage Increase_DPI(const QImage &image, double dpi)
{
    return Increase_DPI(image, dpi, imageSizeInPoints(image));
}

QImage Increase_DPI(const QImage &image, double dpi, const QSizeF &points)
{
    if (image.isNull()) {
        Show_NSLog_Message(QStringLiteral("Invalid image"));
        return {};
    }
    try {
        // Single precision, as the symbol sizes built on these pixel counts assume.
        const float scale = static_cast<float>(dpi) / 72.0f;
        const double pixelWidth = std::ceil(scale * static_cast<float>(points.width()));
        const double pixelHeight = std::ceil(scale * static_cast<float>(points.height()));
        if (!(dpi > 0.0) || !usablePixelSide(pixelWidth) || !usablePixelSide(pixelHeight)) {
            Show_NSLog_Message(QStringLiteral("Invalid image resolution"));
            return {};
        }
        QImage result = blankImage(static_cast<int>(pixelWidth), static_cast<int>(pixelHeight));
        if (result.isNull()) {
            Show_NSLog_Message(QStringLiteral("Invalid image resolution"));
            return {};
        }
        {
            // No interpolation: every module of a symbol stays a sharp block.
            QPainter painter(&result);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
            painter.drawImage(QRectF(result.rect()), image, QRectF(image.rect()));
        }
        setImageSizeInPoints(result, points);
        return result;
    } catch (const std::exception &e) {
        logException(e);
        return {};
    }
}

bool Save_gen_image(const QImage &image, const QString &path)
{
    try {
        if (image.isNull())
            return reportSaveFailure(path, QStringLiteral("Invalid image"));
        // The old file is replaced only once the new one is complete, so a failed write keeps it.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return reportSaveFailure(path, file.errorString());
        QImageWriter writer(&file, "png");
        if (!writer.write(image)) {
            const QString reason = writer.errorString();
            file.cancelWriting();
            return reportSaveFailure(path, reason);
        }
        if (!file.commit())
            return reportSaveFailure(path, file.errorString());
        return true;
    } catch (const std::exception &e) {
        logException(e);
        return false;
    }
}

QStringList Get_Files_Array_At_Path(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {};
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Unsorted);
    // Name order by code unit, not by locale: stored list positions must mean the same everywhere.
    std::sort(names.begin(), names.end());
    for (QString &name : names)
        name = withoutExtension(name);
    return names;
}

QString Format_Date_With_Pattern(const QDateTime &when, const QString &pattern)
{
    const QLocale locale;
    QString out;
    const qsizetype size = pattern.size();
    qsizetype i = 0;
    bool quoted = false; // inside quoted text, which runs to the closing quote (or the end)
    while (i < size) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('\'')) {
            // '' stands for a quote, inside quoted text or out of it; a lone quote opens or closes.
            if (i + 1 < size && pattern.at(i + 1) == QLatin1Char('\'')) {
                out += QLatin1Char('\'');
                i += 2;
            } else {
                quoted = !quoted;
                ++i;
            }
            continue;
        }
        if (quoted || !isPatternLetter(c)) {
            out += c;
            ++i;
            continue;
        }
        qsizetype n = 1;
        while (i + n < size && pattern.at(i + n) == c)
            ++n;
        out += dateField(when, locale, c, n);
        i += n;
    }
    return out;
}

QString Get_date_Value(const QString &pattern)
{
    return Format_Date_With_Pattern(QDateTime::currentDateTime(), pattern);
}

QString Get_time_Value(const QString &pattern)
{
    return Format_Date_With_Pattern(QDateTime::currentDateTime(), pattern);
}

QString Convert_Path_From_URL(const QUrl &url)
{
    return url.isLocalFile() ? url.toLocalFile() : url.path();
}

int Check_And_Validate_File_Path(const QString &path)
{
    const QString trimmed = Trim_Str(path);
    if (!trimmed.isEmpty() && QFileInfo::exists(trimmed))
        return 0;
    Show_MessageBox(QStringLiteral("Please select valid file path."));
    return 1;
}

int Get_OS_Version()
{
    const QVersionNumber version = QVersionNumber::fromString(QString::fromLatin1(qVersion()));
    return version.majorVersion() * 10000 + version.minorVersion() * 100 + version.microVersion();
}

QString Panel_Start_Folder(QStandardPaths::StandardLocation fallback)
{
    const auto usable = [](const QString &folder) {
        const QFileInfo info(folder);
        if (folder.isEmpty() || !info.isDir() || !info.isReadable())
            return false;
        // System folders of devices and processes are no place for a user's designs.
        const QString path = info.canonicalFilePath();
        for (const char *special : {"/dev", "/proc", "/sys", "/run"})
            if (path == QLatin1String(special) || path.startsWith(QLatin1String(special) + QLatin1Char('/')))
                return false;
        return true;
    };
    const QString design = App().Project_File_Name;
    if (!design.isEmpty()) {
        const QString folder = QFileInfo(design).absolutePath();
        if (usable(folder))
            return folder;
    }
    const QString standard = QStandardPaths::writableLocation(fallback);
    return usable(standard) ? standard : QDir::homePath();
}

QString Frames_Folder()
{
    const QString resources = App().Resource_Path;
    return resources.isEmpty() ? QString() : resources + QStringLiteral("Frames");
}

QString Relocated_Resource_Path(const QString &path)
{
    static const QLatin1String kResources("/Resources/");
    const QString resources = App().Resource_Path;
    if (path.isEmpty() || resources.isEmpty() || QFileInfo::exists(path))
        return path;
    const qsizetype at = path.lastIndexOf(kResources);
    if (at < 0)
        return path;
    const QString below = path.mid(at + kResources.size());
    // Only a path that stays inside the data folders is followed.
    if (below.isEmpty() || QDir::cleanPath(below).startsWith(QLatin1String("..")))
        return path;
    const QString candidate = QDir(resources).filePath(below);
    return QFileInfo::exists(candidate) ? candidate : path;
}
