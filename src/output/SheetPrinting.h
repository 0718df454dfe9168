#pragma once

#include "output/RecordLoop.h"
#include "output/SheetPainter.h"
#include "platform/SafeFileWriter.h"

#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QPainter>

#include <memory>

class QPagedPaintDevice;
class QPdfWriter;

// Where the sheets of a run go, one after another, each painted in points from the paper's corner.
class SheetTarget {
public:
    virtual ~SheetTarget() = default;
    // The painter of the next sheet; nullptr, with the reason in `error`, when there is none.
    virtual QPainter *beginSheet(QString *error) = 0;
    virtual bool endSheet(QString *error) = 0;
    // After the last sheet: the job or file is complete.
    virtual bool finish(QString *error) = 0;
    // A run that stopped or failed: nothing more is printed.
    virtual void abandon() = 0;
};

// The pages of a printer or PDF writer given the sheet's paper as a full page (its margins are in
// the layout already, and must not be applied twice).
class PagedDeviceTarget : public SheetTarget {
public:
    explicit PagedDeviceTarget(QPagedPaintDevice &device) : m_device(device) {}
    QPainter *beginSheet(QString *error) override;
    bool endSheet(QString *error) override;
    bool finish(QString *error) override;
    void abandon() override;

private:
    QPagedPaintDevice &m_device;
    QPainter m_painter;
    int m_sheets = 0;
};

// A PDF file of the sheets, written beside `path` and put in its place only when the run finished
// complete and the file is whole; a stop or a failure leaves the file that was there as it was.
class PdfFileTarget : public SheetTarget {
public:
    PdfFileTarget(const QString &path, const QPageLayout &page, const QString &title);
    ~PdfFileTarget() override;
    // False, with the reason, when the folder cannot take the file: nothing is begun.
    bool open(QString *error);
    QPainter *beginSheet(QString *error) override;
    // A write that failed (a full disk) ends the run here, not after the last sheet.
    bool endSheet(QString *error) override;
    bool finish(QString *error) override;
    void abandon() override;

private:
    platform::SavingFile m_file;
    QPageLayout m_page;
    QString m_title;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<PagedDeviceTarget> m_pages;
};

// Pictures of the sheets at `dpi`, for the preview.
class SheetPictures : public SheetTarget {
public:
    explicit SheetPictures(QSizeF paper, double dpi) : m_paper(paper), m_dpi(dpi) {}
    QPainter *beginSheet(QString *error) override;
    bool endSheet(QString *error) override;
    bool finish(QString *) override { return true; }
    void abandon() override {}

    const QList<QImage> &pictures() const { return m_pictures; }

private:
    QSizeF m_paper;
    double m_dpi;
    QImage m_sheet;
    std::unique_ptr<QPainter> m_painter;
    QList<QImage> m_pictures;
};

// What a run prints: a layout, the records behind its cells and the sheets wanted.
struct SheetRun {
    Print_Sheet_Layout layout;
    int records = -1;    // cards of a bound run; -1: the design as it stands in every cell
    int firstSheet = 1;  // from 1
    int lastSheet = 0;   // 0: through the layout's last sheet
    int copies = 1;      // the sheets printed this many times over, collated

    static inline const QString kNothingToPrint = QStringLiteral("There is no barcode to print.");
};

// A paper of the layout's size and orientation as a full page, for a PDF writer or a printer.
QPageLayout sheetPageLayout(const QSizeF &paper);

// Prints sheets `firstSheet` to `lastSheet` of the layout into `target`. A cell's record is fixed by
// its sheet and place, so any range prints the cards it would print in the whole run. Bound, each
// record is drawn through the record loop (records side by side on the pool, sheets in order);
// cells past the records or the total stay blank. Unbound, every cell is the same card, and the
// fields `apply` empties (RunDrawing::apply of a run without records) are named once, as record 0.
// A card that cannot be drawn says "Invalid Data" and is counted among the failed records. No sheet
// at all is a failure, and nothing is begun. Each copy after the first draws its records again,
// unless all of them fit on one sheet, which is then painted again. Progress counts the cards of
// every copy; Stop ends the run between cards.
RunReport printSheets(const DesignSnapshot &design, const SheetRun &run, const RecordApplier &apply,
                      SheetTarget &target, const RunCounters &counters);
