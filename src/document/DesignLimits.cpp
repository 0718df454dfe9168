#include "document/DesignLimits.h"

namespace DesignFile {

DesignLoad roomBeside(const DesignLoad &held)
{
    return {kMaxDesignObjects - held.objects, kMaxDesignPixels - held.pixels};
}

QString tooManyObjectsReason(qint64 count)
{
    return QStringLiteral("It holds %1 objects, more than the %2 a design may have.").arg(count).arg(kMaxDesignObjects);
}

QString tooManyObjectsReason(qint64 count, qsizetype held)
{
    if (held == 0)
        return tooManyObjectsReason(count);
    return QStringLiteral("With its %1 objects the design would hold %2, more than the %3 a design may have.")
        .arg(held)
        .arg(held + count)
        .arg(kMaxDesignObjects);
}

bool isTooManyObjectsReason(const QString &reason)
{
    return reason.endsWith(QStringLiteral(", more than the %1 a design may have.").arg(kMaxDesignObjects));
}

QString tooManyPixelsReason()
{
    return QStringLiteral("The design's pictures would then hold more than the %1 million pixels they may hold "
                          "together.")
        .arg(kMaxDesignPixels / 1'000'000);
}

} // namespace DesignFile
