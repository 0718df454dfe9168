#pragma once

#include "canvas/Card_Side_Image.h"
#include "datasource/RecordBinding.h"
#include "document/DesignSnapshot.h"

#include <functional>

// Writes record `record`'s values into `objects` (copies of one side's objects, nobody else's), as
// RecordBinding::apply does. Called on pool threads, side by side for different records: it must read
// only what the run gave it.
using RecordApplier = std::function<RecordOutcome(int record, GraphicList &objects)>;

// A side of the design as objects drawn from `graphics`: the snapshot's card face, shape and frame.
Card_Side_Image sideImage(const DesignSnapshot &design, const DesignSnapshot::Side &side, const GraphicList &graphics);

// Record `record` drawn on side `side` (0 the front, 1 the back): the side's objects copied, the
// record's values written into the copies by `apply` (none: the design as it stands) and the side
// drawn from them; the snapshot's own objects stay as they are. What applying came to is added to
// `outcome`. Any thread may call it.
Card_Side_Image drawRecordSide(const DesignSnapshot &design, int side, int record, const RecordApplier &apply,
                               RecordOutcome &outcome);
