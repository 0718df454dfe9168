#pragma once

#include "canvas/Card_Side_Image.h"
#include "datasource/RecordBinding.h"
#include "document/DesignSnapshot.h"

#include "platform/PictureReading.h"

#include <functional>
#include <type_traits>

// Writes record `record`'s values into `objects` (copies of one side's objects, nobody else's), as
// RecordBinding::apply does, each picture a value brings taken from `spend` before it is decoded.
// Called on pool threads, side by side for different records: it must read only what the run gave it.
// One that brings no pictures of its own may be a function of the record and the objects alone.
class RecordApplier {
public:
    using Function = std::function<RecordOutcome(int record, GraphicList &objects, const platform::PixelSpender &spend)>;

    RecordApplier() = default;
    template <typename F>
        requires(!std::is_same_v<std::remove_cvref_t<F>, RecordApplier> &&
                 std::is_invocable_r_v<RecordOutcome, F &, int, GraphicList &, const platform::PixelSpender &>)
    RecordApplier(F apply) : m_apply(std::move(apply))
    {
    }
    template <typename F>
        requires(!std::is_same_v<std::remove_cvref_t<F>, RecordApplier> &&
                 std::is_invocable_r_v<RecordOutcome, F &, int, GraphicList &>)
    RecordApplier(F apply)
        : m_apply([apply = std::move(apply)](int record, GraphicList &objects, const platform::PixelSpender &) mutable {
              return apply(record, objects);
          })
    {
    }

    explicit operator bool() const { return bool(m_apply); }
    RecordOutcome operator()(int record, GraphicList &objects, const platform::PixelSpender &spend = {}) const
    {
        return m_apply(record, objects, spend);
    }

private:
    Function m_apply;
};

// A side of the design as objects drawn from `graphics`: the snapshot's card face, shape and frame.
Card_Side_Image sideImage(const DesignSnapshot &design, const DesignSnapshot::Side &side, const GraphicList &graphics);

// Record `record` drawn on side `side` (0 the front, 1 the back): the side's objects copied, the
// record's values written into the copies by `apply` (none: the design as it stands) and the side
// drawn from them; the snapshot's own objects stay as they are. What applying came to is added to
// `outcome`; the record's pictures are taken from `spend`. Any thread may call it.
Card_Side_Image drawRecordSide(const DesignSnapshot &design, int side, int record, const RecordApplier &apply,
                               RecordOutcome &outcome, const platform::PixelSpender &spend = {});
