#pragma once

#include "document/SKTGraphic.h"

#include <QSizeF>

#include <memory>
#include <mutex>

// A block of text. Only the plain characters of the text storage are drawn; the look comes from the
// graphic's own fields (font, colour, alignment, case, kerning, shadow, rotation), with an optional
// background fill and border.
//
// One canvas unit is one point, on every device: fonts are laid out at 72 dpi, so a 12-point font
// is 12 units tall whether the painter draws on a screen, an image or a printer.
class SKTText : public SKTGraphic {
public:
    Kind kind() const override { return Kind::Text; }
    QString className() const override { return QStringLiteral("SKTText"); }
    SKTGraphicPtr clone() const override;
    bool canSetDrawingStroke() const override { return false; }

    static const QString UndoContentsKey;

    void drawContentsInView(QPainter &painter, bool isBeingCreateOrEdited,
                            const DrawingResources &resources = {}) override;
    bool appendDrawingCacheKey(QByteArray &key) const override;
    QList<OpacityStamp> drawnColours() const override;
    // Also covers the turned text and border, and the shadow, so that no canvas clips them.
    QRectF drawingBounds() const override;

    // The characters as drawn: trimmed, then in the chosen case.
    QString drawnString() const;
    // The height the drawn string takes when wrapped at the bounds' width, and its widest line.
    QSizeF drawnTextSize() const;
    // Where the text is laid out: (x, ty, w, h), ty following the vertical placement.
    QRectF textRect() const;

    // The size the drawn text takes when laid out at the bounds' width.
    QSizeF naturalSize() const;
    void makeNaturalSize() override;
    // Fits the height to the text without the change counting for undo.
    void setHeightToMatchContents();

    // A storage of its own: made from Text_Value on the first call, a copy of Text_contents after.
    SKTTextStorage &contents();

    // Replacing the text as one undoable change: a storage replaces the whole text, plain text
    // replaces the characters and keeps the attributes.
    void setScriptingContents(const QVariant &value);
    SKTTextStorage undoContents();
    void setUndoContents(const SKTTextStorage &value);

    QVariant valueForKey(const QString &key) override;
    void setValueForKey(const QString &key, const QVariant &value) override;
    QStringList keysForValuesToObserveForUndo() const override;
    QString presentablePropertyNameForKey(const QString &key) const override;

    std::unique_ptr<SKTTextStorage> contents_val;
    bool _contentsBeingChangedByScripting = false;
    bool _boundsBeingChangedToMatchContents = false;

private:
    QString storedString() const;
    QRectF textRectFor(double textHeight) const;
    void announceUndoKeys(const QStringList &oldKeys);

    // Measuring is the costly part of the bounds, which canvases ask for often.
    struct Measurement {
        QByteArray key;
        QSizeF size;
    };
    mutable Measurement m_measured;
    mutable std::mutex m_measuredMutex;
};

// The text in a case: 1 upper, 2 lower, 3 every word capitalised; anything else leaves it alone.
QString Text_In_Case(const QString &text, int textCase);
