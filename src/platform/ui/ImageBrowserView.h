#pragma once

#include "platform/ui/MyImageObject.h"

#include <QList>
#include <QListView>
#include <QSize>

#include <functional>

class QSlider;
class ImageBrowserModel;

// The image browser of every picture picker: a grid of thumbnails with their titles, in the order
// of its items. It holds the items itself; a window fills it and reads the selection back.
//
// Thumbnails are decoded on worker threads, only for the items the view shows, and arrive later:
// filling the browser with a folder of any size returns at once and never waits for a picture.
// Items can be reordered by dragging when reordering is allowed; the zoom (0 to 1) sets the
// thumbnail size, and zoomSlider() gives a slider that follows and sets it. GUI thread only.
class ImageBrowserView : public QListView {
    Q_OBJECT
public:
    explicit ImageBrowserView(QWidget *parent = nullptr);
    ~ImageBrowserView() override;

    // --- Items ---------------------------------------------------------------------------------
    const QList<MyImageObject> &items() const;
    int count() const;
    const MyImageObject &itemAtIndex(int index) const;
    void setItems(const QList<MyImageObject> &items);
    void addItem(const MyImageObject &item);
    // Adds the picture at `path`, trimmed of white space; a blank path adds nothing.
    void addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID);
    // The names of the .png and .jpg files of `folder` (any case), sorted by name.
    static QStringList pictureFilesIn(const QString &folder);
    // Replaces the items with the pictures of `folder`, named by their file names; nothing changes
    // when it is not a folder.
    void showPicturesIn(const QString &folder);
    void removeAllItems();
    // Takes the items at `indexes` out and inserts them, in their order, at `destination` less the
    // number of them that lay before it. Indexes outside the list are ignored; false when none is
    // left. The moved items stay selected.
    bool moveItemsAtIndexes(const QList<int> &indexes, int destination);

    // --- Selection -----------------------------------------------------------------------------
    // Ascending; empty for none.
    QList<int> selectionIndexes() const;
    // Replaces the selection (indexes outside the list are ignored) and scrolls the first into view.
    void setSelectionIndexes(const QList<int> &indexes);

    // --- Look ----------------------------------------------------------------------------------
    double zoomValue() const { return m_zoom; }
    // Clamped to 0 .. 1; 0 gives the smallest thumbnails.
    void setZoomValue(double zoom);
    // A slider of the browser's zoom, made on first use; the caller lays it out.
    QSlider *zoomSlider();
    void setAllowsReordering(bool allows);
    bool allowsReordering() const { return m_allowsReordering; }
    // The edge of the square a thumbnail is drawn in at the current zoom, in pixels.
    int thumbnailEdge() const;

    // --- Thumbnails ----------------------------------------------------------------------------
    // Whether the picture of the item at `index` has been decoded (or found unreadable).
    bool hasThumbnail(int index) const;
    // Decodes requested and not yet arrived.
    int pendingThumbnails() const;
    // Asks for the thumbnails of the items in `first` .. `last` now, shown or not.
    void requestThumbnails(int first, int last);
    // The thumbnail of a picture file that fits `maxSize`; null when the file does not read as a
    // picture. Any thread.
    static QImage decodeThumbnail(const QString &path, const QSize &maxSize);
    using ThumbnailDecoder = std::function<QImage(const QString &path, const QSize &maxSize)>;
    // Replaces the decoder of every browser (a null function puts decodeThumbnail back).
    static void setThumbnailDecoderForTesting(ThumbnailDecoder decoder);

    // The index a drop at `point` (viewport coordinates) inserts at: before the item under the
    // point, after it when the point lies in its right half, at the end below the last row.
    int dropIndexAt(const QPoint &point) const;

signals:
    // The selection changed, by the user or by the program.
    void selectionDidChange();
    void cellWasDoubleClicked(int index);
    // The user reordered the items by dragging.
    void itemsMoved();
    void thumbnailLoaded(int index);
    void zoomValueChanged(double zoom);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool acceptsDrag(const QDropEvent *event) const;
    void applyZoom();
    void setDropIndicator(int index);

    ImageBrowserModel *m_model;
    QSlider *m_zoomSlider = nullptr;
    double m_zoom = 0.4;
    bool m_allowsReordering = false;
    int m_dropIndex = -1;
};
