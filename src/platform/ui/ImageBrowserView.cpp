#include "platform/ui/ImageBrowserView.h"

#include "platform/PictureReading.h"
#include "platform/RegularFile.h"

#include <QAbstractListModel>
#include <QCache>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScrollBar>
#include <QSet>
#include <QSlider>
#include <QStyledItemDelegate>
#include <QThreadPool>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kSmallestEdge = 56;
constexpr int kLargestEdge = 220;
// Thumbnails are decoded once at the largest edge and scaled down for smaller zooms.
const QSize kDecodeSize(kLargestEdge, kLargestEdge);
// Decoded thumbnails kept per browser: enough for several screens of a large folder.
constexpr int kThumbnailBytes = 64 * 1024 * 1024;
constexpr int kThumbnailRole = Qt::UserRole + 1;
const QString kRowsMimeType = QStringLiteral("application/x-card-image-browser-rows");

QMutex g_decoderMutex;
ImageBrowserView::ThumbnailDecoder g_decoder;

ImageBrowserView::ThumbnailDecoder currentDecoder()
{
    QMutexLocker lock(&g_decoderMutex);
    return g_decoder ? g_decoder : ImageBrowserView::ThumbnailDecoder(&ImageBrowserView::decodeThumbnail);
}

// Items with a file share thumbnails by path; pictures held in memory by identifier.
const QLatin1String kFileKey("file:"), kUidKey("uid:");

QString thumbnailKey(const MyImageObject &item)
{
    return item.image.isNull() ? kFileKey + item.path : kUidKey + item.image_UID;
}

// thumbnailKey(item) == key, without making the key: every arrival is compared with every item.
bool hasThumbnailKey(const MyImageObject &item, QStringView key)
{
    const QLatin1String prefix = item.image.isNull() ? kFileKey : kUidKey;
    return key.startsWith(prefix) && key.sliced(prefix.size()) == (item.image.isNull() ? item.path : item.image_UID);
}

} // namespace

// The browser's items, and their thumbnails as they arrive from the workers.
class ImageBrowserModel : public QAbstractListModel {
public:
    explicit ImageBrowserModel(ImageBrowserView *view) : QAbstractListModel(view), m_view(view)
    {
        m_thumbnails.setMaxCost(kThumbnailBytes);
        // Leave cores to the window: two decoders keep a screenful arriving quickly.
        m_pool.setMaxThreadCount(2);
    }

