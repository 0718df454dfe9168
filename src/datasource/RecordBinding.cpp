#include "datasource/RecordBinding.h"

#include "barcode/BarcodeGenerator.h"
#include "core/AppState.h"
#include "core/ImageCategories.h"
#include "core/ImageProcesser.h"
#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "datasource/DataSourceType.h"
#include "datasource/RecordSide.h"
#include "datasource/Data_From_Excel.h"
#include "datasource/SeriesStore.h"
#include "canvas/SKTRenderingView.h"
#include "document/ControlTags.h"
#include "document/DesignSnapshot.h"
#include "document/SKTImage.h"
#include "platform/UiServices.h"

#include <QSet>

#include <algorithm>
#include <exception>

bool takesRecords(const SKTGraphic &graphic)
{
    const SKTGraphic::Kind kind = graphic.kind();
    return kind == SKTGraphic::Kind::Text || kind == SKTGraphic::Kind::Image || kind == SKTGraphic::Kind::Barcode;
}

QString sideName(int side)
{
    return side == 0 ? QStringLiteral("Front") : QStringLiteral("Back");
}

QString boundObjectName(const SKTGraphic &graphic, int index, int side)
{
    QString name = profileFieldName(graphic.control_ID);
    if (name.isEmpty()) {
        name = QStringLiteral("Text");
        if (graphic.kind() == SKTGraphic::Kind::Image)
            name = QStringLiteral("Picture");
        else if (graphic.kind() == SKTGraphic::Kind::Barcode)
            name = QStringLiteral("Barcode");
        name += QStringLiteral(" %1").arg(index + 1);
    }
    return side < 0 ? name : sideName(side) + QStringLiteral(": ") + name;
}

namespace {

// A binding whose column now holds another title, or that has no column: it would read another
// column's values, or none.
bool columnLost(const DataBinding &binding, const QStringList &titles)
{
    if (binding.excel_col_indx < 0)
        return true;
    if (binding.excel_col_title.isEmpty() || titles.isEmpty())
        return false;
    return titles.value(binding.excel_col_indx) != binding.excel_col_title;
}

// "Front: Name (Excel column "Name")": the object and where its value comes from; side -1 leaves the
// side to a caller that knows it.
QString describe(const SKTGraphic &graphic, int index, int side, const QStringList &titles)
{
    QString source;
    const int column = graphic.binding.excel_col_indx;
    if (dataSourceTypeOf(graphic) == DataSourceType::Series)
        source = QStringLiteral("series \"%1\"").arg(graphic.binding.batch_list_name);
    else if (column >= 0 && !graphic.binding.excel_col_title.isEmpty() && columnLost(graphic.binding, titles))
        source = QStringLiteral("Excel column \"%1\"").arg(graphic.binding.excel_col_title);
    else if (column > 0 && column < titles.size())
        source = QStringLiteral("Excel column \"%1\"").arg(titles.at(column));
    else if (column == 0)
        source = QStringLiteral("the row number");
    else if (column > 0)
        source = QStringLiteral("Excel column %1").arg(column);
    else
        source = QStringLiteral("no Excel column");
    return QStringLiteral("%1 (%2)").arg(boundObjectName(graphic, index, side), source);
}

// The picture a record names (loadPicture reads only a regular file); null with the reason otherwise.
QImage recordPicture(const QString &path, const platform::PixelSpender &spend, QString *reason)
{
    QString problem;
    QImage picture = loadPicture(path, spend, &problem);
    if (picture.isNull())
        *reason = QStringLiteral("\"%1\" cannot be shown: %2").arg(path, problem);
    return picture;
}

} // namespace

