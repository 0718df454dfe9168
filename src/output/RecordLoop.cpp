#include "output/RecordLoop.h"

#include "canvas/SKTRenderingView.h"
#include "core/MessageBoxes.h"

#include <QRunnable>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <iterator>
#include <map>
#include <set>
#include <memory>
#include <mutex>

RecordApplier applierOf(std::shared_ptr<const RecordBinding> binding)
{
    if (!binding)
        return {};
    return [binding = std::move(binding)](int record, GraphicList &objects, const platform::PixelSpender &spend) {
        return binding->apply(record, objects, spend);
    };
}

RunDrawing runDrawing(const DesignSnapshot &design, std::shared_ptr<const RecordBinding> sources)
{
    RunDrawing drawing;
    if (sources && (sources->Use_Data_Sheet_Values || sources->Use_Excel_Binding_Values)) {
        drawing.design = std::make_shared<const DesignSnapshot>(design);
        drawing.records = sources->Total_Batch_Excel_Card;
        drawing.apply = applierOf(std::move(sources));
    } else {
        drawing.design = std::make_shared<const DesignSnapshot>(sources ? sources->withoutUnusableFields(design) : design);
        // The closing report names the card that lacked values, as a run of records names its records.
        if (sources && !sources->problems.isEmpty()) {
            auto none = std::make_shared<RecordBinding>(*sources);
            none->useSources(false, false);
            drawing.apply = applierOf(std::move(none));
        }
    }
    return drawing;
}

std::optional<RunDrawing> startRun(const DesignSnapshot &design, std::shared_ptr<const RecordBinding> sources)
{
    if (sources && !sources->Continue_Without_Missing_Series())
        return std::nullopt;
    return runDrawing(design, std::move(sources));
}

ClosingReport RunReport::closing(const QString &doneSentence, const QString &unit, const QString &verb,
                                 bool keepsDelivered) const
{
    ClosingReport report;
    report.doneSentence = doneSentence;
    report.unit = unit;
    report.verb = verb;
    report.planned = total;
    const bool ended = !stopped && failure.isEmpty();
    report.done = ended || keepsDelivered ? delivered : 0;
    // A record is done once its last copy is.
    const int records = total / std::max(1, copies);
    const int firstNotDone = std::max(0, int(report.done) - records * (std::max(1, copies) - 1));
    for (int record = firstNotDone; record < records; ++record)
        report.recordsNotDone.append(record);
    // Only records that were done can be said to lack values: a print job taken back printed none.
    QStringList recordReasons;
    for (qsizetype i = 0; i < failedRecords.size(); ++i) {
        if (!ended && failedRecords.at(i) >= firstNotDone)
            continue;
        report.recordsMissingValues.append(failedRecords.at(i));
        recordReasons.append(reasons.value(i));
    }
    if (stopped)
        report.notDoneSentence = QStringLiteral("Stopped before all %1 were %2.").arg(unit, verb);
    else if (!failure.isEmpty())
        report.notDoneSentence = QStringLiteral("Not all %1 were %2.").arg(unit, verb);
    else
        report.notDoneSentence = QStringLiteral("Not every record took all its values.");
    if (!failure.isEmpty())
        report.reasons << failure;
    report.reasons << recordReasons;
    return report;
}

namespace {

// One record's work in flight: drawn and prepared on a pool thread, delivered by the loop.
struct Slot {
    RecordDrawing drawing;
    std::any prepared;
};

struct Pipeline {
    std::mutex lock;
    std::condition_variable changed;
    std::map<int, Slot> ready;
    // The pictures records read are held until the record is handed over. Each is charged before it
    // is decoded, by the pixels it decodes to.
    int next = 0;                // the record handed over next
    bool ended = false;          // nothing more is handed over
    qint64 held = 0;
    std::map<int, qint64> charged; // by record
    std::set<int> applied;         // records whose values are all written: all their pictures charged

    // The next record always reads its pictures. Another waits until its picture fits beside what is
    // held and what the records before it that have not read theirs yet would hold, each reckoned the
    // same size: reckoned at the most a record brought, a first record of one pixel let every record
    // in flight read a camera photo at once. False once the run ends: the record is not handed over.
    bool spend(int record, qint64 pixels)
    {
        std::unique_lock<std::mutex> guard(lock);
        // Pixels given back (a picture that could not be read) never wait, and may let another in.
        if (pixels <= 0) {
            held += pixels;
            charged[record] += pixels;
            changed.notify_all();
            return true;
        }
        changed.wait(guard, [&] {
            if (ended || record <= next)
                return true;
            const auto before = std::distance(applied.lower_bound(next), applied.lower_bound(record));
            return held + pixels * (1 + (record - next) - before) <= kPicturePixelsInFlight;
        });
        if (ended)
            return false;
        held += pixels;
        charged[record] += pixels;
        return true;
    }
    void recordApplied(int record)
    {
        const std::lock_guard<std::mutex> guard(lock);
        applied.insert(record);
        changed.notify_all();
    }
    void handedOver(int record)
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (const auto found = charged.find(record); found != charged.end()) {
            held -= found->second;
            charged.erase(found);
        }
        applied.erase(record);
        next = record + 1;
        changed.notify_all();
    }
    void end()
    {
        const std::lock_guard<std::mutex> guard(lock);
        ended = true;
        changed.notify_all();
    }
};


