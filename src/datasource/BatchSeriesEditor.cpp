#include "datasource/BatchSeriesEditor.h"

#include "core/MessageBoxes.h"
#include "core/PathHelpers.h"
#include "core/StringHelpers.h"
#include "datasource/SeriesSources.h"
#include "datasource/SeriesStore.h"
#include "datasource/SpreadsheetWriter.h"
#include "platform/SafeFileWriter.h"
#include "platform/UiServices.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>

#include <unistd.h>

const QString BatchSeriesEditor::kListKey = QStringLiteral("Extension");
const QString BatchSeriesEditor::kValueKey = QStringLiteral("Header");

namespace {

const QString kFileError = QStringLiteral("Error in file accessing.");
const QString kListEmpty = QStringLiteral("List is empty.");
const QString kInUseDelete = QStringLiteral("Batch Processing Series can't be delete because it is currently in use.");

QString withReason(const QString &message, const QString &reason)
{
    return reason.isEmpty() ? message : message + QStringLiteral("\n\n") + reason;
}

// The row to select after rows were removed: the one before the current row, when there is one.
std::optional<int> rowBefore(int current, qsizetype count)
{
    const int row = current - 1;
    return row >= 0 && row < count ? row : -1;
}

} // namespace

void BatchSeriesEditor::Create_Value_List(const QString &value)
{
    const QString trimmed = Series_Line_Value(value);
    if (trimmed.isEmpty())
        return;
    ListData_value << QVariantMap{{kValueKey, trimmed}};
    modified = true;
    valuesChanged();
}

void BatchSeriesEditor::Fill_List()
{
    ListData.clear();
    for (const QString &name : Get_datasheet_File_Name_Array()) {
        const QString trimmed = Trim_Str(name);
        if (!trimmed.isEmpty())
            ListData << QVariantMap{{kListKey, trimmed}};
    }
    listChanged();
}

QString BatchSeriesEditor::Get_List_Name_Text(int row) const
{
    return row >= 0 && row < ListData.size() ? Trim_Str(ListData.at(row).value(kListKey).toString()) : QString();
}

QString BatchSeriesEditor::Get_Value_Text(int row) const
{
    return row >= 0 && row < ListData_value.size() ? Trim_Str(ListData_value.at(row).value(kValueKey).toString())
                                                   : QString();
}

bool BatchSeriesEditor::checkListSelection(int row) const
{
    if (ListData.isEmpty()) {
        Show_MessageBox(QStringLiteral("Available list is empty."));
        return false;
    }
    if (Get_List_Name_Text(row).isEmpty()) {
        Show_MessageBox(QStringLiteral("Please select a record from the available list to continue."));
        return false;
    }
    return true;
}

void BatchSeriesEditor::clearValues()
{
    ListData_value.clear();
    modified = false;
    read_only_reason.clear();
    valuesChanged();
}