RecordBinding RecordBinding::load(const GraphicList &front, const GraphicList &back,
                                  const QList<QVariantMap> &excelRows, const Image_Effect_Settings &mainPhotoEffects,
                                  const QStringList &excelTitles)
{
    RecordBinding binding;
    binding.m_rows = excelRows;
    binding.m_titles = excelTitles;
    binding.m_mainPhotoEffects = mainPhotoEffects;
    QStringList seriesNames;
    QList<int> columns;
    QList<QStringList> columnFields; // by place in `columns`: the fields bound to that column
    for (const GraphicList *side : {&front, &back}) {
        const int sideIndex = side == &front ? 0 : 1;
        for (int index = 0; index < side->size(); ++index) {
            const SKTGraphic *graphic = side->at(index).get();
            if (!graphic || !takesRecords(*graphic))
                continue;
            if (dataSourceTypeOf(*graphic) == DataSourceType::Series) {
                binding.m_seriesBound = true;
                if (!seriesNames.contains(graphic->binding.batch_list_name))
                    seriesNames.append(graphic->binding.batch_list_name);
            } else if (dataSourceTypeOf(*graphic) == DataSourceType::Excel) {
                binding.m_excelBound = true;
                if (columnLost(graphic->binding, excelTitles) && graphic->binding.excel_col_indx >= 0) {
                    binding.problems.append(QStringLiteral("%1 cannot be used: the sheet has no such column.")
                                                .arg(describe(*graphic, index, sideIndex, excelTitles)));
                    continue;
                }
                if (!columns.contains(graphic->binding.excel_col_indx)) {
                    columns.append(graphic->binding.excel_col_indx);
                    columnFields.append(QStringList());
                }
                columnFields[columns.indexOf(graphic->binding.excel_col_indx)].append(
                    describe(*graphic, index, sideIndex, excelTitles));
            }
        }
    }
    for (const QString &name : seriesNames) {
        QString reason = Stored_Series_Name_Problem(name).value_or(QStringLiteral("there is no series folder"));
        const QString path = Series_File_Path(name);
        const std::optional<QString> text = path.isEmpty() ? std::nullopt : Read_Series_Text(path, &reason);
        if (text)
            binding.m_series.insert(name, Series_Record_Values(*text));
        else
            binding.problems.append(QStringLiteral("The series \"%1\" cannot be used: %2.").arg(name, reason));
    }
    // A sheet browsed in place of one with more bound columns: its fields are asked about before a
    // run, as a series that cannot be read is. Rows of a design file that lack a column some others
    // have are said once here, not once per record.
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const int column = columns.at(i);
        const QString key = Data_From_Excel::columnKey(column);
        const auto lacking = std::count_if(excelRows.cbegin(), excelRows.cend(),
                                           [&key](const QVariantMap &row) { return !row.contains(key); });
        if (lacking > 0 && lacking == excelRows.size()) {
            binding.m_missingColumns.insert(column);
            for (const QString &field : columnFields.at(i))
                binding.problems.append(QStringLiteral("%1 cannot be used: the sheet has no such column.").arg(field));
        } else if (lacking > 0)
            Show_NSLog_Message(QStringLiteral("Excel column %1 is missing from %2 of %3 rows; those records take \"\".")
                                   .arg(column)
                                   .arg(lacking)
                                   .arg(excelRows.size()));
    }
    binding.count();
    return binding;
}

RecordBinding RecordBinding::Check_Series_Or_Excel_Use_or_not(const GraphicList &front, const GraphicList &back,
                                                              const Image_Effect_Settings &mainPhotoEffects)
{
    // Bound series that cannot be used are not said here: the run's start asks about them, once.
    const Data_From_Excel *excel = Data_From_Excel::defaultInstance();
    return load(front, back, excel->ListData, mainPhotoEffects, excel->columnTitles());
}

bool RecordBinding::Continue_Without_Missing_Series() const
{
    // Asked whichever sources the run uses: the fields of a series that cannot be read come out
    // empty in every run.
    if (problems.isEmpty())
        return true;
    return platform::uiServices().askYesNo(messageList(problems) +
                                           QStringLiteral("\n\nContinue with these fields empty?")) ==
           platform::UiServices::Answer::Yes;
}

void RecordBinding::useSources(bool series, bool excel)
{
    m_seriesAllowed = series;
    m_excelAllowed = excel;
    count();
}

void RecordBinding::count()
{
    Data_table_rows = 0;
    if (m_seriesBound && m_seriesAllowed)
        for (const QStringList &values : m_series)
            Data_table_rows = std::max(Data_table_rows, int(values.size()));
    Use_Data_Sheet_Values = Data_table_rows > 0;
    Excel_table_rows = m_excelBound && m_excelAllowed ? int(m_rows.size()) : 0;
    Use_Excel_Binding_Values = Excel_table_rows > 0;
    Total_Batch_Excel_Card = std::max(Data_table_rows, Excel_table_rows);
}

bool RecordBinding::missingColumn(const DataBinding &binding) const
{
    return m_missingColumns.contains(binding.excel_col_indx) ||
           (binding.excel_col_indx >= 0 && columnLost(binding, m_titles));
}

QString RecordBinding::seriesValue(const QString &name, int record) const
{
    const auto found = m_series.constFind(name);
    if (found == m_series.constEnd() || record < 0 || record >= found->size())
        return QString(QLatin1String(""));
    return found->at(record);
}

QString RecordBinding::excelValue(int record, int column) const
{
    if (record < 0 || record >= m_rows.size() || column < 0)
        return QString(QLatin1String(""));
    return m_rows.at(record).value(Data_From_Excel::columnKey(column), QString(QLatin1String(""))).toString();
}

