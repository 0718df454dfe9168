#include "datasource/ExcelSheetPicker.h"

#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "core/WorkerWait.h"
#include "datasource/BatchSeriesManager.h"
#include "datasource/Data_From_Excel.h"
#include "datasource/SpreadsheetWriter.h"
#include "platform/UiServices.h"

#include <QRegularExpression>

const QString ExcelSheetPicker::kStateKey = QStringLiteral("State");
const QString ExcelSheetPicker::kTitleKey = QStringLiteral("Extension");
const QString ExcelSheetPicker::kNoColumn = QStringLiteral("There is no column.");
const QString ExcelSheetPicker::kNoSelection = QStringLiteral("No column is selected.");
const QString ExcelSheetPicker::kUnreadable =
    QStringLiteral("Either file is corrupted or selected file contains invalid characters.");

QString ExcelSheetPicker::unreadable(const QString &reason)
{
    return kUnreadable + QStringLiteral("\n\n") + reason;
}

namespace {

bool fail(QString *error, const QString &reason)
{
    Show_NSLog_Message(reason);
    if (error)
        *error = reason;
    return false;
}

} // namespace

QList<QStringList> ExcelSheetPicker::takeCells(const QList<QStringList> &rows, const QList<int> &columns,
                                               bool containsHeader)
{
    QList<QStringList> taken;
    for (qsizetype r = containsHeader ? 1 : 0; r < rows.size(); ++r) {
        QStringList cells;
        cells.reserve(columns.size());
        for (const int column : columns)
            cells << Trim_Str(rows[r].value(column));
        taken << cells;
    }
    return taken;
}

SpreadsheetRows ExcelSheetPicker::readSheet(const QString &path, int sheetNumber) const
{
    // A sheet near the row limit takes seconds to read: the window paints meanwhile.
    return WorkerWait::run<SpreadsheetRows>(wait, [path, sheetNumber] { return SpreadsheetWriter::ReadData(path, sheetNumber); });
}

bool ExcelSheetPicker::Open(const QString &path, QString *error)
{
    Excel_Sheet_Number = 1;
    contains_header = true;
    ListData_xl.clear();
    excel_content = {};
    m_sheets.clear();
    m_chosen = -1;
    return Load_file_Func(path, error);
}

bool ExcelSheetPicker::Load_file_Func(const QString &path, QString *error)
{
    m_path = path;
    const SpreadsheetWriter::Workbook workbook =
        WorkerWait::run<SpreadsheetWriter::Workbook>(wait, [path] { return SpreadsheetWriter::ReadWorkbook(path); });
    if (!workbook.ok())
        return fail(error, workbook.error);
    m_sheets = workbook.sheets;
    m_chosen = -1;
    return comboBoxSelectionDidChange(0, error);
}

QStringList ExcelSheetPicker::sheetNames() const
{
    QStringList names;
    for (const SpreadsheetWriter::Sheet &sheet : m_sheets)
        names << sheet.name;
    return names;
}

bool ExcelSheetPicker::comboBoxSelectionDidChange(int index, QString *error)
{
    if (index < 0 || index >= m_sheets.size())
        return fail(error, QStringLiteral("The workbook has no sheet %1.").arg(index + 1));
    // The sheet is read from the part the workbook gives it, not by its place in the list.
    const int number = m_sheets.at(index).worksheet;
    SpreadsheetRows titles =
        WorkerWait::run<SpreadsheetRows>(wait, [this, number] { return SpreadsheetWriter::ReadData_only_column(m_path, number); });
    if (!titles.ok())
        return fail(error, titles.error);
    if (titles.rows.isEmpty())
        return fail(error, QStringLiteral("The sheet \"%1\" holds no rows.").arg(m_sheets.at(index).name));
    Excel_Sheet_Number = number;
    m_chosen = index;
    excel_content = std::move(titles);
    ListData_xl.clear();
    for (const QString &title : excel_content.rows.first())
        Create_List(title, false);
    return true;
}

