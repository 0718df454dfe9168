#include "barcode/NKDBarcode.h"

#include "barcode/BarcodeSettings.h"

NKDBarcode::NKDBarcode(const QString &content, bool printsCaption) : NKDBarcode(Init{content, printsCaption}) {}

NKDBarcode::NKDBarcode(const Init &init)
    : m_barWidth(init.barWidth), m_content(init.content), m_height(init.height), m_printsCaption(init.printsCaption)
{
    m_caption_fontSize = init.fontSize;
    calculateWidth();
    m_checkDigit = init.checkDigit;
}

NKDBarcode::~NKDBarcode() = default;

void NKDBarcode::calculateWidth()
{
    m_width = static_cast<float>(completeBarcode().size()) * m_barWidth;
}

std::optional<QByteArray> NKDBarcode::asciiContent() const
{
    QByteArray bytes;
    bytes.reserve(m_content.size());
    for (const QChar c : m_content) {
        if (c.unicode() > 0x7f)
            return std::nullopt;
        bytes.append(static_cast<char>(c.unicode()));
    }
    return bytes;
}

bool NKDBarcode::isContentValid() const
{
    const std::optional<QByteArray> bytes = asciiContent();
    if (!bytes)
        return false;
    for (const char c : *bytes)
        if (_encodeChar(c).isEmpty())
            return false;
    return true;
}

QString NKDBarcode::_encodeChar(char) const
{
    return QStringLiteral("1010");
}

QString NKDBarcode::barcode() const
{
    const std::optional<QByteArray> bytes = asciiContent();
    if (!bytes)
        return {};
    QString modules;
    for (const char c : *bytes)
        modules += _encodeChar(c);
    if (m_checkDigit != -1)
        modules += _encodeChar(m_checkDigit);
    return modules;
}

QString NKDBarcode::completeBarcode() const
{
    return initiator() + barcode() + terminator();
}

QString NKDBarcode::leftCaption() const
{
    return m_content.left(digitsToLeft());
}

QString NKDBarcode::rightCaption() const
{
    return m_content.right(digitsToRight());
}

QString NKDBarcode::caption() const
{
    const int left = digitsToLeft();
    const int right = digitsToRight();
    if (left == 0 && right == 0)
        return m_content;
    return m_content.mid(left, std::max<qsizetype>(0, m_content.size() - left - right));
}

float NKDBarcode::barTop(int, const Barcode_Margins &margins) const
{
    float top = m_height;
    if (printsCaption())
        top -= m_captionHeight * 72.0f + margins.value_margin;
    if (printsHeader())
        top -= m_headerHeight * 72.0f + margins.header_margin;
    if (printsFooter())
        top -= m_footerHeight * 72.0f + margins.footer_margin;
    return top - 2.0f * margins.TB_margin;
}

float NKDBarcode::barBottom(int) const
{
    float bottom = 0.0f;
    if (printsCaption())
        bottom += m_captionHeight * 72.0f;
    if (printsHeader())
        bottom += m_headerHeight * 72.0f;
    if (printsFooter())
        bottom += m_footerHeight * 72.0f;
    return bottom;
}
