#include "document/SKTText.h"

#include "document/DrawingCacheKey.h"
#include "document/Shape_Control.h"

#include "core/AppState.h"
#include "core/FontNames.h"
#include "core/ImageProcesser.h"
#include "core/StringHelpers.h"
#include "platform/PointTextLayout.h"
#include "platform/ScopedFlag.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

const QString SKTText::UndoContentsKey = QStringLiteral("undoContents");

namespace {

// Without a design window a text has no font of its own; the text system then uses its default.
QFont sourceFont(const QFont &font)
{
    return font.resolveMask() == 0 ? Font_With_Name(QStringLiteral("Helvetica"), 12.0) : font;
}

// Font size in canvas units, whether the font was given in points or in pixels.
qreal fontSize(const QFont &font)
{
    return font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize();
}

// The font to lay text out with: one unit of the layout per point of size, and the kerning added
// between characters in those units.
QFont layoutFont(const QFont &font, float kerning)
{
    return PointTextLayout::font(sourceFont(font), kerning);
}

Qt::Alignment alignmentFor(int textAlignment)
{
    switch (textAlignment) {
    case 0: return Qt::AlignLeft | Qt::AlignAbsolute;
    case 1: return Qt::AlignRight | Qt::AlignAbsolute;
    case 2: return Qt::AlignHCenter;
    case 3: return Qt::AlignJustify;
    default: return Qt::AlignLeft; // natural: the leading side of the writing direction
    }
}

QStringList paragraphsOf(const QString &text)
{
    QStringList paragraphs;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            paragraphs << current;
            current.clear();
        } else {
            current += c;
        }
    }
    paragraphs << current;
    return paragraphs;
}

constexpr qreal kUnlimitedWidth = 1.0e6;
// Lines that overrun the height by less than this still count as fitting (rounding of metrics).
constexpr qreal kFitSlack = 0.01;

// Lines of text, each paragraph its own layout, stacked from y = 0.
class TextBlock {
public:
    TextBlock(const QString &text, const QFont &font, Qt::Alignment alignment)
    {
        for (const QString &paragraph : paragraphsOf(text)) {
            auto layout = std::make_unique<QTextLayout>(paragraph, font, PointTextLayout::device());
            QTextOption option(alignment);
            option.setUseDesignMetrics(true);
            option.setTabStopDistance(28.0);
            layout->setTextOption(option);
            m_paragraphs.push_back(std::move(layout));
        }
    }

    // Wraps at `width`, or not at all when there is no width; answers the widest line and the height.
    QSizeF layOut(qreal width)
    {
        const bool wrap = width > 0;
        qreal y = 0, widest = 0;
        for (const auto &layout : m_paragraphs) {
            QTextOption option = layout->textOption();
            option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
            layout->setTextOption(option);
            layout->beginLayout();
            for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
                line.setLeadingIncluded(true);
                line.setLineWidth(wrap ? width : kUnlimitedWidth);
                line.setPosition(QPointF(0, y));
                y += line.height();
                widest = std::max(widest, line.naturalTextWidth());
            }
            layout->endLayout();
        }
        return {widest, y};
    }

    // Draws the lines that fit whole into `height` below `origin`.
    void draw(QPainter &painter, const QPointF &origin, qreal height) const
    {
        for (const auto &layout : m_paragraphs) {
            for (int i = 0; i < layout->lineCount(); ++i) {
                const QTextLine line = layout->lineAt(i);
                if (line.y() + line.height() > height + kFitSlack)
                    return;
                line.draw(&painter, origin);
            }
        }
    }

private:
    std::vector<std::unique_ptr<QTextLayout>> m_paragraphs;
};

QTransform turnAbout(const QPointF &centre, int degrees)
{
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.rotate(degrees);
    t.translate(-centre.x(), -centre.y());
    return t;
}

// --- Shadow blur -------------------------------------------------------------------------------

