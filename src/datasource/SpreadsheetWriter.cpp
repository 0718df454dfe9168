#include "datasource/SpreadsheetWriter.h"

#include "core/AppState.h"
#include "datasource/SSZipArchive.h"
#include "datasource/readers/OdsReader.h"
#include "datasource/readers/SpreadsheetStreaming.h"
#include "datasource/readers/WorkbookEscapes.h"
#include "datasource/readers/XlsxReader.h"
#include "datasource/readers/Xml2003Reader.h"
#include "datasource/readers/ZipArchiveReader.h"
#include "platform/SafeFileWriter.h"
#include "platform/XmlCharacters.h"

#include <QFileInfo>
#include <QLocale>
#include <QMap>

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <utility>

namespace {

// The forms a spreadsheet file may take, by its name's extension; any other extension is read as
// the first, .xlsx. A form of one table reads as a workbook of one sheet.
struct SpreadsheetForm {
    const char *extension;
    SpreadsheetWriter::Workbook (*readWorkbook)(const QString &path);
    SpreadsheetRows (*readSheet)(const QString &path, int sheetNumber, qsizetype rowLimit);
};

// The one table of a form that holds one, as a workbook of that sheet. Its name comes with its
// first row: the sheet is read whole only when it is taken.
template <SpreadsheetRows (*Read)(const QString &, QString *, qsizetype)>
SpreadsheetWriter::Workbook oneTableWorkbook(const QString &path)
{
    SpreadsheetWriter::Workbook workbook;
    QString name;
    const SpreadsheetRows table = Read(path, &name, 1);
    if (!table.ok()) {
        workbook.error = table.error;
    } else {
        workbook.worksheets = {1};
        workbook.sheetNames = {name};
        workbook.sheets = {{name.isEmpty() ? QStringLiteral("Sheet1") : name, 1}};
    }
    return workbook;
}

template <SpreadsheetRows (*Read)(const QString &, QString *, qsizetype)>
SpreadsheetRows oneTableSheet(const QString &path, int sheetNumber, qsizetype rowLimit)
{
    return sheetNumber == 1 ? Read(path, nullptr, rowLimit)
                            : SpreadsheetRows::failure(QStringLiteral("The workbook has no worksheet %1.").arg(sheetNumber));
}

constexpr std::array kForms{
    SpreadsheetForm{"xlsx", spreadsheet::readXlsxWorkbook, spreadsheet::readXlsxSheet},
    SpreadsheetForm{"ods", oneTableWorkbook<spreadsheet::readOds>, oneTableSheet<spreadsheet::readOds>},
    SpreadsheetForm{"xml", oneTableWorkbook<spreadsheet::readXml2003>, oneTableSheet<spreadsheet::readXml2003>},
};

const SpreadsheetForm &formOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    for (const SpreadsheetForm &form : kForms)
        if (suffix.compare(QLatin1String(form.extension), Qt::CaseInsensitive) == 0)
            return form;
    return kForms.front();
}

