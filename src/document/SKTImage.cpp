#include "document/SKTImage.h"

#include "core/AppState.h"
#include "core/DesignWindowHub.h"
#include "core/ImageCategories.h"
#include "core/ImageHelpers.h"
#include "core/ImageProcesser.h"
#include "document/ArchiveValues.h"
#include "document/Shape_Control.h"
#include "document/ControlTags.h"
#include "platform/PictureReading.h"
#include "platform/RegularFile.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cmath>

const QString SKTImage::FlippedHorizontallyKey = QStringLiteral("flippedHorizontally");
const QString SKTImage::FlippedVerticallyKey = QStringLiteral("flippedVertically");

namespace {


bool sameSize(const QSizeF &a, const QSizeF &b)
{
    return std::abs(a.width() - b.width()) < 1e-6 && std::abs(a.height() - b.height()) < 1e-6;
}

// Where a picture of `size` goes in `frame`: the whole frame, or, for a processed picture whose
// shape differs from the original's, the largest centred rectangle of its own proportions.
QRectF targetRect(const QRectF &frame, const QSizeF &size, bool keepAspect)
{
    if (!keepAspect || size.width() <= 0 || size.height() <= 0)
        return frame;
    const double scale = std::min(frame.width() / size.width(), frame.height() / size.height());
    const QSizeF fitted = size * scale;
    return QRectF(frame.center() - QPointF(fitted.width() / 2.0, fitted.height() / 2.0), fitted);
}

} // namespace

SKTImage::SKTImage()
{
    _isDrawingStroke = false;
}

SKTImage::SKTImage(const QPointF &position, const QImage &contents) : SKTImage()
{
    _contents = contents;
    m_contentsLoaded = true;
    if (const DesignWindowHub *hub = App().Main_App_wnd) {
        // An empty path would hide the picture; "no library picture" is no path at all.
        const QString library = hub->Library_Selected_Image();
        _file_path = library.isEmpty() ? QString() : library;
    }
    placeCentredOn(position);
    resetImagePanel();
}

SKTImage::SKTImage(const QPointF &position, const QString &path, const QString &ctrl_id) : SKTImage()
{
    // The tag first: the main photo object takes its picture from the design window.
    control_ID = ctrl_id;
    setFilePath(path);
    placeCentredOn(position);
    resetImagePanel();
}

void SKTImage::placeCentredOn(const QPointF &position)
{
    centreOn(position, pictureSize(_contents));
}

SKTGraphicPtr SKTImage::clone() const
{
    auto copy = std::make_shared<SKTImage>();
    copyBaseFieldsTo(*copy);
    copy->_contents = _contents;
    copy->m_contentsLoaded = m_contentsLoaded;
    copy->m_contentsCarried = m_contentsCarried;
    return copy;
}

// --- Keys ------------------------------------------------------------------------------------

QVariant SKTImage::valueForKey(const QString &key)
{
    if (key == FlippedHorizontallyKey)
        return _isFlippedHorizontally;
    if (key == FlippedVerticallyKey)
        return _isFlippedVertically;
    return SKTGraphic::valueForKey(key);
}

void SKTImage::setValueForKey(const QString &key, const QVariant &value)
{
    if (key == FlippedHorizontallyKey)
        setFlippedHorizontally(value.toBool());
    else if (key == FlippedVerticallyKey)
        setFlippedVertically(value.toBool());
    else
        SKTGraphic::setValueForKey(key, value);
}

QStringList SKTImage::keysForValuesToObserveForUndo() const
{
    return SKTGraphic::keysForValuesToObserveForUndo() << FlippedHorizontallyKey << FlippedVerticallyKey;
}

QString SKTImage::presentablePropertyNameForKey(const QString &key) const
{
    static const QHash<QString, QString> names = {
        {FlippedHorizontallyKey, QCoreApplication::translate("UndoStrings", "Horizontal Flipping")},
        {FlippedVerticallyKey, QCoreApplication::translate("UndoStrings", "Vertical Flipping")},
    };
    const auto found = names.constFind(key);
    return found != names.constEnd() ? found.value() : SKTGraphic::presentablePropertyNameForKey(key);
}

QVariantMap SKTImage::properties()
{
    QVariantMap dictionary = SKTGraphic::properties();
    if (!_contents.isNull()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (_contents.save(&buffer, "PNG"))
            dictionary.insert(QStringLiteral("contents"), png);
    }
    dictionary.insert(FlippedHorizontallyKey, _isFlippedHorizontally);
    dictionary.insert(FlippedVerticallyKey, _isFlippedVertically);
    return dictionary;
}