// Whether blurring `ink` (a rectangle in a picture of `picture` pixels) by a deviation of `sigma`
// pixels leaves no pixel at even the lowest opacity: a pass of the narrowest of the blur's boxes
// already averages what ink it can gather below half a step. Ink at an edge of the picture counts
// as going on, as the blur repeats edge pixels.
bool blurLeavesNothing(const QRectF &ink, const QSizeF &picture, double sigma)
{
    const double narrowest = std::sqrt(4.0 * sigma * sigma + 1.0) - 2.0;
    if (!(narrowest > 1.0))
        return false;
    const auto gathered = [narrowest](double from, double to, double extent) {
        return from <= 0.0 || to >= extent ? narrowest : std::min(to - from, narrowest);
    };
    const QRectF touched = ink.adjusted(-1, -1, 1, 1);
    const double most = 255.0 * gathered(touched.left(), touched.right(), picture.width())
                        * gathered(touched.top(), touched.bottom(), picture.height());
    return most < 0.25 * narrowest * narrowest; // half a step, less what float sums may drift
}

// Draws `block` blurred, through a picture in device pixels: the blur radius is in canvas points
// and grows with the zoom like everything else on the card.
void drawBlurred(QPainter &painter, const TextBlock &block, const QPointF &origin, qreal height,
                 const QRectF &inkArea, const QColor &color, double blurRadius)
{
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QTransform toPixels = painter.combinedTransform() * QTransform::fromScale(ratio, ratio);
    const double scale = std::sqrt(std::abs(toPixels.determinant()));
    // A blur radius is taken as twice the deviation of the Gaussian. A wider blur than this looks
    // the same (an even haze), and the bound keeps every pixel count below within int range.
    constexpr double maxSigma = 1.0e5;
    const double sigma = std::min(blurRadius / 2.0 * scale, maxSigma);
    if (!(sigma >= 0.0))
        return;
    const double margin = std::ceil(3.0 * sigma) + 1.0;
    QRectF area = toPixels.mapRect(inkArea).adjusted(-margin, -margin, margin, margin);
    if (painter.hasClipping())
        area &= toPixels.mapRect(painter.clipBoundingRect()).adjusted(-margin, -margin, margin, margin);
    // Nothing this far out can show; huge positions and sizes (from a damaged design) must not
    // overflow the whole-pixel rectangle.
    constexpr double maxExtent = 1.0e8;
    area &= QRectF(-maxExtent, -maxExtent, 2 * maxExtent, 2 * maxExtent);
    if (!(area.width() > 0.0 && area.height() > 0.0))
        return;
    const QRect pixels = area.toAlignedRect();
    if (pixels.isEmpty())
        return;

    // A blur hides detail: huge shadows are made at a coarser scale than the device's.
    constexpr double maxPixels = 4.0 * 1024 * 1024;
    const double coarse = std::min(1.0, std::sqrt(maxPixels / (double(pixels.width()) * pixels.height())));
    const QSize size(std::max(1, int(std::ceil(pixels.width() * coarse))),
                     std::max(1, int(std::ceil(pixels.height() * coarse))));
    // A damaged design may hold a blur so wide for its text that nothing would show: then there is
    // no picture to make at all.
    const QRectF ink = toPixels.mapRect(inkArea).translated(-QPointF(pixels.topLeft()));
    if (painter.compositionMode() == QPainter::CompositionMode_SourceOver
        && blurLeavesNothing(QRectF(ink.topLeft() * coarse, ink.size() * coarse), QSizeF(size), sigma * coarse))
        return;
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter p(&picture);
        p.setRenderHints(painter.renderHints());
        p.scale(coarse, coarse);
        p.translate(-pixels.topLeft());
        p.setTransform(toPixels, true);
        p.setPen(color);
        block.draw(p, origin, height);
    }
    picture = ImageProcesser::gaussianBlur(picture, sigma * coarse);

    painter.save();
    painter.resetTransform();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRectF(QPointF(pixels.topLeft()) / ratio, QSizeF(pixels.size()) / ratio), picture);
    painter.restore();
}

} // namespace

