#include "output/SheetPrinting.h"

#include "canvas/SKTRenderingView.h"
#include "core/MessageBoxes.h"
#include "document/SKTBarcode.h"

#include <QFile>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QSet>

#include <algorithm>
#include <atomic>

namespace {

constexpr double kPointsPerInch = 72.0;

// Collects the cards of a sheet in cell order and paints the sheet once it is full; the last sheets
// of a run are painted with whatever cells are left, blank past the records.
class SheetSink : public RecordSink {
public:
    // `printed` counts the cards handed over in every copy. With `keepSheet` the cards of the run's
    // one sheet stay after it is painted, for the copies to paint again.
    SheetSink(const SheetRun &run, const QSizeF &card, int firstRecord, SheetTarget &target,
              std::atomic<double> *printed, bool keepSheet)
        : m_layout(run.layout), m_painter(run.layout, card), m_firstRecord(firstRecord), m_target(target),
          m_progress(printed), m_keepSheet(keepSheet)
    {
    }

    bool wantsFront() const override { return !m_layout.backOnly(); }
    bool wantsBack() const override { return m_layout.backOnly() || m_layout.bothSides(); }
    // The record's own copies, before the page draws them: symbols become shapes here, side by side.
    // The design itself (record -1) is the run's snapshot, which nothing changes.
    std::any prepare(const RecordDrawing &drawing) const override
    {
        if (drawing.record < 0)
            return {};
        for (const Card_Side_Image *side : {&drawing.front, &drawing.back})
            if (const SKTRenderingView *view = side->renderingView())
                for (const SKTGraphicPtr &graphic : view->graphics())
                    if (graphic->kind() == SKTGraphic::Kind::Barcode)
                        static_cast<SKTBarcode *>(graphic.get())->prepareVectorDrawing();
        return {};
    }
    bool deliver(const RecordDrawing &drawing, std::any &, QString *error) override
    {
        m_cards.append(SheetCard{drawing.front, drawing.back});
        countPrinted(1);
        return m_cards.size() < m_layout.cellsPerSheet() || paintSheet(error);
    }

    // A copy starts from the first sheet of the range again.
    void beginCopy() { m_sheets = 0; }
    // The run's one sheet once more, from the cards kept.
    bool paintAgain(QString *error)
    {
        m_cards = m_kept;
        if (!paintSheet(error))
            return false;
        countPrinted(int(m_kept.size()));
        return true;
    }

    bool paintSheet(QString *error)
    {
        QPainter *painter = m_target.beginSheet(error);
        if (!painter)
            return false;
        QList<int> failed;
        m_painter.paintSheet(
            *painter, [this](int cell) { return cell < m_cards.size() ? &m_cards.at(cell) : nullptr; }, &failed);
        for (const int cell : failed)
            m_failedRecords.append(m_firstRecord + m_sheets * m_layout.cellsPerSheet() + cell);
        ++m_sheets;
        if (m_keepSheet)
            m_kept = m_cards;
        m_cards.clear();
        return m_target.endSheet(error);
    }

    int sheets() const { return m_sheets; }
    const QList<int> &failedRecords() const { return m_failedRecords; }

private:
    void countPrinted(int cards)
    {
        m_printed += cards;
        if (m_progress)
            *m_progress = m_printed;
    }

    const Print_Sheet_Layout &m_layout;
    SheetPainter m_painter;
    int m_firstRecord;
    SheetTarget &m_target;
    std::atomic<double> *m_progress;
    bool m_keepSheet;
    QList<SheetCard> m_cards;
    QList<SheetCard> m_kept;
    QList<int> m_failedRecords; // cards that could not be drawn, by their record
    int m_sheets = 0;  // of this copy
    int m_printed = 0; // of all copies
};

} // namespace