    ~ImageBrowserModel() override
    {
        // No worker may post to a model that is gone.
        m_pool.clear();
        m_pool.waitForDone();
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(items.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= items.size())
            return QVariant();
        const MyImageObject &item = items.at(index.row());
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return item.image_Name;
        case Qt::DecorationRole:
        case kThumbnailRole: {
            const QString key = thumbnailKey(item);
            if (const QPixmap *thumbnail = m_thumbnails.object(key))
                return role == Qt::DecorationRole ? QVariant(QIcon(*thumbnail)) : QVariant(*thumbnail);
            request(item);
            return QVariant();
        }
        default:
            return QVariant();
        }
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        Qt::ItemFlags result = QAbstractListModel::flags(index);
        if (index.isValid())
            result |= Qt::ItemIsDragEnabled;
        return result;
    }

    QStringList mimeTypes() const override { return {kRowsMimeType}; }

    QMimeData *mimeData(const QModelIndexList &indexes) const override
    {
        QStringList rows;
        for (const QModelIndex &index : indexes)
            rows << QString::number(index.row());
        auto *data = new QMimeData;
        data->setData(kRowsMimeType, rows.join(QLatin1Char(',')).toLatin1());
        return data;
    }

    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }

    void setItems(const QList<MyImageObject> &newItems)
    {
        beginResetModel();
        items = newItems;
        endResetModel();
    }

    void append(const MyImageObject &item)
    {
        const int row = static_cast<int>(items.size());
        beginInsertRows(QModelIndex(), row, row);
        items.append(item);
        endInsertRows();
    }

    bool move(const QList<int> &indexes, int destination)
    {
        QList<int> rows;
        for (int row : indexes)
            if (row >= 0 && row < items.size() && !rows.contains(row))
                rows << row;
        if (rows.isEmpty())
            return false;
        std::sort(rows.begin(), rows.end());
        const int count = static_cast<int>(items.size());
        destination = std::clamp(destination, 0, count);
        const int before = static_cast<int>(std::count_if(rows.begin(), rows.end(), [&](int row) { return row < destination; }));

        // The new order as old rows, then where each old row went.
        QList<int> order;
        for (int row = 0; row < count; ++row)
            if (!rows.contains(row))
                order << row;
        const int at = destination - before;
        for (int i = 0; i < rows.size(); ++i)
            order.insert(at + i, rows.at(i));
        QList<int> newRowOf(count);
        for (int newRow = 0; newRow < count; ++newRow)
            newRowOf[order.at(newRow)] = newRow;

        // Persistent indexes follow their items, so the selection moves with them unannounced.
        emit layoutAboutToBeChanged();
        QList<MyImageObject> reordered;
        reordered.reserve(count);
        for (int oldRow : order)
            reordered << items.at(oldRow);
        items = reordered;
        const QModelIndexList from = persistentIndexList();
        QModelIndexList to;
        for (const QModelIndex &index : from)
            to << this->index(newRowOf.at(index.row()));
        changePersistentIndexList(from, to);
        emit layoutChanged();
        return true;
    }

    bool hasThumbnail(int row) const
    {
        if (row < 0 || row >= items.size())
            return false;
        const QString key = thumbnailKey(items.at(row));
        return m_thumbnails.contains(key) || m_unreadable.contains(key);
    }

    int pending() const { return static_cast<int>(m_pending.size()); }

    void request(const MyImageObject &item) const
    {
        const QString key = thumbnailKey(item);
        if (m_pending.contains(key) || m_unreadable.contains(key) || m_thumbnails.contains(key))
            return;
        m_pending.insert(key);
        auto *self = const_cast<ImageBrowserModel *>(this);
        const ThumbnailJob job{key, item.path, item.image, currentDecoder()};
        m_pool.start([self, job] {
            QImage thumbnail;
            try {
                thumbnail = job.picture.isNull()
                                ? job.decode(job.path, kDecodeSize)
                                : job.picture.scaled(kDecodeSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            } catch (...) {
                thumbnail = QImage(); // an unreadable picture, shown as such
            }
            QMetaObject::invokeMethod(self, [self, key = job.key, thumbnail] { self->arrived(key, thumbnail); },
                                      Qt::QueuedConnection);
        });
    }

    QList<MyImageObject> items;

private:
    struct ThumbnailJob {
        QString key;
        QString path;
        QImage picture;
        ImageBrowserView::ThumbnailDecoder decode;
    };

    void arrived(const QString &key, const QImage &thumbnail)
    {
        m_pending.remove(key);
        if (thumbnail.isNull()) {
            m_unreadable.insert(key);
        } else {
            auto *pixmap = new QPixmap(QPixmap::fromImage(thumbnail));
            const qint64 bytes = static_cast<qint64>(pixmap->width()) * pixmap->height() * 4;
            m_thumbnails.insert(key, pixmap, static_cast<int>(std::min<qint64>(bytes, kThumbnailBytes)));
        }
        for (int row = 0; row < items.size(); ++row) {
            if (!hasThumbnailKey(items.at(row), key))
                continue;
            const QModelIndex changed = index(row);
            emit dataChanged(changed, changed, {Qt::DecorationRole, kThumbnailRole});
            emit m_view->thumbnailLoaded(row);
        }
    }

    ImageBrowserView *m_view;
    mutable QCache<QString, QPixmap> m_thumbnails;
    mutable QSet<QString> m_pending;
    mutable QSet<QString> m_unreadable;
    mutable QThreadPool m_pool;
};

