// The keyed unarchiver and the graphic archive on arbitrary bytes.

#include "FuzzSupport.h"

#include "document/SKTGraphic.h"
#include "platform/KeyedArchiver.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startFuzzingApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzInput(data, size);
    (void)platform::KeyedUnarchiver::rootValue(bytes);
    if (const platform::KeyedObjectRef root = platform::KeyedUnarchiver::rootObject(bytes)) {
        if (const SKTGraphicPtr graphic = SKTGraphic::graphicWithArchive(root)) {
            // A graphic read from an archive archives again.
            (void)graphic->archivedData();
        }
    }
    return 0;
}
