#pragma once

#include "barcode/BarcodeBands.h"

#include <QByteArray>
#include <QString>

#include <optional>

struct Barcode_Margins;

// The model of one linear or postal barcode: its data, caption, header and footer texts with their
// flags and measured sizes, its bar geometry, and the module string the renderer turns into bars.
// Every symbology is a subclass that overrides the encoding operations below.
//
// Module string (`completeBarcode`): '1' a dark module, '0' a light one, each `barWidth` points
// wide, read left to right: `initiator` + `barcode` + `terminator`. Caption, header and footer
// heights are in inches; every other length is in points.
//
// A subclass constructor runs `calculateWidth` again once its own encoding is in place: in the base
// constructor only the base encoding is.
class NKDBarcode : public BarcodeBands {
public:
    // The arguments of the designated initialiser.
    struct Init {
        QString content;
        bool printsCaption = true;
        float barWidth = 0.936f; // 0.013 in
        float height = 36.0f;
        float fontSize = 6.0f;
        signed char checkDigit = -1;
    };

    explicit NKDBarcode(const QString &content, bool printsCaption = true);
    explicit NKDBarcode(const Init &init); // designated
    virtual ~NKDBarcode();

    // Barcodes are equal when their contents are, whatever their symbologies.
    bool isEqual(const NKDBarcode &other) const { return m_content == other.m_content; }

    const QString &content() const { return m_content; }
    virtual void setContent(const QString &content) { m_content = content; }

    float height() const { return m_height; }
    virtual void setHeight(float height) { m_height = height; }
    float width() const { return m_width; }
    void setWidth(float width) { m_width = width; }
    // `width` := modules of `completeBarcode` × `barWidth`.
    virtual void calculateWidth();
    float barWidth() const { return m_barWidth; }
    virtual void setBarWidth(float barWidth) { m_barWidth = barWidth; }
    signed char checkDigit() const { return m_checkDigit; }
    void setCheckDigit(signed char checkDigit) { m_checkDigit = checkDigit; }

    virtual bool printsCaption() const { return m_printsCaption; }
    virtual bool printsHeader() const { return m_printsHeader; }
    virtual bool printsFooter() const { return m_printsFooter; }
    virtual void setPrintsCaption(bool prints) { m_printsCaption = prints; }
    virtual void setPrintsHeader(bool prints) { m_printsHeader = prints; }
    virtual void setPrintsFooter(bool prints) { m_printsFooter = prints; }

    // Encoding. A character is one ASCII byte; a pattern is a module string, "" when the symbology
    // has none for the character.
    virtual void generateChecksum() {}
    // Every character of the content has a pattern (a content with a non-ASCII character has none).
    virtual bool isContentValid() const;
    virtual QString initiator() const { return {}; }
    virtual QString terminator() const { return {}; }
    virtual QString _encodeChar(char c) const;
    // The encoded content, then the encoded check character when there is one.
    virtual QString barcode() const;
    QString completeBarcode() const;

    // Captions: the digits printed left and right of the guard bars, and the data line between.
    virtual int digitsToLeft() const { return 0; }
    virtual int digitsToRight() const { return 0; }
    QString leftCaption() const;
    virtual QString rightCaption() const;
    virtual QString caption() const;

    // Bar geometry in points: the top of the bar at a module index above the bars' baseline (the
    // full bar height, the texts' bands and margins taken off the height), and the bands below it.
    virtual float barTop(int index, const Barcode_Margins &margins) const;
    virtual float barBottom(int index) const;
    // Four-state postal codes: each bar spans from its own `barBottom` to its own `barTop` above the
    // baseline. Every other symbology's bars stand on the baseline, and `barBottom` answers the height
    // of the bands below them.
    virtual bool isFourState() const { return false; }
    virtual float firstBar() const { return 0.0f; }
    virtual float lastBar() const { return m_width - m_barWidth; }

protected:
    // The content as ASCII bytes; nothing when a character lies outside ASCII.
    std::optional<QByteArray> asciiContent() const;

    signed char m_checkDigit = -1;
    float m_barWidth = 0;
    QString m_content;
    float m_height = 0;
    float m_width = 0;
    bool m_printsCaption = false;
    bool m_printsHeader = false;
    bool m_printsFooter = false;
};
