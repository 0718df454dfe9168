#pragma once

#include "canvas/Card_Side_Image.h"
#include "output/ClosingReport.h"
#include "datasource/RecordBinding.h"
#include "datasource/RecordSide.h"
#include "document/DesignSnapshot.h"
#include "document/SKTGraphic.h"

#include <QList>
#include <QRectF>
#include <QStringList>

#include <any>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>


// The record function of a run's sources: each record's values from `binding` (a copy the run
// alone reads); none for a design bound to nothing.
RecordApplier applierOf(std::shared_ptr<const RecordBinding> binding);

// What a run draws, settled on the GUI thread as it starts, from copies nobody edits.
struct RunDrawing {
    std::shared_ptr<const DesignSnapshot> design;
    // Each record's values. For a run that draws no records, the one card's: the fields that cannot
    // be used emptied and named, as a record's are; none where every field can be used.
    RecordApplier apply;
    int records = -1; // the records the sources give; -1 for a run that draws none
};

// The drawing of a run of `design` from `sources` (a copy the run alone reads; null for a design bound
// to nothing) with the sources it uses. Fields that cannot be used (bound to a series that cannot be
// read, or to a column the sheet lacks) are empty on every card: each record empties them, and a run
// that draws no records draws copies of the design emptied as a record would leave them, and its
// card says so through `apply`.
RunDrawing runDrawing(const DesignSnapshot &design, std::shared_ptr<const RecordBinding> sources);
// The start of every run: asks once, naming them, whether to go on with fields that cannot be used,
// then gives the run's drawing; nothing when the user does not go on.
std::optional<RunDrawing> startRun(const DesignSnapshot &design, std::shared_ptr<const RecordBinding> sources);

// The sides of one record as the loop drew them, with what applying the record came to.
struct RecordDrawing {
    int record = 0; // -1: the design itself, drawn once before the records to ready what they share
    Card_Side_Image front, back; // the null picture for a side the sink does not want
    RecordOutcome outcome;
};

// Where a run's records go: picture files (export), the cells of printed sheets, a mail's
// attachments. The loop calls prepare() on pool threads, several records at once (and once for the
// design itself, record -1, before them), and deliver() on its own thread, once per record, in
// record order. A record is in flight from the start of its prepare() to the end of its deliver().
class RecordSink {
public:
    virtual ~RecordSink() = default;

    virtual bool wantsFront() const = 0;
    virtual bool wantsBack() const = 0;
    // The most records the sink can have in flight at once; 0 leaves it to the loop. A sink that
    // writes ahead into places it reuses keeps only that many records apart.
    virtual int recordsInFlight() const { return 0; }
    // The costly part that records may do side by side (pixels, encoding), given `drawing` and the
    // sink's settings. It may write ahead, but only into what belongs to its record while the
    // record is in flight, and never for record -1; a failure goes back as the prepared value, for
    // deliver() to report.
    virtual std::any prepare(const RecordDrawing &drawing) const = 0;
    // Writes, prints or sends a prepared record. False stops the run, with the reason in `error`.
    virtual bool deliver(const RecordDrawing &drawing, std::any &prepared, QString *error) = 0;
};

// Progress that a timer on the GUI thread shows while the run goes on, and the stop request.
struct RunCounters {
    std::atomic<int> *total = nullptr;    // set to the record count when the run starts
    std::atomic<double> *current = nullptr; // 1-based number of the record last handed to the sink
    std::atomic<bool> *stop = nullptr;    // read before each record
    std::atomic<int> *pause = nullptr;    // milliseconds left of a pause between mails; 0 for none
    std::atomic<bool> *end = nullptr;     // the program closes: outside programs are ended at once
};

// How a run ended, for its closing report.
struct RunReport {
    int total = 0;
    int delivered = 0;              // records handed to the sink
    int copies = 1;                 // each record is handed over this many times: the counts count every copy
    bool stopped = false;           // the user asked to stop
    QString failure;                // the reason the sink gave for stopping the run; empty when none
    QList<int> failedRecords;       // 0-based records whose values did not all apply
    QStringList reasons;            // one line per failed record, naming the record, in plain words

    bool succeeded() const { return failure.isEmpty() && !stopped && failedRecords.isEmpty(); }
    // The closing report of a run whose records are `unit` once `verb`: "frames", "written".
    // `keepsDelivered`: what was delivered stays done when the run stops or fails (files written), or
    // goes with the run (a print job taken back).
    ClosingReport closing(const QString &doneSentence, const QString &unit, const QString &verb,
                          bool keepsDelivered) const;
};

// Pictures named by records (a photo a record) are held full size until the record is handed over:
// the records in flight keep to this many pixels, charged picture by picture before each is decoded,
// whatever the number of cores and whatever the first record holds; the next record to hand over
// always runs.
inline constexpr qint64 kPicturePixelsInFlight = 64LL * 1024 * 1024;

// The one record loop of export, printing and e-mail. Records [0, count) are copied from `design` (a
// snapshot nobody edits), given their values by `apply` and drawn on the thread pool, two per pool
// thread in flight at once or fewer where the sink says so, so memory stays bounded however many
// records there are; `sink` receives them in record order on the calling thread. Stops before the
// next record when the stop flag is set or the sink fails.
RunReport runRecords(const DesignSnapshot &design, int count, const RecordApplier &apply, RecordSink &sink,
                     const RunCounters &counters);
