#include "datasource/ExcelSeriesImport.h"

#include "core/AppState.h"
#include "core/DesignWindowHub.h"
#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "datasource/BatchSeriesManager.h"
#include "datasource/DataSourceState.h"
#include "datasource/SeriesStore.h"
#include "platform/RegularFile.h"

#include <QHash>

const QString ExcelSeriesImport::kHeaderKey = QStringLiteral("Header");
const QString ExcelSeriesImport::kNoRows =
    QStringLiteral("There is no data in selected sheet.\nPlease select another Sheet/Excel File.\nEither file is "
                   "corrupted or selected file contains invalid characters.");
const QString ExcelSeriesImport::kExists =
    QStringLiteral("\nBatch Processing Series already exists. Do you want to replace it?");
const QString ExcelSeriesImport::kNotImported = QStringLiteral("These columns were not imported:");

namespace {

bool seriesInUse(const QString &name)
{
    DesignWindowHub *design = App().Main_App_wnd;
    return design && design->Check_Batch_File_In_Use_Validation(name);
}

// The series a column header names: each run of line breaks, tabs or other control characters,
// which no series name may hold, made one blank; then cleaned as a typed name.
QString seriesNameOf(const QString &header)
{
    QString name;
    name.reserve(header.size());
    for (const QChar c : header) {
        if (c.category() != QChar::Other_Control)
            name += c;
        else if (!name.endsWith(u' '))
            name += u' ';
    }
    return Remove_Reserve_Char_In_File_Name(Trim_Str(name));
}

// The cells of `columns` from `first` on, row by row and left to right, each trimmed and ended by
// a line feed.
QByteArray lines(const QList<QStringList> &rows, const QList<int> &columns, int first)
{
    QByteArray out;
    for (qsizetype r = first; r < rows.size(); ++r)
        for (const int column : columns) {
            out.append(Trim_Str(rows[r].value(column)).toUtf8());
            out.append('\n');
        }
    return out;
}

} // namespace

bool ExcelSeriesImport::Open(const QString &path, QString *error)
{
    each_column = true;
    fill_col_option = NewSeries;
    list_name.clear();
    chosen_series.clear();
    const bool opened = picker.Open(path, error);
    nameSeriesByTitles();
    return opened;
}

bool ExcelSeriesImport::chooseSheet(int index, QString *error)
{
    if (!picker.comboBoxSelectionDidChange(index, error))
        return false;
    nameSeriesByTitles();
    return true;
}

void ExcelSeriesImport::nameSeriesByTitles()
{
    for (QVariantMap &entry : picker.ListData_xl)
        entry.insert(kHeaderKey, entry.value(ExcelSheetPicker::kTitleKey));
}

void ExcelSeriesImport::setHeader(int column, const QString &name)
{
    if (column >= 0 && column < picker.ListData_xl.size())
        picker.ListData_xl[column].insert(kHeaderKey, name);
}

std::optional<int> ExcelSeriesImport::OKPressed(const Ask &ask)
{
    if (picker.ListData_xl.isEmpty()) {
        Show_MessageBox(ExcelSheetPicker::kNoColumn);
        return std::nullopt;
    }
    if (!picker.Check_For_One_Extension_Selection()) {
        Show_MessageBox(ExcelSheetPicker::kNoSelection);
        return std::nullopt;
    }
    if (each_column)
        return Create_file_For_Col_Func(ask) ? std::optional<int>(1) : std::nullopt;
    const bool newSeries = fill_col_option == NewSeries;
    if (Trim_Str(newSeries ? list_name : chosen_series).isEmpty()) {
        Show_MessageBox(newSeries ? QStringLiteral("Please enter list name.") : QStringLiteral("Please select list name."));
        return std::nullopt;
    }
    return Insert_file_Func() ? std::optional<int>(1) : std::nullopt;
}

int ExcelSeriesImport::CancelPressed()
{
    picker.excel_content = {};
    return 0;
}

