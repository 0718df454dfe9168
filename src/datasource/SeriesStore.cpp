#include "datasource/SeriesStore.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "datasource/DataSourceType.h"
#include "datasource/SeriesSources.h"
#include "document/SKTGraphicList.h"
#include "platform/RegularFile.h"
#include "platform/SafeFileWriter.h"
#include "platform/XmlCharacters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <exception>

namespace {

bool isSeriesBound(const SKTGraphic &graphic, const QString &seriesName)
{
    const SKTGraphic::Kind kind = graphic.kind();
    const bool bindable =
        kind == SKTGraphic::Kind::Image || kind == SKTGraphic::Kind::Text || kind == SKTGraphic::Kind::Barcode;
    return bindable && dataSourceTypeOf(graphic) == DataSourceType::Series &&
           graphic.binding.batch_list_name == seriesName;
}

bool sideUsesSeries(const SKTGraphicList *side, const QString &seriesName)
{
    if (!side)
        return false;
    for (const SKTGraphicPtr &graphic : side->items())
        if (isSeriesBound(*graphic, seriesName))
            return true;
    return false;
}

} // namespace

QStringList Get_datasheet_File_Name_Array()
{
    const AppState &app = App();
    if (app.Data_Folder_Path.isEmpty() || !QFileInfo(app.Data_Folder_Path).isDir())
        return {};
    const QString suffix = QLatin1Char('.') + app.batch_file_EXT;
    QStringList names;
    const QFileInfoList entries =
        QDir(app.Data_Folder_Path).entryInfoList({QLatin1Char('*') + suffix}, QDir::Files, QDir::Unsorted);
    for (const QFileInfo &entry : entries) {
        // Files only: a FIFO or a device never reads as a series.
        const QString name = entry.fileName().chopped(suffix.size());
        if (entry.isFile() && entry.fileName().endsWith(suffix) && !Stored_Series_Name_Problem(name))
            names.append(name);
    }
    // Name order by code unit, not by locale: stored list positions must mean the same everywhere.
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

const QString kLineBreaks = QStringLiteral("a series name cannot hold line breaks, tabs or other control characters");

} // namespace