QString Text_In_Case(const QString &text, int textCase)
{
    switch (textCase) {
    case 1: return text.toUpper();
    case 2: return text.toLower();
    case 3: break;
    default: return text;
    }
    QString out;
    out.reserve(text.size());
    bool wordStart = true;
    for (qsizetype i = 0; i < text.size();) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        const qsizetype n = pair ? 2 : 1;
        const QString piece = text.mid(i, n);
        const char32_t code = pair ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
        if (QChar::isSpace(code)) {
            out += piece;
            wordStart = true;
        } else {
            out += wordStart ? piece.toUpper() : piece.toLower();
            wordStart = false;
        }
        i += n;
    }
    return out;
}

SKTGraphicPtr SKTText::clone() const
{
    return cloneAs<SKTText>();
}

// --- What is drawn ---------------------------------------------------------------------------

QString SKTText::storedString() const
{
    // A storage not made yet would be made from Text_Value.
    return m_Text_contents ? m_Text_contents->string : Text_Value;
}

QString SKTText::drawnString() const
{
    return Text_In_Case(Trim_Str(storedString()), text_transfrom_case);
}

QSizeF SKTText::drawnTextSize() const
{
    // Measured as drawn, wrapped at the width: measuring unwrapped would place a text that wraps
    // as though it were one line, off centre or hanging out of the bottom.
    const QString text = drawnString();
    QByteArray key;
    DrawingCacheKey(key) << text << text_ctrl_font << (text_ctrl_font.resolveMask() == 0) << text_kerning
                         << text_alignmnet << _bounds.width();
    {
        // Threads drawing the same object measure it side by side.
        const std::lock_guard lock(m_measuredMutex);
        if (key == m_measured.key)
            return m_measured.size;
    }
    TextBlock block(text, layoutFont(text_ctrl_font, text_kerning), alignmentFor(text_alignmnet));
    const QSizeF size = block.layOut(_bounds.width());
    const std::lock_guard lock(m_measuredMutex);
    m_measured = {key, size};
    return size;
}

QRectF SKTText::textRect() const
{
    return textRectFor(drawnTextSize().height());
}

QRectF SKTText::textRectFor(double th) const
{
    const QRectF &b = _bounds;
    double ty = b.y();
    if (text_alignmnet_Vert == 1)
        ty = b.y() + (b.height() - th);
    else if (text_alignmnet_Vert == 2)
        ty = b.y() + (b.height() - th) / 2;
    return QRectF(static_cast<float>(b.x()), static_cast<float>(ty), b.width(), b.height());
}

// --- Drawing ---------------------------------------------------------------------------------

void SKTText::drawContentsInView(QPainter &painter, bool isBeingCreateOrEdited, const DrawingResources &)
{
    if (!ctrl_is_visible)
        return;
    const QRectF b = _bounds;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);

    if (isBeingCreateOrEdited) {
        // A one-point frame just outside the bounds.
        QPen pen(QGuiApplication::palette().color(QPalette::Highlight), 1.0);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(b.adjusted(-0.5, -0.5, 0.5, 0.5));
        painter.restore();
        return;
    }

    // The background stays upright whatever the rotation; a hatch code paints the plain colour.
    if (isDrawingFill()) {
        if (_fill_type == QLatin1String("G"))
            painter.fillRect(b, QBrush(ShapePainting::gradientForBox(b, _fill_grad_angle, fill_Grad_clr1(),
                                                                    fill_Grad_clr2())));
        else
            painter.fillRect(b, fillColor());
    }

    const QString text = drawnString();
    if (text.isEmpty()) {
        painter.restore();
        return;
    }

    TextBlock block(text, layoutFont(text_ctrl_font, text_kerning), alignmentFor(text_alignmnet));
    const QSizeF size = block.layOut(b.width());
    const QRectF rect = textRectFor(size.height());
    const QPointF centre(static_cast<float>(rect.x() + rect.width() / 2), static_cast<float>(rect.y() + rect.height() / 2));
    const QTransform turn = turnAbout(centre, text_rotation);
    const bool wraps = b.width() > 0;

    if (Drawing_Shadow && Shadow_Color.isValid()) {
        const QColor shadow = colorWithOpacity(Shadow_Color, Shadow_transparency);
        // The offset is in canvas points and does not turn with the text: the light stays put.
        painter.save();
        painter.translate(Shadow_offset_X, Shadow_offset_Y);
        painter.setTransform(turn, true);
        if (wraps) {
            if (Shadow_blur > 0.0f) {
                const QRectF ink(rect.x(), rect.y(), rect.width(), std::min(size.height(), rect.height()));
                const qreal pad = fontSize(sourceFont(text_ctrl_font));
                drawBlurred(painter, block, rect.topLeft(), rect.height(), ink.adjusted(-pad, -pad, pad, pad),
                            shadow, Shadow_blur);
            } else {
                painter.setPen(shadow);
                block.draw(painter, rect.topLeft(), rect.height());
            }
        }
        painter.restore();
    }

    painter.setTransform(turn, true);
    if (wraps) {
        painter.setPen(txt_clr.isValid() ? txt_clr : QColor(Qt::black));
        block.draw(painter, rect.topLeft(), rect.height());
    }
    if (isDrawingStroke()) {
        QPainterPath border;
        border.addRect(b);
        painter.strokePath(border, ShapePainting::outlinePen(strokeColor(), _strokeWidth, _stroke_border_type));
    }
    painter.restore();
    // No redraw request here: asking for one from inside a paint pass would repaint forever.
}

