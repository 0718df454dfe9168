#pragma once

#include <QPageLayout>
#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace platform {

// The settings of a print job as the model keeps them, without a printer: paper, orientation and
// margins, and the job's further settings by name. It is a plain value, so workers may copy it;
// platform/ui turns it into a QPrinter's settings and back.
struct PrintInfo {
    // Keys of `dictionary` that the printer side applies; other keys travel along unused.
    static constexpr const char *PrinterName = "printerName";       // string; empty: the default printer
    static constexpr const char *Copies = "copies";                 // int, at least 1
    static constexpr const char *OutputFileName = "outputFileName"; // string; a PDF file instead of a printer

    QPageLayout pageLayout = defaultPageLayout();
    QVariantMap dictionary;

    // A4 upright with one-inch margins.
    static QPageLayout defaultPageLayout();

    // A property-list dictionary: paper size in points, orientation, margins in points and the
    // settings that a property list can hold (strings, numbers, flags).
    QVariantMap propertyList() const;
    // Reads what propertyList() wrote. The data may come from a file: a paper size that is not
    // positive and finite or passes 14400 points, or margins that do not fit the paper, leave the
    // default page layout; settings that are no plain values are dropped.
    static PrintInfo fromPropertyList(const QVariant &list);

    bool operator==(const PrintInfo &other) const
    {
        return pageLayout == other.pageLayout && dictionary == other.dictionary;
    }
};

} // namespace platform
