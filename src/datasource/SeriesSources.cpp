#include "datasource/SeriesSources.h"

#include "core/StringHelpers.h"
#include "datasource/SeriesStore.h"
#include "platform/RegularFile.h"
#include "platform/XmlCharacters.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStringDecoder>

#include <cctype>

#include <algorithm>
#include <vector>

namespace {

const QString kNotText = QStringLiteral("Either file is corrupted or selected file contains invalid characters.");

SeriesSource failure(const QString &reason)
{
    SeriesSource source;
    source.error = reason;
    return source;
}

// Control characters other than tab, line breaks and form feed mark bytes that are no text.
bool holdsText(QStringView text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r' && c != u'\f' && c != u'\v';
    });
}

// Calls `field(text, endsRecord)` for each field of CSV `text`; a false answer stops the walk. Runs
// of plain characters are taken whole: sources may hold tens of millions of them. Answers where a
// quote opens that never closes (its field then runs to the end of the text), or -1.
template <typename Field>
qsizetype forEachCsvField(const QString &text, Field &&field)
{
    const QChar *p = text.constData();
    const qsizetype n = text.size();
    qsizetype unclosed = -1;
    qsizetype i = 0;
    while (i < n) {
        QString value;
        if (p[i] == u'"') {
            const qsizetype opened = i;
            for (++i;;) {
                const qsizetype start = i;
                while (i < n && p[i] != u'"')
                    ++i;
                value.append(p + start, i - start);
                if (i + 1 < n && p[i + 1] == u'"') {
                    value += u'"';
                    i += 2;
                    continue;
                }
                if (i >= n)
                    unclosed = opened;
                i = std::min(i + 1, n);
                break;
            }
        }
        // Unquoted text, or what follows a closing quote, runs up to the next comma or line end.
        const qsizetype start = i;
        while (i < n && p[i] != u',' && p[i] != u'\r' && p[i] != u'\n')
            ++i;
        value.append(p + start, i - start);
        const bool endsRecord = i >= n || p[i] != u',';
        if (i < n && p[i] == u'\r' && i + 1 < n && p[i + 1] == u'\n')
            ++i;
        const bool trailingComma = !endsRecord && i + 1 >= n;
        ++i;
        if (!field(std::move(value), endsRecord))
            return unclosed;
        if (trailingComma)
            field(QString(), true);
    }
    return unclosed;
}

// The line, from 1, that holds position `at` of `text`; CRLF, CR and LF each end one.
qsizetype lineNumberAt(QStringView text, qsizetype at)
{
    qsizetype line = 1;
    for (qsizetype i = 0; i < at; ++i)
        if (text[i] == u'\n' || (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n')))
            ++line;
    return line;
}

// The bytes of a value and its line feed in a series file.
qint64 lineBytes(QStringView value)
{
    qint64 bytes = 1;
    for (const QChar c : value)
        bytes += c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 || c.isSurrogate() ? 2 : 3;
    return bytes;
}

// Collects values up to what a series can hold: a source past the limits is refused as soon as it
// gets there, before it takes memory for values no series could keep.
class ValueCollector {
public:
    bool add(QString value)
    {
        if (value.isEmpty())
            return true;
        m_bytes += lineBytes(value);
        m_source.values << std::move(value);
        if (const std::optional<QString> problem = Series_Limit_Problem(m_bytes, m_source.values.size()))
            m_source.error = QStringLiteral("The source cannot become one series: %1.").arg(*problem);
        return m_source.ok();
    }
    void refuse(const QString &reason) { m_source.error = reason; }
    bool holdsNone() const { return m_source.ok() && m_source.values.isEmpty(); }
    SeriesSource take()
    {
        if (!m_source.ok())
            m_source.values.clear();
        return std::move(m_source);
    }

private:
    qint64 m_bytes = 0;
    SeriesSource m_source;
};

// Line breaks inside a value become one blank.
QString foldLineBreaks(const QString &value)
{
    if (!value.contains(u'\n') && !value.contains(u'\r'))
        return value;
    QString folded;
    folded.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\r' && i + 1 < value.size() && value.at(i + 1) == u'\n')
            continue;
        folded += (c == u'\r' || c == u'\n') ? QChar(u' ') : c;
    }
    return folded;
}

// Calls `line(view)` for each line of `text` (ended by CRLF, CR or LF) that is not empty; a false
// answer stops. Empty lines are passed over where they are found: a text of line breaks alone
// must take no memory for them.
template <typename Line>
void forEachLine(QStringView text, Line &&line)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != u'\r' && text[i] != u'\n')
            continue;
        if (i > start && !line(text.mid(start, i - start)))
            return;
        if (i + 1 < text.size() && text[i] == u'\r' && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
}