namespace {

// A cell: the thumbnail on a white card (frames with clear windows show as they will on the card),
// the title under it, and a soft highlight around a selected cell.
class ImageBrowserDelegate : public QStyledItemDelegate {
public:
    explicit ImageBrowserDelegate(ImageBrowserView *view) : QStyledItemDelegate(view), m_view(view) {}

    static QSize cellSize(int edge, const QFontMetrics &metrics)
    {
        return QSize(edge + 20, edge + 20 + metrics.height() + 4);
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return cellSize(m_view->thumbnailEdge(), option.fontMetrics);
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const int edge = m_view->thumbnailEdge();
        const QRect cell = option.rect.adjusted(2, 2, -2, -2);
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const QColor highlight = option.palette.color(QPalette::Highlight);

        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        if (selected) {
            QColor fill = highlight;
            fill.setAlpha(48);
            painter->setPen(QPen(highlight, 1.5));
            painter->setBrush(fill);
            painter->drawRoundedRect(QRectF(cell).adjusted(0.75, 0.75, -0.75, -0.75), 8, 8);
        }

        const QRect square(cell.left() + (cell.width() - edge) / 2, cell.top() + 8, edge, edge);
        const QPixmap thumbnail = index.data(kThumbnailRole).value<QPixmap>();
        if (thumbnail.isNull()) {
            // Still on its way, or not a picture.
            painter->setPen(Qt::NoPen);
            painter->setBrush(option.palette.color(QPalette::Midlight));
            painter->drawRoundedRect(QRectF(square).adjusted(edge * 0.12, edge * 0.12, -edge * 0.12, -edge * 0.12), 6, 6);
        } else {
            QSizeF size = thumbnail.deviceIndependentSize();
            size.scale(square.size(), Qt::KeepAspectRatio);
            const QRectF target(square.left() + (square.width() - size.width()) / 2.0,
                                square.top() + (square.height() - size.height()) / 2.0, size.width(), size.height());
            painter->setPen(Qt::NoPen);
            painter->setBrush(QColor(0, 0, 0, 40));
            painter->drawRect(target.translated(1.0, 1.5));
            painter->setBrush(Qt::white);
            painter->drawRect(target);
            painter->drawPixmap(target, thumbnail, QRectF(thumbnail.rect()));
            painter->setPen(QPen(QColor(0, 0, 0, 50), 1.0));
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(target.adjusted(0.5, 0.5, -0.5, -0.5));
        }

        const QRect titleRect(cell.left() + 4, square.bottom() + 5, cell.width() - 8, option.fontMetrics.height());
        painter->setPen(option.palette.color(QPalette::Text));
        painter->setFont(option.font);
        painter->drawText(titleRect, Qt::AlignHCenter | Qt::AlignVCenter,
                          option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideMiddle,
                                                        titleRect.width()));
        painter->restore();
    }

private:
    ImageBrowserView *m_view;
};

} // namespace

ImageBrowserView::ImageBrowserView(QWidget *parent) : QListView(parent), m_model(new ImageBrowserModel(this))
{
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static); // dragging reorders the items, it does not place icons freely
    setResizeMode(QListView::Adjust);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setUniformItemSizes(true); // only the cells in view are asked for their thumbnails
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(new ImageBrowserDelegate(this));
    setModel(m_model);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &ImageBrowserView::selectionDidChange);
    connect(this, &QListView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid())
            emit cellWasDoubleClicked(index.row());
    });
    setAllowsReordering(false);
    applyZoom();
}

ImageBrowserView::~ImageBrowserView() = default;

const QList<MyImageObject> &ImageBrowserView::items() const
{
    return m_model->items;
}

int ImageBrowserView::count() const
{
    return static_cast<int>(m_model->items.size());
}

const MyImageObject &ImageBrowserView::itemAtIndex(int index) const
{
    return m_model->items.at(index);
}

void ImageBrowserView::setItems(const QList<MyImageObject> &items)
{
    m_model->setItems(items);
}

void ImageBrowserView::addItem(const MyImageObject &item)
{
    m_model->append(item);
}

