#include "core/ToolkitVersion.h"

#include <QVersionNumber>

int Get_OS_Version()
{
    const QVersionNumber version = QVersionNumber::fromString(QString::fromLatin1(qVersion()));
    return version.majorVersion() * 10000 + version.minorVersion() * 100 + version.microVersion();
}