QPainter *PagedDeviceTarget::beginSheet(QString *error)
{
    const bool started = m_sheets == 0 ? m_painter.begin(&m_device) : m_device.newPage();
    if (!started) {
        if (error)
            *error = m_sheets == 0 ? QStringLiteral("The printer could not be started.")
                                   : QStringLiteral("The printer refused a new page.");
        return nullptr;
    }
    ++m_sheets;
    m_painter.resetTransform();
    m_painter.scale(m_device.logicalDpiX() / kPointsPerInch, m_device.logicalDpiY() / kPointsPerInch);
    return &m_painter;
}

bool PagedDeviceTarget::endSheet(QString *)
{
    return true;
}

bool PagedDeviceTarget::finish(QString *error)
{
    if (!m_painter.isActive() || m_painter.end())
        return true;
    if (error)
        *error = QStringLiteral("The printed pages could not be written.");
    return false;
}

void PagedDeviceTarget::abandon()
{
    if (m_painter.isActive())
        m_painter.end();
}

PdfFileTarget::PdfFileTarget(const QString &path, const QPageLayout &page, const QString &title)
    : m_file(path), m_page(page), m_title(title)
{
}

PdfFileTarget::~PdfFileTarget()
{
    abandon();
}

bool PdfFileTarget::open(QString *error)
{
    return m_file.begin(error);
}

QPainter *PdfFileTarget::beginSheet(QString *error)
{
    if (!m_file.isOpen()) {
        if (error)
            *error = QStringLiteral("The PDF file was not begun.");
        return nullptr;
    }
    if (!m_writer) {
        // Made on the thread that paints, at a printer's high resolution.
        m_writer = std::make_unique<QPdfWriter>(&m_file);
        m_writer->setResolution(1200);
        m_writer->setTitle(m_title);
        m_writer->setPageLayout(m_page);
        m_pages = std::make_unique<PagedDeviceTarget>(*m_writer);
    }
    QPainter *painter = m_pages->beginSheet(error);
    if (m_file.writeError().isEmpty())
        return painter;
    if (error)
        *error = m_file.writeError();
    return nullptr;
}

bool PdfFileTarget::endSheet(QString *error)
{
    if (!m_pages->endSheet(error))
        return false;
    if (m_file.flushBuffer())
        return true;
    if (error)
        *error = m_file.writeError();
    return false;
}

bool PdfFileTarget::finish(QString *error)
{
    if (m_pages && !m_pages->finish(error)) {
        m_file.discard();
        return false;
    }
    m_pages.reset();
    m_writer.reset();
    // The writer reports no failed write: the file must end as a PDF does, or it is not whole.
    return m_file.commit(
        [](QFile &file) {
            constexpr qint64 kTail = 64;
            if (file.size() < kTail || !file.seek(file.size() - kTail) || !file.read(kTail).trimmed().endsWith("%%EOF"))
                return QStringLiteral("The PDF file was not written whole.");
            return QString();
        },
        error);
}

void PdfFileTarget::abandon()
{
    if (m_pages)
        m_pages->abandon();
    m_pages.reset();
    m_writer.reset();
    m_file.discard();
}

QPainter *SheetPictures::beginSheet(QString *error)
{
    m_sheet = SKTRenderingView::newTransparentImage(m_paper * (m_dpi / kPointsPerInch), m_dpi);
    if (m_sheet.isNull()) {
        if (error)
            *error = QStringLiteral("No picture of the sheet can be made.");
        return nullptr;
    }
    m_painter = std::make_unique<QPainter>(&m_sheet);
    m_painter->setRenderHint(QPainter::Antialiasing);
    m_painter->scale(m_dpi / kPointsPerInch, m_dpi / kPointsPerInch);
    return m_painter.get();
}

bool SheetPictures::endSheet(QString *)
{
    m_painter.reset();
    m_pictures.append(m_sheet);
    m_sheet = QImage();
    return true;
}