std::optional<QString> Stored_Series_Name_Problem(const QString &seriesName)
{
    if (seriesName.isEmpty())
        return QStringLiteral("a series name cannot be empty");
    if (seriesName == QLatin1String(".") || seriesName == QLatin1String(".."))
        return QStringLiteral("a series name cannot be \".\" or \"..\", which name folders");
    if (seriesName.contains(QLatin1Char('/')) || seriesName.contains(QLatin1Char('\\')))
        return QStringLiteral("a series name cannot hold \"/\" or \"\\\", which separate folders");
    if (seriesName.startsWith(QLatin1Char('.')))
        return QStringLiteral("a series name cannot begin with \".\", which would hide it from the list of series");
    if (std::any_of(seriesName.begin(), seriesName.end(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        return kLineBreaks;
    return std::nullopt;
}

std::optional<QString> Series_Name_Problem(const QString &seriesName)
{
    if (std::optional<QString> problem = Stored_Series_Name_Problem(seriesName))
        return problem;
    // U+2028 and U+2029 break lines as a line feed does; series stored under them before stay usable.
    if (!isOneLine(seriesName))
        return kLineBreaks;
    return std::nullopt;
}

std::optional<QString> Series_Name_Refusal(const QString &seriesName)
{
    const std::optional<QString> problem = Series_Name_Problem(seriesName);
    if (!problem)
        return std::nullopt;
    // A name the user typed, not a file that failed: the heading says so.
    return QStringLiteral("This series name cannot be used.\n\n") + Clause_As_Sentence(*problem);
}

bool Is_Series_Name_Safe(const QString &seriesName)
{
    return !Series_Name_Problem(seriesName);
}

QString Series_File_Path(const QString &seriesName)
{
    const AppState &app = App();
    // A name from a design file must not lead out of the series folder.
    if (Stored_Series_Name_Problem(seriesName) || app.Data_Folder_Path.isEmpty())
        return {};
    return QDir(app.Data_Folder_Path).filePath(seriesName + QLatin1Char('.') + app.batch_file_EXT);
}

QString Get_First_Value_Of_Dataset(const QString &seriesName)
{
    const std::optional<QString> text = Read_Series_Text(Series_File_Path(seriesName));
    if (!text)
        return QString(QLatin1String(""));
    return text->left(text->indexOf(QLatin1Char('\n')));
}

std::optional<QString> Series_Limit_Problem(qint64 bytes, qint64 values)
{
    if (values > kMostSeriesValues)
        return QStringLiteral("it has more than %L1 values, the most a series may have").arg(kMostSeriesValues);
    if (bytes > kMostSeriesBytes)
        return QStringLiteral("it is larger than %1 MB, the most a series may be")
            .arg(kMostSeriesBytes / (1024 * 1024));
    return std::nullopt;
}

qint64 Series_Value_Count(const QByteArray &bytes)
{
    return bytes.count('\n') + (bytes.isEmpty() || bytes.endsWith('\n') ? 0 : 1);
}

namespace {

// Read_Series_File, telling a series past its limits from the other failures.
std::optional<QByteArray> readSeries(const QString &path, QString *error, bool *pastTheLimits)
{
    const auto failed = [error](const QString &reason) -> std::optional<QByteArray> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    std::optional<QString> problem = Series_Limit_Problem(QFileInfo(path).size(), 0);
    QString reason;
    std::optional<QByteArray> bytes;
    // Measured first: a series past the limits is refused as such, not read.
    if (!problem) {
        bytes = platform::readRegularFile(path, kMostSeriesBytes, &reason);
        if (!bytes)
            return failed(reason);
        problem = Series_Limit_Problem(bytes->size(), Series_Value_Count(*bytes));
    }
    *pastTheLimits = problem.has_value();
    return problem ? failed(*problem) : bytes;
}

} // namespace

std::optional<QByteArray> Read_Series_File(const QString &path, QString *error)
{
    bool pastTheLimits = false;
    return readSeries(path, error, &pastTheLimits);
}

std::optional<QString> Series_Text(const QByteArray &bytes, QString *error)
{
    const auto failed = [error](const QString &reason) -> std::optional<QString> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    if (bytes.contains('\0'))
        return failed(QStringLiteral("the file is not text"));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return failed(QStringLiteral("the file is not UTF-8 text"));
    return XmlCharacters::replaced(text);
}

std::optional<QString> Read_Series_Text(const QString &path, QString *error)
{
    const std::optional<QByteArray> bytes = Read_Series_File(path, error);
    return bytes ? Series_Text(*bytes, error) : std::nullopt;
}

QStringList Series_Record_Values(const QString &text)
{
    return Trim_Str(text).split(QLatin1Char('\n'));
}

QStringList Series_List_Values(const QString &text)
{
    QStringList values;
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        const QString value = Trim_Str(line.toString());
        if (!value.isEmpty())
            values.append(value);
    }
    return values;
}

namespace {

enum class WriteResult { Written, NameRefused, PastTheLimits, Failed };

WriteResult writeSeries(const QString &seriesName, const QByteArray &lines, bool append, SeriesName given,
                        QString *error)
{
    const auto failed = [error](WriteResult result, const QString &reason) {
        if (error)
            *error = reason;
        return result;
    };
    const QString path = Series_File_Path(seriesName);
    const bool stored = given == SeriesName::Stored && platform::isRegularFile(path);
    if (const std::optional<QString> problem = stored ? std::nullopt : Series_Name_Problem(seriesName))
        return failed(WriteResult::NameRefused, *problem);
    if (path.isEmpty())
        return failed(WriteResult::Failed, QStringLiteral("there is no series folder"));
    QString reason;
    QByteArray bytes;
    if (append && QFileInfo::exists(path)) {
        // Extending copies the old values and adds the new ones; the old file stays until the rename.
        bool pastTheLimits = false;
        const std::optional<QByteArray> old = readSeries(path, &reason, &pastTheLimits);
        if (!old)
            return failed(pastTheLimits ? WriteResult::PastTheLimits : WriteResult::Failed, reason);
        if (!Series_Text(*old, &reason))
            return failed(WriteResult::Failed, reason);
        bytes = *old;
        if (!bytes.isEmpty() && !bytes.endsWith('\n'))
            bytes.append('\n');
        bytes.append(lines);
    } else {
        bytes = lines;
    }
    if (const std::optional<QString> problem = Series_Limit_Problem(bytes.size(), Series_Value_Count(bytes)))
        return failed(WriteResult::PastTheLimits, *problem);
    if (!platform::writeFileSafely(path, bytes, &reason)) {
        // The writer's sentence ("There is no space left on the disk.") made a clause like the others.
        if (reason.endsWith(QLatin1Char('.')))
            reason.chop(1);
        if (reason.size() > 1 && reason.at(0).isUpper() && reason.at(1).isLower())
            reason[0] = reason.at(0).toLower();
        return failed(WriteResult::Failed, reason);
    }
    return WriteResult::Written;
}

} // namespace

bool Write_Series_File(const QString &seriesName, const QStringList &values, bool append, SeriesName name)
{
    QByteArray lines;
    for (const QString &value : values) {
        lines.append(value.toUtf8());
        lines.append('\n');
    }
    return Write_Series_File(seriesName, lines, append, name);
}

bool Write_Series_File(const QString &seriesName, const QByteArray &lines, bool append, SeriesName name)
{
    QString reason;
    const WriteResult result = writeSeries(seriesName, lines, append, name, &reason);
    if (result == WriteResult::Written)
        return true;
    // A file that cannot be written is named, unless the reason names it already.
    const QString path = QDir::toNativeSeparators(Series_File_Path(seriesName));
    const QString to = result != WriteResult::Failed || reason.contains(path) ? QString() : QStringLiteral(" to ") + path;
    const QString said = QStringLiteral("The series \"%1\" cannot be written%2: %3.").arg(seriesName, to, reason);
    Show_NSLog_Message(said);
    switch (result) {
    case WriteResult::NameRefused:
        Show_MessageBox(Series_Name_Refusal(seriesName).value_or(said));
        break;
    case WriteResult::PastTheLimits:
        Show_MessageBox(said);
        break;
    default:
        Show_MessageBox(QStringLiteral("Error in file accessing.\n\n") + said);
        break;
    }
    return false;
}

bool Write_Series_Lines(const QString &seriesName, const QByteArray &lines, bool append, QString *error)
{
    return writeSeries(seriesName, lines, append, SeriesName::Given, error) == WriteResult::Written;
}

bool Confirm_Series_Replace(const QString &seriesName)
{
    const QString path = Series_File_Path(seriesName);
    if (path.isEmpty() || !QFileInfo::exists(path) || !Is_Series_Name_Safe(seriesName))
        return true;
    return Show_YES_NO_MessageBox(QStringLiteral("Batch Processing Series already exists. Do you want to replace it?"));
}

bool Check_Batch_File_In_Use_Validation(const QString &seriesName, const SKTGraphicList *front,
                                        const SKTGraphicList *back)
{
    try {
        const QString file = Series_File_Path(seriesName);
        if (!platform::isRegularFile(file))
            return false;
        return sideUsesSeries(front, seriesName) || sideUsesSeries(back, seriesName);
    } catch (const std::exception &e) {
        Show_MessageBox(QString::fromLocal8Bit(e.what()));
    }
    return false;
}
