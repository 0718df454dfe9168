#include "datasource/RecordSide.h"

#include "canvas/SKTRenderingView.h"

Card_Side_Image sideImage(const DesignSnapshot &design, const DesignSnapshot::Side &side, const GraphicList &graphics)
{
    return Card_Side_Image(std::make_shared<const SKTRenderingView>(design.frame, graphics, side.face, design.cardShape,
                                                                    design.resources));
}

Card_Side_Image drawRecordSide(const DesignSnapshot &design, int side, int record, const RecordApplier &apply,
                               RecordOutcome &outcome, const platform::PixelSpender &spend)
{
    const DesignSnapshot::Side &shown = design.side(side);
    GraphicList copies = DesignSnapshot::copyOf(shown.graphics);
    if (apply) {
        const RecordOutcome applied = apply(record, copies, spend);
        if (!applied.ok) {
            outcome.ok = false;
            // The applier names an object by its place in the list; the side is said here.
            for (const QString &failure : applied.failures)
                outcome.failures << sideName(side) + QStringLiteral(": ") + failure;
        }
    }
    return sideImage(design, shown, copies);
}