void ExcelSheetPicker::Create_List(const QString &title, bool ExtState)
{
    QString trimmed = Trim_Str(title);
    if (trimmed.isEmpty())
        trimmed = QStringLiteral("Untitled Column %1").arg(ListData_xl.size() + 1);
    ListData_xl << QVariantMap{{kStateKey, ExtState ? 1 : 0}, {kTitleKey, trimmed}};
}

int ExcelSheetPicker::Get_Selection_State(int column) const
{
    return column >= 0 && column < ListData_xl.size() ? ListData_xl.at(column).value(kStateKey).toInt() : 0;
}

bool ExcelSheetPicker::Check_For_One_Extension_Selection() const
{
    return !tickedColumns().isEmpty();
}

void ExcelSheetPicker::setTick(int column, bool ticked)
{
    if (column >= 0 && column < ListData_xl.size())
        ListData_xl[column].insert(kStateKey, ticked ? 1 : 0);
}

void ExcelSheetPicker::setAllTicks(bool ticked)
{
    for (int c = 0; c < ListData_xl.size(); ++c)
        setTick(c, ticked);
}

QList<int> ExcelSheetPicker::tickedColumns() const
{
    QList<int> columns;
    for (int c = 0; c < ListData_xl.size(); ++c)
        if (Get_Selection_State(c) != 0)
            columns << c;
    return columns;
}

std::optional<int> ExcelSheetPicker::OKPressed(Data_From_Excel &store)
{
    if (ListData_xl.isEmpty()) {
        Show_MessageBox(kNoColumn);
        return std::nullopt;
    }
    if (!Check_For_One_Extension_Selection()) {
        Show_MessageBox(kNoSelection);
        return std::nullopt;
    }
    bool taken = false;
    if (open_mode == QLatin1String("D")) {
        if (BatchSeriesManager *manager = BatchWizard_Window())
            taken = Insert_file_Func(*manager);
        else
            Show_NSLog_Message(QStringLiteral("No series is being edited to take the values."));
    } else {
        QString told;
        const std::optional<QHash<int, int>> moves = rebinding(store, tickedTitles(), &told);
        if (!moves)
            return std::nullopt;
        taken = Create_Excel_List_Func(store);
        if (taken) {
            store.columnsRebound.notify(*moves);
            if (!told.isEmpty())
                Show_MessageBox(told);
        }
    }
    excel_content = {};
    return taken ? 1 : 0;
}

int ExcelSheetPicker::CancelPressed()
{
    excel_content = {};
    return 0;
}

SpreadsheetRows ExcelSheetPicker::readChosenSheet() const
{
    SpreadsheetRows sheet = readSheet(m_path, Excel_Sheet_Number);
    if (sheet.ok() && sheet.rows.isEmpty())
        sheet.error = QStringLiteral("The sheet \"sheet%1\" holds no rows.").arg(Excel_Sheet_Number);
    if (!sheet.ok()) {
        Show_NSLog_Message(sheet.error);
        Show_MessageBox(unreadable(sheet.error));
    }
    return sheet;
}

bool ExcelSheetPicker::Create_Excel_List_Func(Data_From_Excel &store, QString *error)
{
    const SpreadsheetRows sheet = readChosenSheet();
    if (!sheet.ok()) {
        if (error)
            *error = sheet.error;
        return false;
    }
    store.bind(tickedTitles(), takeCells(sheet.rows, tickedColumns(), contains_header));
    return true;
}

QStringList ExcelSheetPicker::tickedTitles() const
{
    // The titles are the ones listed, so that a blank title cell binds under its placeholder.
    QStringList titles;
    for (const int column : tickedColumns())
        titles << ListData_xl.at(column).value(kTitleKey).toString();
    return titles;
}

namespace {

// A title the sheet did not give: blank, or the placeholder a blank title cell is listed under.
bool isPlaceholderTitle(const QString &title)
{
    static const QRegularExpression placeholder(QStringLiteral("^Untitled Column \\d+$"));
    return title.isEmpty() || placeholder.match(title).hasMatch();
}

QString columnList(const QList<int> &columns)
{
    QStringList numbers;
    for (const int column : columns)
        numbers << QString::number(column);
    return numbers.join(QStringLiteral(", "));
}

} // namespace

