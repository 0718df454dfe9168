#pragma once

#include "barcode/pdf417lib.h"

#include <QImage>
#include <QSizeF>
#include <QString>

// The PDF417 drawing of the barcode settings window (its `pdf_barcode`): encodes a text with its own
// encoder record and keeps the symbol as a picture of its frame size, re-rendered at a resolution.
// A plain object: the window owns one and shows the picture it makes; any thread may draw with its
// own instance.
class pdf417View {
public:
    enum ImageState { Drawn = 0, Empty = 1, Error = 2 };

    explicit pdf417View(const QSizeF &frameSize = QSizeF());

    void setFrameSize(const QSizeF &size) { m_bounds = size; }
    QSizeF bounds() const { return m_bounds; }

    // Encodes the text's UTF-8 bytes (led by the UTF-8 ECI unless plain ASCII) at the view's error level, draws the symbol over the frame size
    // (each module stretched, each symbol row an equal share of the height) and re-renders it at
    // `dpi` (the window's USED_DPI_VALUE). Answers the new state; after an error the previous picture
    // stays. An empty frame gives a null picture.
    int drawWithText(const QString &text, double dpi);
    // Whether the symbol is stretched over the frame, each module's edges on the pixels nearest its
    // share, as the earlier builds drew it; else each module whole pixels that cover its share.
    void setStretched(bool stretched) { m_stretched = stretched; }

    QImage getImage() const { return pdf417Image; }
    // Modules across the picture drawn last, each the same whole number of pixels.
    int moduleColumns() const { return m_columns; }
    int imageState() const { return m_imageState; }

    void setErrorLevel(int level);
    int getErrorLevel() const { return errorLevel; }

private:
    QImage pdf417Image;
    pdf417param p;
    int errorLevel = 2;
    int m_imageState = Empty;
    QSizeF m_bounds;
    int m_columns = 0;
    bool m_stretched = false;
};
