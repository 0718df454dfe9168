#include "platform/Leftovers.h"

#include <QFile>

#include <cerrno>
#include <limits>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool isProcessRunning(qint64 pid)
{
    return pid > 0 && pid <= std::numeric_limits<pid_t>::max() && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

bool isOwnRegularFile(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode) &&
           info.st_uid == ::getuid();
}

} // namespace platform