// The RTF reader: a group stack that knows whether its text is skipped and how many fallback
// characters follow a \uN, and the bytes of \'hh escapes waiting to be decoded in the code page.
class RtfReader {
public:
    explicit RtfReader(const QByteArray &rtf) : m_in(rtf) {}

    std::optional<QString> read(QString *error)
    {
        if (!m_in.startsWith("{\\rtf"))
            return fail(error, QStringLiteral("it is not an RTF document"));
        while (m_pos < m_in.size()) {
            const char c = m_in.at(m_pos++);
            if (c == '{') {
                if (m_stack.size() >= size_t(kMostRtfDepth))
                    return fail(error, QStringLiteral("its groups nest more than %1 deep").arg(kMostRtfDepth));
                m_stack.push_back(m_group);
                m_fallback = 0;
            } else if (c == '}') {
                if (!m_stack.empty()) {
                    m_group = m_stack.back();
                    m_stack.pop_back();
                }
                m_fallback = 0;
            } else if (c == '\\') {
                control();
            } else if (c != '\r' && c != '\n') {
                byte(c);
            }
        }
        flush();
        return m_out;
    }

private:
    struct Group {
        bool skip = false;
        int uc = 1;
    };

    static std::optional<QString> fail(QString *error, const QString &reason)
    {
        if (error)
            *error = reason;
        return std::nullopt;
    }

    // A character of the text, unless it is skipped or stands in for the \uN before it.
    bool counts()
    {
        if (m_fallback > 0) {
            --m_fallback;
            return false;
        }
        return !m_group.skip;
    }
    void byte(char c)
    {
        if (counts())
            m_bytes.append(c);
    }
    void text(const QString &s)
    {
        if (!counts())
            return;
        flush();
        m_out += s;
    }
    void flush()
    {
        if (m_bytes.isEmpty())
            return;
        m_out += m_codepage.isValid() ? m_codepage.decode(m_bytes) : QString::fromLatin1(m_bytes);
        m_bytes.clear();
    }

