// The picture reader on arbitrary bytes, read as a file's and pasted: it must answer a picture or a
// reason, never crash, and keep what it charged, no more.

#include "FuzzSupport.h"

#include "platform/Pasteboard.h"
#include "platform/PictureHeader.h"

#include <QBuffer>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startFuzzingApplication(argc, argv);
    return 0;
}

namespace {

// Reads the picture `read` gives and aborts unless it kept what it charged, and gave a reason when
// it read nothing.
template <typename Read>
void readChecked(const Read &read)
{
    qint64 charged = 0;
    QString problem;
    platform::PictureReading how;
    how.problem = &problem;
    how.mostBytes = kFuzzReadingBytes;
    how.spend = [&charged](qint64 pixels) {
        charged += pixels;
        return true;
    };
    const QImage picture = read(how);
    if (charged != qint64(picture.width()) * picture.height() || picture.isNull() == problem.isEmpty()) {
        std::fprintf(stderr, "charged %lld for %d × %d, problem \"%s\"\n", static_cast<long long>(charged),
                     picture.width(), picture.height(), qPrintable(problem));
        std::abort();
    }
}

// The bytes as a file: a device its weighing reads in pieces where the walk asks.
void readAsFile(const QByteArray &bytes)
{
    QBuffer file;
    file.setData(bytes);
    file.open(QIODevice::ReadOnly);
    (void)platform::pictureHeader(file);
    readChecked([&](const platform::PictureReading &how) { return platform::readPicture(file, how); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzInput(data, size);
    readChecked([&](const platform::PictureReading &how) { return platform::readPicture(bytes, how); });
    readAsFile(bytes);
    // Stretched past the pieces a weighing reads: the byte at the place its last two bytes name is
    // repeated there, so that a comment, a segment or a run of fill spends every piece.
    if (size > 2) {
        const qsizetype at = qsizetype((data[size - 2] | data[size - 1] << 8) % (size - 2));
        QByteArray stretched = bytes;
        stretched.insert(at, platform::kMostWeighedBytes + data[size - 1], bytes[at]);
        readAsFile(stretched);
    }
    platform::MemoryPasteboard pasteboard;
    pasteboard.writeItems({{QStringLiteral("image/png"), bytes}});
    QString problem;
    (void)pasteboard.image(&problem, [](const QByteArray &offered, QString *why) {
        platform::PictureReading pasted;
        pasted.problem = why;
        pasted.mostBytes = kFuzzReadingBytes;
        return platform::readPicture(offered, pasted);
    });
    return 0;
}
