#include "platform/Pasteboard.h"

#include "platform/PictureReading.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

namespace platform {

namespace {

// The desktop's clipboard. Its change count is ours: it moves on every change the clipboard reports.
class SystemPasteboard final : public Pasteboard {
public:
    SystemPasteboard()
    {
        if (QClipboard *clipboard = QGuiApplication::clipboard())
            QObject::connect(clipboard, &QClipboard::dataChanged, [this] { ++m_changeCount; });
    }

    qint64 changeCount() const override { return m_changeCount; }

    void writeItems(const QList<Item> &items) override
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        if (!clipboard)
            return;
        auto *mime = new QMimeData;
        for (const Item &item : items)
            mime->setData(item.first, item.second);
        clipboard->setMimeData(mime);
    }

    QStringList types() const override
    {
        const QMimeData *mime = current();
        return mime ? mime->formats() : QStringList();
    }

    QByteArray dataForType(const QString &type) const override
    {
        const QMimeData *mime = current();
        return mime ? mime->data(type) : QByteArray();
    }

    QStringList fileNames() const override
    {
        QStringList names;
        if (const QMimeData *mime = current())
            for (const QUrl &url : mime->urls())
                if (url.isLocalFile())
                    names << url.toLocalFile();
        return names;
    }

private:
    static const QMimeData *current()
    {
        QClipboard *clipboard = QGuiApplication::clipboard();
        return clipboard ? clipboard->mimeData() : nullptr;
    }

    qint64 m_changeCount = 0;
};

Pasteboard *g_installed = nullptr;

} // namespace

QImage Pasteboard::image(QString *problem, const PictureReader &read) const
{
    // Other programs offer one picture in several types: the first that reads is taken.
    QString why;
    for (const QString &type : types())
        if (type.startsWith(QLatin1String("image/"))) {
            PictureReading how;
            how.problem = &why;
            const QByteArray bytes = dataForType(type);
            const QImage picture = read ? read(bytes, &why) : readPicture(bytes, how);
            if (!picture.isNull())
                return picture;
        }
    if (problem)
        *problem = why;
    return {};
}

Pasteboard &generalPasteboard()
{
    if (g_installed)
        return *g_installed;
    static SystemPasteboard system;
    return system;
}

void installPasteboard(Pasteboard *pasteboard)
{
    g_installed = pasteboard;
}

void MemoryPasteboard::writeItems(const QList<Item> &items)
{
    m_items = items;
    m_fileNames.clear();
    ++m_changeCount;
}

QStringList MemoryPasteboard::types() const
{
    QStringList types;
    for (const Item &item : m_items)
        types << item.first;
    if (!m_fileNames.isEmpty())
        types << QStringLiteral("text/uri-list");
    return types;
}

QByteArray MemoryPasteboard::dataForType(const QString &type) const
{
    for (const Item &item : m_items)
        if (item.first == type)
            return item.second;
    return {};
}

void MemoryPasteboard::setFileNames(const QStringList &names)
{
    m_items.clear();
    m_fileNames = names;
    ++m_changeCount;
}

void MemoryPasteboard::setImage(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    writeItems({{QStringLiteral("image/png"), png}});
}

} // namespace platform