QPageLayout sheetPageLayout(const QSizeF &paper)
{
    // A landscape paper is the upright paper turned, so that a standard paper keeps its name.
    const bool landscape = paper.width() > paper.height();
    const QSizeF upright = landscape ? paper.transposed() : paper;
    QPageLayout layout(QPageSize(upright, QPageSize::Point, QString(), QPageSize::FuzzyMatch),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF());
    layout.setMode(QPageLayout::FullPageMode);
    return layout;
}

RunReport printSheets(const DesignSnapshot &design, const SheetRun &run, const RecordApplier &apply,
                      SheetTarget &target, const RunCounters &counters)
{
    const Print_Sheet_Layout &layout = run.layout;
    const int allSheets = layout.sheetCount();
    const int first = std::max(1, run.firstSheet);
    const int last = run.lastSheet > 0 ? std::min(run.lastSheet, allSheets) : allSheets;
    RunReport report;
    report.copies = std::max(1, run.copies);
    if (first > last) {
        report.failure = SheetRun::kNothingToPrint;
        return report;
    }
    const int perSheet = layout.cellsPerSheet();
    const int firstCell = (first - 1) * perSheet;
    const int endCell = std::min(layout.Total_Label, last * perSheet);
    const bool bound = run.records >= 0;
    const int cards = std::max(0, std::min(endCell, bound ? run.records : endCell) - firstCell);
    const int sheets = last - first + 1;
    const int copies = report.copies;
    // Every card of every copy, as the progress counts them.
    report.total = cards * copies;
    // The loop counts one copy's records; the run's progress is every card of every copy.
    RunCounters loopCounters = counters;
    loopCounters.total = nullptr;
    loopCounters.current = nullptr;
    if (counters.total)
        *counters.total = report.total;
    if (counters.current)
        *counters.current = 0.0;
    SheetSink sink(run, design.frame.size(), firstCell, target, counters.current, copies > 1 && sheets == 1);
    // Without records every cell is the one card, whose applier only names the fields it emptied:
    // the card is named once, as an export or a mail of it names it.
    const auto recordOf = [bound, firstCell](int cell) { return bound ? firstCell + cell : 0; };
    const RecordApplier shifted =
        apply ? RecordApplier([&apply, recordOf](int cell, GraphicList &objects, const platform::PixelSpender &spend) {
            return apply(recordOf(cell), objects, spend);
        })
              : RecordApplier();

    // A record that fails in one copy fails in each: it is named once.
    QSet<int> named;
    const auto nameFailed = [&](int record, const QString &reason) {
        if (named.contains(record))
            return;
        named.insert(record);
        report.failedRecords.append(record);
        report.reasons.append(reason);
    };
    for (int copy = 0; copy < copies && report.failure.isEmpty() && !report.stopped; ++copy) {
        sink.beginCopy();
        if (copy > 0 && counters.stop && counters.stop->load()) {
            report.stopped = true;
            break;
        }
        if (copy > 0 && sheets == 1) {
            if (sink.paintAgain(&report.failure))
                report.delivered += cards;
            continue;
        }
        RunReport pass = runRecords(design, cards, shifted, sink, loopCounters);
        // The sheets the layout asks for are all printed, the last ones partly or wholly blank.
        while (pass.failure.isEmpty() && !pass.stopped && sink.sheets() < sheets)
            sink.paintSheet(&pass.failure);
        report.delivered += pass.delivered;
        report.stopped = pass.stopped;
        report.failure = pass.failure;
        for (qsizetype i = 0; i < pass.failedRecords.size(); ++i)
            nameFailed(recordOf(pass.failedRecords.at(i)), pass.reasons.value(i));
    }
    if (!report.failure.isEmpty() || report.stopped) {
        target.abandon();
        if (!report.failure.isEmpty())
            Show_NSLog_Message(report.failure);
        return report;
    }
    if (!target.finish(&report.failure))
        return report;
    for (const int record : sink.failedRecords())
        nameFailed(record, QStringLiteral("Record %1: it could not be drawn.").arg(record + 1));
    return report;
}