bool BatchSeriesEditor::On_Update(int row)
{
    if (!checkListSelection(row))
        return false;
    const QString name = Get_List_Name_Text(row);
    const QString path = Series_File_Path(name);
    QString reason;
    const std::optional<QByteArray> bytes = Read_Series_File(path, &reason);
    if (!bytes) {
        Show_MessageBox(
            withReason(kFileError, QStringLiteral("The series \"%1\" cannot be opened: %2.").arg(name, reason)));
        return false;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(*bytes);
    clearValues();
    batch_list_name = update_list_name = name;
    if (utf8.hasError() || bytes->contains('\0')) {
        // Shown as the text it most likely is; saved back it would lose its characters.
        text = Decode_Text(*bytes).value_or(QString());
        read_only_reason = QStringLiteral("The series \"%1\" is not UTF-8 text. Its values are shown as read, "
                                          "but it can only be saved under another name.")
                               .arg(name);
        Show_MessageBox(read_only_reason);
    } else if (const QFileInfo info(path); !info.isWritable() || !info.permission(QFileDevice::WriteOwner)) {
        // A file system mounted read-only is no permission the user could change on the file.
        read_only_reason = ::access(QFile::encodeName(path).constData(), W_OK) != 0 && errno == EROFS
                               ? QStringLiteral("The file system of the folder of the series \"%1\" is read-only.").arg(name)
                               : QStringLiteral("The file of the series \"%1\" is read-only.").arg(name);
    }
    for (const QString &value : Series_List_Values(text))
        ListData_value << QVariantMap{{kValueKey, Series_Line_Value(value)}};
    valuesChanged();
    return true;
}

void BatchSeriesEditor::Add_New()
{
    clearValues();
    batch_list_name = QStringLiteral("Untitled");
    update_list_name.clear();
}

std::optional<int> BatchSeriesEditor::Delete_Series(const QList<int> &rows, int current)
{
    if (!checkListSelection(current))
        return std::nullopt;
    if (inUse(Get_List_Name_Text(current))) {
        Show_MessageBox(kInUseDelete);
        return std::nullopt;
    }
    if (Show_YES_NO_Cancel_MessageBox(QStringLiteral("Are you sure want to delete selected Batch Processing Series?"))
        != platform::UiServices::Answer::Yes)
        return std::nullopt;
    QList<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    QStringList kept;
    for (const int row : sorted) {
        const QString name = Get_List_Name_Text(row);
        if (name.isEmpty())
            continue;
        if (inUse(name))
            kept << name;
        else
            Delete_File(Series_File_Path(name));
    }
    // The folder decides what is left, also when some of the selection stayed.
    Fill_List();
    if (kept.isEmpty())
        return rowBefore(current, ListData.size());
    Show_MessageBox(kInUseDelete + QStringLiteral("\n\n") + messageList(kept));
    return -1;
}

std::optional<int> BatchSeriesEditor::Delete_Rows(const QList<int> &rows, int current)
{
    if (ListData_value.isEmpty()) {
        Show_MessageBox(kListEmpty);
        return std::nullopt;
    }
    if (rows.isEmpty()) {
        Show_MessageBox(QStringLiteral("Please select at least one record from the list to continue."));
        return std::nullopt;
    }
    // One pass, however many rows go: removing them one by one moves the rest each time.
    QList<bool> removed(ListData_value.size(), false);
    for (const int row : rows)
        if (row >= 0 && row < removed.size())
            removed[row] = true;
    QList<QVariantMap> kept;
    kept.reserve(ListData_value.size());
    for (qsizetype row = 0; row < ListData_value.size(); ++row)
        if (!removed.at(row))
            kept << ListData_value.at(row);
    ListData_value = std::move(kept);
    modified = true;
    valuesChanged();
    return rowBefore(current, ListData_value.size());
}

bool BatchSeriesEditor::Update_Value(int row, const QString &edited, const QString &unedited)
{
    if (edited == unedited)
        return true;
    const QString value = Trim_Str(edited);
    if (value.isEmpty()) {
        Show_MessageBox(QStringLiteral("Please enter a valid value."));
        return false;
    }
    if (row < 0 || row >= ListData_value.size())
        return true;
    ListData_value[row] = QVariantMap{{kValueKey, Series_Line_Value(value)}};
    modified = true;
    valuesChanged();
    return true;
}

bool BatchSeriesEditor::Prepare_Value_Import()
{
    if (ListData_value.isEmpty())
        return true;
    switch (Show_YES_NO_Cancel_MessageBox(QStringLiteral(
        "The list already holds values. Do you want to remove them first?\n\nNo adds the new values after them."))) {
    case platform::UiServices::Answer::Yes:
        ListData_value.clear();
        modified = true;
        valuesChanged();
        return true;
    case platform::UiServices::Answer::No:
        return true;
    case platform::UiServices::Answer::Cancelled:
        break;
    }
    return false;
}

bool BatchSeriesEditor::Save()
{
    if (ListData_value.isEmpty()) {
        Show_MessageBox(kListEmpty);
        return false;
    }
    const QString name = Remove_Reserve_Char_In_File_Name(batch_list_name);
    if (name.isEmpty()) {
        Show_MessageBox(QStringLiteral("Please enter a name for the series."));
        return false;
    }
    if (!update_list_name.isEmpty() && inUse(update_list_name)) {
        Show_MessageBox(QStringLiteral("Batch Processing Series can't be update because it is currently in use."));
        return false;
    }
    const bool renamed = name != update_list_name;
    if (!renamed && !read_only_reason.isEmpty()) {
        Show_MessageBox(withReason(kFileError, read_only_reason));
        return false;
    }
    const QString target = Series_File_Path(name);
    const bool targetExisted = !target.isEmpty() && QFileInfo::exists(target);
    if (renamed && targetExisted && !Confirm_Series_Replace(name))
        return false;
    QStringList values;
    for (int row = 0; row < ListData_value.size(); ++row)
        if (const QString value = Get_Value_Text(row); !value.isEmpty())
            values << value;
    // The new file is written before the old name goes, so a failed write loses nothing.
    if (!Write_Series_File(name, values, false, renamed ? SeriesName::Given : SeriesName::Stored))
        return false;
    // A series saved under a new name moves there, unless it replaced another series or its own
    // file was only lent for viewing.
    if (renamed && !update_list_name.isEmpty() && !targetExisted && read_only_reason.isEmpty())
        Delete_File(Series_File_Path(update_list_name));
    update_list_name.clear();
    modified = false;
    read_only_reason.clear();
    Fill_List();
    return true;
}

std::optional<QString> BatchSeriesEditor::Export_Values()
{
    if (ListData_value.isEmpty()) {
        Show_MessageBox(kListEmpty);
        return std::nullopt;
    }
    const platform::SavePanelChoice choice = platform::uiServices().chooseFileToSaveInFormat(
        QStringLiteral("Export"), Panel_Start_Folder(QStandardPaths::DocumentsLocation),
        Remove_Reserve_Char_In_File_Name(batch_list_name), {QStringLiteral("xlsx"), QStringLiteral("txt")});
    if (choice.path.isEmpty())
        return std::nullopt;
    return Export_To(choice.path, choice.format);
}

std::optional<QString> BatchSeriesEditor::Export_To(const QString &chosen, const QString &format)
{
    const bool workbook = format != QLatin1String("txt");
    const QString extension = workbook ? QStringLiteral("xlsx") : QStringLiteral("txt");
    // The format decides the extension; a name that ends in one of the offered ones loses it.
    QString path = chosen;
    const QString suffix = QFileInfo(chosen).suffix();
    if (suffix.compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0
        || suffix.compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0)
        path.chop(suffix.size() + 1);
    path += QLatin1Char('.') + extension;
    // The panel asked about the name it showed; a name it did not show is asked about here.
    if (path != chosen && QFileInfo::exists(path)
        && Show_YES_NO_Cancel_MessageBox(
               QStringLiteral("\"%1\" already exists. Do you want to replace it?").arg(QFileInfo(path).fileName()))
               != platform::UiServices::Answer::Yes)
        return std::nullopt;
    QStringList values;
    for (int row = 0; row < ListData_value.size(); ++row)
        values << Get_Value_Text(row);
    QString reason;
    bool written = false;
    if (workbook) {
        QList<QStringList> rows{{QStringLiteral("Batch Value")}};
        for (const QString &value : values)
            rows << QStringList{value};
        written = SpreadsheetWriter::WriteWorkbook(path, rows, false, &reason);
    } else {
        QByteArray bytes;
        for (const QString &value : values)
            bytes += value.toUtf8() + '\n';
        written = platform::writeFileSafely(path, bytes, &reason);
    }
    if (!written) {
        Show_NSLog_Message(QStringLiteral("Export to %1: %2").arg(path, reason));
        Show_MessageBox(withReason(kFileError, reason));
        return std::nullopt;
    }
    return path;
}

bool BatchSeriesEditor::Confirm_Leave()
{
    if (!modified)
        return true;
    switch (Show_YES_NO_Cancel_MessageBox(
        QStringLiteral("The values of \"%1\" have changed. Do you want to save them?").arg(Trim_Str(batch_list_name)))) {
    case platform::UiServices::Answer::Yes:
        return Save();
    case platform::UiServices::Answer::No:
        modified = false;
        return true;
    case platform::UiServices::Answer::Cancelled:
        break;
    }
    return false;
}