const char kMainNamespace[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char kRelationshipsNamespace[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// Writing.

struct ByteWriter : pugi::xml_writer {
    QByteArray bytes;
    void write(const void *data, size_t size) override { bytes.append(static_cast<const char *>(data), qsizetype(size)); }
};

pugi::xml_document newPart()
{
    pugi::xml_document document;
    pugi::xml_node declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    declaration.append_attribute("standalone") = "yes";
    return document;
}

QByteArray bytesOf(const pugi::xml_document &document)
{
    ByteWriter writer;
    document.save(writer, "  ", pugi::format_indent, pugi::encoding_utf8);
    return writer.bytes;
}

QString cellReference(int column, int row)
{
    return SpreadsheetWriter::ColumnIndexToName(column) + QString::number(row);
}

// Only a text that comes back unchanged from the number it names is stored as a number: "007",
// "1.50", "1e3" or a 20-digit code would otherwise come back altered.
bool isPlainNumber(const QString &value)
{
    bool isNumber = false;
    const double number = QLocale::c().toDouble(value, &isNumber);
    return isNumber && qIsFinite(number) && QString::number(number, 'g', 15) == value;
}

QByteArray WriteWorksheetData(const QList<QStringList> &data, QStringList &sharedStrings)
{
    qsizetype width = 0;
    for (const QStringList &row : data)
        width = std::max(width, row.size());
    const int columns = int(std::max<qsizetype>(width, 1));
    const QString last = cellReference(columns, int(std::max<qsizetype>(data.size(), 1)));
    const QByteArray spans = "1:" + QByteArray::number(columns);

    pugi::xml_document document = newPart();
    pugi::xml_node worksheet = document.append_child("worksheet");
    worksheet.append_attribute("xmlns") = kMainNamespace;
    worksheet.append_attribute("xmlns:r") = kRelationshipsNamespace;
    worksheet.append_attribute("xmlns:mc") = "http://schemas.openxmlformats.org/markup-compatibility/2006";
    worksheet.append_attribute("xmlns:x14ac") = "http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac";
    worksheet.append_attribute("mc:Ignorable") = "x14ac";
    worksheet.append_child("dimension").append_attribute("ref") = ("A1:" + last).toUtf8().constData();
    pugi::xml_node view = worksheet.append_child("sheetViews").append_child("sheetView");
    view.append_attribute("tabSelected") = "1";
    view.append_attribute("workbookViewId") = "0";
    pugi::xml_node selection = view.append_child("selection");
    selection.append_attribute("activeCell") = last.toUtf8().constData();
    selection.append_attribute("sqref") = last.toUtf8().constData();
    pugi::xml_node format = worksheet.append_child("sheetFormatPr");
    format.append_attribute("baseColWidth") = "10";
    format.append_attribute("defaultRowHeight") = "15";
    format.append_attribute("x14ac:dyDescent") = "0";

    pugi::xml_node sheetData = worksheet.append_child("sheetData");
    for (qsizetype i = 0; i < data.size(); ++i) {
        pugi::xml_node row = sheetData.append_child("row");
        row.append_attribute("r") = qint64(i + 1);
        row.append_attribute("spans") = spans.constData();
        for (qsizetype j = 0; j < data[i].size(); ++j) {
            const QString &value = data[i][j];
            pugi::xml_node cell = row.append_child("c");
            cell.append_attribute("r") = cellReference(int(j + 1), int(i + 1)).toUtf8().constData();
            pugi::xml_node v = cell.append_child("v");
            if (isPlainNumber(value)) {
                v.text() = value.toUtf8().constData();
            } else {
                cell.append_attribute("t") = "s";
                v.text() = qint64(sharedStrings.size());
                sharedStrings << value;
            }
        }
    }

    pugi::xml_node margins = worksheet.append_child("pageMargins");
    for (const auto &[name, value] : {std::pair{"left", "0.75"}, {"right", "0.75"}, {"top", "1"}, {"bottom", "0.5"},
                                      {"header", "0.5"}, {"footer", "0.5"}})
        margins.append_attribute(name) = value;
    pugi::xml_node ext = worksheet.append_child("extLst").append_child("ext");
    ext.append_attribute("xmlns:mx") = "http://schemas.microsoft.com/office/mac/excel/2008/main";
    ext.append_attribute("uri") = "{64002731-A6B0-56B0-2670-7721B7C09600}";
    pugi::xml_node plv = ext.append_child("mx:PLV");
    plv.append_attribute("Mode") = "0";
    plv.append_attribute("OnePage") = "0";
    plv.append_attribute("WScale") = "0";
    return bytesOf(document);
}

QByteArray WriteSharedStringsXML(const QStringList &sharedStrings)
{
    pugi::xml_document document = newPart();
    pugi::xml_node sst = document.append_child("sst");
    sst.append_attribute("xmlns") = kMainNamespace;
    if (!sharedStrings.isEmpty()) {
        sst.append_attribute("count") = qint64(sharedStrings.size());
        sst.append_attribute("uniqueCount") = qint64(sharedStrings.size());
    }
    for (const QString &text : sharedStrings) {
        pugi::xml_node t = sst.append_child("si").append_child("t");
        if (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()))
            t.append_attribute("xml:space") = "preserve";
        t.text() = WorkbookEscapes::escaped(text).toUtf8().constData();
    }
    return bytesOf(document);
}

// The namespaces of an OpenDocument content part, as spreadsheets of the OpenOffice family declare
// them.
const std::pair<const char *, const char *> kOdsNamespaces[] = {
    {"xmlns:office", "urn:oasis:names:tc:opendocument:xmlns:office:1.0"},
    {"xmlns:style", "urn:oasis:names:tc:opendocument:xmlns:style:1.0"},
    {"xmlns:text", "urn:oasis:names:tc:opendocument:xmlns:text:1.0"},
    {"xmlns:table", "urn:oasis:names:tc:opendocument:xmlns:table:1.0"},
    {"xmlns:draw", "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"},
    {"xmlns:fo", "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"},
    {"xmlns:xlink", "http://www.w3.org/1999/xlink"},
    {"xmlns:dc", "http://purl.org/dc/elements/1.1/"},
    {"xmlns:meta", "urn:oasis:names:tc:opendocument:xmlns:meta:1.0"},
    {"xmlns:number", "urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"},
    {"xmlns:presentation", "urn:oasis:names:tc:opendocument:xmlns:presentation:1.0"},
    {"xmlns:svg", "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"},
    {"xmlns:chart", "urn:oasis:names:tc:opendocument:xmlns:chart:1.0"},
    {"xmlns:dr3d", "urn:oasis:names:tc:opendocument:xmlns:dr3d:1.0"},
    {"xmlns:math", "http://www.w3.org/1998/Math/MathML"},
    {"xmlns:form", "urn:oasis:names:tc:opendocument:xmlns:form:1.0"},
    {"xmlns:script", "urn:oasis:names:tc:opendocument:xmlns:script:1.0"},
    {"xmlns:ooo", "http://openoffice.org/2004/office"},
    {"xmlns:ooow", "http://openoffice.org/2004/writer"},
    {"xmlns:oooc", "http://openoffice.org/2004/calc"},
    {"xmlns:dom", "http://www.w3.org/2001/xml-events"},
    {"xmlns:xforms", "http://www.w3.org/2002/xforms"},
    {"xmlns:xsd", "http://www.w3.org/2001/XMLSchema"},
    {"xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance"},
    {"xmlns:rpt", "http://openoffice.org/2005/report"},
    {"xmlns:of", "urn:oasis:names:tc:opendocument:xmlns:of:1.2"},
    {"xmlns:html", "http://www.w3.org/1999/xhtml"},
    {"xmlns:grddl", "http://www.w3.org/2003/g/data-view#"},
    {"xmlns:tableooo", "http://openoffice.org/2009/table"},
    {"xmlns:field", "urn:openoffice:names:experimental:ooo-ms-interop:xmlns:field:1.0"},
    {"xmlns:formx", "urn:openoffice:names:experimental:ooxml-odf-interop:xmlns:form:1.00"},
    {"xmlns:css3t", "http://www.w3.org/TR/css3-text/"},
};

void appendChildWith(pugi::xml_node parent, const char *name, std::initializer_list<std::pair<const char *, const char *>> attributes)
{
    pugi::xml_node node = parent.append_child(name);
    for (const auto &[attribute, value] : attributes)
        node.append_attribute(attribute) = value;
}

// A value as the paragraphs of a cell: one per line; blanks that readers would otherwise fold (at
// the ends of a line, and all but one in a run) as <text:s/>, tabs as <text:tab/>.
void appendParagraphs(pugi::xml_node cell, const QString &value)
{
    const QStringList lines = QString(value).replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n').split(u'\n');
    for (const QString &line : lines) {
        pugi::xml_node paragraph = cell.append_child("text:p");
        QString run;
        const auto flush = [&] {
            if (!run.isEmpty())
                paragraph.append_child(pugi::node_pcdata).set_value(run.toUtf8().constData());
            run.clear();
        };
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line[i] == u'\t') {
                flush();
                paragraph.append_child("text:tab");
            } else if (line[i] != u' ') {
                run += line[i];
            } else {
                qsizetype end = i;
                while (end < line.size() && line[end] == u' ')
                    ++end;
                qsizetype blanks = end - i;
                if (i > 0 && end < line.size()) {
                    run += u' ';
                    --blanks;
                }
                if (blanks > 0) {
                    flush();
                    pugi::xml_node s = paragraph.append_child("text:s");
                    if (blanks > 1)
                        s.append_attribute("text:c") = qint64(blanks);
                }
                i = end - 1;
            }
        }
        flush();
    }
}

