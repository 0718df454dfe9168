// The design-file reader on arbitrary bytes: it must answer a design or nothing, never crash. The
// open's estimate runs on the GUI thread before the file is checked: it must stay in proportion to
// the file's size, and fails the run when it does not.

#include "FuzzSupport.h"

#include "document/DesignFile.h"

#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startFuzzingApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray file = fuzzInput(data, size);
    QElapsedTimer clock;
    clock.start();
    (void)DesignFile::workOfFile(file);
    // 5 ms a MiB in a plain build; coverage and sanitizers take up to twenty times as long.
    if (const qint64 took = clock.nsecsElapsed(); took > 20'000'000 + qint64(size) * 100) {
        std::fprintf(stderr, "the estimate took %lld ns for %zu bytes\n", static_cast<long long>(took), size);
        std::abort();
    }
    QString error;
    const std::optional<DesignFileContents> design = DesignFile::read(file, &error);
    // What was read must also write: a design that opens must save again.
    if (design)
        (void)DesignFile::data(*design);
    return 0;
}
