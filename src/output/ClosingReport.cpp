#include "output/ClosingReport.h"

#include <algorithm>

namespace {

// Past this many records or reasons a list would only bury the message.
constexpr int kListed = 10;

} // namespace

QString ClosingReport::recordList(QList<int> records)
{
    std::sort(records.begin(), records.end());
    records.erase(std::unique(records.begin(), records.end()), records.end());
    QStringList runs;
    for (qsizetype i = 0; i < records.size();) {
        qsizetype end = i;
        while (end + 1 < records.size() && records.at(end + 1) == records.at(end) + 1)
            ++end;
        if (runs.size() == kListed) {
            runs << QStringLiteral("…");
            break;
        }
        runs << (end == i ? QString::number(records.at(i) + 1)
                          : QStringLiteral("%1-%2").arg(records.at(i) + 1).arg(records.at(end) + 1));
        i = end + 1;
    }
    return runs.join(QStringLiteral(", "));
}

QString ClosingReport::text() const
{
    if (allDone())
        return doneSentence;
    QStringList parts{notDoneSentence};
    QString counts = QStringLiteral("%1 of %2 %3 %4, %5 not %4.")
                         .arg(done)
                         .arg(planned)
                         .arg(unit, verb)
                         .arg(std::max<qint64>(0, planned - done));
    if (!recordsMissingValues.isEmpty())
        counts += recordsMissingValues.size() == 1
                      ? QStringLiteral(" 1 record did not take all its values.")
                      : QStringLiteral(" %1 records did not take all their values.").arg(recordsMissingValues.size());
    parts << counts;
    QStringList which;
    if (!recordsNotDone.isEmpty())
        which << QStringLiteral("Records not %1: %2.").arg(verb, recordList(recordsNotDone));
    if (!recordsMissingValues.isEmpty())
        which << QStringLiteral("Records without all their values: %1.").arg(recordList(recordsMissingValues));
    if (!which.isEmpty())
        parts << which.join(QLatin1Char('\n'));
    if (!reasons.isEmpty()) {
        QStringList shown = reasons.mid(0, kListed);
        if (reasons.size() > kListed)
            shown << QStringLiteral("…");
        parts << shown.join(QLatin1Char('\n'));
    }
    parts.removeAll(QString());
    return parts.join(QStringLiteral("\n\n"));
}