qsizetype widestRow(const QList<QStringList> &data)
{
    qsizetype width = 0;
    for (const QStringList &row : data)
        width = std::max(width, row.size());
    return width;
}

QByteArray WriteODSData(const QList<QStringList> &data)
{
    pugi::xml_document document = newPart();
    pugi::xml_node root = document.append_child("office:document-content");
    for (const auto &[prefix, name] : kOdsNamespaces)
        root.append_attribute(prefix) = name;
    root.append_attribute("office:version") = "1.2";
    root.append_child("office:scripts");
    pugi::xml_node fonts = root.append_child("office:font-face-decls");
    for (const auto &[name, generic] : {std::pair{"Arial", "swiss"}, {"Arial Unicode MS", "system"}, {"Tahoma", "system"}})
        appendChildWith(fonts, "style:font-face",
                        {{"style:name", name}, {"svg:font-family", name}, {"style:font-family-generic", generic},
                         {"style:font-pitch", "variable"}});
    pugi::xml_node styles = root.append_child("office:automatic-styles");
    pugi::xml_node column = styles.append_child("style:style");
    column.append_attribute("style:name") = "co1";
    column.append_attribute("style:family") = "table-column";
    appendChildWith(column, "style:table-column-properties", {{"fo:break-before", "auto"}, {"style:column-width", "2.258cm"}});
    pugi::xml_node row = styles.append_child("style:style");
    row.append_attribute("style:name") = "ro1";
    row.append_attribute("style:family") = "table-row";
    appendChildWith(row, "style:table-row-properties",
                    {{"style:row-height", "0.427cm"}, {"fo:break-before", "auto"}, {"style:use-optimal-row-height", "true"}});
    pugi::xml_node tableStyle = styles.append_child("style:style");
    tableStyle.append_attribute("style:name") = "ta1";
    tableStyle.append_attribute("style:family") = "table";
    tableStyle.append_attribute("style:master-page-name") = "Default";
    appendChildWith(tableStyle, "style:table-properties", {{"table:display", "true"}, {"style:writing-mode", "lr-tb"}});

    pugi::xml_node table = root.append_child("office:body").append_child("office:spreadsheet").append_child("table:table");
    table.append_attribute("table:name") = "Sheet1";
    table.append_attribute("table:style-name") = "ta1";
    pugi::xml_node columns = table.append_child("table:table-column");
    columns.append_attribute("table:style-name") = "co1";
    columns.append_attribute("table:number-columns-repeated") = qint64(std::max<qsizetype>(widestRow(data), 1));
    columns.append_attribute("table:default-cell-style-name") = "Default";
    for (const QStringList &values : data) {
        pugi::xml_node tableRow = table.append_child("table:table-row");
        tableRow.append_attribute("table:style-name") = "ro1";
        for (const QString &value : values) {
            pugi::xml_node cell = tableRow.append_child("table:table-cell");
            cell.append_attribute("office:value-type") = "string";
            appendParagraphs(cell, value);
        }
    }
    // Indenting would put blanks between a paragraph's elements, which readers keep as text.
    ByteWriter writer;
    document.save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    return writer.bytes;
}

