// The picture reader on arbitrary bytes, read as a file's and pasted: it must answer a picture or a
// reason, never crash, and keep what it charged, no more.

#include "FuzzSupport.h"

#include "platform/Pasteboard.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startFuzzingApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzInput(data, size);
    qint64 charged = 0;
    QString problem;
    platform::PictureReading how;
    how.problem = &problem;
    how.mostBytes = kFuzzReadingBytes;
    how.spend = [&charged](qint64 pixels) {
        charged += pixels;
        return true;
    };
    const QImage picture = platform::readPicture(bytes, how);
    if (charged != qint64(picture.width()) * picture.height() || picture.isNull() == problem.isEmpty()) {
        std::fprintf(stderr, "charged %lld for %d × %d, problem \"%s\"\n", static_cast<long long>(charged),
                     picture.width(), picture.height(), qPrintable(problem));
        std::abort();
    }
    platform::MemoryPasteboard pasteboard;
    pasteboard.writeItems({{QStringLiteral("image/png"), bytes}});
    (void)pasteboard.image(&problem, [](const QByteArray &offered, QString *why) {
        platform::PictureReading pasted;
        pasted.problem = why;
        pasted.mostBytes = kFuzzReadingBytes;
        return platform::readPicture(offered, pasted);
    });
    return 0;
}