    void control()
    {
        if (m_pos >= m_in.size())
            return;
        const char c = m_in.at(m_pos);
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++m_pos;
            symbol(c);
            return;
        }
        const qsizetype start = m_pos;
        while (m_pos < m_in.size() && m_pos - start < 32 && std::isalpha(static_cast<unsigned char>(m_in.at(m_pos))))
            ++m_pos;
        const QByteArray word = m_in.mid(start, m_pos - start);
        const qsizetype digits = m_pos;
        if (m_pos < m_in.size() && m_in.at(m_pos) == '-')
            ++m_pos;
        while (m_pos < m_in.size() && m_pos - digits < 11 && std::isdigit(static_cast<unsigned char>(m_in.at(m_pos))))
            ++m_pos;
        bool hasParameter = false;
        const long long parameter = m_in.mid(digits, m_pos - digits).toLongLong(&hasParameter);
        if (m_pos < m_in.size() && m_in.at(m_pos) == ' ')
            ++m_pos;
        this->word(word, hasParameter ? parameter : 0, hasParameter);
    }

    void symbol(char c)
    {
        switch (c) {
        case '\'': {
            bool ok = false;
            const int value = m_in.mid(m_pos, 2).toInt(&ok, 16);
            m_pos = std::min(m_pos + 2, m_in.size());
            if (ok)
                byte(char(value));
            break;
        }
        case '*':
            m_group.skip = true;
            break;
        case '\\':
        case '{':
        case '}':
            byte(c);
            break;
        case '~':
            text(QString(QChar(0x00A0)));
            break;
        case '_':
            text(QStringLiteral("-"));
            break;
        case '\r':
        case '\n':
            text(QStringLiteral("\n"));
            break;
        default: // \- (optional hyphen), \| and the like: nothing to show
            break;
        }
    }

    void word(const QByteArray &word, long long parameter, bool hasParameter)
    {
        static const QList<QByteArray> skipped{
            "fonttbl",  "colortbl",  "stylesheet", "info",     "pict",      "object",  "header",
            "headerl",  "headerr",   "headerf",    "footer",   "footerl",   "footerr", "footerf",
            "footnote", "listtable", "listoverridetable",      "revtbl",    "rsidtbl", "filetbl",
            "xmlnstbl", "themedata", "colorschememapping",     "datastore", "latentstyles", "fldinst"};
        static const QList<std::pair<QByteArray, char16_t>> characters{
            {"par", u'\n'},     {"line", u'\n'},    {"sect", u'\n'},    {"page", u'\n'},
            {"row", u'\n'},     {"cell", u'\n'},    {"tab", u'\t'},     {"emdash", 0x2014},
            {"endash", 0x2013}, {"bullet", 0x2022}, {"lquote", 0x2018}, {"rquote", 0x2019},
            {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", u' '}, {"enspace", u' '}};
        if (skipped.contains(word)) {
            m_group.skip = true;
        } else if (word == "u" && hasParameter) {
            text(QString(QChar(char16_t(parameter < 0 ? parameter + 65536 : parameter))));
            m_fallback = m_group.uc;
        } else if (word == "uc") {
            m_group.uc = int(std::clamp(parameter, 0LL, 10LL));
        } else if (word == "bin") {
            m_pos = std::min(m_pos + qsizetype(std::max(parameter, 0LL)), m_in.size());
        } else if (word == "ansicpg" && hasParameter) {
            flush();
            QStringDecoder codepage(QByteArray("windows-") + QByteArray::number(parameter));
            if (codepage.isValid())
                m_codepage = std::move(codepage);
        } else {
            const auto found = std::find_if(characters.begin(), characters.end(),
                                            [&word](const auto &entry) { return entry.first == word; });
            if (found != characters.end())
                text(QString(QChar(found->second)));
            else if (m_fallback > 0)
                --m_fallback;
        }
    }

    const QByteArray &m_in;
    qsizetype m_pos = 0;
    std::vector<Group> m_stack;
    Group m_group;
    int m_fallback = 0;
    QByteArray m_bytes;
    QString m_out;
    QStringDecoder m_codepage{"windows-1252"};
};

} // namespace

const QStringList &seriesPictureExtensions()
{
    static const QStringList extensions{QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("jpe"),
                                        QStringLiteral("jfif"), QStringLiteral("gif"), QStringLiteral("bmp"),
                                        QStringLiteral("png"), QStringLiteral("tif"), QStringLiteral("tiff")};
    return extensions;
}

std::optional<QString> Decode_Text(const QByteArray &bytes)
{
    QString text;
    if (std::optional<QStringConverter::Encoding> marked = QStringConverter::encodingForData(bytes);
        marked && (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))) {
        QStringDecoder decoder(*marked);
        text = decoder.decode(bytes);
    } else {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = utf8.decode(bytes);
        if (utf8.hasError()) {
            QStringDecoder windows1252("windows-1252");
            text = windows1252.isValid() ? windows1252.decode(bytes) : QString::fromLatin1(bytes);
        }
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    if (!holdsText(text))
        return std::nullopt;
    return text;
}

