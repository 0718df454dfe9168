#include "barcode/BarcodeBands.h"

#include "barcode/BarcodeText.h"

void BarcodeBands::setCaptionFontSize(const QFont &value_font)
{
    m_caption_fontSize = static_cast<float>(value_font.pointSizeF());
    m_captionHeight = BarcodeText::bandHeight(value_font);
}

void BarcodeBands::setHeaderFontSize(const QFont &header_font)
{
    m_header_fontSize = static_cast<float>(header_font.pointSizeF());
    m_headerHeight = BarcodeText::bandHeight(header_font);
    m_headerWidth = BarcodeText::measuredWidth(m_header, header_font);
}

void BarcodeBands::setFooterFontSize(const QFont &footer_font)
{
    m_footer_fontSize = static_cast<float>(footer_font.pointSizeF());
    m_footerHeight = BarcodeText::bandHeight(footer_font);
    m_footerWidth = BarcodeText::measuredWidth(m_footer, footer_font);
}