std::optional<QHash<int, int>> ExcelSheetPicker::rebinding(Data_From_Excel &store, const QStringList &titles,
                                                           QString *told)
{
    const QStringList old = store.columnTitles().mid(1);
    const QList<Data_From_Excel::BoundField> fields = store.boundFields();
    // Each title's places in the new sheet, its count in the bound one and the fields of each column,
    // gathered once: a sheet may have thousands of columns.
    QHash<QString, QList<int>> places;
    places.reserve(titles.size());
    for (int place = 1; place <= titles.size(); ++place)
        places[titles.at(place - 1)] << place;
    QHash<QString, int> oldCount;
    oldCount.reserve(old.size());
    for (const QString &title : old)
        ++oldCount[title];
    QHash<int, QList<qsizetype>> fieldsAt;
    for (qsizetype f = 0; f < fields.size(); ++f)
        fieldsAt[fields.at(f).column] << f;
    QHash<int, int> moves;
    QStringList moved, lost, unsure, unsureLost;
    QList<int> unsureColumns;
    for (int column = 1; column <= old.size(); ++column) {
        const QString &title = old.at(column - 1);
        const QList<int> found = places.value(title);
        QString why;
        if (isPlaceholderTitle(title))
            why = QStringLiteral("column %1 has no title to find it by").arg(column);
        else if (oldCount.value(title) > 1)
            why = QStringLiteral("\"%1\" titles more than one column of the bound sheet").arg(title);
        else if (found.size() > 1)
            why = QStringLiteral("\"%1\" titles columns %2 of the new sheet").arg(title, columnList(found));
        const int now = why.isEmpty() ? found.value(0, -1) : column;
        if (now != column)
            moves.insert(column, now);
        for (const qsizetype f : fieldsAt.value(column)) {
            const Data_From_Excel::BoundField &field = fields.at(f);
            if (!why.isEmpty()) {
                unsure << QStringLiteral("%1: %2").arg(field.name, why);
                unsureLost << QStringLiteral("%1, \"%2\"").arg(field.name, title);
            }
            else if (now < 0)
                lost << QStringLiteral("%1, \"%2\"").arg(field.name, title);
            else if (now != column)
                moved << QStringLiteral("%1, \"%2\": column %3, was %4").arg(field.name, title).arg(now).arg(column);
        }
        if (!why.isEmpty())
            unsureColumns << column;
    }
    if (!unsure.isEmpty()) {
        const platform::UiServices::Answer answer = Show_YES_NO_Cancel_Shown_MessageBox(
            QStringLiteral("These fields cannot be matched to a column of the new sheet by its title:\n%1\n\n"
                           "Yes keeps them at their column numbers; No leaves them without a column, for a run "
                           "to ask about; Cancel goes back to the columns.")
                .arg(messageList(unsure)));
        if (answer == platform::UiServices::Answer::Cancelled)
            return std::nullopt;
        // Kept at its number, a field takes the title the new sheet has there.
        for (const int column : unsureColumns)
            moves.insert(column, answer == platform::UiServices::Answer::No ? -1 : column);
        if (answer == platform::UiServices::Answer::No)
            lost << unsureLost;
    }
    QStringList parts;
    if (!moved.isEmpty())
        parts << QStringLiteral("These fields follow their column's title to its place in the new sheet:\n") +
                     messageList(moved);
    if (!lost.isEmpty())
        parts << QStringLiteral("The new sheet has no column for these fields, which are left without one; a run "
                                "will ask about them:\n") +
                     messageList(lost);
    if (told)
        *told = parts.join(QStringLiteral("\n\n"));
    return moves;
}

bool ExcelSheetPicker::Insert_file_Func(BatchSeriesManager &manager, QString *error)
{
    const SpreadsheetRows sheet = readChosenSheet();
    if (!sheet.ok()) {
        if (error)
            *error = sheet.error;
        return false;
    }
    for (const QStringList &cells : takeCells(sheet.rows, tickedColumns(), contains_header))
        for (const QString &cell : cells)
            manager.Create_Value_List(cell);
    return true;
}