void SKTImage::initWithProperties(const QVariantMap &dictionary)
{
    SKTGraphic::initWithProperties(dictionary);
    const QVariant contents = dictionary.value(QStringLiteral("contents"));
    if (contents.metaType().id() == QMetaType::QByteArray) {
        const QImage picture = platform::readPicture(contents.toByteArray());
        if (!picture.isNull()) {
            _contents = picture;
            m_contentsLoaded = true;
        }
    }
    const auto isNumber = [](const QVariant &value) {
        switch (value.metaType().id()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
            return true;
        default:
            return false;
        }
    };
    if (const QVariant h = dictionary.value(FlippedHorizontallyKey); isNumber(h))
        _isFlippedHorizontally = h.toBool();
    if (const QVariant v = dictionary.value(FlippedVerticallyKey); isNumber(v))
        _isFlippedVertically = v.toBool();
}

// --- Picture and flips -----------------------------------------------------------------------

void SKTImage::setFilePath(const QString &path, std::atomic<qint64> *pixelBudget)
{
    Set_Control_File_path(path);
    if (isMainPhoto(*this)) {
        const DesignWindowHub *hub = App().Main_App_wnd;
        showFilePicture(hub ? hub->Main_Photo_image() : QImage());
    } else {
        showFilePicture(loadPicture(path, pixelBudget));
    }
}

void SKTImage::showFilePicture(const QImage &picture)
{
    m_contentsLoaded = true;
    _contents = picture;
    // A picture that loads replaces one the design held but could not read.
    if (!_contents.isNull())
        m_undecodedPictures.remove(QStringLiteral("_contents"));
}

void SKTImage::setPicture(const QString &path, const QImage &picture)
{
    Set_Control_File_path(path);
    _contents = picture;
    m_contentsLoaded = true;
    m_contentsCarried = false;
    m_undecodedPictures.remove(QStringLiteral("_contents"));
}

SKTImage::ShownPicture SKTImage::shownPicture() const
{
    const auto undecoded = m_undecodedPictures.constFind(QStringLiteral("_contents"));
    return {_file_path, _contents, m_contentsLoaded, m_contentsCarried,
            undecoded == m_undecodedPictures.constEnd() ? std::nullopt : std::optional(*undecoded)};
}

void SKTImage::showPicture(const ShownPicture &shown)
{
    Set_Control_File_path(shown.path);
    _contents = shown.contents;
    m_contentsLoaded = shown.loaded;
    m_contentsCarried = shown.carried;
    if (shown.undecoded)
        m_undecodedPictures.insert(QStringLiteral("_contents"), *shown.undecoded);
    else
        m_undecodedPictures.remove(QStringLiteral("_contents"));
}

void SKTImage::reloadFromFile(std::atomic<qint64> *pixelBudget)
{
    if (m_contentsCarried && !platform::isRegularFile(_file_path) && !isMainPhoto(*this))
        return;
    setFilePath(_file_path, pixelBudget);
}

void SKTImage::reloadFromFile(const QImage &picture, bool fileThere)
{
    if (isMainPhoto(*this))
        setFilePath(_file_path);
    else if (!m_contentsCarried || fileThere)
        showFilePicture(picture);
}

void SKTImage::loadPicturesForDrawing()
{
    if (!m_contentsLoaded)
        setFilePath(_file_path);
}

void SKTImage::copyLoadedPicturesTo(SKTGraphic &copy) const
{
    auto &image = static_cast<SKTImage &>(copy);
    if (!m_contentsLoaded)
        return;
    if (!image.m_contentsLoaded) {
        image._contents = _contents;
        image.m_contentsLoaded = true;
        image.m_contentsCarried = m_contentsCarried;
    }
    // The same picture draws through the same reduced copy: a copy's effects are then found in the
    // cache instead of being made again, and the picture is not reduced again.
    if (image._contents.cacheKey() != _contents.cacheKey())
        return;
    const std::lock_guard lock(m_reducedMutex);
    image.m_reduced = m_reduced;
    image.m_reducedFrom = m_reducedFrom;
}

qint64 SKTImage::picturePixels() const
{
    const qint64 own = isMainPhoto(*this) ? 0 : qint64(_contents.width()) * _contents.height();
    return SKTGraphic::picturePixels() + own;
}

bool SKTImage::isMissingItsFile() const
{
    return m_contentsLoaded && _contents.isNull() && !_file_path.isEmpty() && !isMainPhoto(*this);
}

void SKTImage::encodeOwnFields(platform::KeyedEncoder &coder) const
{
    if (drawsWithoutEffects() || QFileInfo(_file_path).isFile())
        return;
    const QVariant contents = pictureForArchive(QStringLiteral("_contents"), _contents);
    if (contents.isValid())
        coder.encodeObject(QStringLiteral("_contents"), contents);
}

void SKTImage::decodeOwnFields(const platform::KeyedDecoder &coder)
{
    const QImage carried =
        pictureFromArchive(QStringLiteral("_contents"), coder.decodeObject(QStringLiteral("_contents")));
    if (carried.isNull())
        return;
    _contents = carried;
    m_contentsLoaded = true;
    m_contentsCarried = true;
}

void SKTImage::setFlippedHorizontally(bool flipped)
{
    setObserved(_isFlippedHorizontally, flipped, FlippedHorizontallyKey);
    didChangeValueForKey(DrawingContentsKey, QVariant(), QVariant());
}

