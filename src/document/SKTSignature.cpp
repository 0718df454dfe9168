#include "document/SKTSignature.h"

#include "core/AppState.h"
#include "core/DesignWindowHub.h"
#include "core/ImageCategories.h"
#include "document/Shape_Control.h"

#include <QPainter>

SKTSignature::SKTSignature(const QPointF &position, const QImage &contents, const QString &sign_or_FP)
{
    _contents_img = contents;
    Set_Sign_Or_FP(sign_or_FP);
    file_path = samplePicturePath(sign_or_FP);
    Set_Control_File_path(*file_path);
    centreOn(position, pictureSize(_contents_img));
    resetImagePanel();
}

SKTSignature::SKTSignature(const QPointF &position, const QString &path, const QString &sign_or_FP)
{
    Set_Sign_Or_FP(sign_or_FP);
    setFilePath(path);
    centreOn(position, pictureSize(_contents_img));
    resetImagePanel();
}

SKTGraphicPtr SKTSignature::clone() const
{
    return cloneAs<SKTSignature>();
}

QString SKTSignature::samplePicturePath(const QString &sign_or_FP)
{
    const QString name = sign_or_FP == QLatin1String("S") ? QStringLiteral("sign_sample.png")
                                                          : QStringLiteral("fingerprints.png");
    const QString folder = App().Resource_Path;
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + QLatin1Char('/') + name;
}

void SKTSignature::setFilePath(const QString &path)
{
    file_path = path == QLatin1String("Default") ? samplePicturePath(sign_or_fingureprint) : path;
    Set_Control_File_path(*file_path);
    _contents_img = loadPicture(*file_path);
}

void SKTSignature::setPicture(const QString &path, const QImage &picture)
{
    file_path = path;
    Set_Control_File_path(path);
    _contents_img = picture;
}

void SKTSignature::loadPicturesForDrawing()
{
    if (!file_path || *file_path != _file_path || file_path->isNull() != _file_path.isNull())
        setFilePath(_file_path);
}

void SKTSignature::copyLoadedPicturesTo(SKTGraphic &copy) const
{
    auto &signature = static_cast<SKTSignature &>(copy);
    signature._contents_img = _contents_img;
    signature.file_path = file_path;
}

void SKTSignature::drawContentsInView(QPainter &painter, bool, const DrawingResources &)
{
    if (!ctrl_is_visible)
        return;
    // A path set by the panel, a record or a design just read takes effect here; a path that did
    // not load is not tried again until it changes.
    loadPicturesForDrawing();

    const QRectF frame = bounds();
    if (isDrawingStroke())
        ShapePainting::strokeFrame(painter, frame, _strokeColor, _strokeWidth, _stroke_border_type);
    if (_contents_img.isNull())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(frame, _contents_img);
    painter.restore();
    // No redraw request: asking for one while painting would repaint forever.
}

QTransform RotationTransform(double angle, double x, double y)
{
    QTransform transform;
    transform.translate(x, y);
    transform.rotateRadians(angle);
    transform.translate(-x, -y);
    return transform;
}
