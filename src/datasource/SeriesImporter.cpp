#include "datasource/SeriesImporter.h"

#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "datasource/BatchSeriesManager.h"
#include "datasource/SeriesSources.h"
#include "datasource/SeriesStore.h"

bool SeriesImporter::Create_And_Save_Text_Data_Sheet(const QString &path, const QString &name)
{
    const SeriesSource source = Read_Text_Source(path);
    if (!source.ok()) {
        Show_MessageBox(source.error);
        return false;
    }
    return deliver(source.values, name);
}

bool SeriesImporter::Create_And_Save_Manual_Paste_data_Sheet(const QString &text, const QString &name)
{
    const QStringList lines = Pasted_Lines(text);
    if (lines.isEmpty()) {
        Show_MessageBox(QStringLiteral("Please enter some data."));
        return false;
    }
    return deliver(lines, name);
}

bool SeriesImporter::Create_And_Save_Image_data_Sheet(const QString &folder, const QString &name)
{
    const SeriesSource source = Picture_Files(folder);
    if (!source.ok()) {
        Show_MessageBox(source.error);
        return false;
    }
    return deliver(source.values, name);
}

bool SeriesImporter::deliver(const QStringList &values, const QString &name)
{
    BatchSeriesManager *manager = BatchWizard_Window();
    if (file_name_required == 1) {
        const QString series = Remove_Reserve_Char_In_File_Name(name);
        if (series.isEmpty()) {
            Show_MessageBox(QStringLiteral("Please enter a name for the series."));
            return false;
        }
        if (!Confirm_Series_Replace(series) || !Write_Series_File(series, values))
            return false;
    } else if (manager) {
        for (const QString &value : values)
            manager->Create_Value_List(value);
    } else {
        Show_NSLog_Message(QStringLiteral("No series is being edited to take the values."));
    }
    if (file_name_Insert == 1 && manager)
        manager->Fill_List();
    return true;
}