void SKTImage::setFlippedVertically(bool flipped)
{
    setObserved(_isFlippedVertically, flipped, FlippedVerticallyKey);
    didChangeValueForKey(DrawingContentsKey, QVariant(), QVariant());
}

void SKTImage::flipHorizontally()
{
    setFlippedHorizontally(!_isFlippedHorizontally);
}

void SKTImage::flipVertically()
{
    setFlippedVertically(!_isFlippedVertically);
}

void SKTImage::makeNaturalSize()
{
    if (ctrl_is_locked)
        return;
    if (!m_contentsLoaded)
        setFilePath(_file_path);
    // Without a picture the natural size would shrink the object to nothing and lose it.
    if (_contents.isNull())
        return;
    setBounds(QRectF(_bounds.topLeft(), pictureSize(_contents)));
    setFlippedHorizontally(false);
    setFlippedVertically(false);
}

Image_Effect_Settings SKTImage::effectSettings() const
{
    Image_Effect_Settings s;
    s.grayscale = gray_Scale;
    s.sepia = Sepia;
    s.invrtclr = invert_clr;
    s.hue = hue_val;
    s.sat = sat_val;
    s.brt = brt_val;
    s.con = con_val;
    s.sharpness = srp_val;
    s.exposure = ev_val;
    s.blur = blr_val;
    s.tranprency = img_trnsp_val;
    s.rotate = Image_Effect_Settings::rotationFrom(rotate_image);
    return s;
}

QImage SKTImage::pictureForDrawing(const QPainter &painter, const QRectF &target) const
{
    return pictureForDrawing(painter.deviceTransform(), target);
}

QImage SKTImage::pictureForDrawing(const QTransform &device, const QRectF &target) const
{
    if (_contents.isNull())
        return _contents;
    const QSize size = reducedSizeForDrawing(_contents.size(), target.size(), device);
    const std::lock_guard lock(m_reducedMutex);
    if (!size.isValid()) {
        m_reduced = QImage();
        return _contents;
    }
    if (m_reduced.isNull() || m_reducedFrom != _contents.cacheKey() || m_reduced.size() != size) {
        m_reduced = _contents.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        m_reduced.setDevicePixelRatio(_contents.devicePixelRatio() * double(size.width()) / _contents.width());
        m_reducedFrom = _contents.cacheKey();
    }
    return m_reduced;
}

QImage SKTImage::processedForDrawing(const QImage &source) const
{
    if (drawsWithoutEffects())
        return source;
    Image_Effect_Settings settings = effectSettings();
    // A blur of so many pixels of the picture is so many fewer of a smaller copy.
    settings.blur *= static_cast<float>(double(source.width()) / double(_contents.width()));
    return ImageProcesser::Get_Processed_Image_For_Drawing(source, settings);
}

void SKTImage::prepareDrawing(const QTransform &device) const
{
    if (!_contents.isNull())
        processedForDrawing(pictureForDrawing(device, bounds()));
}

bool SKTImage::drawsWithoutEffects() const
{
    return isInvitationPicture(*this);
}

// --- Drawing ---------------------------------------------------------------------------------

void SKTImage::drawContentsInView(QPainter &painter, bool, const DrawingResources &resources)
{
    // An empty path (not an unset one) is the program's way of saying "no picture here".
    if (!ctrl_is_visible || (!_file_path.isNull() && _file_path.isEmpty()))
        return;
    // Objects made before their path was set (by tool, or read back) load it on first sight.
    loadPicturesForDrawing();

    const QRectF frame = bounds();
    if (isDrawingStroke())
        ShapePainting::strokeFrame(painter, frame, _strokeColor, _strokeWidth, _stroke_border_type);
    if (isMissingItsFile()) {
        // A vanished picture must not vanish from the card unseen.
        const QImage &placeholder = resources.placeholder;
        if (!placeholder.isNull()) {
            painter.save();
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(targetRect(frame, pictureSize(placeholder), true), placeholder);
            painter.restore();
        }
        return;
    }
    if (_contents.isNull())
        return;
    const double opacity = std::min(1.0, static_cast<double>(img_trnsp_val) / 100.0);
    if (!(opacity > 0.0))
        return;
    const QImage source = pictureForDrawing(painter, frame);
    const QImage picture = processedForDrawing(source);
    if (picture.isNull())
        return;

    const QSizeF size = pictureSize(picture);
    const QRectF target = targetRect(frame, size, !sameSize(size, pictureSize(source)));
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setOpacity(painter.opacity() * opacity);
    // Flips mirror about the frame's centre lines, so both together turn the picture half round.
    const QPointF centre = frame.center();
    painter.translate(centre);
    painter.scale(_isFlippedHorizontally ? -1.0 : 1.0, _isFlippedVertically ? -1.0 : 1.0);
    painter.translate(-centre);
    painter.drawImage(target, picture);
    painter.restore();
    // No redraw request: asking for one while painting would repaint forever.
}