QList<SKTGraphic::OpacityStamp> SKTText::drawnColours() const
{
    if (!ctrl_is_visible)
        return {};
    QList<OpacityStamp> colours = drawnFillColours(false);
    // Without characters neither shadow nor border is drawn.
    if (drawnString().isEmpty())
        return colours;
    if (Drawing_Shadow && Shadow_Color.isValid())
        colours << OpacityStamp{&SKTGraphic::Shadow_Color, &SKTGraphic::Shadow_transparency};
    if (isDrawingStroke())
        colours << OpacityStamp{&SKTGraphic::_strokeColor, &SKTGraphic::alpha_val_stroke};
    return colours;
}

bool SKTText::appendDrawingCacheKey(QByteArray &key) const
{
    // Colours as drawn, with their opacity as alpha.
    DrawingCacheKey out(key);
    out << ctrl_is_visible << _bounds.size() << storedString() << text_transfrom_case << text_alignmnet
        << text_alignmnet_Vert << text_ctrl_font << (text_ctrl_font.resolveMask() == 0) << txt_clr << text_kerning
        << text_rotation << Drawing_Shadow << colorWithOpacity(Shadow_Color, Shadow_transparency) << Shadow_offset_X
        << Shadow_offset_Y << Shadow_blur << isDrawingFill() << _fill_type << colorWithOpacity(_fillColor, alpha_val)
        << colorWithOpacity(_fill_Grad_clr1, alpha_val) << colorWithOpacity(_fill_Grad_clr2, alpha_val)
        << _fill_grad_angle << isDrawingStroke() << colorWithOpacity(_strokeColor, alpha_val_stroke) << _strokeWidth
        << _stroke_border_type;
    return true;
}

QRectF SKTText::drawingBounds() const
{
    QRectF area = SKTGraphic::drawingBounds().united(_bounds.adjusted(-1, -1, 1, 1));
    if (!ctrl_is_visible || drawnString().isEmpty())
        return area;

    const QRectF rect = textRect();
    const QPointF centre(static_cast<float>(rect.x() + rect.width() / 2), static_cast<float>(rect.y() + rect.height() / 2));
    const QTransform turn = turnAbout(centre, text_rotation);
    // Glyphs may reach a little past their lines (italics, accents).
    const qreal pad = fontSize(sourceFont(text_ctrl_font)) / 4;
    const qreal lines = std::min(drawnTextSize().height(), rect.height());
    const QRectF ink = QRectF(rect.x(), rect.y(), rect.width(), lines).adjusted(-pad, -pad, pad, pad);
    area |= turn.mapRect(ink);
    if (isDrawingStroke()) {
        const qreal half = _strokeWidth / 2 * std::numbers::sqrt2; // mitred corners
        area |= turn.mapRect(_bounds.adjusted(-half, -half, half, half));
    }
    if (Drawing_Shadow) {
        const qreal blur = 1.5 * std::max(0.0f, Shadow_blur) + 1;
        area |= turn.mapRect(ink).translated(Shadow_offset_X, Shadow_offset_Y).adjusted(-blur, -blur, blur, blur);
    }
    return area.adjusted(-1, -1, 1, 1);
}

