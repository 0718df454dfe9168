#pragma once

#include <QFont>
#include <QString>

// The header and footer texts of a barcode picture and the measures of its caption, header and
// footer bands, shared by the linear models and the 2-D frame. Setting a font size measures with
// that font: the band height (1.35 cap heights, in inches) and, for header and footer, the text's
// unkerned width in points, so set the text first.
class BarcodeBands {
public:
    QString header() const { return m_header; }
    QString footer() const { return m_footer; }
    void setHeader(const QString &header) { m_header = header; }
    void setFooter(const QString &footer) { m_footer = footer; }

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
    void setCaptionFontSize(const QFont &value_font);
    void setHeaderFontSize(const QFont &header_font);
    void setFooterFontSize(const QFont &footer_font);
    float caption_fontSize() const { return m_caption_fontSize; }
    float header_fontSize() const { return m_header_fontSize; }
    float footer_fontSize() const { return m_footer_fontSize; }

protected:
    QString m_header;
    QString m_footer;
    float m_caption_fontSize = 0;
    float m_header_fontSize = 0;
    float m_footer_fontSize = 0;
    float m_captionHeight = 0;
    float m_headerHeight = 0;
    float m_footerHeight = 0;
    float m_headerWidth = 0;
    float m_footerWidth = 0;
};