// Without values every record is the design as it stands: one copy, drawn and prepared once, is
// handed over as often as there are records.
RunReport sameRecords(const DesignSnapshot &design, RecordSink &sink, const RunCounters &counters, RunReport report)
{
    RecordDrawing drawing;
    std::any prepared;
    try {
        if (sink.wantsBack())
            drawing.back = drawRecordSide(design, 1, 0, {}, drawing.outcome);
        if (sink.wantsFront())
            drawing.front = drawRecordSide(design, 0, 0, {}, drawing.outcome);
        prepared = sink.prepare(drawing);
    } catch (const std::exception &e) {
        Show_NSLog_Message(QString::fromLocal8Bit(e.what()));
    }
    for (int record = 0; record < report.total; ++record) {
        if (counters.stop && counters.stop->load()) {
            report.stopped = true;
            break;
        }
        if (counters.current)
            *counters.current = record + 1;
        drawing.record = record;
        std::any handed = prepared;
        QString error;
        if (!sink.deliver(drawing, handed, &error)) {
            report.failure = error.isEmpty() ? QStringLiteral("The record could not be written.") : error;
            Show_NSLog_Message(report.failure);
            break;
        }
        report.delivered = record + 1;
    }
    return report;
}

} // namespace

RunReport runRecords(const DesignSnapshot &design, int count, const RecordApplier &apply, RecordSink &sink,
                     const RunCounters &counters)
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
    if (!apply)
        return sameRecords(design, sink, counters, report);
    // A pool of the run's own: the global one also serves the GUI thread's painting, which must not
    // wait behind a queue of records.
    QThreadPool pool;
    pool.setMaxThreadCount(QThread::idealThreadCount());
    int window = 2 * std::max(1, pool.maxThreadCount());
    if (const int most = sink.recordsInFlight(); most > 0)
        window = std::min(window, most);

    // The template drawn once, untouched, before any copy: its pictures' reduced copies and their
    // effects are then made here once and shared by every record's copies instead of per record.
    if (report.total > 1) try {
        RecordDrawing warm;
        warm.record = -1;
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
        bool applied = false;
        const platform::PixelSpender spend = [&pipeline, record](qint64 pixels) { return pipeline->spend(record, pixels); };
        try {
            // For both sides the back is applied first, as a bound run has always done it.
            if (back)
                slot.drawing.back = drawRecordSide(design, 1, record, apply, slot.drawing.outcome, spend);
            if (front)
                slot.drawing.front = drawRecordSide(design, 0, record, apply, slot.drawing.outcome, spend);
            applied = true;
            pipeline->recordApplied(record);
            slot.prepared = sink.prepare(slot.drawing);
        } catch (const std::exception &e) {
            Show_NSLog_Message(QStringLiteral("Record %1: %2").arg(record + 1).arg(QString::fromLocal8Bit(e.what())));
            slot.drawing.outcome.ok = false;
            slot.drawing.outcome.failures.append(QStringLiteral("it could not be drawn"));
            slot.prepared.reset();
        }
        if (!applied)
            pipeline->recordApplied(record);
        const std::lock_guard<std::mutex> guard(pipeline->lock);
        pipeline->ready.emplace(record, std::move(slot));
        pipeline->changed.notify_all();
    };

    int next = 0; // the next record to start
    // Started in order, so the pool's queue runs the next record to hand over before any after it.
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
            pipeline->changed.wait(guard, [&] { return pipeline->ready.count(record) != 0; });
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
        const bool delivered = sink.deliver(slot.drawing, slot.prepared, &error);
        slot = {};
        pipeline->handedOver(record);
        if (!delivered) {
            report.failure = error.isEmpty() ? QStringLiteral("The record could not be written.") : error;
            Show_NSLog_Message(report.failure);
            break;
        }
        report.delivered = record + 1;
    }

    // Records started ahead of a stop still read the design and the sink: they end before the run
    // does, reading no more pictures.
    pipeline->end();
    pool.waitForDone();
    return report;
}