QList<QStringList> Csv_Rows(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    forEachCsvField(text, [&](QString field, bool endsRecord) {
        row << std::move(field);
        if (endsRecord)
            rows << std::exchange(row, {});
        return true;
    });
    return rows;
}

std::optional<QString> Rtf_Plain_Text(const QByteArray &rtf, QString *error)
{
    return RtfReader(rtf).read(error);
}

QString Series_Line_Value(const QString &value)
{
    return XmlCharacters::replaced(foldLineBreaks(Trim_Str(value)));
}

QString Clean_Series_Value(const QString &value)
{
    QString cleaned = value;
    return Series_Line_Value(cleaned.remove(u'\\').remove(u'{').remove(u'}'));
}

SeriesSource Text_Values(const QString &text)
{
    ValueCollector values;
    forEachLine(text, [&values](QStringView line) { return values.add(Clean_Series_Value(line.toString())); });
    return values.take();
}

SeriesSource Csv_Values(const QString &text)
{
    ValueCollector values;
    const qsizetype unclosed = forEachCsvField(text, [&values](const QString &field, bool) {
        return field.isEmpty() || values.add(Clean_Series_Value(field));
    });
    // Taking the rest of the file as one value would hide every value after the quote.
    if (unclosed >= 0)
        values.refuse(QStringLiteral("The quote opened on line %1 is never closed.").arg(lineNumberAt(text, unclosed)));
    // Separators and blank lines alone are no more a series than an empty file.
    else if (values.holdsNone())
        values.refuse(QStringLiteral("The file holds no values: every field is empty."));
    return values.take();
}

SeriesSource Read_Text_Source(const QString &path)
{
    QString reason;
    const std::optional<QByteArray> bytes = platform::readRegularFile(path, kMostSourceBytes, &reason);
    if (!bytes)
        return failure(QStringLiteral("Please select a valid file.\n\n") + Clause_As_Sentence(reason));
    const QString type = QFileInfo(path).suffix().toLower();
    std::optional<QString> text;
    if (type == QLatin1String("rtf")) {
        text = Rtf_Plain_Text(*bytes, &reason);
        if (!text)
            return failure(kNotText + QStringLiteral("\n\nThe RTF file cannot be read: ") + reason + u'.');
        if (!holdsText(*text))
            text.reset();
    } else {
        text = Decode_Text(*bytes);
    }
    if (!text)
        return failure(kNotText);
    if (text->isEmpty())
        return failure(QStringLiteral("The file holds no values: it is empty."));
    return type == QLatin1String("csv") ? Csv_Values(*text) : Text_Values(*text);
}

QStringList Pasted_Lines(const QString &text)
{
    QStringList found;
    forEachLine(Trim_Str(text), [&found](QStringView line) {
        found << XmlCharacters::replaced(line.toString());
        return true;
    });
    return found;
}

SeriesSource Picture_Files(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return failure(QStringLiteral("Please select valid file path."));
    QStringList names;
    QDirIterator entries(folder, QDir::Files | QDir::Hidden | QDir::System);
    int seen = 0;
    while (entries.hasNext()) {
        if (++seen > kMostFolderEntries)
            return failure(QStringLiteral("The folder holds more than %1 entries; choose a smaller folder.")
                               .arg(kMostFolderEntries));
        const QFileInfo entry = entries.nextFileInfo();
        if (entry.isFile() && seriesPictureExtensions().contains(entry.suffix().toLower()))
            names << entry.fileName();
    }
    // Name order, the same on every machine.
    std::sort(names.begin(), names.end());
    ValueCollector values;
    const QDir dir(folder);
    for (const QString &name : names)
        if (!values.add(dir.absoluteFilePath(name)))
            break;
    return values.take();
}

QString Clause_As_Sentence(const QString &clause)
{
    return clause.left(1).toUpper() + clause.mid(1) + u'.';
}