std::optional<QList<QStringList>> ExcelSeriesImport::readRows(QString &reason) const
{
    SpreadsheetRows sheet = picker.readSheet(picker.path(), picker.Excel_Sheet_Number);
    if (!sheet.ok() || sheet.rows.isEmpty()) {
        reason = sheet.ok() ? QStringLiteral("The sheet %1 holds no rows.").arg(picker.Excel_Sheet_Number) : sheet.error;
        Show_NSLog_Message(reason);
        return std::nullopt;
    }
    return std::move(sheet.rows);
}

void ExcelSeriesImport::refillManager() const
{
    if (file_name_Insert == 1)
        if (BatchSeriesManager *manager = BatchWizard_Window())
            manager->Fill_List();
}

bool ExcelSeriesImport::Create_file_For_Col_Func(const Ask &ask)
{
    const QList<int> columns = picker.tickedColumns();
    // Names first: two columns must not write one series, one after the other.
    QHash<QString, int> taken;
    for (const int column : columns) {
        const QString name = seriesNameOf(picker.ListData_xl.at(column).value(kHeaderKey).toString());
        const auto other = taken.constFind(name);
        if (Is_Series_Name_Safe(name) && other != taken.constEnd()) {
            const auto title = [this](int c) { return picker.ListData_xl.at(c).value(ExcelSheetPicker::kTitleKey).toString(); };
            Show_MessageBox(QStringLiteral("The columns \"%1\" and \"%2\" would both become the series \"%3\". Please "
                                           "give them different series names.")
                                .arg(title(*other), title(column), name));
            return false;
        }
        taken.insert(name, column);
    }
    QString unread;
    const std::optional<QList<QStringList>> rows = readRows(unread);
    if (!rows) {
        Show_MessageBox(kNoRows + QStringLiteral("\n\n") + unread);
        return true;
    }
    // The apply-to-all answer holds for this import only.
    bool &applyToAll = DataSources().Msg_Apply_All_Chk;
    applyToAll = false;
    const bool askForAll = rows->first().size() > 1;
    QStringList notImported;
    for (const int column : columns) {
        const QString title = picker.ListData_xl.at(column).value(ExcelSheetPicker::kTitleKey).toString();
        const QString name = seriesNameOf(picker.ListData_xl.at(column).value(kHeaderKey).toString());
        // A name no series may be given is refused below, without a question about the file it has.
        if (Is_Series_Name_Safe(name) && platform::isRegularFile(Series_File_Path(name))) {
            // A series the design uses keeps its values, whatever was answered for all.
            if (seriesInUse(name)) {
                notImported << QStringLiteral("%1: the series \"%2\" is in use in the design.").arg(title, name);
                continue;
            }
            if (!applyToAll && ask(QStringLiteral("Batch Processing Series already exists :"), name + kExists, askForAll) != 1)
                continue;
        }
        QString reason;
        if (!Write_Series_Lines(name, lines(*rows, {column}, firstRow()), false, &reason))
            notImported << QStringLiteral("%1: the series \"%2\" could not be written (%3).").arg(title, name, reason);
    }
    applyToAll = false;
    refillManager();
    if (!notImported.isEmpty())
        Show_MessageBox(kNotImported + QStringLiteral("\n\n") + messageList(notImported));
    return true;
}

bool ExcelSeriesImport::Insert_file_Func()
{
    const QString name =
        Remove_Reserve_Char_In_File_Name(fill_col_option == NewSeries ? list_name : chosen_series);
    QString reason;
    const std::optional<QList<QStringList>> rows = readRows(reason);
    if (!rows) {
        Show_MessageBox(ExcelSheetPicker::unreadable(reason));
        return true;
    }
    if (fill_col_option == NewSeries && !Confirm_Series_Replace(name))
        return false;
    // A series chosen from the list keeps the name it is stored under.
    if (!Write_Series_File(name, lines(*rows, picker.tickedColumns(), firstRow()), fill_col_option == ExtendSeries,
                           fill_col_option == NewSeries ? SeriesName::Given : SeriesName::Stored))
        return false;
    refillManager();
    return true;
}