// --- Natural size ----------------------------------------------------------------------------

QSizeF SKTText::naturalSize() const
{
    // Measured as drawn (font, case, kerning, trimming), so that the fitted box shows all of it.
    return drawnTextSize();
}

void SKTText::makeNaturalSize()
{
    if (ctrl_is_locked || drawnString().isEmpty())
        return;
    const QSizeF size = naturalSize();
    setBounds(QRectF(_bounds.topLeft(), size));
}

void SKTText::setHeightToMatchContents()
{
    const QStringList before = keysForValuesToObserveForUndo();
    QStringList during;
    {
        const platform::ScopedFlag fitting(_boundsBeingChangedToMatchContents);
        announceUndoKeys(before);
        setBounds(QRectF(_bounds.x(), _bounds.y(), _bounds.width(), naturalSize().height()));
        during = keysForValuesToObserveForUndo();
    }
    announceUndoKeys(during);
}

// --- Contents, scripting and undo ------------------------------------------------------------

SKTTextStorage &SKTText::contents()
{
    if (!contents_val) {
        contents_val = std::make_unique<SKTTextStorage>(newTextContents());
    } else {
        *contents_val = Text_contents();
    }
    return *contents_val;
}

void SKTText::announceUndoKeys(const QStringList &oldKeys)
{
    didChangeValueForKey(KeysForValuesToObserveForUndoKey, oldKeys, keysForValuesToObserveForUndo());
}

void SKTText::setScriptingContents(const QVariant &value)
{
    const SKTTextStorage old = Text_contents();
    const QStringList before = keysForValuesToObserveForUndo();
    QStringList during;
    {
        const platform::ScopedFlag scripting(_contentsBeingChangedByScripting);
        announceUndoKeys(before);

        SKTTextStorage &storage = Text_contents();
        if (value.metaType() == QMetaType::fromType<SKTTextStorage>())
            storage = value.value<SKTTextStorage>();
        else
            storage.string = value.toString();
        didChangeValueForKey(UndoContentsKey, QVariant::fromValue(old), QVariant::fromValue(storage));

        during = keysForValuesToObserveForUndo();
    }
    announceUndoKeys(during);
}

SKTTextStorage SKTText::undoContents()
{
    return Text_contents();
}

void SKTText::setUndoContents(const SKTTextStorage &value)
{
    setScriptingContents(QVariant::fromValue(value));
}

QVariant SKTText::valueForKey(const QString &key)
{
    if (key == UndoContentsKey)
        return QVariant::fromValue(undoContents());
    return SKTGraphic::valueForKey(key);
}

void SKTText::setValueForKey(const QString &key, const QVariant &value)
{
    if (key == UndoContentsKey)
        setScriptingContents(value);
    else
        SKTGraphic::setValueForKey(key, value);
}

QStringList SKTText::keysForValuesToObserveForUndo() const
{
    QStringList keys = SKTGraphic::keysForValuesToObserveForUndo();
    if (_contentsBeingChangedByScripting)
        keys << UndoContentsKey;
    if (_boundsBeingChangedToMatchContents)
        keys.removeAll(BoundsKey);
    return keys;
}

QString SKTText::presentablePropertyNameForKey(const QString &key) const
{
    static const QString textName = QCoreApplication::translate("UndoStrings", "Text");
    if (key == UndoContentsKey)
        return textName;
    return SKTGraphic::presentablePropertyNameForKey(key);
}