RecordOutcome RecordBinding::apply(int record, GraphicList &objects, const platform::PixelSpender &spend) const
{
    RecordOutcome outcome;
    for (int index = 0; index < objects.size(); ++index) {
        SKTGraphic *graphic = objects.at(index).get();
        if (!graphic || !takesRecords(*graphic))
            continue;
        QString value;
        // A bound series that could not be read, or a column the sheet lacks, gives "" in every run,
        // whichever sources the run uses, as the run's start said; the record says so. A source
        // that can be used is left out only when the run does not use it, and its fields keep the
        // design's text.
        const std::optional<DataSourceType> source = dataSourceTypeOf(*graphic);
        const auto name = [&] { return describe(*graphic, index, -1, m_titles); };
        if (source == DataSourceType::Series && m_seriesBound &&
            (m_seriesAllowed || !m_series.contains(graphic->binding.batch_list_name))) {
            value = seriesValue(graphic->binding.batch_list_name, record);
            const auto series = m_series.constFind(graphic->binding.batch_list_name);
            if (series == m_series.constEnd())
                outcome.fail(QStringLiteral("%1: the series \"%2\" cannot be used, the field is empty")
                                 .arg(name(), graphic->binding.batch_list_name));
            // A source shorter than the run leaves its fields empty on the records past its end.
            else if (record >= series->size())
                outcome.fail(QStringLiteral("%1: the series has %2 values, the field is empty")
                                 .arg(name())
                                 .arg(series->size()));
        } else if (source == DataSourceType::Excel && m_excelBound &&
                   (m_excelAllowed || missingColumn(graphic->binding))) {
            const bool missing = missingColumn(graphic->binding);
            value = missing ? QString(QLatin1String("")) : excelValue(record, graphic->binding.excel_col_indx);
            if (missing)
                outcome.fail(QStringLiteral("%1: the sheet has no such column, the field is empty").arg(name()));
            else if (record >= m_rows.size())
                outcome.fail(QStringLiteral("%1: the sheet has %2 rows, the field is empty").arg(name()).arg(m_rows.size()));
        } else {
            continue;
        }
        value = Trim_Str(value);
        try {
            switch (graphic->kind()) {
            case SKTGraphic::Kind::Text:
                graphic->Text_contents().string = value;
                break;
            case SKTGraphic::Kind::Image: {
                auto *image = static_cast<SKTImage *>(graphic);
                QString reason;
                QImage picture = value.isEmpty() ? QImage() : recordPicture(value, spend, &reason);
                // The main photo draws without effects: it shows its picture with the main photo's own.
                if (!picture.isNull() && isMainPhoto(*image) && !m_mainPhotoEffects.changesNoPixel())
                    picture = ImageProcesser::Get_Processed_Image(picture, m_mainPhotoEffects);
                // A picture that cannot be shown leaves the field empty, as the report says, not
                // marked by the placeholder of a design's missing file.
                image->setPicture(picture.isNull() ? QString(QLatin1String("")) : value, picture);
                if (!reason.isEmpty())
                    outcome.fail(QStringLiteral("%1: %2, the field is empty").arg(name(), reason));
                break;
            }
            case SKTGraphic::Kind::Barcode: {
                const bool symbol = Set_Record_Barcode(*graphic, value);
                // Without a symbol of its own it would draw the sample, or another record's symbol.
                if (!symbol)
                    graphic->Set_Ctrl_Is_Visible(false);
                if (!symbol && !value.isEmpty())
                    outcome.fail(QStringLiteral("%1: \"%2\" cannot be encoded").arg(name(), value));
                break;
            }
            default:
                break;
            }
        } catch (const std::exception &e) {
            Show_NSLog_Message(QStringLiteral("%1: %2").arg(name(), QString::fromLocal8Bit(e.what())));
            outcome.fail(QStringLiteral("%1: its value could not be given to it").arg(name()));
        }
    }
    return outcome;
}

Card_Side_Image RecordBinding::Set_data_table_value_to_card(const DesignSnapshot &snapshot, int record,
                                                            const QString &card_side, bool) const
{
    try {
        const int side = card_side == Card_Side_Code(0) ? 0 : 1;
        RecordOutcome outcome;
        const Card_Side_Image drawn = drawRecordSide(
            snapshot, side, record, [this](int r, GraphicList &objects) { return apply(r, objects); }, outcome);
        for (const QString &failure : outcome.failures)
            Show_NSLog_Message(QStringLiteral("Record %1: %2").arg(record + 1).arg(failure));
        return drawn;
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
        return {};
    }
}

DesignSnapshot RecordBinding::withoutUnusableFields(const DesignSnapshot &design) const
{
    if (problems.isEmpty())
        return design;
    // With both sources off, apply writes only the fields that cannot be used.
    RecordBinding none = *this;
    none.useSources(false, false);
    DesignSnapshot emptied = design;
    for (DesignSnapshot::Side *side : {&emptied.front, &emptied.back}) {
        side->graphics = DesignSnapshot::copyOf(side->graphics);
        none.apply(0, side->graphics); // the run's start named these fields already
    }
    return emptied;
}
