#pragma once

#include "datasource/readers/SheetRowsBuilder.h"
#include "datasource/readers/SpreadsheetRows.h"
#include "datasource/readers/XmlPullReader.h"
#include "datasource/readers/ZipArchiveReader.h"

#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <string_view>
#include <utility>

// What the spreadsheet readers share: parts and files read token by token, a cell's text gathered
// within what a cell keeps, repeat counts within a sheet's bounds.
namespace spreadsheet {

// Reads a document token by token from `xml`; `handle` sees every start, end and text token and
// answers false to stop with the handler's own error. `sourceError` tells why the bytes stopped.
template <typename SourceError, typename Handler>
bool pumpTokens(XmlPullReader &xml, const QString &name, SourceError &&sourceError, QString *error, Handler &&handle)
{
    for (;;) {
        const XmlPullReader::Token token = xml.readNext();
        if (token == XmlPullReader::EndDocument)
            return true;
        if (token == XmlPullReader::Invalid) {
            *error = xml.errorString().isEmpty() ? sourceError()
                                                 : QStringLiteral("The part \"%1\" cannot be read. %2").arg(name, xml.errorString());
            return false;
        }
        if (!handle(xml, token))
            return false;
    }
}

// A part of a package, inflated piece by piece as it is parsed. Of a part that may be long where
// only its head is wanted, no more than `maxRead` bytes are read: a handler that has not stopped
// by then fails.
template <typename Handler>
bool streamPart(ZipArchiveReader &zip, const QString &name, QString *error, Handler &&handle,
                qint64 maxRead = ZipArchiveReader::kMaxStreamedSize)
{
    if (!zip.openEntry(name, ZipArchiveReader::kMaxStreamedSize)) {
        *error = zip.errorString();
        return false;
    }
    qint64 total = 0;
    bool past = false;
    XmlPullReader xml([&](char *buffer, std::size_t capacity) -> std::ptrdiff_t {
        if (past)
            return -1;
        // One byte past the bound tells a part that ends there from a longer one; the bytes
        // before the bound are read all the same.
        const std::ptrdiff_t got = zip.readPiece(buffer, std::size_t(std::min<qint64>(qint64(capacity), maxRead - total + 1)));
        if (got < 0)
            return got;
        past = total + got > maxRead;
        const std::ptrdiff_t kept = past ? std::ptrdiff_t(maxRead - total) : got;
        total += kept;
        return past && kept == 0 ? -1 : kept;
    });
    return pumpTokens(
        xml, name,
        [&] {
            return past ? QStringLiteral("What is needed of the part \"%1\" does not come within its first %2 MB.").arg(name).arg(maxRead >> 20)
                        : zip.errorString();
        },
        error, handle);
}

using TokenHandler = std::function<bool(const XmlPullReader &, XmlPullReader::Token)>;

// A document file, read piece by piece as it is parsed; a regular file only.
bool streamFile(const QString &path, QString *error, const TokenHandler &handle);

// Characters XML cannot carry (C0 controls but tab and line ends, U+FFFE, U+FFFF, half a surrogate
// pair) still come from files: raw bytes, character references, a workbook's "_xHHHH_". None may
// enter the program, whose designs are XML and must always save: each reads as U+FFFD.
QString xmlText(QString text);
// The same in place: each such character of [begin, end) becomes U+FFFD.
void makeXmlText(QChar *begin, QChar *end);

// What a quick look at a text's UTF-8 bytes tells, so that most texts skip the closer looks:
// whether a byte may belong to a character XML cannot carry (a control or any non-ASCII byte), and
// whether one is "_" where that is asked.
struct TextBytes {
    bool unusual = false, underscore = false;

    enum Look { Unusual, UnusualAndUnderscores };
    // Inlined, so that the look not asked for costs nothing.
    Q_ALWAYS_INLINE explicit TextBytes(std::string_view bytes, Look look = UnusualAndUnderscores)
    {
        // Eight bytes at a time (the last eight again where they overlap, the few of a short text
        // beside harmless ones): a byte below 0x20 borrows into its top bit, as does the zero that
        // a "_" leaves once xored (a borrow only ever spreads above a byte found).
        constexpr quint64 ones = 0x0101010101010101, tops = ones * 0x80;
        quint64 any = 0, line = 0;
        const std::size_t size = bytes.size();
        for (std::size_t i = 0; i < size; i += 8) {
            quint64 x = ones * 'a';
            if (size < 8) {
                for (const char c : bytes)
                    x = x << 8 | static_cast<unsigned char>(c);
            } else {
                std::memcpy(&x, bytes.data() + std::min(i, size - 8), 8);
            }
            any |= x | ((x - ones * 0x20) & ~x);
            if (look == UnusualAndUnderscores) {
                const quint64 y = x ^ (ones * '_');
                line |= (y - ones) & ~y;
            }
        }
        unusual = (any & tops) != 0;
        underscore = (line & tops) != 0;
    }
};

// A cell's text as a reader gathers it, in UTF-8. Past more bytes than the characters a cell keeps
// can take, the rest is dropped as it comes, so that a cell costs little whatever the file repeats
// in it; SheetRowsBuilder then cuts the text to its exact length. A form that writes a character in
// more bytes than UTF-8 does gives their most for one.
class CellText {
public:
    explicit CellText(std::size_t maxBytesPerCharacter = 4) : m_maxBytes(maxBytesPerCharacter * std::size_t(SheetRowsBuilder::kMaxCellText)) {}

    void append(std::string_view text) { m_bytes.append(text.substr(0, room())); }
    void append(std::size_t count, char c) { m_bytes.append(std::min(count, room()), c); }
    void clear() { m_bytes.clear(); }
    std::size_t size() const { return m_bytes.size(); }
    bool empty() const { return m_bytes.empty(); }
    std::string_view bytes() const { return m_bytes; }
    QString toString() const
    {
        QString text = QString::fromUtf8(m_bytes);
        if (TextBytes(m_bytes, TextBytes::Unusual).unusual)
            return xmlText(std::move(text));
        return text;
    }

private:
    std::size_t room() const { return m_maxBytes - m_bytes.size(); }
    std::size_t m_maxBytes;
    std::string m_bytes;
};

// Hands on why the rows passed a bound, stopping the read.
inline bool rowsFailed(const SheetRowsBuilder &rows, QString *error)
{
    *error = rows.error();
    return false;
}

// A repeat count of an attribute ("number-columns-repeated", a row's "Span" plus one), within what
// a sheet may hold: 1 where it is missing or malformed.
qint64 countOf(const std::string *attribute, qint64 fallback = 1);

// `read`, or the reason when memory runs out.
template <typename Read>
SpreadsheetRows guarded(Read &&read)
{
    try {
        return read();
    } catch (const std::bad_alloc &) {
        return SpreadsheetRows::failure(QStringLiteral("There is not enough memory to read the spreadsheet."));
    }
}

} // namespace spreadsheet