QByteArray WriteXml2003Data(const QList<QStringList> &data)
{
    pugi::xml_document document = newPart();
    pugi::xml_node workbook = document.append_child("Workbook");
    for (const auto &[prefix, name] : {std::pair{"xmlns", "urn:schemas-microsoft-com:office:spreadsheet"},
                                       {"xmlns:o", "urn:schemas-microsoft-com:office:office"},
                                       {"xmlns:x", "urn:schemas-microsoft-com:office:excel"},
                                       {"xmlns:ss", "urn:schemas-microsoft-com:office:spreadsheet"},
                                       {"xmlns:html", "http://www.w3.org/TR/REC-html40"}})
        workbook.append_attribute(prefix) = name;
    pugi::xml_node worksheet = workbook.append_child("Worksheet");
    worksheet.append_attribute("ss:Name") = "Notes";
    pugi::xml_node table = worksheet.append_child("Table");
    // Readers refuse a table whose rows hold more cells than it declares: the widest row counts.
    table.append_attribute("ss:ExpandedColumnCount") = qint64(widestRow(data));
    table.append_attribute("ss:ExpandedRowCount") = qint64(data.size());
    for (const QStringList &values : data) {
        pugi::xml_node row = table.append_child("Row");
        for (const QString &value : values) {
            pugi::xml_node cell = row.append_child("Cell").append_child("Data");
            cell.append_attribute("ss:Type") = isPlainNumber(value) ? "Number" : "String";
            cell.text() = value.toUtf8().constData();
        }
    }
    // A parser reads a raw carriage return as a line feed; only values hold one here.
    return bytesOf(document).replace("\r", "&#13;");
}

// Whether every value can be written: false, with the first that cannot and why, otherwise. A
// character XML cannot hold would make the file unreadable, and leaving it out would change the
// value.
bool storable(const QList<QStringList> &data, QString *error)
{
    for (qsizetype i = 0; i < data.size(); ++i)
        for (qsizetype j = 0; j < data[i].size(); ++j)
            if (!XmlCharacters::isXmlText(data[i][j])) {
                if (error)
                    *error = QStringLiteral("The value in row %1, column %2 holds a character a workbook cannot store.")
                                 .arg(i + 1)
                                 .arg(j + 1);
                return false;
            }
    return true;
}

