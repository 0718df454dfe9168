#include "datasource/readers/SpreadsheetStreaming.h"

#include "platform/RegularFile.h"
#include "platform/XmlCharacters.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

// A plain test that most text passes at once: anything below the space or from the surrogates on
// may be a character XML cannot carry. No early exit: the loop is vectorized.
bool mayNeedReplacing(const QChar *begin, const QChar *end)
{
    bool found = false;
    for (; begin != end; ++begin)
        found |= char16_t(begin->unicode() - 0x20) >= 0xD800 - 0x20;
    return found;
}

} // namespace

namespace spreadsheet {

QString xmlText(QString text)
{
    if (mayNeedReplacing(text.cbegin(), text.cend()))
        return XmlCharacters::replaced(text);
    return text;
}

void makeXmlText(QChar *begin, QChar *end)
{
    if (mayNeedReplacing(begin, end))
        XmlCharacters::replaceIn(begin, end - begin);
}

bool streamFile(const QString &path, QString *error, const TokenHandler &handle)
{
    QFile file(path);
    if (!platform::isRegularFile(path) || !file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("\"%1\" is not a file that can be read.").arg(QFileInfo(path).fileName());
        return false;
    }
    QString readError;
    qint64 total = 0;
    XmlPullReader xml([&](char *buffer, std::size_t capacity) -> std::ptrdiff_t {
        const qint64 got = file.read(buffer, qint64(capacity));
        total += std::max<qint64>(got, 0);
        if (got < 0)
            readError = file.errorString();
        else if (total > ZipArchiveReader::kMaxStreamedSize)
            readError = QStringLiteral("The file is larger than %1 MB.").arg(ZipArchiveReader::kMaxStreamedSize >> 20);
        return readError.isEmpty() ? std::ptrdiff_t(got) : -1;
    });
    return pumpTokens(xml, QFileInfo(path).fileName(), [&] { return readError; }, error, handle);
}

qint64 countOf(const std::string *attribute, qint64 fallback)
{
    if (!attribute || attribute->empty() || attribute->size() > 10
        || !std::all_of(attribute->begin(), attribute->end(), [](char c) { return c >= '0' && c <= '9'; }))
        return fallback;
    return std::min<qint64>(std::stoll(*attribute), SheetRowsBuilder::kMaxRows + 1);
}

} // namespace spreadsheet
