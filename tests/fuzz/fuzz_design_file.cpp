// The design-file reader on arbitrary bytes: it must answer a design or nothing, never crash.

#include "FuzzSupport.h"

#include "document/DesignFile.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startFuzzingApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString error;
    const std::optional<DesignFileContents> design = DesignFile::read(fuzzInput(data, size), &error);
    // What was read must also write: a design that opens must save again.
    if (design)
        (void)DesignFile::data(*design);
    return 0;
}