void ImageBrowserView::addImageWithPath(const QString &path, const QString &imageName, const QString &image_UID)
{
    const QString trimmed = path.trimmed();
    if (trimmed.isEmpty())
        return;
    MyImageObject item(trimmed, imageName, image_UID);
    item.setPath(trimmed);
    addItem(item);
}

void ImageBrowserView::showPicturesIn(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    removeAllItems();
    const QDir dir(folder);
    for (const QString &entry : pictureFilesIn(folder))
        addImageWithPath(dir.filePath(entry), entry, entry);
}

QStringList ImageBrowserView::pictureFilesIn(const QString &folder)
{
    QStringList pictures;
    for (const QString &entry : QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString extension = QFileInfo(entry).suffix().toLower();
        if (extension == QLatin1String("png") || extension == QLatin1String("jpg"))
            pictures << entry;
    }
    return pictures;
}

void ImageBrowserView::removeAllItems()
{
    m_model->setItems({});
}

bool ImageBrowserView::moveItemsAtIndexes(const QList<int> &indexes, int destination)
{
    return m_model->move(indexes, destination);
}

QList<int> ImageBrowserView::selectionIndexes() const
{
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void ImageBrowserView::setSelectionIndexes(const QList<int> &indexes)
{
    QItemSelection selection;
    int first = -1;
    for (int row : indexes) {
        if (row < 0 || row >= count())
            continue;
        const QModelIndex index = m_model->index(row);
        selection.select(index, index);
        if (first < 0)
            first = row;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (first >= 0) {
        selectionModel()->setCurrentIndex(m_model->index(first), QItemSelectionModel::NoUpdate);
        scrollTo(m_model->index(first));
    }
}

void ImageBrowserView::setZoomValue(double zoom)
{
    zoom = std::isfinite(zoom) ? std::clamp(zoom, 0.0, 1.0) : 0.0;
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    applyZoom();
    emit zoomValueChanged(m_zoom);
}

QSlider *ImageBrowserView::zoomSlider()
{
    if (!m_zoomSlider) {
        m_zoomSlider = new QSlider(Qt::Horizontal, this);
        m_zoomSlider->setObjectName(QStringLiteral("_zoom_slider"));
        m_zoomSlider->setRange(0, 100);
        m_zoomSlider->setValue(static_cast<int>(std::lround(m_zoom * 100.0)));
        m_zoomSlider->setToolTip(tr("Thumbnail size"));
        connect(m_zoomSlider, &QSlider::valueChanged, this, [this](int value) { setZoomValue(value / 100.0); });
    }
    return m_zoomSlider;
}

void ImageBrowserView::setAllowsReordering(bool allows)
{
    m_allowsReordering = allows;
    setDragEnabled(allows);
    setAcceptDrops(allows);
    viewport()->setAcceptDrops(allows);
    setDragDropMode(allows ? QAbstractItemView::DragDrop : QAbstractItemView::NoDragDrop);
    setDefaultDropAction(Qt::MoveAction);
}

int ImageBrowserView::thumbnailEdge() const
{
    return static_cast<int>(std::lround(kSmallestEdge + m_zoom * (kLargestEdge - kSmallestEdge)));
}

void ImageBrowserView::applyZoom()
{
    const int edge = thumbnailEdge();
    setIconSize(QSize(edge, edge));
    setGridSize(ImageBrowserDelegate::cellSize(edge, fontMetrics()) + QSize(8, 8));
    if (m_zoomSlider) {
        const QSignalBlocker block(m_zoomSlider);
        m_zoomSlider->setValue(static_cast<int>(std::lround(m_zoom * 100.0)));
    }
    scheduleDelayedItemsLayout();
    viewport()->update();
}

bool ImageBrowserView::hasThumbnail(int index) const
{
    return m_model->hasThumbnail(index);
}

int ImageBrowserView::pendingThumbnails() const
{
    return m_model->pending();
}

void ImageBrowserView::requestThumbnails(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, count() - 1);
    for (int row = first; row <= last; ++row)
        m_model->request(m_model->items.at(row));
}

QImage ImageBrowserView::decodeThumbnail(const QString &path, const QSize &maxSize)
{
    QFile file(path);
    if (!platform::isRegularFile(path) || !file.open(QIODevice::ReadOnly))
        return {};
    // Formats that know their size decode straight to the thumbnail's size.
    platform::PictureReading how;
    how.within = maxSize;
    QImage picture = platform::readPicture(file, how);
    if (picture.isNull())
        return picture;
    if (picture.width() > maxSize.width() || picture.height() > maxSize.height())
        picture = picture.scaled(maxSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void ImageBrowserView::setThumbnailDecoderForTesting(ThumbnailDecoder decoder)
{
    QMutexLocker lock(&g_decoderMutex);
    g_decoder = std::move(decoder);
}

int ImageBrowserView::dropIndexAt(const QPoint &point) const
{
    const int items = count();
    if (items == 0)
        return 0;
    // Below the last row is the end.
    if (point.y() > visualRect(m_model->index(items - 1)).bottom())
        return items;
    // The nearest cell, so that a drop between cells or past the last one still finds its place.
    int nearest = 0;
    double best = std::numeric_limits<double>::max();
    for (int row = 0; row < items; ++row) {
        const QRect cell = visualRect(m_model->index(row));
        const double dx = std::max({cell.left() - point.x(), 0, point.x() - cell.right()});
        const double dy = std::max({cell.top() - point.y(), 0, point.y() - cell.bottom()});
        const double distance = dx * dx + dy * dy;
        if (distance < best) {
            best = distance;
            nearest = row;
        }
        if (distance == 0)
            break;
    }
    const QRect cell = visualRect(m_model->index(nearest));
    return point.x() > cell.center().x() ? nearest + 1 : nearest;
}

bool ImageBrowserView::acceptsDrag(const QDropEvent *event) const
{
    return m_allowsReordering && event->source() == this && event->mimeData()->hasFormat(kRowsMimeType);
}

void ImageBrowserView::dragEnterEvent(QDragEnterEvent *event)
{
    if (!acceptsDrag(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void ImageBrowserView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!acceptsDrag(event)) {
        event->ignore();
        return;
    }
    const QPoint point = event->position().toPoint();
    // Near the top or bottom edge the list scrolls, so an item can travel the whole folder.
    constexpr int kEdge = 24;
    QScrollBar *bar = verticalScrollBar();
    if (point.y() < kEdge)
        bar->setValue(bar->value() - bar->singleStep() * 2);
    else if (point.y() > viewport()->height() - kEdge)
        bar->setValue(bar->value() + bar->singleStep() * 2);
    setDropIndicator(dropIndexAt(point));
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void ImageBrowserView::dragLeaveEvent(QDragLeaveEvent *event)
{
    setDropIndicator(-1);
    event->accept();
}

void ImageBrowserView::dropEvent(QDropEvent *event)
{
    setDropIndicator(-1);
    if (!acceptsDrag(event)) {
        event->ignore();
        return;
    }
    const bool moved = moveItemsAtIndexes(selectionIndexes(), dropIndexAt(event->position().toPoint()));
    // The items are moved here already: the drag must not remove anything afterwards.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (moved)
        emit itemsMoved();
}

void ImageBrowserView::setDropIndicator(int index)
{
    if (index == m_dropIndex)
        return;
    m_dropIndex = index;
    viewport()->update();
}

void ImageBrowserView::paintEvent(QPaintEvent *event)
{
    QListView::paintEvent(event);
    if (m_dropIndex < 0 || count() == 0)
        return;
    const bool atEnd = m_dropIndex >= count();
    const QRect cell = visualRect(m_model->index(atEnd ? count() - 1 : m_dropIndex));
    const int x = atEnd ? cell.right() + 2 : cell.left() - 2;
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Highlight), 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPoint(x, cell.top() + 6), QPoint(x, cell.bottom() - 6));
}
