#pragma once

#include <QFont>
#include <QString>

// The frame of a 2-D symbol picture: its value, header and footer texts with their flags and
// measures, and the frame's size. A 2-D code has no model object, so this answers the renderer the
// questions a linear barcode's model answers; the generator fills it and the 2-D sizing sets its
// width and height. Heights are in inches, widths and the frame in points.
class Barcode_2D_Frame {
public:
    void setContent(const QString &content) { m_content = content; }
    void setHeader(const QString &header) { m_header = header; }
    void setFooter(const QString &footer) { m_footer = footer; }
    const QString &caption() const { return m_content; }
    QString header() const { return m_header; }
    QString footer() const { return m_footer; }

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

    float captionHeight() const { return m_captionHeight; }
    float headerHeight() const { return m_headerHeight; }
    float footerHeight() const { return m_footerHeight; }
    float headerWidth() const { return m_headerWidth; }
    float footerWidth() const { return m_footerWidth; }
    void setCaptionHeight(float height) { m_captionHeight = height; }
    void setHeaderHeight(float height) { m_headerHeight = height; }
    void setFooterHeight(float height) { m_footerHeight = height; }
    void setHeaderWidth(float width) { m_headerWidth = width; }
    void setFooterWidth(float width) { m_footerWidth = width; }

    // Store the font's size and measure with the font: the band height and, for header and footer,
    // the width of the text set before.
    void setCaptionFontSize(const QFont &value_font);
    void setHeaderFontSize(const QFont &header_font);
    void setFooterFontSize(const QFont &footer_font);
    float caption_fontSize() const { return m_caption_fontSize; }
    float header_fontSize() const { return m_header_fontSize; }
    float footer_fontSize() const { return m_footer_fontSize; }

private:
    QString m_content;
    QString m_header;
    QString m_footer;
    float m_height = 0;
    float m_width = 0;
    bool m_printsCaption = false;
    bool m_printsHeader = false;
    bool m_printsFooter = false;
    float m_caption_fontSize = 0;
    float m_header_fontSize = 0;
    float m_footer_fontSize = 0;
    float m_captionHeight = 0;
    float m_headerHeight = 0;
    float m_footerHeight = 0;
    float m_headerWidth = 0;
    float m_footerWidth = 0;
};
