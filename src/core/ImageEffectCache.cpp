#include "core/ImageEffectCache.h"

#include <QHashFunctions>

#include <bit>
#include <cstring>

namespace {

// Everything the chain reads; the transparency is left out because the chain ignores it.
ImageEffectCache::Key keyFor(quint64 picture, const Image_Effect_Settings &s)
{
    ImageEffectCache::Key key;
    key.picture = picture;
    key.flags = (s.grayscale ? 1u : 0u) | (s.sepia ? 2u : 0u) | (s.invrtclr ? 4u : 0u);
    const float values[8] = {s.hue, s.sat, s.brt, s.con, s.sharpness, s.exposure, s.blur, 0.0f};
    for (int i = 0; i < 8; ++i)
        key.values[i] = std::bit_cast<quint32>(values[i]);
    key.rotate = s.rotate;
    return key;
}

QByteArray reportKey(const ImageEffectCache::Key &key, const QString &step)
{
    QByteArray bytes(reinterpret_cast<const char *>(&key.picture), sizeof key.picture);
    bytes.append(reinterpret_cast<const char *>(&key.flags), sizeof key.flags);
    bytes.append(reinterpret_cast<const char *>(key.values), sizeof key.values);
    bytes.append(reinterpret_cast<const char *>(&key.rotate), sizeof key.rotate);
    bytes.append(step.toUtf8());
    return bytes;
}

constexpr qsizetype kMaxReports = 4096;

} // namespace

bool ImageEffectCache::Key::operator==(const Key &other) const
{
    return picture == other.picture && flags == other.flags && rotate == other.rotate
        && std::memcmp(values, other.values, sizeof values) == 0;
}

size_t qHash(const ImageEffectCache::Key &key, size_t seed) noexcept
{
    size_t h = qHashMulti(seed, key.picture, key.flags, key.rotate);
    for (quint32 v : key.values)
        h = qHashMulti(h, v);
    return h;
}

ImageEffectCache::ImageEffectCache(qsizetype byteLimit) : m_byteLimit(byteLimit)
{
}

ImageEffectCache &ImageEffectCache::sharedInstance()
{
    static ImageEffectCache cache;
    return cache;
}

std::optional<QImage> ImageEffectCache::find(quint64 pictureKey, const Image_Effect_Settings &settings)
{
    QMutexLocker lock(&m_mutex);
    const auto found = m_index.constFind(keyFor(pictureKey, settings));
    if (found == m_index.constEnd()) {
        ++m_misses;
        return std::nullopt;
    }
    ++m_hits;
    m_entries.splice(m_entries.begin(), m_entries, found.value());
    return found.value()->result;
}

void ImageEffectCache::insert(quint64 pictureKey, const Image_Effect_Settings &settings, const QImage &result)
{
    const Key key = keyFor(pictureKey, settings);
    QMutexLocker lock(&m_mutex);
    const auto found = m_index.find(key);
    if (found != m_index.end()) {
        m_bytes -= found.value()->bytes;
        m_entries.erase(found.value());
        m_index.erase(found);
    }
    m_entries.push_front(Entry{key, result, result.sizeInBytes()});
    m_index.insert(key, m_entries.begin());
    m_bytes += m_entries.front().bytes;
    evict();
}

void ImageEffectCache::evict()
{
    while (m_bytes > m_byteLimit && m_entries.size() > 1) {
        const Entry &last = m_entries.back();
        m_bytes -= last.bytes;
        m_index.remove(last.key);
        m_entries.pop_back();
    }
}

bool ImageEffectCache::firstReport(quint64 pictureKey, const Image_Effect_Settings &settings, const QString &step)
{
    const QByteArray key = reportKey(keyFor(pictureKey, settings), step);
    QMutexLocker lock(&m_mutex);
    if (m_reported.contains(key))
        return false;
    // A bound, so that a long session of failing pictures cannot grow the set without end.
    if (m_reported.size() >= kMaxReports)
        m_reported.clear();
    m_reported.insert(key);
    return true;
}

void ImageEffectCache::clear()
{
    QMutexLocker lock(&m_mutex);
    m_entries.clear();
    m_index.clear();
    m_reported.clear();
    m_bytes = 0;
    m_hits = 0;
    m_misses = 0;
}

void ImageEffectCache::setByteLimit(qsizetype bytes)
{
    QMutexLocker lock(&m_mutex);
    m_byteLimit = bytes;
    evict();
}

qsizetype ImageEffectCache::byteCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_bytes;
}

int ImageEffectCache::count() const
{
    QMutexLocker lock(&m_mutex);
    return static_cast<int>(m_entries.size());
}

quint64 ImageEffectCache::hitCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_hits;
}

quint64 ImageEffectCache::missCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_misses;
}
