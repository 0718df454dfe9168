#pragma once

#include "barcode/BarcodeBands.h"

#include <QString>

// The frame of a 2-D symbol picture: its value, header and footer texts with their flags and band
// measures, and the frame's size. A 2-D code has no model object, so this answers the renderer the
// questions a linear barcode's model answers; the generator fills it and the 2-D sizing sets its
// width and height. Heights are in inches, widths and the frame in points.
class Barcode_2D_Frame : public BarcodeBands {
public:
    void setContent(const QString &content) { m_content = content; }
    const QString &caption() const { return m_content; }

    float height() const { return m_height; }
    float width() const { return m_width; }
    void setHeight(float height) { m_height = height; }
    void setWidth(float width) { m_width = width; }

    bool printsCaption() const { return m_printsCaption; }
    bool printsHeader() const { return m_printsHeader; }
    bool printsFooter() const { return m_printsFooter; }
    void setPrintsCaption(bool prints) { m_printsCaption = prints; }
    void setPrintsHeader(bool prints) { m_printsHeader = prints; }
    void setPrintsFooter(bool prints) { m_printsFooter = prints; }

private:
    QString m_content;
    float m_height = 0;
    float m_width = 0;
    bool m_printsCaption = false;
    bool m_printsHeader = false;
    bool m_printsFooter = false;
};
