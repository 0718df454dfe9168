#pragma once

#include "document/SKTGraphic.h"

#include <QTransform>

#include <optional>

// A scanned signature ("S") or a fingerprint (any other kind): a picture file scaled into the
// frame, with an optional outline. The picture follows `_file_path`: whenever that no longer names
// the picture held, the next drawing reloads it. "Default" stands for the kind's sample picture.
class SKTSignature : public SKTGraphic {
public:
    SKTSignature() = default;
    // The tools' objects: `contents` (the kind's sample) centred on `position`.
    SKTSignature(const QPointF &position, const QImage &contents, const QString &sign_or_FP);
    SKTSignature(const QPointF &position, const QString &path, const QString &sign_or_FP);

    Kind kind() const override { return Kind::Signature; }
    QString className() const override { return QStringLiteral("SKTSignature"); }
    SKTGraphicPtr clone() const override;
    bool isDrawingFill() const override { return false; }

    void setFilePath(const QString &path);
    // The picture already read from `path`: drawing takes it rather than read the file again.
    void setPicture(const QString &path, const QImage &picture);
    void loadPicturesForDrawing() override;
    void drawContentsInView(QPainter &painter, bool isBeingCreateOrEdited,
                            const DrawingResources &resources = {}) override;

    // The sample picture's full path for a kind, in the resources folder.
    static QString samplePicturePath(const QString &sign_or_FP);

    QImage _contents_img;               // the picture drawn
    std::optional<QString> file_path;   // where `_contents_img` came from; unset until first loaded

protected:
    void copyLoadedPicturesTo(SKTGraphic &copy) const override;
};

// Turns points by `angle` radians about (x, y).
QTransform RotationTransform(double angle, double x, double y);
