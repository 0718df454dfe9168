// The design-file reader on arbitrary bytes: it must answer a design or nothing, never crash. The
// open's estimate runs on the GUI thread before the file is checked: its steps must stay in
// proportion to the file's size, and fail the run when they do not. Steps, not time: coverage and
// sanitizers slow some inputs far more than others.

#include "FuzzSupport.h"

#include "document/DesignFile.h"

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
    // The scan stops a step past the file's size and 64 KiB; a picture's header then walked takes
    // at most the MiB a header is read in.
    if (const qint64 steps = DesignFile::workOfFile(file).steps; steps > qint64(size) + (2 << 20)) {
        std::fprintf(stderr, "the estimate took %lld steps for %zu bytes\n", static_cast<long long>(steps), size);
        std::abort();
    }
    QString error;
    const std::optional<DesignFileContents> design = DesignFile::read(file, &error);
    // What was read must also write: a design that opens must save again.
    if (design)
        (void)DesignFile::data(*design);
    return 0;
}
