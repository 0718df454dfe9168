#pragma once

#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// A file of the test workbooks' folder.
inline QString dataFile(const QString &name)
{
    return QStringLiteral(CARD_DATASOURCE_TEST_DATA "/") + name;
}

// The workbooks' expected tables: RFC 4180 with CRLF record ends; line breaks inside quotes stay.
inline QList<QStringList> readCsv(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted && c == u'"' && text.mid(i + 1, 1) == u"\"")
            field += text.at(++i);
        else if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u',')
            row << std::exchange(field, {});
        else if (!quoted && text.mid(i, 2) == u"\r\n") {
            row << std::exchange(field, {});
            rows << std::exchange(row, {});
            ++i;
        } else
            field += c;
    }
    return rows;
}
