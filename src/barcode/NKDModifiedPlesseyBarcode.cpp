#include "barcode/NKDModifiedPlesseyBarcode.h"

NKDModifiedPlesseyBarcode::NKDModifiedPlesseyBarcode(const QString &content, bool printsCaption)
    : NKDBarcode(content.toUpper(), printsCaption)
{
    generateChecksum();
    calculateWidth();
}

QString NKDModifiedPlesseyBarcode::bits(int value)
{
    QString modules;
    for (int bit = 0; bit < 4; ++bit)
        modules += (value >> bit) & 1 ? QStringLiteral("1110") : QStringLiteral("1000");
    return modules;
}

QString NKDModifiedPlesseyBarcode::_encodeChar(char c) const
{
    return c >= '0' && c <= '9' ? bits(c - '0') : QString();
}

QString NKDModifiedPlesseyBarcode::initiator() const
{
    return bits(0b1011);
}

QString NKDModifiedPlesseyBarcode::terminator() const
{
    return QStringLiteral("111") + bits(0b1100);
}

int NKDModifiedPlesseyBarcode::checkValue(char c) const
{
    return c >= '0' && c <= '9' ? c - '0' : -1;
}

void NKDModifiedPlesseyBarcode::generateChecksum()
{
    // Each digit doubled on its own: the digits of the doubled number add up the same, and no
    // content is too long for it.
    int sum = 0;
    const QByteArray bytes = m_content.toLatin1();
    for (qsizetype position = 1; position <= bytes.size(); ++position) {
        const int value = checkValue(bytes.at(bytes.size() - position));
        if (value < 0)
            continue;
        if (position % 2 == 1) {
            const int doubled = 2 * value;
            sum += doubled / 10 + doubled % 10;
        } else {
            sum += value;
        }
    }
    setCheckDigit(static_cast<signed char>('0' + (10 - sum % 10) % 10));
    calculateWidth();
}
