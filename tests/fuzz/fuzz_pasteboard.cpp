// The graphics pasteboard reader on arbitrary bytes: other programs put data there too.

#include "FuzzSupport.h"

#include "document/SKTGraphic.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    startFuzzingApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (const std::optional<GraphicList> graphics = SKTGraphic::graphicsWithPasteboardData(fuzzInput(data, size)))
        (void)SKTGraphic::pasteboardDataWithGraphics(*graphics);
    return 0;
}
