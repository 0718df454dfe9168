#pragma once

#include "canvas/SKTRenderingView.h"
#include "platform/PrintInfo.h"

#include <QVariantMap>

class QPagedPaintDevice;
class SKTDocument;

// A print job of one card side: a rendering view drawn on one page of the print information's
// paper, at the top left of its margins, at its size in points. It reads only what it holds (the
// view keeps its own list; the objects are shared with the caller), so it may run on a worker.
// The device is any paged one: a QPdfWriter, or a QPrinter given the print information first
// (platform/ui/PrinterSettings.h), since printers need Qt's print support, which the model does
// not link.
class SKTPrintOperation {
public:
    SKTPrintOperation(const SKTRenderingView &view, const platform::PrintInfo &printInfo);

    // The document's print operation: its front list at the default canvas size, over `face` and the
    // card shape code, titled with the document's display name (the document never has a file of
    // its own), with the document's print information and `settings` added to its settings.
    static SKTPrintOperation printOperationWithSettings(SKTDocument &document, const QVariantMap &settings,
                                                        const Card_Property &face, int cardShape);

    const SKTRenderingView &view() const { return m_view; }
    const platform::PrintInfo &printInfo() const { return m_printInfo; }
    QString jobTitle() const { return m_view.printJobTitle(); }
    bool canSpawnSeparateThread() const { return true; }

    // Gives `device` the page layout and draws the view on its first page. False when the device
    // refuses the page or cannot be painted on.
    bool runOperation(QPagedPaintDevice &device) const;

private:
    SKTRenderingView m_view;
    platform::PrintInfo m_printInfo;
};
