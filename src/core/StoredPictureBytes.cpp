#include "core/StoredPictureBytes.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QThreadPool>

#include <atomic>
#include <mutex>

namespace {

std::atomic<int> encodings{0};

bool isJpeg(const QByteArray &bytes)
{
    return bytes.startsWith(QByteArrayLiteral("\xff\xd8\xff"));
}

bool isPng(const QByteArray &bytes)
{
    return bytes.startsWith(QByteArrayLiteral("\x89PNG\r\n\x1a\n"));
}

bool isOpaque(const QImage &picture)
{
    if (!picture.hasAlphaChannel())
        return true;
    if (picture.format() != QImage::Format_ARGB32 && picture.format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    for (int y = 0; y < picture.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(row[x]) != 255)
                return false;
    }
    return true;
}

// JPEG at 95 loses nothing one sees in a photo that was a JPEG already and takes about a second for
// 48 megapixels, where PNG at Qt's default level takes half a minute; PNG at zlib level 1 (quality
// 80 in Qt's scale) keeps what JPEG cannot: transparency, and the sharp edges of drawn pictures.
QByteArray encoded(const QImage &picture, bool fromJpeg)
{
    ++encodings;
    const bool jpeg = fromJpeg && isOpaque(picture);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, jpeg ? QByteArrayLiteral("jpeg") : QByteArrayLiteral("png"));
    writer.setQuality(jpeg ? 95 : 80);
    if (!writer.write(picture))
        return {};
    return bytes;
}

} // namespace

struct StoredPictureBytes::State {
    QImage picture;
    bool fromJpeg = false;
    std::once_flag once;
    QByteArray bytes;
    std::atomic<bool> ready{false};

    void make()
    {
        if (ready.load())
            return;
        std::call_once(once, [this] {
            bytes = encoded(picture, fromJpeg);
            picture = QImage();
            ready = true;
        });
    }
};

StoredPictureBytes StoredPictureBytes::of(const QByteArray &bytes)
{
    StoredPictureBytes stored;
    stored.m_state = std::make_shared<State>();
    stored.m_state->bytes = bytes;
    stored.m_state->ready = true;
    return stored;
}

StoredPictureBytes StoredPictureBytes::forPicture(const QImage &picture, const QByteArray &source, bool asRead)
{
    if (picture.isNull())
        return {};
    if (asRead && (isJpeg(source) || isPng(source))) {
        QBuffer buffer;
        buffer.setData(source);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        // Readers that apply no orientation tag (earlier ones did not) would show a turned photo.
        if (reader.size() == picture.size() && reader.transformation() == QImageIOHandler::TransformationNone)
            return of(source);
    }
    StoredPictureBytes stored;
    stored.m_state = std::make_shared<State>();
    stored.m_state->picture = picture;
    stored.m_state->fromJpeg = isJpeg(source);
    // A picture replaced before its turn came is not encoded at all.
    QThreadPool::globalInstance()->start([weak = std::weak_ptr<State>(stored.m_state)] {
        if (const std::shared_ptr<State> state = weak.lock())
            state->make();
    });
    return stored;
}

bool StoredPictureBytes::isReady() const
{
    return m_state && m_state->ready.load();
}

QByteArray StoredPictureBytes::bytes() const
{
    if (!m_state)
        return {};
    m_state->make();
    return m_state->bytes;
}

int StoredPictureBytes::encodingsDone()
{
    return encodings.load();
}
