#pragma once

#include "core/Image_Effect_Settings.h"
#include "document/SKTGraphic.h"

#include <atomic>
#include <mutex>

// A picture on the card: a file, the invitation's main photo ("PARTY_IMAGE") or the frame picture
// over the whole card ("PARTY_IMAGE_BG"). Drawn scaled into its frame through the effect chain,
// mirrored as its flips say, with its opacity and an optional outline.
class SKTImage : public SKTGraphic {
public:
    static const QString FlippedHorizontallyKey;
    static const QString FlippedVerticallyKey;

    // No picture yet: the first drawing loads the one `_file_path` names.
    SKTImage();
    // A picture dropped, pasted or placed without a file, centred on `position`.
    SKTImage(const QPointF &position, const QImage &contents);
    // The picture at `path`, centred on `position`; with "PARTY_IMAGE" as `ctrl_id` the main photo.
    SKTImage(const QPointF &position, const QString &path, const QString &ctrl_id = QString());

    Kind kind() const override { return Kind::Image; }
    QString className() const override { return QStringLiteral("SKTImage"); }
    SKTGraphicPtr clone() const override;
    bool isDrawingFill() const override { return false; }
    bool canSetDrawingFill() const override { return false; }
    bool canSetDrawingStroke() const override { return false; }

    QVariant valueForKey(const QString &key) override;
    void setValueForKey(const QString &key, const QVariant &value) override;
    QStringList keysForValuesToObserveForUndo() const override;
    QString presentablePropertyNameForKey(const QString &key) const override;
    // The base dictionary plus "contents" (the picture as PNG data) and the two flip flags.
    QVariantMap properties() override;
    void initWithProperties(const QVariantMap &properties) override;

    // Stores the path; the main photo object then takes the design window's main photo whatever the
    // path, any other loads the file (no picture when it does not load). The frame stays.
    // With a budget, the picture's pixels are taken from it (see loadPicture).
    void setFilePath(const QString &path, std::atomic<qint64> *pixelBudget = nullptr);
    // Stores the path and shows `picture`, which the caller read from it, whatever the tag: a
    // record's picture in a run's copy of the object, a picture the user chose. A null picture with
    // a path shows the missing-file placeholder.
    void setPicture(const QString &path, const QImage &picture);
    // What the object shows and where it came from, as a whole: kept before a change and given back
    // to undo it.
    struct ShownPicture {
        QString path;
        QImage contents;
        bool loaded = false;
        bool carried = false;
        std::optional<platform::UndecodedPicture> undecoded;
        bool operator==(const ShownPicture &other) const
        {
            return path == other.path && loaded == other.loaded && carried == other.carried &&
                   undecoded.has_value() == other.undecoded.has_value() &&
                   (contents.cacheKey() == other.contents.cacheKey() || contents == other.contents);
        }
    };
    ShownPicture shownPicture() const;
    void showPicture(const ShownPicture &shown);
    // Loads the picture again from its stored path, as reading a design does; a picture the archive
    // carried itself (one without a file) stays when no file is there.
    void reloadFromFile(std::atomic<qint64> *pixelBudget = nullptr);
    // The same with `picture`, which the caller read from the file once for all the objects naming
    // it (null: none, or no room for it here); `fileThere` says whether the path names a regular file.
    void reloadFromFile(const QImage &picture, bool fileThere);
    // A file is named but gave no picture: the object shows the program's placeholder, and keeps
    // the path so that the picture comes back once the file does.
    bool isMissingItsFile() const;
    // A picture without a file of its own travels in the archive, so a pasted or dropped picture
    // survives saving and copying.
    void encodeOwnFields(platform::KeyedEncoder &coder) const override;
    void decodeOwnFields(const platform::KeyedDecoder &coder) override;
    void setFlippedHorizontally(bool flipped) override;
    void setFlippedVertically(bool flipped) override;
    void flipHorizontally() override;
    void flipVertically() override;
    // The picture's own size at the same top-left corner, flips cleared; nothing when locked or
    // when there is no picture to measure.
    void makeNaturalSize() override;

    void loadPicturesForDrawing() override;
    // The main photo's pixels belong to the design, whatever objects show it.
    qint64 picturePixels() const override;
    void drawContentsInView(QPainter &painter, bool isBeingCreateOrEdited,
                            const DrawingResources &resources = {}) override;

    // The chain's settings from this object's effect fields.
    Image_Effect_Settings effectSettings() const;
    // The main photo and the frame picture are drawn as they are.
    bool drawsWithoutEffects() const;
    // The picture to draw into `target` through `painter`: a copy reduced to about the size it
    // covers on the device, kept between paints, where that is smaller than the picture (the
    // effects then run on far fewer pixels); the picture itself otherwise.
    QImage pictureForDrawing(const QPainter &painter, const QRectF &target) const;
    // The same for a painter whose device transform is `device`.
    QImage pictureForDrawing(const QTransform &device, const QRectF &target) const;
    // Makes what drawing through a painter whose device transform is `device` will need (the reduced
    // copy and its effects), so that a worker spares the first paint that work. Any thread may call it.
    void prepareDrawing(const QTransform &device) const;

    QImage _contents; // the unprocessed picture

protected:
    void copyLoadedPicturesTo(SKTGraphic &copy) const override;

private:
    void placeCentredOn(const QPointF &position);
    // Shows a picture read from the file `_file_path` names.
    void showFilePicture(const QImage &picture);
    // `source` (the picture or its reduced copy) through the effect chain, as it is drawn.
    QImage processedForDrawing(const QImage &source) const;
    bool m_contentsLoaded = false; // set once setFilePath ran or a picture was given
    mutable QImage m_reduced;           // a smaller copy of _contents for drawing
    mutable qint64 m_reducedFrom = 0;   // the cacheKey of the _contents it was made from
    mutable std::mutex m_reducedMutex;  // threads drawing the same object share the copy
    bool m_contentsCarried = false; // the picture came inside an archive
};
