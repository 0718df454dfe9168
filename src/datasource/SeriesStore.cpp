#include "datasource/SeriesStore.h"

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/WindowUtilities.h"
#include "datasource/DataSourceType.h"
#include "document/SKTGraphicList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <exception>

namespace {

bool isSeriesBound(const SKTGraphic &graphic, const QString &seriesName)
{
    const SKTGraphic::Kind kind = graphic.kind();
    const bool bindable =
        kind == SKTGraphic::Kind::Image || kind == SKTGraphic::Kind::Text || kind == SKTGraphic::Kind::Barcode;
    return bindable && dataSourceTypeOf(graphic) == DataSourceType::Series && graphic.batch_list_name == seriesName;
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
    return Get_Files_Array_At_Path(App().Data_Folder_Path);
}

QString Series_File_Path(const QString &seriesName)
{
    const AppState &app = App();
    // A name from a design file must not lead out of the series folder.
    if (seriesName.isEmpty() || seriesName.contains(QLatin1Char('/')) || seriesName.contains(QLatin1Char('\\'))
        || seriesName == QLatin1String(".") || seriesName == QLatin1String("..") || app.Data_Folder_Path.isEmpty())
        return {};
    return QDir(app.Data_Folder_Path).filePath(seriesName + QLatin1Char('.') + app.batch_file_EXT);
}

QString Get_First_Value_Of_Dataset(const QString &seriesName)
{
    const QString path = Series_File_Path(seriesName);
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return QString(QLatin1String(""));
    QByteArray line = file.readLine(kMostSeriesBytes);
    if (line.endsWith('\n'))
        line.chop(1);
    return QString::fromUtf8(line);
}

bool Check_Batch_File_In_Use_Validation(const QString &seriesName, const SKTGraphicList *front,
                                        const SKTGraphicList *back)
{
    try {
        const QString file = Series_File_Path(seriesName);
        if (file.isEmpty() || !QFileInfo(file).isFile())
            return false;
        return sideUsesSeries(front, seriesName) || sideUsesSeries(back, seriesName);
    } catch (const std::exception &e) {
        Show_MessageBox(QString::fromLocal8Bit(e.what()));
    }
    return false;
}
