#include "output/RecordLoop.h"

#include "canvas/SKTRenderingView.h"
#include "core/MessageBoxes.h"

#include <QRunnable>
#include <QThread>
#include <QThreadPool>

#include <condition_variable>
#include <exception>
#include <map>
#include <memory>
#include <mutex>

QString RunReport::summary(const QString &doneMessage, const QString &unit) const
{
    QString text;
    if (!failure.isEmpty())
        text = QStringLiteral("Stopped after %1 of %2 %3: %4").arg(delivered).arg(total).arg(unit, failure);
    else if (stopped)
        text = QStringLiteral("Stopped after %1 of %2 %3.").arg(delivered).arg(total).arg(unit);
    else
        text = doneMessage;
    if (!failedRecords.isEmpty()) {
        text += QStringLiteral("\n\n%1 of %2 records did not take all their values:").arg(failedRecords.size()).arg(total);
        // The first few name themselves; a long list would only bury the message.
        constexpr int kShown = 10;
        for (int i = 0; i < reasons.size() && i < kShown; ++i)
            text += QLatin1Char('\n') + reasons.at(i);
        if (reasons.size() > kShown)
            text += QStringLiteral("\n…");
    }
    return text;
}

namespace {

Card_Side_Image sideImage(const DesignSnapshot &design, const DesignSnapshot::Side &side, const GraphicList &graphics)
{
    return Card_Side_Image(std::make_shared<const SKTRenderingView>(design.frame, graphics, side.face, design.cardShape,
                                                                    design.resources));
}

Card_Side_Image drawSide(const DesignSnapshot &design, bool backSide, int record, const RecordApplier &apply,
                         RecordOutcome &outcome)
{
    const DesignSnapshot::Side &side = design.side(backSide ? 1 : 0);
    GraphicList copies = DesignSnapshot::copyOf(side.graphics);
    if (apply) {
        const RecordOutcome applied = apply(record, copies);
        if (!applied.ok) {
            outcome.ok = false;
            outcome.failures += applied.failures;
        }
    }
    return sideImage(design, side, copies);
}

// One record's work in flight: drawn and prepared on a pool thread, delivered by the loop.
struct Slot {
    RecordDrawing drawing;
    std::any prepared;
};

struct Pipeline {
    std::mutex lock;
    std::condition_variable changed;
    std::map<int, Slot> ready;
};

} // namespace

RunReport runRecords(const DesignSnapshot &design, int count, const RecordApplier &apply, RecordSink &sink,
                     const RunCounters &counters, int window)
{
    RunReport report;
    report.total = std::max(0, count);
    if (counters.total)
        *counters.total = report.total;
    if (counters.current)
        *counters.current = 0.0;
    if (report.total == 0)
        return report;
    const bool front = sink.wantsFront();
    const bool back = sink.wantsBack();
    // A pool of the run's own: the global one also serves the GUI thread's painting, which must not
    // wait behind a queue of records.
    QThreadPool pool;
    pool.setMaxThreadCount(QThread::idealThreadCount());
    if (window <= 0)
        window = 2 * std::max(1, pool.maxThreadCount());

    // The template drawn once, untouched, before any copy: its pictures' reduced copies and their
    // effects are then made here once and shared by every record's copies instead of per record.
    if (report.total > 1) try {
        RecordDrawing warm;
        if (front)
            warm.front = sideImage(design, design.front, design.front.graphics);
        if (back)
            warm.back = sideImage(design, design.back, design.back.graphics);
        sink.prepare(warm);
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }

    auto pipeline = std::make_shared<Pipeline>();
    const auto work = [&design, &apply, &sink, front, back, pipeline](int record) {
        Slot slot;
        slot.drawing.record = record;
        try {
            // For both sides the back is applied first, as a bound run has always done it.
            if (back)
                slot.drawing.back = drawSide(design, true, record, apply, slot.drawing.outcome);
            if (front)
                slot.drawing.front = drawSide(design, false, record, apply, slot.drawing.outcome);
            slot.prepared = sink.prepare(slot.drawing);
        } catch (const std::exception &e) {
            slot.drawing.outcome.ok = false;
            slot.drawing.outcome.failures.append(QString::fromLocal8Bit(e.what()));
            slot.prepared.reset();
        }
        const std::lock_guard<std::mutex> guard(pipeline->lock);
        pipeline->ready.emplace(record, std::move(slot));
        pipeline->changed.notify_all();
    };

    int next = 0; // the next record to start
    const auto startMore = [&](int delivered) {
        while (next < report.total && next < delivered + window) {
            const int record = next++;
            pool.start(QRunnable::create([work, record] { work(record); }));
        }
    };

    for (int record = 0; record < report.total; ++record) {
        if (counters.stop && counters.stop->load()) {
            report.stopped = true;
            break;
        }
        startMore(record);
        Slot slot;
        {
            std::unique_lock<std::mutex> guard(pipeline->lock);
            pipeline->changed.wait(guard, [&] { return pipeline->ready.count(record) > 0; });
            auto found = pipeline->ready.find(record);
            slot = std::move(found->second);
            pipeline->ready.erase(found);
        }
        if (counters.current)
            *counters.current = record + 1;
        if (!slot.drawing.outcome.ok) {
            report.failedRecords.append(record);
            report.reasons.append(QStringLiteral("Record %1: %2")
                                      .arg(record + 1)
                                      .arg(slot.drawing.outcome.failures.join(QStringLiteral("; "))));
        }
        QString error;
        if (!sink.deliver(slot.drawing, slot.prepared, &error)) {
            report.failure = error.isEmpty() ? QStringLiteral("The record could not be written.") : error;
            Show_NSLog_Message(report.failure);
            break;
        }
        report.delivered = record + 1;
    }

    // Records started ahead of a stop still read the design and the sink: they end before the run does.
    pool.waitForDone();
    return report;
}