// The package written from the shipped template `templateName`: the template's entries in its
// order, those of `replaced` with their new bytes, "mimetype" first and stored (OpenDocument
// readers tell the type from it). Nothing but the template and these parts goes in.
bool writeFromTemplate(const QString &path, const QString &templateName, const QMap<QString, QByteArray> &replaced,
                       QString *error)
{
    const auto failed = [&](const QString &reason) {
        if (error)
            *error = QStringLiteral("Error when writing file %1: %2").arg(path, reason);
        return false;
    };
    const QString templateFile = App().Resource_Path + templateName;
    ZipArchiveReader source(templateFile);
    if (!source.isOpen())
        return failed(QStringLiteral("the template \"%1\" cannot be read (%2).").arg(templateFile, source.errorString()));
    QStringList names = source.entryNames();
    for (auto part = replaced.keyBegin(); part != replaced.keyEnd(); ++part)
        if (!names.contains(*part))
            return failed(QStringLiteral("the template \"%1\" has no part \"%2\".").arg(templateFile, *part));
    const QString mimetype = QStringLiteral("mimetype");
    if (names.removeAll(mimetype) > 0)
        names.prepend(mimetype);

    SSZipArchive archive(path);
    if (!archive.open())
        return failed(archive.errorString());
    for (const QString &name : std::as_const(names)) {
        if (name.endsWith(u'/'))
            continue;
        std::optional<QByteArray> bytes = replaced.contains(name) ? replaced.value(name) : source.read(name);
        if (!bytes)
            return failed(source.errorString());
        if (!archive.writeData(*bytes, name, name == mimetype ? SSZipArchive::Method::Stored : SSZipArchive::Method::Deflated))
            return failed(archive.errorString());
    }
    return archive.close() || failed(archive.errorString());
}

} // namespace

SpreadsheetWriter::Workbook SpreadsheetWriter::ReadWorkbook(const QString &path)
{
    return formOf(path).readWorkbook(path);
}

SpreadsheetRows SpreadsheetWriter::ReadData(const QString &path, int sheetNumber, qsizetype rowLimit)
{
    return formOf(path).readSheet(path, sheetNumber, rowLimit);
}

SpreadsheetRows SpreadsheetWriter::ReadData_only_column(const QString &path, int sheetNumber)
{
    SpreadsheetRows sheet = ReadData(path, sheetNumber, 1);
    if (!sheet.rows.isEmpty())
        for (int i = 0; i < sheet.columnCount; ++i)
            if (sheet.rows[0][i].isEmpty())
                sheet.rows[0][i] = QStringLiteral("Untitled Column %1").arg(i + 1);
    return sheet;
}

bool SpreadsheetWriter::WriteWorkbook(const QString &path, const QList<QStringList> &data, bool hasTitleRow,
                                      QString *error)
{
    Q_UNUSED(hasTitleRow)
    QStringList sharedStrings;
    const QByteArray worksheet = WriteWorksheetData(data, sharedStrings);
    return writeFromTemplate(path, QStringLiteral("Template.xlsx"),
                             {{QStringLiteral("xl/worksheets/sheet1.xml"), worksheet},
                              {QStringLiteral("xl/sharedStrings.xml"), WriteSharedStringsXML(sharedStrings)}},
                             error);
}

QString SpreadsheetWriter::ColumnIndexToName(int n)
{
    QString name;
    for (; n > 0; n = (n - 1) / 26)
        name.prepend(QChar(u'A' + (n - 1) % 26));
    return name;
}

SpreadsheetRows SpreadsheetWriter::ReadODS(const QString &path)
{
    return spreadsheet::readOds(path);
}

SpreadsheetRows SpreadsheetWriter::ReadWorksheetXML2004(const QString &path)
{
    return spreadsheet::readXml2003(path);
}

bool SpreadsheetWriter::WriteODS(const QString &path, const QList<QStringList> &data, bool hasTitleRow, QString *error)
{
    Q_UNUSED(hasTitleRow)
    return storable(data, error)
           && writeFromTemplate(path, QStringLiteral("Template.ods"), {{QStringLiteral("content.xml"), WriteODSData(data)}}, error);
}

bool SpreadsheetWriter::WriteWorksheetXML2004(const QString &path, const QList<QStringList> &data, QString *error)
{
    if (!storable(data, error))
        return false;
    QString reason;
    if (platform::writeFileSafely(path, WriteXml2003Data(data), &reason))
        return true;
    if (error)
        *error = QStringLiteral("Error when writing file %1: %2").arg(path, reason);
    return false;
}
